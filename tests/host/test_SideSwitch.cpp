// The side switch of a two-frame machine: another driver, its contact with
// the box, another set of tests, and the remembered test of each side.
#include "HostTestSupport.h"
#include "Rounding.h"

#include "host/TestList.h"

#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

using namespace hosttest;
using kvtest::Child;

namespace {

QString Current(const kv::TfrmMeasure &w)
{
    const kv::TBaseTest *t = w.MyFunction()->CurrentTest();
    return t ? t->FTestName : QString();
}

const QStringList kCompressive{"试验丙", "试验甲", "试验戊"}; // masks 6, 2, 3
const QStringList kFlexural{"试验乙", "试验丙"};              // masks 4, 6

} // namespace

TEST(SideSwitch, SwitchingTwiceReturnsToEachSidesTest)
{
    for (const int type : {1, 4}) { // hydraulic and motor-driven
        SCOPED_TRACE(type);
        THostRig rig(type);
        rig.Modules({"hm_alpha", "hm_beta", "hm_gamma", "hm_delta", "hm_pair"});
        rig.Sql(QStringLiteral("Update SavString set StrCont = '1' where StrNo = 101"));
        rig.Sql(QStringLiteral("Update SavString set StrCont = '1' where StrNo = 102"));
        auto w = rig.Create();
        w->show();
        ASSERT_EQ(Captions(Child<QMenu>(*w, "pmTestList")), kCompressive);
        EXPECT_EQ(Current(*w), QStringLiteral("试验甲"));
        QPointer<QWidget> oldForm = w->ParamForm();
        const int flexType = type == 1 ? 2 : 5;

        rig.DriverLog.clear();
        Child<QToolButton>(*w, "btnKZ")->click();
        EXPECT_EQ(rig.DriverTypes, (QList<int>{type, flexType}));
        EXPECT_TRUE(oldForm.isNull()); // freed with its test
        EXPECT_EQ(w->MachineTypeNo(), flexType);
        EXPECT_TRUE(Child<QToolButton>(*w, "btnKZ")->isChecked());
        EXPECT_FALSE(Child<QToolButton>(*w, "btnKY")->isChecked());
        EXPECT_EQ(Captions(Child<QMenu>(*w, "pmTestList")), kFlexural);
        EXPECT_EQ(Current(*w), QStringLiteral("试验丙"));
        EXPECT_EQ(rig.Saved(101), QStringLiteral("1"));
        EXPECT_EQ(rig.Saved(103), QString::number(flexType));
        // The driver left behind, then the new one's contact with the box.
        QStringList expected{"Deactivate", "Finish", "Init", "OpenPort", "SetADState(0)"};
        for (int i = 0; i < 12; ++i)
            expected << "ReadForceCode";
        expected << "Activate" << "SetADState(2)" << "CompareParams" << "SetADState(0)" << "ResetRunFields";
        EXPECT_EQ(rig.DriverLog, expected);
        EXPECT_EQ(w->PanelText(2), QStringLiteral("系统状态：联机工作"));
        EXPECT_TRUE(w->StatusTimerActive());
        EXPECT_EQ(Child<QLabel>(*w, "stMaxPre")->text(), kv::FormatValue(0, w->FLoadFormat));

        Child<QMenu>(*w, "pmTestList")->actions()[0]->trigger(); // 乙 on the flexural side
        EXPECT_EQ(rig.Saved(102), QStringLiteral("0"));

        Child<QToolButton>(*w, "btnKY")->click();
        EXPECT_EQ(rig.DriverTypes.size(), 2); // each driver is made once
        EXPECT_EQ(Captions(Child<QMenu>(*w, "pmTestList")), kCompressive);
        EXPECT_EQ(Current(*w), QStringLiteral("试验甲"));
        EXPECT_EQ(rig.Saved(103), QString::number(type));

        Child<QToolButton>(*w, "btnKZ")->click();
        EXPECT_EQ(Current(*w), QStringLiteral("试验乙"));
        EXPECT_TRUE(rig.Messages.messages().isEmpty());
    }
}

TEST(SideSwitch, ActiveSideButtonChangesNothing)
{
    THostRig rig(1);
    rig.Modules({"hm_alpha", "hm_gamma"});
    auto w = rig.Create();
    w->show();
    kv::TBaseTest *before = w->MyFunction()->CurrentTest();
    QPointer<QWidget> form = w->ParamForm();
    rig.DriverLog.clear();
    Child<QToolButton>(*w, "btnKY")->click();
    EXPECT_TRUE(rig.DriverLog.isEmpty());
    EXPECT_EQ(w->MyFunction()->CurrentTest(), before);
    EXPECT_FALSE(form.isNull());
    EXPECT_TRUE(Child<QToolButton>(*w, "btnKY")->isChecked());
    EXPECT_EQ(w->MachineTypeNo(), 1);
    EXPECT_TRUE(rig.Messages.messages().isEmpty());

    // Nor does the other side while a group is open.
    w->Run().State().GroupActive = true;
    w->OnClickMachine(Child<QToolButton>(*w, "btnKZ"));
    EXPECT_EQ(w->MachineTypeNo(), 1);
    EXPECT_EQ(w->MyFunction()->CurrentTest(), before);
    EXPECT_TRUE(Child<QToolButton>(*w, "btnKY")->isChecked());
    EXPECT_TRUE(rig.DriverLog.isEmpty());
    w->Run().State().GroupActive = false;
}
