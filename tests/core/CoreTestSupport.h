#pragma once
// Shared pieces of the core tests: a scripted controller driver that records
// every call, and a main window on a private copy of the database.
#include "ui/main/MeasureSteps.h"
#include "ui/main/MainWindow.h"
#include "store/DataModule.h"
#include "Clock.h"
#include "TestSupport.h"
#include "MessageService.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace coretest {

class TFakeDriver : public kv::TStartupDriver {
public:
    explicit TFakeDriver(QStringList *log, bool online) : Online(online), m_log(log) {}

    void Init() override { Log(QStringLiteral("Init")); }
    void OpenPort() override { Log(QStringLiteral("OpenPort")); }
    void Activate() override { Log(QStringLiteral("Activate")); }
    void SetControlMode(int mode) override { Log(QStringLiteral("SetControlMode(%1)").arg(mode)); }
    void SetADState(int state) override { Log(QStringLiteral("SetADState(%1)").arg(state)); }
    void ReadForceCode() override { Log(QStringLiteral("ReadForceCode")); }
    bool IsOnline() const override { return Online; }
    void Command(int command) override { Log(QStringLiteral("Command(%1)").arg(command)); }
    void CompareParams(QWidget *) override { Log(QStringLiteral("CompareParams")); }
    bool EditCommSettings(QWidget *) override
    {
        Log(QStringLiteral("EditCommSettings"));
        if (CommSettingsAnswers.isEmpty())
            return false;
        const bool ok = CommSettingsAnswers.takeFirst();
        if (ok && OnlineAfterSettings)
            Online = true;
        return ok;
    }
    void ResetRunFields() override { Log(QStringLiteral("ResetRunFields")); }
    int ValveInit() const override { return ValveInitValue; }
    int ExistHand() const override { return ExistHandValue; }
    int HandMode() const override { return HandModeValue; }
    void SaveRunState() override { Log(QStringLiteral("SaveRunState")); }
    void Finish() override { Log(QStringLiteral("Finish")); }

    bool Online = false;
    QList<bool> CommSettingsAnswers;
    bool OnlineAfterSettings = true;
    int ValveInitValue = 1000;
    int ExistHandValue = 0;
    int HandModeValue = 0;

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
        Steps.CreateDriver = [this](int type) {
            DriverTypes.append(type);
            auto d = std::make_unique<TFakeDriver>(&DriverLog, DriverOnline);
            LastDriver = d.get();
            return d;
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
