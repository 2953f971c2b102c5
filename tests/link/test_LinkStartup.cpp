// The main window's first contact and closing with the real drivers against
// the simulated box: on-line start-up, the off-line warning with the serial
// settings repeated until the box answers or the operator cancels, and the
// commands sent when the window closes.
#include "SimProcess.h"

#include "ui/main/MainWindow.h"
#include "link/CtrlBox.h"
#include "link/SerialPort.h"
#include "link/ParamSet.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "TestSupport.h"
#include "MessageService.h"

#include <QPushButton>
#include <gtest/gtest.h>

using namespace linktest;
using kvtest::Child;

namespace {

const char *const kWarning = "无法联系控制器,系统无法正常运行,请检查控制器是否打开!";

struct TStartRig {
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    TPortFolder Folder;
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard Guard{&Messages};
    kv::TMeasureSteps Steps;
    kv::TCtrlBox *Box = nullptr;
    // Answers of the serial settings dialog: port to choose, or 0 = cancel.
    QList<int> DialogAnswers;
    std::function<void(int)> OnDialog = [](int) {};
    int DialogCalls = 0;

    explicit TStartRig(int machineType)
    {
        {
            kv::TZovData data(Db.path);
            data.ExecSql(QStringLiteral("Update SavString set StrCont = '%1' where StrNo = 103").arg(machineType));
        }
        kv::InstallBaseParamsFactory();
        Steps.Login = [](QWidget *) { return kv::TLoginOutcome{true, QStringLiteral("Admin")}; };
        Steps.AskQuit = [](QWidget *) { return true; };
        Steps.QuitApplication = [] {};
        const QString dir = Folder.Path();
        Steps.CreateDriver = [this, dir](int type) {
            auto d = kv::CreateCtrlBox(type);
            Box = d.get();
            Box->SetSerialFactory([dir] { return std::make_unique<kv::TMSComm>(dir); });
            return d;
        };
        Steps.CommSettings = [this](QWidget *, kv::TCtrlBox &box) {
            ++DialogCalls;
            const int answer = DialogAnswers.isEmpty() ? 0 : DialogAnswers.takeFirst();
            OnDialog(answer);
            if (answer == 0)
                return false;
            box.CommPort = answer;
            return true;
        };
    }
    ~TStartRig()
    {
        kv::TCtrlBox::SetParamSetFactory(nullptr);
        kv::SetZovData(nullptr);
    }

    std::unique_ptr<kv::TfrmMeasure> Show()
    {
        kv::TMeasureEnv env;
        env.ProgramDir = Folder.Path();
        env.Data = std::make_unique<kv::TZovData>(Db.path);
        kv::SetZovData(env.Data.get());
        env.Steps = Steps;
        auto w = std::make_unique<kv::TfrmMeasure>(std::move(env));
        w->show(); // the first show contacts the box
        return w;
    }

    QStringList Stored(const char *key, const char *name)
    {
        kv::TZovData data(Db.path);
        QStringList out;
        const auto rows = data.Open(QStringLiteral("select * from CtrlBoxSaveItems where CtrlBox = '%1' and Name = '%2'")
                         .arg(QLatin1String(key), QLatin1String(name)));
        for (rows->first(); !rows->eof(); rows->next())
            out << rows->fieldByName(QStringLiteral("Value")).asString();
        return out;
    }
};

} // namespace

TEST(LinkStartup, OnlineWithOneModelOfEachFamilyAndClosingCommands)
{
    struct Case { int type; const char *model; };
    for (Case c : {Case{0, "KVD300"}, Case{4, "KVD510_DJ"}, Case{2, "KVD520"}}) {
        SCOPED_TRACE(c.model);
        TStartRig rig(c.type);
        TSim sim(rig.Folder, QLatin1String(c.model), 1);
        ASSERT_TRUE(sim.WaitReady());
        auto w = rig.Show();
        EXPECT_EQ(w->PanelText(2), QStringLiteral("系统状态：联机工作"));
        EXPECT_TRUE(rig.Messages.messages().isEmpty()) << rig.Messages.lastText().toStdString();
        EXPECT_EQ(rig.DialogCalls, 0);
        ASSERT_NE(rig.Box, nullptr);
        EXPECT_TRUE(rig.Box->IsOnline());
        // The comparison with the box ran and found the installed parameter
        // set equal to the box's factory set.
        EXPECT_EQ(rig.Box->ParamDiffCount, 0);
        EXPECT_FALSE(sim.Send(QStringLiteral("status")).contains(QStringLiteral("streaming: off")));

        // Closing: streaming off and the host leaving; the port settings stored.
        w->close();
        EXPECT_TRUE(sim.Send(QStringLiteral("status")).contains(QStringLiteral("streaming: off")));
        w.reset();
        EXPECT_EQ(rig.Stored(c.model, "CommPort"), QStringList{QStringLiteral("1")});
        EXPECT_EQ(rig.Stored(c.model, "Settings").size(), 1);
    }
}

TEST(LinkStartup, OfflineUntilTheBoxIsSwitchedOnAtAnotherPort)
{
    TStartRig rig(1);
    std::unique_ptr<TSim> sim;
    // The operator first tries port 5 (nothing there), then switches the box
    // on and chooses port 2.
    rig.DialogAnswers = {5, 2};
    rig.OnDialog = [&](int port) {
        if (port == 2) {
            sim = std::make_unique<TSim>(rig.Folder, QStringLiteral("KVD510"), 2);
            ASSERT_TRUE(sim->WaitReady());
        }
    };
    auto w = rig.Show();
    EXPECT_EQ(rig.DialogCalls, 2);
    ASSERT_EQ(rig.Messages.messages().size(), 2);
    EXPECT_EQ(rig.Messages.messages().first().text, QString::fromUtf8(kWarning));
    EXPECT_EQ(rig.Messages.messages().first().icon, kv::TMsgIcon::Warning);
    EXPECT_EQ(w->PanelText(2), QStringLiteral("系统状态：联机工作"));
    EXPECT_EQ(rig.Box->CommPort, 2);
    w->close();
    w.reset();
    EXPECT_EQ(rig.Stored("KVD510", "CommPort"), QStringList{QStringLiteral("2")});
}

TEST(LinkStartup, OperatorCancelsAndTheProgramWorksOffline)
{
    TStartRig rig(5);
    rig.DialogAnswers = {3, 0}; // one more try on port 3, then cancel
    auto w = rig.Show();
    EXPECT_EQ(rig.DialogCalls, 2);
    EXPECT_EQ(rig.Messages.texts(), (QStringList{QString::fromUtf8(kWarning), QString::fromUtf8(kWarning)}));
    EXPECT_EQ(w->PanelText(2), QStringLiteral("系统状态：脱机工作"));
    EXPECT_FALSE(Child<QPushButton>(*w, "btnRun")->isEnabled());
    EXPECT_FALSE(rig.Box->IsOnline());
    EXPECT_EQ(rig.Box->ParamDiffCount, -1); // no comparison without a box
    w->close();
    w.reset();
    EXPECT_EQ(rig.Stored("KVD520_DJ", "CommPort"), QStringList{QStringLiteral("3")});
}
