// The parameters in the running program on the simulated box, in real time,
// for one model of each family: a box whose memory differs at start-up opens
// the difference dialog; a run refused for the difference opens it again and
// "软件参数准确" writes the box; at the next start "控制箱参数准确" stores the
// box's values; each choice leaves a backup of the side it overwrote; a value
// changed in the parameter window reaches its box word; and with start force
// and start-judge force set in the window, specimens below the factory
// start-judge force break and are stored (a whole cement group on KVD300).
#include "../run/RunTestSupport.h"
#include "../run/SimRunRig.h"

#include "ui/params/DifferenceDialog.h"
#include "ui/params/ParamsWindow.h"
#include "link/BoxModels.h"
#include "link/ParamExchange.h"
#include "db/DbEngine.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace kv;
using linktest::TSim;
using kvtest::Child;

namespace {

struct TFamilyCase {
    int Type;
    const char *Model;
    const char *Module;      // shipped module of the run, or null for the probe test
    int FactoryValveBack;    // the installed set's valve back-off
    const char *StartForce;  // entered in the window, display units
    const char *StartJudge;
    std::vector<double> Strengths; // N, of the specimens run afterwards
};

const TFamilyCase kCases[] = {
    // A cement group of six at 30 to 40 MPa on 40 x 40 mm: 48 to 64 kN, all
    // below the factory start-judge force of 60 kN except one.
    {0, "KVD300", "CemComp", 3000, "5", "10", {52000, 60500, 57500, 49000, 63000, 55500}},
    {1, "KVD510", nullptr, 3000, "2", "4", {9000}},
    {2, "KVD520", nullptr, 2000, "100", "150", {2500}},
};

// Answers the first visible dialog of type T once it shows up (polling: the
// dialog opens from inside nested event loops at start-up and at a run).
template <class T> void AnswerWhenShown(std::function<void(T &)> answer)
{
    auto *timer = new QTimer;
    auto done = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, done] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<T *>(w); d && d->isVisible() && !*done) {
                *done = true;
                timer->stop();
                timer->deleteLater();
                answer(*d);
                return;
            }
    });
    QTimer::singleShot(120000, timer, [timer] { timer->deleteLater(); });
    timer->start(50);
}

class ParamsInProgram : public ::testing::TestWithParam<TFamilyCase> {
protected:
    void SetUp() override
    {
        const TFamilyCase &c = GetParam();
        rig = std::make_unique<runtest::TSimRunRig>(c.Type, c.Module ? QLatin1String(c.Module) : QString());
        InstallDifferenceDialog(rig->Folder.Path());
        sim = std::make_unique<TSim>(rig->Folder, QLatin1String(c.Model), 1, QStringList{"--noise", "0"});
        ASSERT_TRUE(sim->WaitReady());
        valveBackWord = 55 + BoxModel(c.Type).Family.ParamOffset;
    }
    void TearDown() override
    {
        if (rig && rig->W)
            CloseWindow();
        rig.reset();
    }

