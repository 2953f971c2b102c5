#include "host/ModuleHost.h"

#include "ui/main/MeasureSteps.h"
#include "host/TestList.h"
#include "ui/main/MainWindow.h"
#include "store/DataModule.h"
#include "store/Settings.h"
#include "CurveFile.h"
#include "MessageService.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLayout>
#include <QLibrary>
#include <QMenu>
#include <QTimer>

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
                init(qobject_cast<QApplication *>(QCoreApplication::instance()), QGuiApplication::primaryScreen());
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

void BuildTestMenu(TfrmMeasure &window, int mask)
{
    window.pmTestList->clear();
    if (!window.MyFunction())
        return;
    for (const TTestMenuEntry &entry : TestMenuEntries(*window.MyFunction(), mask)) {
        QAction *item = window.pmTestList->addAction(entry.Caption);
        item->setCheckable(true);
        item->setData(entry.ListIndex);
        QObject::connect(item, &QAction::triggered, &window, [&window, item] {
            if (window.Steps().SelectTest)
                window.Steps().SelectTest(window, item);
        });
    }
}

void SelectTest(TfrmMeasure &window, QAction *item)
{
    TMyFunction *list = window.MyFunction();
    bool tagged = false;
    const int tag = item ? item->data().toInt(&tagged) : -1;
    TBaseTest *test = list && tagged ? list->Test(tag) : nullptr;
    if (!test)
        return;

    // 1-2. The status timer rests; the previous form leaves the panel.
    const bool timerRan = window.timeStsBar->isActive();
    window.timeStsBar->stop();
    window.TakeParamForm();

    // 3. The item is the only one checked; its test is current.
    const QList<QAction *> items = window.pmTestList->actions();
    for (QAction *a : items)
        a->setChecked(false);
    item->setChecked(true);
    list->SetCurrentIndex(tag);

    try {
        // 4. Units and digits of the test.
        const int digits[3] = {window.ReadUnit(0, test->GetDefaultUnit(0)),
                               window.ReadUnit(1, test->GetDefaultUnit(1)), window.ReadUnit(2, 0)};
        QMenu *menus[3] = {window.PMUnitLoad, window.PMUnitStress, window.pmUnitSpeed};
        for (int i = 0; i < 3; ++i) {
            const QList<QAction *> entries = menus[i]->actions();
            if (!entries.isEmpty())
                window.SetDigits(digits[i] >= 0 && digits[i] < entries.size() ? entries[digits[i]] : entries[0]);
        }

        // 5-7. Operator and date of the group, caption, an empty chart.
        test->FGroupData.FOperator = window.FUserName;
        test->FGroupData.FTestDate = QDateTime::currentDateTime();
        window.RefreshCaption();
        window.ResetChart();

        // 8. The test's parameter form fills the parameter panel.
        if (QWidget *form = test->CreateParamForm(nullptr))
            window.ShowParamForm(form);

        // 9. Remembered for the next start and the next side switch.
        if (TZovData *data = window.DataModule())
            TSettingsStore(*data).SetTestIndex(window.FlexuralSide(), items.indexOf(item));

        // 10. A group of this number left unfinished.
        if (test->CheckGroupState() == 2) {
            QCoreApplication::processEvents();
            const QString question =
                QCoreApplication::translate("kv::TfrmMeasure",
                                            "试验编号为%1的试验上一次并没有完成,是否需要继续试验?")
                    .arg(test->FGroupNo);
            if (MsgYesNo(question, TMsgIcon::Warning, &window)) {
                test->ResumeGroup();
                window.FRunning = false;
                window.FGroupActive = true;
                window.EnableAllButton();
            } else {
                test->CloseUnfinishedGroup();
            }
        }
    } catch (const std::exception &e) {
        MsgError(QString::fromLocal8Bit(e.what()), &window);
    }

    // 11.
    if (timerRan)
        window.timeStsBar->start();
    window.LayoutRunButtons();
}

void InstallTestModuleHost(TMeasureSteps &steps)
{
    steps.LoadTestModules = [](TfrmMeasure &window, const QString &folder, int mask) {
        if (TMyFunction *list = window.MyFunction()) {
            TZovData *data = window.DataModule();
            list->LoadTestModules(folder, mask, data ? &data->conZovDb : nullptr);
        }
    };
    steps.BuildTestMenu = [](TfrmMeasure &window, int mask) { BuildTestMenu(window, mask); };
    steps.SelectTest = [](TfrmMeasure &window, QAction *item) { SelectTest(window, item); };
    steps.CurrentTestContinuous = [](const TfrmMeasure &window) {
        const TBaseTest *test = window.MyFunction() ? window.MyFunction()->CurrentTest() : nullptr;
        return test && test->FContinuous != 0;
    };
}

QString CurveFilePath(TBaseTest &test, const QString &outFileDir)
{
    return QDir(outFileDir).filePath(test.CurveFileName());
}

bool StoreSpecimenCurve(TBaseTest &test, const QString &outFileDir, const TCurvePoints &curve)
{
    return WriteCurveFile(CurveFilePath(test, outFileDir), test.FCurrent, curve);
}

} // namespace kv
