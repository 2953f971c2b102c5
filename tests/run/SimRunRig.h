#pragma once
// The main window on the simulated box over a pseudo-terminal, in real time:
// a fresh database set to a machine type, the real driver on a private port
// folder, the run sequence and, when a module is named, the module host with
// that shipped module in the program folder's dll/.
#include "../link/SimProcess.h"

#include "TestSupport.h"
#include "ui/main/MainWindow.h"
#include "host/ModuleHost.h"
#include "ui/main/ModuleSteps.h"
#include "link/SerialPort.h"
#include "link/ParamSet.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "MessageService.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace runtest {

struct TSimRunRig {
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    linktest::TPortFolder Folder;
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard Guard{&Messages};
    kv::TMeasureSteps Steps;
    kv::TCtrlBox *Box = nullptr;
    std::unique_ptr<kv::TfrmMeasure> W;

    // machineType: the stored machine type 0..5; module: a shipped module's
    // name (without suffix) to install, or empty for none.
    explicit TSimRunRig(int machineType, const QString &module = QString())
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
        if (!module.isEmpty()) {
            kv::InstallTestModuleHost(Steps);
            const QString file = module + kv::TestModuleSuffix();
            QDir().mkpath(dir + QStringLiteral("/dll"));
            QFile::copy(QStringLiteral(KV_STAGE_DIR "/dll/") + file, dir + QStringLiteral("/dll/") + file);
        }
    }
    ~TSimRunRig()
    {
        W.reset();
        kv::TCtrlBox::SetParamSetFactory(nullptr);
        kv::SetZovData(nullptr);
    }

    // Builds and shows the window: the first show contacts the box.
    void Show()
    {
        kv::TMeasureEnv env;
        env.ProgramDir = Folder.Path();
        env.Data = std::make_unique<kv::TZovData>(Db.path);
        kv::SetZovData(env.Data.get());
        env.Steps = Steps;
        W = std::make_unique<kv::TfrmMeasure>(std::move(env));
        W->show();
    }

    // A one-point force drop of 1 kN after 2 kN decides the break.
    void UseForceDropJudgement()
    {
        Box->FJudgeFlags = kv::TJudgeFlags{true, false, false};
        Box->FJudgeLoadPointType = 1;
        Box->FBreakValue = 1000;
        Box->FStartJudge = 2000;
    }

    // Lets the window work until done() or ms passed.
    bool WaitFor(const std::function<bool()> &done, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    bool RunOver() { return !W->Run().Active() && !W->Run().Running(); }

    // One specimen through btnRun: the run starts, ends within ms, and no
    // message was shown on the way.
    ::testing::AssertionResult RunOneSpecimen(int ms = 60000)
    {
        if (!kvtest::Child<QPushButton>(*W, "btnRun")->isEnabled())
            return ::testing::AssertionFailure() << "btnRun is disabled";
        kvtest::Child<QPushButton>(*W, "btnRun")->click();
        const std::string messages = Messages.texts().join(';').toStdString();
        if (!W->Run().Active())
            return ::testing::AssertionFailure() << "no run started: " << messages;
        if (!WaitFor([this] { return RunOver(); }, ms))
            return ::testing::AssertionFailure() << "the run did not end";
        if (!Messages.texts().isEmpty())
            return ::testing::AssertionFailure() << Messages.texts().join(';').toStdString();
        return ::testing::AssertionSuccess();
    }
};

} // namespace runtest
