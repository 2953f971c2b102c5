// 参数备份 and 参数恢复 of the main window: the questions, the program
// folder's file and a chosen one, the result messages, and a restore that
// closing the program keeps.
#include "../core/CoreTestSupport.h"

#include "store/SettingsBackup.h"
#include "ui/dialogs/TestHardWareDialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTranslator>

using coretest::TWindowRig;
using kvtest::Child;
using namespace kv;

TEST(BackupCommands, BackUpToTheProgramFolderRestoreFromAChosenFileAndKeepItAtExit)
{
    TWindowRig rig;
    rig.QuitAnswer = true;
    rig.Steps.BuildTestMenu = [](TfrmMeasure &w, int) {
        for (int i = 0; i < 3; ++i)
            Child<QMenu>(w, "pmTestList")->addAction(QStringLiteral("Test %1").arg(i))->setCheckable(true);
    };
    rig.Steps.SelectTest = [](TfrmMeasure &w, QAction *item) {
        for (QAction *a : w.TestMenu()->actions())
            a->setChecked(a == item);
    };
    QString chosen;
    rig.Steps.ChooseBackupFile = [&](QWidget *, bool, const QString &) { return chosen; };
    auto w = rig.Create();
    w->show();
    QAction *backup = Child<QAction>(*w, "menuBackPar");
    QAction *restore = Child<QAction>(*w, "menuResPar");
    ASSERT_TRUE(backup->isVisible() && backup->isEnabled() && restore->isEnabled());
    QMenu *settings = Child<QMenu>(*w, "menuSetting");
    settings->popup(w->mapToGlobal(QPoint(60, 20)));
    settings->grab().save("/tmp/kv_settings_menu.png");
    settings->hide();

    // Nothing in the program folder yet.
    rig.Messages.clear();
    restore->trigger();
    EXPECT_EQ(rig.Messages.texts(), QStringList({TSettingsBackup::RestoreQuestion(), TSettingsBackup::RestorePlaceQuestion(),
                                                 TSettingsBackup::NoDefaultFileText()}));

    rig.Messages.clear();
    backup->trigger();
    EXPECT_EQ(rig.Messages.texts(), QStringList({"真的要对现在的参数进行备份吗？（这样会覆盖原有的数据备份）",
                                                 TSettingsBackup::BackupPlaceQuestion(), "数据备份完成，请确认！"}));
    const QString inFolder = rig.ProgramDir.path() + "/BackUp/sasback.txt";
    ASSERT_TRUE(QFile::exists(inFolder));

    // The file carried on a removable disk, another refresh rate and test in it.
    QFile f(inFolder);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray text = f.readAll();
    f.close();
    ASSERT_TRUE(text.contains("\r\n103\r\n5\r\n") && text.contains("\r\n101\r\n0\r\n"));
    text.replace("\r\n103\r\n5\r\n", "\r\n103\r\n9\r\n").replace("\r\n101\r\n0\r\n", "\r\n101\r\n2\r\n");
    QDir(rig.ProgramDir.path()).mkpath("usb");
    chosen = rig.ProgramDir.path() + "/usb/sasback.txt";
    QFile usb(chosen);
    ASSERT_TRUE(usb.open(QIODevice::WriteOnly));
    usb.write(text);
    usb.close();

    rig.Messages.clear();
    rig.Messages.queueAnswer(TMsgResult::Ok);
    rig.Messages.queueAnswer(TMsgResult::No); // not the program folder's
    restore->trigger();
    EXPECT_EQ(rig.Messages.lastText(), "数据恢复完成，部分参数需要重新启动采能起作用！");
    EXPECT_EQ(w->CheckedTestIndex(), 2);

    // Closing writes the settings block and the test back: the restored ones.
    w->close();
    quint8 rate = 0;
    QString test;
    ASSERT_TRUE(ZovData()->ReadNumByte(103, rate) && ZovData()->ReadStr(101, test));
    EXPECT_EQ(rate, 9);
    EXPECT_EQ(test, "2");
}

// With the English texts installed no question, message or caption of the
// backup, the restore or the hardware test window is left in Chinese.
TEST(BackupCommands, EveryTextHasItsEnglish)
{
    QTranslator english;
    ASSERT_TRUE(english.load(kvtest::StageDir() + "/Kalvio6.ENU.qm"));
    QCoreApplication::installTranslator(&english);
    const auto chinese = &kvtest::HasChinese;
    TWindowRig rig;
    QString chosen = rig.ProgramDir.path() + "/bad.txt";
    rig.Steps.ChooseBackupFile = [&](QWidget *, bool, const QString &) { return chosen; };
    auto w = rig.Create();
    w->show();
    QStringList texts{Child<QAction>(*w, "menuBackPar")->text(), Child<QAction>(*w, "menuResPar")->text()};
    Child<QAction>(*w, "menuResPar")->trigger(); // no file in the program folder
    Child<QAction>(*w, "menuBackPar")->trigger();
    // Every reason a restore gives, and a backup that cannot be written.
    for (const QByteArray &bad : {QByteArray(), QByteArray("\xff\xfe"), QByteArray("x"), QByteArray("[SavNum]\r\nx\r\n1\r\n"),
                                  QByteArray("[SavNum]\r\n1\r\n1e99\r\n"), QByteArray("[SavNum]\r\n[Foo]\r\n"),
                                  QByteArray("[SavNum]\r\n[Tester]\r\n"), QByteArray("[SavNum]\r\n")}) {
        QFile f(chosen);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bad) == bad.size());
        f.close();
        texts << TSettingsBackup(*ZovData()).RestoreFromFile(chosen).Message;
    }
    texts << TSettingsBackup(*ZovData()).BackupToFile(chosen + "/sasback.txt").Message << TSettingsBackup::NoChosenFileText();
    for (const TMsgRequest &m : rig.Messages.messages())
        texts << m.text << m.caption;

    coretest::TFakeDriver box(nullptr, true, 1);
    TfrmTestHardWare hardware(box);
    hardware.show();
    Child<QPushButton>(hardware, "btnMode")->click();
    hardware.grab().save("/tmp/kv_testhardware_en.png");
    texts << hardware.windowTitle() << hardware.findChild<QLabel *>()->text()
          << Child<QPushButton>(hardware, "btnMode")->text();
    Child<QPushButton>(hardware, "btnMode")->click();
    for (QPushButton *b : hardware.findChildren<QPushButton *>())
        texts << b->text();
    QCoreApplication::removeTranslator(&english);
    EXPECT_GE(texts.size(), 25);
    for (const QString &t : texts)
        EXPECT_FALSE(chinese(t)) << t.toStdString();
}
