// Kalvio6: the entry point. The start-up sequence lives in TStartup.
#include "app/ImportCommand.h"
#include "app/Startup.h"
#include "link/CtrlBox.h"
#include "link/ParamSet.h"
#include "ui/MessageDialog.h"
#include "ui/dialogs/ConstantLoadDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/params/DifferenceDialog.h"
#include "ui/records/ConfigRepDialog.h"
#include "ui/records/RecordsWindow.h"
#include "store/DataModule.h"

#include <QApplication>
#include <QElapsedTimer>

int main(int argc, char **argv)
{
    QElapsedTimer started;
    started.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvio6"));
    kv::UseDialogMessages();

    // Kalvio6 --import-sqlite FILE: a SQLite database onto the server, no window.
    const QStringList args = QCoreApplication::arguments();
    if (const int at = args.indexOf(QStringLiteral("--import-sqlite")); at > 0)
        return kv::ImportSqliteCommand(args.value(at + 1),
                                       kv::ImportDatabaseFile(QCoreApplication::applicationFilePath()));

    kv::TStartup::TOptions options;
    options.ProgramFile = QCoreApplication::applicationFilePath();
    options.Started = started;
    kv::TStartup startup(options);
    // The controller drivers of the six models, each with its parameter set.
    // A start-up or side-switch comparison that finds differences opens the
    // difference dialog.
    kv::InstallDifferenceDialog(startup.ProgramDir(), [&startup] {
        return startup.MainWindow() ? startup.MainWindow()->FUserName : QString();
    });
    startup.Steps.CreateDriver = [](int machineType) { return kv::CreateCtrlBox(machineType); };
    kv::InstallConstantLoadDialog(startup.Steps);
    kv::InstallRecordsWindow(startup.Steps);
    kv::InstallReportSettings(startup.Steps);
    switch (startup.Run()) {
    case kv::TStartup::TOutcome::AnotherCopyRunning:
        return 0;
    case kv::TStartup::TOutcome::DatabaseFailed:
        return 1;
    case kv::TStartup::TOutcome::Started:
        break;
    }
    return app.exec();
}
