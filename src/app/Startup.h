#pragma once
// TStartup: the program's entry sequence. Guard against a second copy, long
// hints, the data module, the language, the wait window, the main window.
// main() only creates it and runs the message loop; tests drive it directly.
#include "ui/main/MeasureSteps.h"
#include "db/DbEngine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QApplication;

namespace kv {

class TZovData;
struct TDbChoice;
class TfrmMeasure;
class TfrmWait;
class TSingleInstance;

class TStartup : public QObject {
    Q_OBJECT
public:
    struct TOptions {
        QString ProgramFile;       // absolute path of the executable
        QString DatabaseFile;      // empty: the installed database beside it
        QString InstanceKey;       // empty: derived from ProgramFile
        bool ShowMaximized = true; // the main window's first show
        QElapsedTimer Started;     // when the process started (benchmark line)
    };
    enum class TOutcome { AnotherCopyRunning, DatabaseFailed, Started };

    explicit TStartup(TOptions options, QObject *parent = nullptr);
    ~TStartup() override;

    // Steps of later subsystems, handed to the main window. The login and
    // the user management window are plugged in from the start.
    TMeasureSteps Steps;
    // The login window over the data module; Ok when a user was accepted.
    static TLoginStep LoginStep();
    // The user management window over the data module's connection.
    static std::function<void(QWidget *)> UserManagementStep();
    // Creates the data module; throws when the database cannot be opened.
    // By default the choice in Database.ini beside the file decides: the
    // file itself, or the server named there (an empty server database gets
    // the program's tables and initial rows from the file).
    std::function<std::unique_ptr<TZovData>(const QString &databaseFile)> CreateData;
    // Shows the database settings for a server that could not be reached;
    // true when the operator changed them (by default the dialog).
    std::function<bool(TDbChoice &choice)> ChooseDatabase;
    // The data module by the choice stored beside databaseFile, with the
    // password given for this start (empty: the server's password file).
    static std::unique_ptr<TZovData> OpenDataModule(const QString &databaseFile, const QString &password = QString());

    // Runs the entry sequence up to the main window's first show.
    TOutcome Run();

    TfrmMeasure *MainWindow() const { return m_main.get(); }
    TSingleInstance *Guard() const { return m_guard.get(); }
    bool EnglishLoaded() const { return m_english; }
    // The folder the program works in: its own folder when this user may
    // write there (the portable folder), else the data folder.
    QString ProgramDir() const;
    // The data folder of an installed program whose folder is not writable:
    // ~/.local/share/Kalvio6 (XDG_DATA_HOME), holding the database,
    // Database.ini, OutFile/, Report/ and BackUp/, with links to everything
    // else of the program folder (dll/, help, translations). Made and filled
    // on first use; empty when it cannot be made.
    static QString PrepareDataDir(const QString &programDir);

    // The error box's text when the data module could not be made: the
    // cause, the file (its folder for a folder without write access) and
    // what to do. A missing driver keeps the engine message.
    static QString DatabaseFailureText(db::TDbFault fault, const QString &databaseFile, const QString &detail);

    // The folders beside the program that it writes (OutFile, Report,
    // BackUp) which this process cannot write, each with what is lost.
    static QStringList UnwritableFolders(const QString &programDir);

    // SavNum 20005 through a query of its own: 1 means English; no row, an
    // unreadable row or a database error count as Chinese.
    static bool StoredLanguageIsEnglish(TZovData &data);
    // Tool-tip hints stay visible for 10,000,000 ms.
    static void InstallLongHints();
    static constexpr int HintDurationMs = 10000000;

private:
    void OnRestoreRequested();

    TOptions m_options;
    QString m_serverPassword; // typed in the database settings, never stored
    mutable QString m_workDir;
    std::unique_ptr<TSingleInstance> m_guard;
    std::unique_ptr<TfrmMeasure> m_main;
    bool m_english = false;
};

} // namespace kv
