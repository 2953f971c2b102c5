// Screenshots of the main window and its dialogs when KV_WINDOW_SHOTS names
// a folder: at rest, during a run, in English, and the three dialogs.
#include "WindowTestSupport.h"
#include "ui/dialogs/ControlModeDialog.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/ConstantLoadDialog.h"

#include <QDir>
#include <QTranslator>

using namespace kv;
using kvtest::Child;

namespace {

QString ShotDir()
{
    return qEnvironmentVariable("KV_WINDOW_SHOTS");
}

void Save(QWidget &w, const QString &name)
{
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(QDir(ShotDir()).filePath(name)));
}

struct TShotRig : windowtest::TWindowRunRig {
    TShotRig()
    {
        Steps.Login = [](QWidget *) { return TLoginOutcome{true, QStringLiteral("quilmo")}; };
        InstallConstantLoadDialog(Steps);
    }
    void OpenSized()
    {
        Open();
        W->resize(1280, 760);
        W->ResetChart();
        W->RefreshCaption();
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST(WindowShots, MainWindowAndDialogs)
{
    if (ShotDir().isEmpty())
        GTEST_SKIP() << "KV_WINDOW_SHOTS not set";
    QDir().mkpath(ShotDir());
    {
        TShotRig rig;
        rig.OpenSized();
        rig.Ticks(2);
        Save(*rig.W, QStringLiteral("main_rest.png"));

        rig.Box->Loading = runtest::Specimen(120000, 6000);
        Child<QPushButton>(*rig.W, "btnRun")->click();
        rig.Clock.advance(6000);
        QCoreApplication::processEvents();
        Save(*rig.W, QStringLiteral("main_running.png"));
        Child<QPushButton>(*rig.W, "btnStop")->click();
        rig.RunToEnd();

        TfrmStopPar stop(rig.W->DataModule(), rig.Box, false, 300000, rig.W->FLoadUnit, rig.W->FLoadCoe,
                         rig.W.get());
        stop.show();
        Save(stop, QStringLiteral("stoppar.png"));
        TfrmExplain about(rig.W.get());
        about.show();
        Save(about, QStringLiteral("about.png"));
        TChange change(1, rig.W.get());
        change.show();
        Save(change, QStringLiteral("change.png"));
    }
    {
        QTranslator english;
        ASSERT_TRUE(english.load(kvtest::StageDir() + QStringLiteral("/Kalvio6.ENU.qm")));
        QCoreApplication::installTranslator(&english);
        TShotRig rig;
        rig.OpenSized();
        rig.Ticks(2);
        Save(*rig.W, QStringLiteral("main_english.png"));
        TfrmStopPar stop(rig.W->DataModule(), rig.Box, false, 300000, rig.W->FLoadUnit, rig.W->FLoadCoe,
                         rig.W.get());
        stop.show();
        Save(stop, QStringLiteral("stoppar_english.png"));
        TfrmExplain about(rig.W.get());
        about.show();
        Save(about, QStringLiteral("about_english.png"));
        TChange change(0, rig.W.get());
        change.show();
        Save(change, QStringLiteral("change_english.png"));
        QCoreApplication::removeTranslator(&english);
    }
}
