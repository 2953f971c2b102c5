#pragma once
// TParamBackup: backup and restore of a driver's parameter set as INI files.
// A file holds one section per model (the set's DisplayName(), "KVD-510"),
// one key per item named by its stored caption, the value in driver units.
// Restoring matches keys to items by caption only, so a file of another
// model of the same caption table restores the captions both share.
// Nothing here touches the database or the box.
#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <vector>

namespace kv {

class TBaseParams;

class TParamBackup {
    Q_DECLARE_TR_FUNCTIONS(kv::TParamBackup)
public:
    struct TRestoreResult {
        bool Ok = false;
        QString Message;             // text for the operator (translated)
        std::vector<int> Snapshot;   // software values before the restore (Ok only)
    };

    // Writes the software values of every item. False when the file cannot
    // be written.
    static bool Backup(const TBaseParams &params, const QString &fileName);
    // Writes the box-side copies of the items whose box value is known.
    static bool BackupBox(const TBaseParams &params, const QString &fileName);
    // Takes the values of the model's section into the software values. An
    // empty or missing section changes nothing and returns the wrong-file
    // message; otherwise the snapshot lets the caller undo (RestoreSnapshot).
    static TRestoreResult Restore(TBaseParams &params, const QString &fileName);
    // Automatic backup file: <programFolder>/BackUp/yy-MM-dd hh.mm.ss.ini;
    // the folder is created when missing. Empty programFolder: the program's
    // own folder.
    static QString AutoBackupFileName(const QDateTime &now, const QString &programFolder = QString());
};

} // namespace kv
