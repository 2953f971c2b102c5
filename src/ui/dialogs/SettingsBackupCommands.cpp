#include "ui/dialogs/SettingsBackupCommands.h"

#include "store/SettingsBackup.h"
#include "MessageService.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>

namespace kv {

namespace {

struct TStrings {
    Q_DECLARE_TR_FUNCTIONS(kv::TSettingsBackupCommands)
};

// The hourglass while the data module works.
class THourglass {
public:
    THourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~THourglass() { QApplication::restoreOverrideCursor(); }
    THourglass(const THourglass &) = delete;
    THourglass &operator=(const THourglass &) = delete;
};

// A question whose Yes or OK overwrites data: Enter answers no.
TMsgResult Ask(QWidget *owner, const QString &text, TMsgButtons buttons)
{
    TMsgRequest r;
    r.text = text;
    r.caption = DefaultCaption();
    r.icon = TMsgIcon::Question;
    r.buttons = buttons;
    r.parent = owner;
    r.defaultNo = buttons == TMsgButtons::OkCancel;
    return TMessageService::current().show(r);
}

void Show(QWidget *owner, const TBackupResult &r)
{
    ShowMessage(r.Message, r.Icon, TMsgButtons::Ok, r.Caption, owner);
}

} // namespace

QString ChooseBackupFile(QWidget *owner, bool save, const QString &suggested)
{
    const QString filter = TStrings::tr("参数备份文件 (sasback.txt*);;所有文件 (*)");
    return save ? QFileDialog::getSaveFileName(owner, TStrings::tr("请选择备份文件的保存位置"), suggested, filter)
                : QFileDialog::getOpenFileName(owner, TStrings::tr("请选择要恢复的备份文件"), suggested, filter);
}

bool BackupSettings(QWidget *owner, TZovData &data, const QString &programDir, const TBackupFileChooser &choose)
{
    if (Ask(owner, TSettingsBackup::BackupQuestion(), TMsgButtons::OkCancel) != TMsgResult::Ok)
        return false;
    QString file = TSettingsBackup::DefaultFile(programDir);
    if (Ask(owner, TSettingsBackup::BackupPlaceQuestion(), TMsgButtons::YesNo) != TMsgResult::Yes) {
        file = (choose ? choose : ChooseBackupFile)(owner, true, file);
        if (file.isEmpty())
            return false;
    }
    TBackupResult r;
    {
        THourglass busy;
        r = TSettingsBackup(data).BackupToFile(file);
    }
    Show(owner, r);
    return r.Ok;
}

bool RestoreSettings(QWidget *owner, TZovData &data, const QString &programDir, const TBackupFileChooser &choose)
{
    if (Ask(owner, TSettingsBackup::RestoreQuestion(), TMsgButtons::OkCancel) != TMsgResult::Ok)
        return false;
    const bool here = Ask(owner, TSettingsBackup::RestorePlaceQuestion(), TMsgButtons::YesNo) == TMsgResult::Yes;
    QString file = TSettingsBackup::DefaultFile(programDir);
    if (!here) {
        file = (choose ? choose : ChooseBackupFile)(owner, false, file);
        if (file.isEmpty())
            return false;
    }
    if (!QFile::exists(file)) {
        MsgError(here ? TSettingsBackup::NoDefaultFileText() : TSettingsBackup::NoChosenFileText(), owner);
        return false;
    }
    TBackupResult r;
    {
        THourglass busy;
        r = TSettingsBackup(data).RestoreFromFile(file);
    }
    Show(owner, r);
    return r.Ok;
}

} // namespace kv
