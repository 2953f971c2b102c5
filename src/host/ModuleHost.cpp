#include "host/ModuleHost.h"

#include "host/TestList.h"
#include "store/DataModule.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

#include <exception>

#ifndef KV_MODULE_SUFFIX
#define KV_MODULE_SUFFIX ".so"
#endif

namespace kv {

namespace {

// Libraries stay loaded until the process ends (their test objects and
// forms run their code); loading a file again reuses its handle.
QHash<QString, QLibrary *> &LoadedModules()
{
    static QHash<QString, QLibrary *> modules;
    return modules;
}

QLibrary *LoadModule(const QString &file)
{
    if (QLibrary *lib = LoadedModules().value(file))
        return lib;
    auto *lib = new QLibrary(file);
    if (!lib->load()) {
        delete lib;
        return nullptr;
    }
    LoadedModules().insert(file, lib);
    return lib;
}

void UnloadModule(const QString &file)
{
    if (QLibrary *lib = LoadedModules().take(file)) {
        lib->unload();
        delete lib;
    }
}

} // namespace

QString TestModuleSuffix() { return QStringLiteral(KV_MODULE_SUFFIX); }

void TMyFunction::LoadTestModules(const QString &folder, int mask, db::TDbConnection *connection)
{
    ClearTests();
    if (!connection && ZovData())
        connection = &ZovData()->conZovDb;

    // Name order, as the directory of the installed system lists its files;
    // the running index counts every entry that matches, folders included.
    const QFileInfoList entries = QDir(folder).entryInfoList(
        {QStringLiteral("*") + TestModuleSuffix()},
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    int index = -1;
    for (const QFileInfo &entry : entries) {
        ++index;
        if (entry.isDir())
            continue;
        const QString file = entry.absoluteFilePath();
        QLibrary *lib = LoadModule(file);
        if (!lib)
            continue; // not a loadable library
        TBaseTests tests;
        try {
            if (auto init = reinterpret_cast<TInitProc>(lib->resolve(InitExportName)))
                init(FApplication, FScreen);
            auto getTests = reinterpret_cast<TGetBaseTestsProc>(lib->resolve(GetBaseTestsExportName));
            if (!getTests) {
                UnloadModule(file);
                continue;
            }
            getTests(tests);
        } catch (...) {
            continue; // the module failed while starting: it adds nothing
        }
        for (TBaseTest *raw : tests) {
            if (!raw)
                continue;
            // Tests for other machine kinds are freed at once.
            std::unique_ptr<TBaseTest> test(raw);
            try {
                test->TestName();
                if ((test->FMachineMask & static_cast<quint32>(mask)) == 0)
                    continue;
                test->FModuleHandle = lib;
                test->SetConnection(connection);
                test->InitTables();
                test->FModuleIndex = static_cast<quint8>(index);
                const QString name = test->TestName();
                AddTest(name, std::move(test));
            } catch (...) {
                // A test that fails while loading is left out.
            }
        }
    }
}

std::vector<TTestMenuEntry> TestMenuEntries(const TMyFunction &tests, int mask)
{
    std::vector<TTestMenuEntry> entries;
    for (int group = 1; group <= 3; ++group) {
        for (int i = 0; i < tests.TestCount(); ++i) {
            TBaseTest *test = tests.Test(i);
            if ((test->FMachineMask & static_cast<quint32>(mask)) == 0 || test->FMenuGroup != group)
                continue;
            test->FModuleIndex = static_cast<quint8>(entries.size());
            entries.push_back({i, tests.TestName(i)});
        }
    }
    return entries;
}

} // namespace kv
