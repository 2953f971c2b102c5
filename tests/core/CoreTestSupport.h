#pragma once
// Shared pieces of the core tests: a scripted controller driver that records
// every call, and a main window on a private copy of the database.
#include "link/CtrlBox.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MeasureSteps.h"
#include "store/DataModule.h"
#include "Clock.h"
#include "TestSupport.h"
#include "MessageService.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace coretest {

// A controller driver that records every call of the window's start-up,
// first show and closing instead of talking to a box.
class TFakeDriver : public kv::TCtrlBox {
public:
    TFakeDriver(QStringList *log, bool online, int machineType = 0)
        : kv::TCtrlBox(kv::StoredBoxModel(machineType)), Connected(online), m_log(log)
    {
        FValveInit = 1000;
    }

    bool Init() override { Log(QStringLiteral("Init")); return true; }
    bool Finish() override { Log(QStringLiteral("Finish")); return true; }
    bool OpenPort() override { Log(QStringLiteral("OpenPort")); return true; }
    void Activate() override { Log(QStringLiteral("Activate")); }
    void Deactivate() override { Log(QStringLiteral("Deactivate")); }
    void SetControlMode(int mode) override { Log(QStringLiteral("SetControlMode(%1)").arg(mode)); }
    void SetADState(int state) override { Log(QStringLiteral("SetADState(%1)").arg(state)); }
    int ReadForceCode() override
    {
        Log(QStringLiteral("ReadForceCode"));
        return 0;
    }
    bool IsOnline() const override { return Connected; }
    void Command(int command) override { Log(QStringLiteral("Command(%1)").arg(command)); }
    int CompareParams() override
    {
        Log(QStringLiteral("CompareParams"));
        return 0;
    }
    void ResetRunFields(const QDateTime &) override { Log(QStringLiteral("ResetRunFields")); }
    void SaveRunState() override { Log(QStringLiteral("SaveRunState")); }
    // The serial settings dialog: answered from the list, each accepted one
    // bringing the box on line unless told otherwise.
    bool EditCommSettings()
    {
        Log(QStringLiteral("EditCommSettings"));
        if (CommSettingsAnswers.isEmpty())
            return false;
        const bool ok = CommSettingsAnswers.takeFirst();
        if (ok && OnlineAfterSettings)
            Connected = true;
        return ok;
    }

    bool Connected = false;
    QList<bool> CommSettingsAnswers;
    bool OnlineAfterSettings = true;

private:
    void Log(const QString &s) const
    {
        if (m_log)
            m_log->append(s);
    }
    QStringList *m_log;
};

// A database copy, a program folder and the parts a main window is built
// from. Messages are recorded and time is virtual.
struct TWindowRig {
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    QTemporaryDir ProgramDir;
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard MessageGuard{&Messages};
    kv::TVirtualClock Clock;
    kv::TClockGuard ClockGuard{&Clock};
    kv::TMeasureSteps Steps;
    QStringList DriverLog;
    bool DriverOnline = false;
    QList<int> DriverTypes;        // machine types a driver was created for
    int QuitCalls = 0;
    int AskQuitCalls = 0;
    bool QuitAnswer = false;

    TWindowRig()
    {
        // The login window would wait for an operator: "Admin" logs in.
        Steps.Login = [](QWidget *) { return kv::TLoginOutcome{true, QStringLiteral("Admin")}; };
        Steps.AskQuit = [this](QWidget *) {
            ++AskQuitCalls;
            return QuitAnswer;
        };
        Steps.QuitApplication = [this] { ++QuitCalls; };
    }

    void UseDriver(bool online)
    {
        DriverOnline = online;
        Steps.CreateDriver = [this](int type) -> std::unique_ptr<kv::TCtrlBox> {
            DriverTypes.append(type);
            auto d = std::make_unique<TFakeDriver>(&DriverLog, DriverOnline, type);
            LastDriver = d.get();
            return d;
        };
        UseFakeCommSettings();
    }
    // The serial settings of a silent box come from the fake driver's answers.
    void UseFakeCommSettings()
    {
        Steps.CommSettings = [](QWidget *, kv::TCtrlBox &box) {
            auto *fake = dynamic_cast<TFakeDriver *>(&box);
            return fake && fake->EditCommSettings();
        };
    }

    // Runs a statement on the copy before the window exists.
    void Sql(const QString &sql)
    {
        kv::TZovData data(Db.path);
        ASSERT_TRUE(data.ExecSql(sql)) << sql.toStdString();
    }

    std::unique_ptr<kv::TfrmMeasure> Create()
    {
        kv::TMeasureEnv env;
        env.ProgramDir = ProgramDir.path();
        env.Data = std::make_unique<kv::TZovData>(Db.path);
        kv::SetZovData(env.Data.get());
        env.Steps = Steps;
        return std::make_unique<kv::TfrmMeasure>(std::move(env));
    }

    TFakeDriver *LastDriver = nullptr;
};

} // namespace coretest
