#include "host/ModuleHost.h"

#include "host/TestList.h"
#include "store/DataModule.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QLoggingCategory>

#include <exception>

#ifndef KV_MODULE_SUFFIX
#define KV_MODULE_SUFFIX ".so"
#endif

namespace kv {

namespace {

Q_LOGGING_CATEGORY(lcHost, "kv.host")

// Libraries stay loaded until the process ends (their test objects and
// forms run their code); loading a file again reuses its handle.
QHash<QString, QLibrary *> &LoadedModules()
{
    static QHash<QString, QLibrary *> modules;
    return modules;
}

QLibrary *LoadModule(const QString &file, QString *error)
{
    if (QLibrary *lib = LoadedModules().value(file))
        return lib;
    auto *lib = new QLibrary(file);
    if (!lib->load()) {
        *error = lib->errorString();
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
    m_loads.clear();
    if (!connection && ZovData())
        connection = &ZovData()->conZovDb;

    // Name order, as the directory of the installed system lists its files;
    // the running index counts every entry that matches, folders included.
    const QFileInfoList entries = QDir(folder).entryInfoList(
        {QStringLiteral("*") + TestModuleSuffix()},
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    // Which file listed each test: a second copy of a module offers the same
    // tests again and adds none of them.
    QHash<QString, QString> listedBy;
    auto key = [](const QString &name, quint32 kinds) { return name + QLatin1Char('\n') + QString::number(kinds); };
    int index = -1;
    for (const QFileInfo &entry : entries) {
        ++index;
        if (entry.isDir())
            continue;
        const QString file = entry.absoluteFilePath();
        TModuleLoad &load = m_loads.emplace_back();
        load.File = entry.fileName();
        // A file that adds no test is left out with a diagnostic line.
        auto skip = [&](TModuleSkip why, const QString &detail, const char *logText) {
            load.Skip = why;
            load.Detail = detail;
            QString reason = QLatin1String(logText);
            if (!detail.isEmpty())
                reason += QLatin1Char(' ') + detail;
            qCWarning(lcHost).noquote() << "test module skipped:" << file << "-" << reason;
        };
        if (entry.size() == 0) {
            skip(TModuleSkip::EmptyFile, QString(), "empty file");
            continue;
        }
        QString loadError;
        QLibrary *lib = LoadModule(file, &loadError);
        if (!lib) {
            skip(TModuleSkip::NotALibrary, loadError, "not a loadable library:");
            continue;
        }
        TBaseTests tests;
        try {
            // A library without the test export is no module: its "Init" is
            // not run, since the library is unloaded again at once.
            auto getTests = reinterpret_cast<TGetBaseTestsProc>(lib->resolve(GetBaseTestsExportName));
            if (!getTests) {
                UnloadModule(file);
                skip(TModuleSkip::NoTestExport, QString(), "no export GetBaseTests");
                continue;
            }
            if (auto init = reinterpret_cast<TInitProc>(lib->resolve(InitExportName)))
                init(FApplication, FScreen);
            getTests(tests);
        } catch (...) {
            skip(TModuleSkip::FailedToStart, QString(), "failed in Init or GetBaseTests");
            continue;
        }
        QString repeats;
        for (TBaseTest *raw : tests) {
            if (!raw)
                continue;
            // Tests for other machine kinds are freed at once.
            std::unique_ptr<TBaseTest> test(raw);
            try {
                const QString offered = test->TestName();
                if ((test->FMachineMask & static_cast<quint32>(mask)) == 0)
                    continue;
                const QString earlier = listedBy.value(key(offered, test->FMachineMask));
                if (!earlier.isEmpty()) {
                    repeats = earlier;
                    qCWarning(lcHost).noquote() << "test" << offered << "of" << file << "skipped: listed already by"
                                                << earlier;
                    continue;
                }
                const quint32 kinds = test->FMachineMask;
                test->FModuleHandle = lib;
                test->SetConnection(connection);
                test->InitTables();
                test->FModuleIndex = static_cast<quint8>(index);
                const QString name = test->TestName();
                AddTest(name, std::move(test));
                listedBy.insert(key(offered, kinds), load.File);
                load.Tests.append(name);
            } catch (...) {
                qCWarning(lcHost).noquote() << "a test of" << file << "failed while loading and is left out";
            }
        }
        if (load.Tests.isEmpty() && !repeats.isEmpty())
            skip(TModuleSkip::Duplicate, repeats, "a second copy of");
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
