#pragma once
// The main window's settings backup (menuBackPar) and restore (menuResPar):
// the operator's questions, the place of the file (the program folder's
// BackUp/, or another file such as one on a removable disk), the hourglass
// while the data module works, and its result message.
#include <QString>
#include <functional>

class QWidget;

namespace kv {

class TZovData;

// Asks for another backup file (save: where to write it); empty when the
// operator cancels. suggested is the program folder's file.
using TBackupFileChooser = std::function<QString(QWidget *owner, bool save, const QString &suggested)>;

// The file dialog of the program.
QString ChooseBackupFile(QWidget *owner, bool save, const QString &suggested);

// True when the backup was written.
bool BackupSettings(QWidget *owner, TZovData &data, const QString &programDir, const TBackupFileChooser &choose);
// True when a whole file was restored.
bool RestoreSettings(QWidget *owner, TZovData &data, const QString &programDir, const TBackupFileChooser &choose);

} // namespace kv
