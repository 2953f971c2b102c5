#pragma once
// Host tests: program folders with chosen test modules (copies of the
// modules built for these tests) and a main window with the module host.
#include "CoreTestSupport.h"
#include "host/ModuleHost.h"
#include "ui/main/ModuleSteps.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <gtest/gtest.h>

namespace hosttest {

inline QString BuiltModule(const QString &name) { return QStringLiteral(HOST_TEST_MODULES "/") + name; }

// Copies module name (without suffix) into folder as file "as" (default: the
// same name with the module suffix).
inline void PutModule(const QString &folder, const QString &name, QString as = QString())
{
    QDir().mkpath(folder);
    if (as.isEmpty())
        as = name + kv::TestModuleSuffix();
    const QString target = folder + QLatin1Char('/') + as;
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(BuiltModule(name + kv::TestModuleSuffix()), target)) << name.toStdString();
}

inline void PutFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(folder);
    QFile f(folder + QLatin1Char('/') + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A driver of a two-frame machine with a maximum force.
class TSideDriver : public coretest::TFakeDriver {
public:
    TSideDriver(QStringList *log, bool online, int machineType) : TFakeDriver(log, online, machineType)
    {
        FMaxLoad = 300000;
    }
};

// A main window whose tests come from ProgramDir/dll through the host.
struct THostRig : coretest::TWindowRig {
    explicit THostRig(int machineType = 1, bool online = true)
    {
        kv::InstallTestModuleHost(Steps);
        Steps.Login = [](QWidget *) { return kv::TLoginOutcome{true, QStringLiteral("Admin")}; };
        DriverOnline = online;
        Steps.CreateDriver = [this](int type) -> std::unique_ptr<kv::TCtrlBox> {
            DriverTypes.append(type);
            return std::make_unique<TSideDriver>(&DriverLog, DriverOnline, type);
        };
        UseFakeCommSettings();
        Sql(QStringLiteral("Update SavString set StrCont = '%1' where StrNo = 103").arg(machineType));
    }
    QString Dll() const { return ProgramDir.path() + QStringLiteral("/dll"); }
    void Modules(std::initializer_list<const char *> names)
    {
        for (const char *n : names)
            PutModule(Dll(), QLatin1String(n));
    }
    QString Saved(int strNo)
    {
        QString text;
        kv::ZovData()->ReadStr(strNo, text);
        return text;
    }
};

inline QStringList Captions(const QMenu *menu)
{
    QStringList out;
    for (const QAction *a : menu->actions())
        out << a->text();
    return out;
}

} // namespace hosttest
