#pragma once
// The settings backup: the numeric and text settings, the Standard pairs and
// the users written to a text file (UTF-8, CR LF, one value a line) and read
// back. A restore checks the whole file first and applies it in one
// transaction, so a truncated, foreign or damaged file changes nothing.
// Nothing here shows a window: each operation returns the message the
// window shows.
#include "MessageService.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

namespace kv {

class TZovData;

// What a backup or a restore ended with, and the message to show.
struct TBackupResult {
    bool Ok = false;
    QString Message;
    TMsgIcon Icon = TMsgIcon::Information;
    QString Caption; // empty: the default caption
};

// One entry of the file. Kind 1 SavNum (No, First = value), 2 SavString
// (No, First = text), 3 Standard (No = position from 1, First = num,
// Second = val), 4 Tester (No = user number, First = name, Second = code).
struct TBackupEntry {
    int Kind = 0;
    qint64 No = 0;
    QVariant First;
    QVariant Second;
    int Line = 0; // line of the file where the entry starts (from 1)
};

class TSettingsBackup {
    Q_DECLARE_TR_FUNCTIONS(kv::TSettingsBackup)
public:
    static constexpr const char *FileName = "sasback.txt";

    explicit TSettingsBackup(TZovData &data) : FData(data) {}

    // <program folder>/BackUp/sasback.txt
    static QString DefaultFile(const QString &programDir);
    // The copy of the previous backup beside a file: its name with "1" appended.
    static QString PreviousCopy(const QString &file);

    // Writes the file; an existing one first becomes the previous copy (an
    // older copy is deleted).
    TBackupResult BackupToFile(const QString &file);
    // Applies the whole file or nothing.
    TBackupResult RestoreFromFile(const QString &file);
    // Applies one entry (inside the caller's transaction).
    bool RestoreRow(const TBackupEntry &entry);

    // The file's bytes from the database; false when a table cannot be read.
    bool Compose(QByteArray &text);
    // Reads a file's bytes into entries; false with the reason when the
    // file is not a whole backup.
    static bool Parse(const QByteArray &bytes, QList<TBackupEntry> &entries, QString &why);

    // A value line: plain as it is, or encoded when it holds a line break,
    // equals a section header or starts with the mark of encoded lines.
    static QString EncodeValue(const QString &value);
    static bool DecodeValue(const QString &line, QString &value);

    // The questions the window asks.
    static QString BackupQuestion();
    static QString BackupPlaceQuestion();
    static QString RestoreQuestion();
    static QString RestorePlaceQuestion();
    // No backup in the program folder / the chosen file is gone.
    static QString NoDefaultFileText();
    static QString NoChosenFileText();

private:
    TZovData &FData;
};

} // namespace kv
