// crash_runner: a scripted operator. It is the program (TStartup, the main
// window, the real driver on the simulator's port, the shipped module in
// dll/) on a given program folder and database, and drives one group through
// the window: fills the module's form, clicks 运行 for each specimen or lets
// the continuous countdown start them. In resume mode it starts on the same
// folder, accepts the unfinished group the program offers and completes it.
// Progress goes to stdout, one line each, for the crash harness to follow:
//   online, N parameters differ | read again, N parameters differ | test NAME
//   offered GROUP next K | not-offered | group GROUP size N | loading K
//   steps skipped N (at each unload, since the start) | stored K FORCE
//   countdown K | retry K | complete GROUP N | closed
//   message TEXT (every message box) | fail WHY (exit 3)
// A "stored" line comes only after the specimen's rows were committed.
// KV_CRASH_WRITE=TABLE:OP:N:within|after makes the process kill itself
// inside a database write (see CrashPoint.h).
#include "CrashPoint.h"

#include "app/Startup.h"
#include "host/ModuleHost.h"
#include "link/CtrlBox.h"
#include "link/ParamSet.h"
#include "link/SerialPort.h"
#include "store/DataModule.h"
#include "ui/main/MainWindow.h"
#include "MessageService.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

using namespace kv;

namespace {

void Say(const QString &line)
{
    const QByteArray b = line.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::atomic<int> gTurns{0};   // turns of the main thread's event loop

[[noreturn]] void Fail(const QString &why)
{
    Say(QStringLiteral("fail ") + why);
    std::_Exit(3);
}

// Every message box is reported; the answers are the recorder's (the first,
// affirmative button: Yes to continuing an unfinished group).
class TScriptedMessages : public TRecordingMessageService {
public:
    TMsgResult show(const TMsgRequest &request) override
    {
        QString text = request.text;
        Say(QStringLiteral("message ") + text.replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return TRecordingMessageService::show(request);
    }
};

struct TScript {
    QString Group, Count, Size, Rate, Delay;   // Delay empty: one specimen per click
    bool Continuous() const { return !Delay.isEmpty(); }
};

class TOperator {
public:
    TOperator(TfrmMeasure &w, TCtrlBox &box, const TRecordingMessageService &messages, int timeoutS)
        : W(w), Box(box), Messages(messages), TimeoutMs(timeoutS * 1000)
    {
        Clock.start();
    }

    TBaseTest &Test()
    {
        TBaseTest *t = W.MyFunction()->CurrentTest();
        if (!t)
            Fail(QStringLiteral("no test selected"));
        return *t;
    }

    // Follows the window: the start of each run, each specimen stored, the
    // countdown between continuous runs.
    void Watch()
    {
        TBaseTest &t = Test();
        const bool active = W.Run().Active();
        if (active && !FWasActive)
            Say(QStringLiteral("loading %1").arg(t.FCurrent));
        if (!active && FWasActive) {
            FUnloaded.start();
            Say(QStringLiteral("steps skipped %1").arg(W.Run().SkippedSteps()));
        }
        FWasActive = active;
        const int current = t.FCurrent;
        if (current > FCurrent) {
            for (int k = FCurrent; k < current; ++k)
                Stored(k);
        } else if (current < FCurrent) {
            // The last specimen ended the group in the same step.
            if (W.Run().GroupActive() || FCurrent != t.FGroupSize)
                Fail(QStringLiteral("the group ended after specimen %1 of %2").arg(FCurrent - 1).arg(t.FGroupSize));
            Stored(FCurrent);
            FComplete = true;
        }
        FCurrent = current;
        const bool pending = W.Run().State().AutoRunPending.load();
        if (pending && !FWasPending)
            Say(QStringLiteral("countdown %1").arg(current));
        FWasPending = pending;
    }

    void Stored(int k)
    {
        const TSpecial *s = Test().GetSpecial(k - 1);
        Say(QStringLiteral("stored %1 %2").arg(k).arg(s ? s->FForce : -1.0, 0, 'f', 1));
    }

    // Lets the window work until done(), ms or the script's time is up.
    void WaitFor(const std::function<bool()> &done, const QString &what, qint64 ms = -1)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done()) {
            if (Clock.elapsed() > TimeoutMs || (ms >= 0 && waited.elapsed() > ms))
                Fail(QStringLiteral("timed out waiting for %1 (run %2, 运行 %3, force %4 N)")
                         .arg(what, W.Run().Active() ? QStringLiteral("active") : QStringLiteral("idle"),
                              W.RunEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled"))
                         .arg(double(Box.ReadForce()), 0, 'f', 0));
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            Watch();
        }
    }

    void FillForm(const TScript &s)
    {
        QWidget *form = W.ParamForm();
        if (!form)
            Fail(QStringLiteral("no parameter form"));
        auto combo = [form](const char *name, const QString &text) {
            auto *box = form->findChild<QComboBox *>(QLatin1String(name));
            if (!box)
                Fail(QStringLiteral("no %1 on the form").arg(QLatin1String(name)));
            if (!text.isEmpty())
                box->setCurrentText(text);
            return box;
        };
        auto *group = form->findChild<QLineEdit *>(QStringLiteral("edtGroupNo"));
        if (!group)
            Fail(QStringLiteral("no edtGroupNo on the form"));
        group->setText(s.Group);
        combo("cbSize", s.Size);
        combo("cbRate", s.Rate);
        combo("cbCount", s.Count);
        combo("cbMode", QString())->setCurrentIndex(s.Continuous() ? 1 : 0);
        if (s.Continuous())
            combo("cbDelay", s.Delay);
    }

    // One click of 运行 once the force is off, the next specimen placed (the
    // platen has gone down for a while) and Run is enabled.
    void ClickRun()
    {
        WaitFor(
            [this] {
                return !W.Run().Active() && W.RunEnabled() && Box.ReadForce() < 1000.0f &&
                       (!FUnloaded.isValid() || FUnloaded.elapsed() >= kPlacingMs);
            },
            QStringLiteral("the platen to come down"), 30000);
        W.findChild<QPushButton *>(QStringLiteral("btnRun"))->click();
        Watch();
        if (!W.Run().Active())
            Fail(QStringLiteral("运行 started no run: ") + Messages.lastText());
    }

    // Runs the group to its end: a click per specimen, or in continuous mode
    // one click and the countdown for the rest. A start refused because the
    // force came within the first second (samples left out on a machine short
    // of processor time count as not taken) is clicked again, as an operator
    // would; any other message ends the script.
    void Complete(bool continuous)
    {
        static const QString refused = QStringLiteral("初始力值过大，系统无法加载，请检查是否清零！");
        FCurrent = Test().FCurrent;
        int shown = Messages.messages().size();
        ClickRun();
        Say(QStringLiteral("group %1 size %2").arg(Test().FGroupNo).arg(Test().FGroupSize));
        int retries = 0;
        while (!FComplete) {
            const int k = FCurrent;
            bool again = false;
            WaitFor(
                [this, k, shown, &again] {
                    if (Messages.messages().size() > shown) {
                        if (Messages.lastText() != refused)
                            Fail(QStringLiteral("a message during specimen %1").arg(k));
                        again = true;
                    }
                    return again || FComplete || FCurrent > k;
                },
                QStringLiteral("specimen %1 to be stored").arg(k));
            if (again) {
                shown = Messages.messages().size();
                if (++retries > 3)
                    Fail(QStringLiteral("specimen %1 refused again and again").arg(k));
                Say(QStringLiteral("retry %1").arg(k));
                continuous = false;   // the program's stop ended continuous testing
                ClickRun();
            } else if (!FComplete && !continuous) {
                ClickRun();
            }
        }
        Say(QStringLiteral("complete %1 %2").arg(Test().FGroupNo).arg(Test().FGroupSize));
    }

private:
    TfrmMeasure &W;
    TCtrlBox &Box;
    const TRecordingMessageService &Messages;
    QElapsedTimer Clock;
    qint64 TimeoutMs;
    QElapsedTimer FUnloaded;   // since the last run ended
    static constexpr int kPlacingMs = 1500;
    bool FWasActive = false;
    bool FWasPending = false;
    bool FComplete = false;
    int FCurrent = 1;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    const QCommandLineOption dirOpt(QStringLiteral("dir"), QStringLiteral("Program folder (ports/, dll/, OutFile/)."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption dbOpt(QStringLiteral("db"), QStringLiteral("Database file."), QStringLiteral("FILE"));
    const QCommandLineOption moduleOpt(QStringLiteral("module"), QStringLiteral("Shipped module to install."),
                                       QStringLiteral("NAME"));
    const QCommandLineOption modeOpt(QStringLiteral("mode"), QStringLiteral("fresh or resume."), QStringLiteral("MODE"),
                                     QStringLiteral("fresh"));
    const QCommandLineOption machineOpt(QStringLiteral("machine"), QStringLiteral("Machine type 0..5 (fresh)."),
                                        QStringLiteral("T"), QStringLiteral("0"));
    const QCommandLineOption groupOpt(QStringLiteral("group"), QStringLiteral("Group number."), QStringLiteral("G"));
    const QCommandLineOption countOpt(QStringLiteral("count"), QStringLiteral("Specimens."), QStringLiteral("N"));
    const QCommandLineOption sizeOpt(QStringLiteral("size"), QStringLiteral("Size text."), QStringLiteral("S"));
    const QCommandLineOption rateOpt(QStringLiteral("rate"), QStringLiteral("Rate, kN/s."), QStringLiteral("R"));
    const QCommandLineOption delayOpt(QStringLiteral("delay"), QStringLiteral("Continuous mode with this delay, s."),
                                      QStringLiteral("D"));
    const QCommandLineOption timeoutOpt(QStringLiteral("timeout"), QStringLiteral("Seconds for the whole script."),
                                        QStringLiteral("S"), QStringLiteral("150"));
    p.addOptions({dirOpt, dbOpt, moduleOpt, modeOpt, machineOpt, groupOpt, countOpt, sizeOpt, rateOpt, delayOpt,
                  timeoutOpt});
    p.process(app);
    const QString dir = QDir(p.value(dirOpt)).absolutePath();
    const QString db = p.value(dbOpt);
    const bool resume = p.value(modeOpt) == QLatin1String("resume");
    if (p.value(dirOpt).isEmpty() || db.isEmpty() || p.value(moduleOpt).isEmpty())
        Fail(QStringLiteral("--dir, --db and --module are needed"));
    TScript script{p.value(groupOpt), p.value(countOpt), p.value(sizeOpt), p.value(rateOpt), p.value(delayOpt)};

    TScriptedMessages messages;
    TMessageGuard guard(&messages);

    if (!resume) {
        TZovData data(db);
        data.ExecSql(QStringLiteral("Update SavString set StrCont = '%1' where StrNo = 103").arg(p.value(machineOpt)));
    }
    const QString file = p.value(moduleOpt) + TestModuleSuffix();
    QDir().mkpath(dir + QStringLiteral("/dll"));
    if (!QFile::exists(dir + QStringLiteral("/dll/") + file) &&
        !QFile::copy(QStringLiteral(KV_STAGE_DIR "/dll/") + file, dir + QStringLiteral("/dll/") + file))
        Fail(QStringLiteral("cannot install ") + file);

    InstallBaseParamsFactory();
    TStartup::TOptions options;
    options.ProgramFile = dir + QStringLiteral("/Kalvio6");
    options.DatabaseFile = db;
    options.ShowMaximized = false;
    TStartup startup(options);
    TCtrlBox *box = nullptr;
    startup.Steps.Login = [](QWidget *) { return TLoginOutcome{true, QStringLiteral("Admin")}; };
    startup.Steps.AskQuit = [](QWidget *) { return true; };
    startup.Steps.QuitApplication = [] {};
    startup.Steps.CreateDriver = [&box, dir](int type) {
        auto d = CreateCtrlBox(type);
        box = d.get();
        box->SetSerialFactory([dir] { return std::make_unique<TMSComm>(dir); });
        return d;
    };
    if (startup.Run() != TStartup::TOutcome::Started)
        Fail(QStringLiteral("the program did not start"));
    TfrmMeasure &w = *startup.MainWindow();
    if (!box || !w.IsOnline())
        Fail(QStringLiteral("the box is not online"));
    Say(QStringLiteral("online, %1 parameters differ").arg(box->ParamDiffCount));
    // A box that answered a read too late (a machine short of processor time)
    // leaves items unknown, which count as differences and would open the
    // difference dialog at 运行: the operator reads the box again first.
    for (int again = 0; again < 3 && box->ParamDiffCount > 0; ++again) {
        box->SetADState(adOff);
        box->CompareParams();
        box->SetADState(adRelative);
        Say(QStringLiteral("read again, %1 parameters differ").arg(box->ParamDiffCount));
    }

    if (!qEnvironmentVariableIsEmpty("KV_CRASH_WRITE")) {
        QString error;
        if (!crash::InstallCrashPoint(w.DataModule()->conZovDb.database(), qEnvironmentVariable("KV_CRASH_WRITE"),
                                      &error))
            Fail(error);
    }
    // A one-point force drop of 1 kN after 2 kN decides the break.
    box->FJudgeFlags = TJudgeFlags{true, false, false};
    box->FJudgeLoadPointType = 1;
    box->FBreakValue = 1000;
    box->FStartJudge = 2000;

    // A window the script cannot answer would keep it waiting for ever: it
    // ends the script, as does a main thread that stops turning.
    QTimer modalGuard;
    QObject::connect(&modalGuard, &QTimer::timeout, [] {
        gTurns.fetch_add(1);
        if (QWidget *m = QApplication::activeModalWidget())
            Fail(QStringLiteral("a window stays open: %1 \"%2\"")
                     .arg(QLatin1String(m->metaObject()->className()), m->windowTitle()));
    });
    modalGuard.start(1000);
    std::thread([] {
        int last = -1;
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(20));
            const int now = gTurns.load();
            if (now == last)
                Fail(QStringLiteral("the main thread is stuck"));
            last = now;
        }
    }).detach();

    TOperator op(w, *box, messages, p.value(timeoutOpt).toInt());
    Say(QStringLiteral("test ") + op.Test().FTestName);
    bool continuous = script.Continuous();
    if (w.Run().GroupActive()) {
        Say(QStringLiteral("offered %1 next %2").arg(op.Test().FGroupNo).arg(op.Test().FCurrent));
        continuous = false;   // a resumed group goes on one specimen at a time
    } else {
        if (resume)
            Say(QStringLiteral("not-offered"));
        op.FillForm(script);
    }
    op.Complete(continuous);

    w.close();
    if (w.isVisible())
        Fail(QStringLiteral("the window did not close"));
    Say(QStringLiteral("closed"));
    return 0;
}