    int Word(int address) const
    {
        const QString reply = sim->Send(QStringLiteral("param %1").arg(address));
        const QString head = QStringLiteral("%1 = ").arg(address);
        const int at = reply.indexOf(head);
        return at < 0 ? -1 : reply.mid(at + head.size()).section(QLatin1Char('\n'), 0, 0).toInt();
    }
    // The software set as stored: a fresh driver of the model loads it.
    int Stored(const char *caption) const
    {
        db::TDbConnection conn;
        conn.open(rig->Db.path);
        auto box = CreateCtrlBox(GetParam().Type);
        TBaseParams set(*box, &conn);
        set.LoadParams();
        return set.Value(set.IndexOfCaption(QString::fromUtf8(caption)));
    }
    // The newest backup file under the program folder's BackUp/.
    QString NewestBackup() const
    {
        const QFileInfoList files =
            QDir(rig->Folder.Path() + QStringLiteral("/BackUp")).entryInfoList({"*.ini"}, QDir::Files, QDir::Time);
        if (files.isEmpty())
            return QString();
        QFile f(files.first().filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void CloseWindow()
    {
        rig->W->close();
        rig->W.reset();
    }
    TBaseParams &Params() const { return *dynamic_cast<TBaseParams *>(rig->Box->ParamSet()); }

    // The test of the runs: the module's, filled in, or a probe test.
    void PrepareRun()
    {
        const TFamilyCase &c = GetParam();
        if (!c.Module) {
            auto test = std::make_unique<runtest::TProbeTest>();
            test->FSpeed = c.Type == 2 ? 250.0f : 2400.0f;
            probe = test.get();
            rig->W->MyFunction()->AddTest(QStringLiteral("Probe"), std::move(test));
            rig->W->MyFunction()->SetCurrentIndex(rig->W->MyFunction()->TestCount() - 1);
            rig->W->EnableAllButton();
            return;
        }
        QWidget *form = rig->W->ParamForm();
        ASSERT_NE(form, nullptr);
        form->findChild<QLineEdit *>("edtGroupNo")->setText(QStringLiteral("P18"));
        form->findChild<QComboBox *>("cbSize")->setCurrentText(QStringLiteral("40*40"));
        form->findChild<QComboBox *>("cbRate")->setCurrentText(QStringLiteral("5.0"));
        form->findChild<QComboBox *>("cbCount")->setCurrentText(QStringLiteral("6"));
        form->findChild<QComboBox *>("cbMode")->setCurrentIndex(0);
    }

    std::unique_ptr<runtest::TSimRunRig> rig;
    std::unique_ptr<TSim> sim;
    runtest::TProbeTest *probe = nullptr;
    int valveBackWord = 0;
};

constexpr const char *kValveBack = "刚接触时的回退量";

} // namespace

TEST_P(ParamsInProgram, DifferencesAtStartUpAndAtARunAreResolvedAndWindowChangesReachTheBox)
{
    const TFamilyCase &c = GetParam();

    // 1. The box's memory differs at start-up; the operator leaves both sides.
    ASSERT_TRUE(sim->Ok(QStringLiteral("param %1 4321").arg(valveBackWord)));
    bool asked = false;
    AnswerWhenShown<TfrmMessage>([&](TfrmMessage &d) {
        asked = true;
        d.findChild<QPushButton *>("Button3")->click();
    });
    rig->Show();
    ASSERT_TRUE(asked) << "the difference dialog opened at start-up";
    ASSERT_TRUE(rig->Box->IsOnline());
    EXPECT_EQ(rig->Box->ParamDiffCount, 1);
    EXPECT_EQ(Word(valveBackWord), 4321);
    EXPECT_EQ(Stored(kValveBack), c.FactoryValveBack);
    PrepareRun();

    // 2. A run refused for the difference opens the dialog: the software is
    // right. The box is backed up, written, read back, and the run starts.
    asked = false;
    AnswerWhenShown<TfrmMessage>([&](TfrmMessage &d) {
        asked = true;
        rig->Messages.queueAnswer(TMsgResult::Yes);
        d.findChild<QPushButton *>("Button1")->click();
    });
    rig->Messages.clear();
    Child<QPushButton>(*rig->W, "btnRun")->click();
    ASSERT_TRUE(asked);
    EXPECT_EQ(rig->Messages.texts(), QStringList{QString::fromUtf8("系统将以软件参数为准,请再次确认")});
    EXPECT_EQ(rig->Box->ParamDiffCount, 0);
    EXPECT_TRUE(rig->W->Run().Active()) << "the run went ahead";
    EXPECT_EQ(Word(valveBackWord), c.FactoryValveBack);
    EXPECT_TRUE(NewestBackup().contains(QString::fromUtf8("\n%1=4321\n").arg(QString::fromUtf8(kValveBack))))
        << NewestBackup().toStdString();
    Child<QPushButton>(*rig->W, "btnStop")->click();
    ASSERT_TRUE(rig->WaitFor([&] { return rig->RunOver(); }, 15000));
    if (rig->W->Run().GroupActive())
        rig->W->Run().EndGroupClick();
    CloseWindow();

    // 3. Changed at the box again, and at the next start the box is right:
    // its value is stored, the software's set before it backed up.
    QThread::msleep(1100); // a backup file per second
    ASSERT_TRUE(sim->Ok(QStringLiteral("param %1 4444").arg(valveBackWord)));
    asked = false;
    AnswerWhenShown<TfrmMessage>([&](TfrmMessage &d) {
        asked = true;
        rig->Messages.queueAnswer(TMsgResult::Yes);
        d.findChild<QPushButton *>("Button2")->click();
    });
    rig->Show();
    ASSERT_TRUE(asked);
    EXPECT_EQ(rig->Box->ParamDiffCount, 0);
    EXPECT_EQ(rig->Box->FValveBack, 4444);
    EXPECT_EQ(Stored(kValveBack), 4444);
    EXPECT_TRUE(NewestBackup().contains(QString::fromUtf8("\n%1=%2\n").arg(QString::fromUtf8(kValveBack)).arg(c.FactoryValveBack)))
        << NewestBackup().toStdString();
    PrepareRun();

    // 4. The parameter window: start force and start-judge force for the
    // specimens below, and a box value written to its word.
    asked = false;
    AnswerWhenShown<TfrmBaseParams>([&](TfrmBaseParams &w) {
        asked = true;
        TBaseParams &set = Params();
        w.SoftEdit(set.IndexOfCaption(QString::fromUtf8("起始力值")))->setText(QLatin1String(c.StartForce));
        w.SoftEdit(set.IndexOfCaption(QString::fromUtf8("破碎起判力值")))->setText(QLatin1String(c.StartJudge));
        w.SoftEdit(set.IndexOfCaption(QString::fromUtf8(kValveBack)))->setText(QStringLiteral("1234"));
        w.btnCorrectBoxClick();
        w.btnOKClick(); // the write runs on; the window closes when it is done
    });
    rig->Messages.clear();
    Child<QAction>(*rig->W, "menuAdvanced")->trigger();
    ASSERT_TRUE(asked);
    EXPECT_TRUE(rig->Messages.texts().isEmpty()) << rig->Messages.texts().join(';').toStdString();
    EXPECT_EQ(Word(valveBackWord), 1234) << "in the box's memory";
    EXPECT_EQ(Stored(kValveBack), 1234);
    const double unit = c.Type == 2 ? 1.0 : 1000.0;
    EXPECT_EQ(rig->Box->FForcedLoad, int(QByteArray(c.StartForce).toDouble() * unit));
    EXPECT_EQ(Stored("破碎起判力值"), int(QByteArray(c.StartJudge).toDouble() * unit));
    EXPECT_EQ(rig->Box->ParamDiffCount, 0);

    // 5. The specimens break below the factory start-judge force and are stored.
    QStringList strengths;
    for (double s : c.Strengths)
        strengths << QString::number(s, 'f', 0);
    ASSERT_TRUE(sim->Ok(QStringLiteral("strength ") + strengths.join(' ')));
    rig->Messages.clear();
    for (size_t i = 0; i < c.Strengths.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(rig->RunOneSpecimen(90000));
        ASSERT_TRUE(rig->WaitFor([&] { return rig->Box->ReadForce() < 0.2 * c.Strengths[i]; }, 8000));
    }
    if (probe) {
        ASSERT_EQ(probe->Forces.size(), qsizetype(c.Strengths.size()));
        for (size_t i = 0; i < c.Strengths.size(); ++i)
            EXPECT_NEAR(probe->Forces[qsizetype(i)], c.Strengths[i], 0.01 * c.Strengths[i]);
        return;
    }
    EXPECT_FALSE(rig->W->Run().GroupActive()) << "the group of six is complete";
    db::TDbConnection conn;
    conn.open(rig->Db.path);
    db::TDbQuery q(conn);
    q.setSql(QStringLiteral("select OnekN from CemCompGROne where ZuHao = 'P18' order by ShunXu"));
    q.open();
    ASSERT_EQ(q.recordCount(), 6);
    for (int i = 0; i < 6; ++i) {
        q.moveTo(i);
        EXPECT_NEAR(q.fieldByName(QStringLiteral("OnekN")).asFloat(), c.Strengths[size_t(i)], 0.01 * c.Strengths[size_t(i)]);
    }
}

INSTANTIATE_TEST_SUITE_P(Family, ParamsInProgram, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TFamilyCase> &i) {
                             return std::string(i.param.Model);
                         });
