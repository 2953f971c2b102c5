#pragma once
// The program's help: an HTML page set in the "Help" folder beside the
// executable (English pages in "Help/en"), shown in a help window of its own
// with a contents list, back, forward and home.
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QAction;
class QListWidget;
class QTextBrowser;

namespace kv {

// The command "系统帮助": opens the help at its start page. Does nothing and
// returns false when the help file is missing. The help follows the language
// of the interface (English pages when present, else the Chinese ones).
bool ShowProgramHelp(QWidget *parent);

// The start page of the help in programDir: "Help/en/index.html" for English
// when it exists, else "Help/index.html"; empty when that is missing too.
QString ProgramHelpIndex(const QString &programDir, bool english);

// The local files a help page refers to (href and src values without their
// "#..." part), in the order they appear; web, mail and in-page links are left
// out. Relative paths stay as written.
QStringList LocalHelpLinks(const QString &html);

// The title of a help page file (its <title>), empty when it cannot be read.
QString HelpPageTitle(const QString &file);

class TfrmHelp : public QWidget {
    Q_OBJECT
public:
    // A help window over the page set that starts at indexFile.
    explicit TfrmHelp(const QString &indexFile, QWidget *parent = nullptr);

    // Shows the help window of parent (one per parent, reused while open) at
    // the start page indexFile; nullptr and nothing shown when the file is
    // missing.
    static TfrmHelp *ShowHelp(QWidget *parent, const QString &indexFile);

    QString IndexFile() const { return FIndexFile; }
    void GoHome();

private:
    void FillContents();
    void SourceChanged(const QUrl &url);
    void ContentsClicked();

    // The widgets; the name each keeps as objectName after it.
    QTextBrowser *FBrowser = nullptr;     // Browser
    QListWidget *FContentsList = nullptr; // lstContents
    QAction *FBackAction = nullptr;       // actBack
    QAction *FForwardAction = nullptr;    // actForward
    QAction *FHomeAction = nullptr;       // actHome

    QString FIndexFile;
};

} // namespace kv
