// The parameter window offscreen: pages and display units per family, the
// limit check, backup and restore, cancel after a restore, OK refused while
// the two sides differ.
#include "ParamTestSupport.h"
#include "link/ParamBackup.h"
#include "link/ParamExchange.h"
#include "link/ParamSet.h"
#include "ui/params/ParamsWindow.h"

#include "Clock.h"
#include "MessageService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

class ParamsWindow : public ::testing::Test {
protected:
    void Make(int type, const QString &user = QStringLiteral("Tester"))
    {
        window.reset();
        params.reset();
        box = paramtest::MemoryBox(type, memory);
        box->Online = 1;
        box->FMaxLoad = 300000;
        box->FStartJudge = 12340;
        params = std::make_unique<kv::TBaseParams>(*box);
        window = std::make_unique<kv::TfrmBaseParams>(*params, user);
        window->SetFileDialog([this](QWidget *, bool) { return file; });
    }
    int At(const char *name) const // by the driver field's stored name on family 510
    {
        static const std::map<std::string, const char *> captions = {
            {"FMaxLoad", "系统最大力"}, {"FStartJudge", "破碎起判力值"}, {"FExistHand", "带手动控制"},
            {"FValveBack", "刚接触时的回退量"}};
        return params->IndexOfCaption(QString::fromUtf8(captions.at(name)));
    }
    QLineEdit *Soft(const char *name) const { return window->SoftEdit(At(name)); }
    void FillValid() // a valid entry in every software edit
    {
        const double maxForce = Soft("FMaxLoad")->text().toDouble();
        for (int i = 0; i < params->Count(); ++i)
            if (QLineEdit *e = window->SoftEdit(i); e && i != At("FMaxLoad"))
                for (const char *t : {"1", "10", "100", "1000", "6000", "30000", "60000", "0.5", "50"})
                    if (params->Validate(i, QLatin1String(t), maxForce).isEmpty()) {
                        e->setText(QLatin1String(t));
                        break;
                    }
    }
    void Wait() // for the exchange started by the window
    {
        QEventLoop loop;
        QObject::connect(&window->Exchange(), &kv::TParamExchange::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
    }

    kv::TVirtualClock clock;
    kv::TClockGuard guard{&clock};
    kv::TRecordingMessageService messages;
    kv::TMessageGuard messageGuard{&messages};
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("p.ini"));
    std::shared_ptr<paramtest::TBoxMemory> memory;
    std::unique_ptr<kv::TCtrlBox> box;
    std::unique_ptr<kv::TBaseParams> params;
    std::unique_ptr<kv::TfrmBaseParams> window;
};

} // namespace

TEST_F(ParamsWindow, EachFamilyShowsItsPagesAndForcesInDisplayUnits)
{
    for (int type : {0, 1, 2}) {
        Make(type, type == 1 ? QStringLiteral("quilmo") : QStringLiteral("Tester"));
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8("高级参数"));
        QTabWidget *pages = window->Pages();
        ASSERT_EQ(pages->count(), 7);
        EXPECT_EQ(pages->tabText(6), QString::fromUtf8("破碎判断方式"));
        EXPECT_EQ(pages->isTabVisible(4), type == 1) << type;
        EXPECT_EQ(Soft("FMaxLoad")->text(), params->ShowValue(At("FMaxLoad"))) << type;
        EXPECT_EQ(Soft("FStartJudge")->text(), QLatin1String(type == 2 ? "12340.00" : "12.34")) << "12340 N";
        EXPECT_NE(window->SoftChoice(At("FExistHand")), nullptr);
        const QString unit = QLatin1String(type == 2 ? "(N)" : "(kN)");
        bool captioned = false;
        for (const QLabel *l : window->findChildren<QLabel *>())
            captioned = captioned || l->text() == params->Item(At("FStartJudge")).Caption + unit;
        EXPECT_TRUE(captioned) << "force captions carry their unit, " << type;
    }
}

TEST_F(ParamsWindow, OutOfLimitIsRefusedAndCorrectBoxFlagsTheRow)
{
    Make(1);
    FillValid();
    Soft("FValveBack")->setText(QStringLiteral("20"));
    window->btnCorrectBoxClick();
    EXPECT_TRUE(messages.lastText().startsWith(params->Item(At("FValveBack")).Caption)) << messages.lastText().toStdString();
    EXPECT_FALSE(params->Differs(At("FValveBack")));
    Soft("FValveBack")->setText(QStringLiteral("800"));
    EXPECT_FALSE(window->BoxEdit(At("FValveBack"))->styleSheet().isEmpty()) << "highlighted";
    messages.clear();
    window->btnCorrectBoxClick();
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.lastText().toStdString();
    EXPECT_TRUE(params->Differs(At("FValveBack")));
    EXPECT_EQ(window->BoxEdit(At("FValveBack"))->text(), QStringLiteral("800"));
    EXPECT_TRUE(window->BoxEdit(At("FValveBack"))->styleSheet().isEmpty());
}

TEST_F(ParamsWindow, BackupRestoreWrongFileAndCancel)
{
    Make(1);
    const std::vector<int> before = params->Snapshot();
    window->btnBackupClick();
    Soft("FValveBack")->setText(QStringLiteral("999"));
    box->FValveBack = 999;
    window->btnRestoreClick();
    EXPECT_EQ(messages.lastText(), QString::fromUtf8("还原成功!"));
    EXPECT_EQ(Soft("FValveBack")->text(), params->ShowValue(At("FValveBack")));
    EXPECT_EQ(params->Snapshot(), before);
    box->FValveBack = 777;
    window->btnCancelClick();
    EXPECT_EQ(box->FValveBack, 999) << "cancel undoes the restore";

    Make(0);
    window->btnRestoreClick(); // the KVD-510 file
    EXPECT_EQ(messages.lastText(), QString::fromUtf8("该文件没有包含KVD-300的信息,可能不是正确的文件。"));
}

TEST_F(ParamsWindow, ReadShowsTheBoxAndOkRefusesWhileRowsDiffer)
{
    Make(2);
    box->Online = 0;
    window->btnOKClick();
    EXPECT_EQ(messages.lastText(), QString::fromUtf8("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"));
    box->Online = 1;
    window->btnReadClick();
    Wait();
    EXPECT_TRUE(window->BoxEdit(At("FMaxLoad"))->isVisibleTo(window.get()));
    EXPECT_GT(box->ParamDiffCount, 0);
    window->btnOKClick();
    EXPECT_EQ(messages.lastText(),
              QString::fromUtf8("软件与控制箱之间有%1个参数不一致,请判断").arg(box->ParamDiffCount));
    window->btnCorrectSoftClick();
    EXPECT_EQ(Soft("FMaxLoad")->text(), window->BoxEdit(At("FMaxLoad"))->text());
}

TEST_F(ParamsWindow, OkTakesTheSoftwareColumnAndWritesTheFlaggedItems)
{
    Make(1);
    FillValid();
    Soft("FValveBack")->setText(QStringLiteral("800"));
    window->findChild<QCheckBox *>(QStringLiteral("cbJudgeSpeed"))->setChecked(true);
    window->btnCorrectBoxClick();
    window->btnOKClick();
    Wait();
    EXPECT_EQ(window->result(), QDialog::Accepted) << messages.lastText().toStdString();
    EXPECT_EQ(box->FValveBack, 800);
    EXPECT_EQ(box->FJudgeFlags.Speed, true);
    EXPECT_EQ(memory->Words[params->Item(At("FValveBack")).Def->Address], 800);
}
