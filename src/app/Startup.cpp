#include "app/Startup.h"

#include "app/SingleInstance.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ModuleSteps.h"
#include "ui/dialogs/WaitWindow.h"
#include "store/DataModule.h"
#include "store/DbChoice.h"
#include "store/DbTransfer.h"
#include "ui/dialogs/DbSettingsDialog.h"
#include "store/Settings.h"
#include "ui/dialogs/LoginDialog.h"
#include "ui/dialogs/UserManagementDialog.h"
#include "Translation.h"
#include "db/DbEngine.h"
#include "MessageService.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace kv {

namespace {

// Gives every widget without a duration of its own the long hint duration
// just before its first hint shows.
class THintDuration : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip)
            if (auto *w = qobject_cast<QWidget *>(watched); w && w->toolTipDuration() < 0)
                w->setToolTipDuration(TStartup::HintDurationMs);
        return false;
    }
};

// The benchmark leaves at the first show: the login window is built and
// shown, then closed as refused (no one is let in).
bool BenchExitAfterShow() { return qEnvironmentVariableIntValue("KALVIO_BENCH_EXIT_AFTER_SHOW") == 1; }

} // namespace

TLoginStep TStartup::LoginStep()
{
    return [](QWidget *owner) {
        TLoginOutcome outcome;
        TZovData *data = ZovData();
        if (!data)
            return outcome;
        TfrmLogin dlg(*data, owner);
        if (BenchExitAfterShow()) {
            dlg.show();
            QCoreApplication::processEvents();
            dlg.reject();
            return outcome;
        }
        dlg.exec();
        outcome.Ok = dlg.LoginOk();
        outcome.UserName = dlg.UserName();
        return outcome;
    };
}

std::function<void(QWidget *)> TStartup::UserManagementStep()
{
    return [](QWidget *owner) {
        if (TZovData *data = ZovData()) {
            TfrmUserMng dlg(data->conZovDb, owner);
            dlg.exec();
        }
    };
}

TStartup::TStartup(TOptions options, QObject *parent) : QObject(parent), m_options(std::move(options))
{
    if (m_options.ProgramFile.isEmpty())
        m_options.ProgramFile = QCoreApplication::applicationFilePath();
    CreateData = [this](const QString &file) { return OpenDataModule(file, m_serverPassword); };
    ChooseDatabase = [](TDbChoice &choice) {
        TfrmDbSettings dialog(choice);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        choice = dialog.Choice();
        return true;
    };
    InstallTestModuleHost(Steps);
    Steps.Login = LoginStep();
    Steps.UserManagement = UserManagementStep();
}

TStartup::~TStartup() = default;

std::unique_ptr<TZovData> TStartup::OpenDataModule(const QString &databaseFile, const QString &password)
{
    TDbChoice choice = TDbChoice::Load(TDbChoice::IniFileFor(databaseFile));
    if (!choice.Server)
        return std::make_unique<TZovData>(databaseFile);
    choice.Params.Password = password;
    try {
        return std::make_unique<TZovData>(choice.Params);
    } catch (const db::EDatabaseError &e) {
        if (e.fault() != db::TDbFault::ForeignSchema)
            throw;
        // A new, empty lab database: the tables and rows of the installed file.
        db::TDbConnection server;
        server.openServer(choice.Params);
        if (!FillEmptyServerDatabase(server, databaseFile))
            throw;
    }
    return std::make_unique<TZovData>(choice.Params);
}

QString TStartup::ProgramDir() const
{
    if (m_workDir.isEmpty()) {
        const QString own = QFileInfo(m_options.ProgramFile).absolutePath();
        QTemporaryFile probe(own + QStringLiteral("/kv_probe_XXXXXX"));
        m_workDir = probe.open() ? own : PrepareDataDir(own);
        if (m_workDir.isEmpty())
            m_workDir = own; // the messages about unwritable folders follow
    }
    return m_workDir;
}

QString TStartup::PrepareDataDir(const QString &programDir)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Kalvio6");
    if (!QDir().mkpath(data))
        return {};
    const QDir from(programDir), to(data);
    // Written by the program: copied once, then the user's own.
    static const QStringList copied = {QLatin1String(TZovData::DatabaseFileName), QStringLiteral("Database.ini"),
                                       QStringLiteral("Report")};
    static const QStringList made = {QStringLiteral("OutFile"), QStringLiteral("BackUp")};
    for (const QFileInfo &fi : from.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString name = fi.fileName();
        const QString target = to.filePath(name);
        if (made.contains(name) || QFileInfo(target).exists() || QFileInfo(target).isSymLink())
            continue;
        if (!copied.contains(name)) {
            QFile::link(fi.absoluteFilePath(), target);
        } else if (fi.isDir()) {
            to.mkpath(name);
            for (const QFileInfo &f : QDir(fi.absoluteFilePath()).entryInfoList(QDir::Files))
                QFile::copy(f.absoluteFilePath(), target + QLatin1Char('/') + f.fileName());
        } else if (QFile::copy(fi.absoluteFilePath(), target)) {
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    for (const QString &name : made)
        to.mkpath(name);
    return data;
}

void TStartup::InstallLongHints()
{
    static THintDuration *filter = nullptr;
    if (!filter && qApp) {
        filter = new THintDuration(qApp);
        qApp->installEventFilter(filter);
    }
}

QString TStartup::DatabaseFailureText(db::TDbFault fault, const QString &databaseFile, const QString &detail)
{
    const QFileInfo fi(databaseFile);
    const QString file = QDir::toNativeSeparators(fi.absoluteFilePath());
    switch (fault) {
    case db::TDbFault::DriverMissing:
        return tr("数据库的存储引擎不存在,系统无法正常执行");
    case db::TDbFault::Missing:
        return tr("找不到数据库文件 %1。\n请从备份中恢复该文件，再重新启动程序。").arg(file);
    case db::TDbFault::Empty:
        return tr("数据库文件 %1 是空文件（长度为 0），其中没有任何数据。\n请从备份中恢复该文件，再重新启动程序。")
            .arg(file);
    case db::TDbFault::Damaged:
        return tr("数据库文件 %1 已损坏，无法正常读取。程序没有修改该文件。\n请从备份中恢复该文件，再重新启动程序。")
            .arg(file);
    case db::TDbFault::Locked:
        return tr("数据库文件 %1 正被另一个程序写入（文件已锁定）。\n请关闭正在使用该文件的程序，再重新启动本程序。")
            .arg(file);
    case db::TDbFault::ReadOnly:
        return tr("数据库文件 %1 是只读的，程序无法保存数据。\n请检查该文件的权限（当前用户需要写入权限），再重新启动程序。")
            .arg(file);
    case db::TDbFault::FolderReadOnly:
        return tr("数据库所在的文件夹 %1 不能写入，程序无法保存数据。\n"
                  "请检查该文件夹的权限（当前用户需要写入权限），再重新启动程序。")
            .arg(QDir::toNativeSeparators(fi.absolutePath()));
    case db::TDbFault::ForeignSchema:
        return tr("文件 %1 不是本程序的测量数据库（%2），可能属于其他程序或更新版本的程序。程序没有修改该文件。\n"
                  "请从备份中恢复本程序的数据库，再重新启动程序。")
            .arg(file, detail);
    case db::TDbFault::Unreachable:
        return tr("无法连接数据库服务器（%1）。\n请检查网络、服务器和数据库设置。").arg(detail);
    case db::TDbFault::Duplicate:
    case db::TDbFault::Other:
        break;
    }
    return tr("无法打开数据库文件 %1（%2）。\n请检查该文件，必要时从备份中恢复，再重新启动程序。").arg(file, detail);
}

QStringList TStartup::UnwritableFolders(const QString &programDir)
{
    const struct {
        const char *Name;
        const char *Loss;
    } folders[] = {
        {"OutFile", QT_TR_NOOP("试验曲线无法保存")},
        {"Report", QT_TR_NOOP("报表模板无法保存")},
        {"BackUp", QT_TR_NOOP("参数的自动备份无法保存")},
    };
    QStringList out;
    for (const auto &f : folders) {
        const QString path = QDir(programDir).filePath(QLatin1String(f.Name));
        // A file made and removed again: the rights of the folder as they
        // apply to this process, whoever runs it.
        QTemporaryFile probe(path + QStringLiteral("/kv_probe_XXXXXX"));
        if (!QFileInfo(path).isDir() || !probe.open())
            out.append(QStringLiteral("%1（%2）").arg(QDir::toNativeSeparators(path), tr(f.Loss)));
    }
    return out;
}

bool TStartup::StoredLanguageIsEnglish(TZovData &data) { return TSettingsStore(data).English(); }

TStartup::TOutcome TStartup::Run()
{
    // 1. A copy of this installation already running takes over.
    const QString key = m_options.InstanceKey.isEmpty() ? TSingleInstance::KeyForProgram(m_options.ProgramFile)
                                                         : m_options.InstanceKey;
    m_guard = std::make_unique<TSingleInstance>(key);
    if (!m_guard->Acquire())
        return TOutcome::AnotherCopyRunning;
    connect(m_guard.get(), &TSingleInstance::restoreRequested, this, &TStartup::OnRestoreRequested);

    // 2. Hints stay visible.
    InstallLongHints();

    // 3. The data module, before any window.
    const QString dbFile = m_options.DatabaseFile.isEmpty() ? ProgramDir() + QLatin1Char('/') +
                                                                  QLatin1String(TZovData::DatabaseFileName)
                                                            : m_options.DatabaseFile;
    std::unique_ptr<TZovData> data;
    QString failure;
    for (;;) {
        db::TDbFault fault = db::TDbFault::Other;
        try {
            data = CreateData(dbFile);
        } catch (const db::EDatabaseError &e) {
            fault = e.fault();
            failure = DatabaseFailureText(e.fault(), dbFile, e.message());
            // A server that answers but refuses: name it, not the local file.
            const TDbChoice chosen = TDbChoice::Load(TDbChoice::IniFileFor(dbFile));
            if (chosen.Server && fault != db::TDbFault::Unreachable && fault != db::TDbFault::DriverMissing)
                failure = tr("数据库服务器上的数据库 %1 无法使用（%2）。\n"
                             "请检查服务器上的数据库和该用户的权限，再重新启动程序。")
                              .arg(chosen.Params.Describe(), e.message());
        } catch (const std::exception &e) {
            failure = DatabaseFailureText(db::TDbFault::Other, dbFile, QString::fromLocal8Bit(e.what()));
        } catch (...) {
        }
        if (data || fault != db::TDbFault::Unreachable || !ChooseDatabase)
            break;
        // A server that cannot be reached: its settings may be changed.
        if (!MsgYesNo(failure + QLatin1Char('\n') + tr("是否修改数据库设置？"), TMsgIcon::Error))
            return TOutcome::DatabaseFailed;
        const QString ini = TDbChoice::IniFileFor(dbFile);
        TDbChoice choice = TDbChoice::Load(ini);
        if (!ChooseDatabase(choice))
            return TOutcome::DatabaseFailed;
        m_serverPassword = choice.Params.Password;
        if (!choice.Save(ini)) {
            ShowMessage(tr("无法保存数据库设置 %1").arg(QDir::toNativeSeparators(ini)), TMsgIcon::Error);
            return TOutcome::DatabaseFailed;
        }
    }
    if (!data) {
        if (failure.isEmpty())
            failure = DatabaseFailureText(db::TDbFault::Other, dbFile, QString());
        ShowMessage(failure, TMsgIcon::Error, TMsgButtons::OkCancel);
        return TOutcome::DatabaseFailed;
    }
    SetZovData(data.get());

    // 4. The language of every later window and text.
    m_english = StoredLanguageIsEnglish(*data) && InstallEnglishTranslation(m_options.ProgramFile);
    SetLanguageEnvironment(m_english);

    // 5. The wait window, painted at once.
    auto wait = std::make_unique<TfrmWait>();
    wait->show();
    wait->repaint();
    QCoreApplication::processEvents();

    // 6. The main window: creation now, first show (login, controller) next.
    // The database of the next start, chosen from the settings menu.
    if (!Steps.DatabaseSettings)
        Steps.DatabaseSettings = [dbFile](QWidget *owner) {
            const QString ini = TDbChoice::IniFileFor(dbFile);
            TfrmDbSettings dialog(TDbChoice::Load(ini), owner);
            if (dialog.exec() != QDialog::Accepted)
                return;
            if (!dialog.Choice().Save(ini)) {
                ShowMessage(tr("无法保存数据库设置 %1").arg(QDir::toNativeSeparators(ini)), TMsgIcon::Error,
                            TMsgButtons::Ok, QString(), owner);
                return;
            }
            MsgInfo(tr("数据库设置已保存，重新启动程序后生效。"), owner);
        };
    TMeasureEnv env;
    env.ProgramDir = ProgramDir();
    env.Data = std::move(data);
    env.WaitWindow = std::move(wait);
    env.Steps = Steps;
    m_main = std::make_unique<TfrmMeasure>(std::move(env));
    // Folders the program writes beside itself; the program runs on without
    // them, the results go to the database.
    const QStringList unwritable = UnwritableFolders(ProgramDir());
    if (!unwritable.isEmpty())
        ShowMessage(tr("下列文件夹不能写入：\n%1\n试验结果仍会保存到数据库中。"
                       "请检查这些文件夹的权限（当前用户需要写入权限）。")
                        .arg(unwritable.join(QLatin1Char('\n'))),
                    TMsgIcon::Warning);
    if (m_options.ShowMaximized) {
        // Also fills the screen where no window manager maximises.
        if (QScreen *screen = QGuiApplication::primaryScreen())
            m_main->setGeometry(screen->availableGeometry());
        m_main->showMaximized();
    }
    else
        m_main->show();

    // Benchmark switch: KALVIO_BENCH_EXIT_AFTER_SHOW=1 prints the time from
    // process start to the end of the first show (up to the login window,
    // which refuses everyone then) and leaves the message loop without
    // closing (nothing is written to the database).
    if (BenchExitAfterShow()) {
        const qint64 ms = m_options.Started.isValid() ? m_options.Started.elapsed() : -1;
        std::printf("startup-ms %lld\n", static_cast<long long>(ms));
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    }
    return TOutcome::Started;
}

void TStartup::OnRestoreRequested()
{
    if (m_main)
        QMetaObject::invokeMethod(m_main.get(), "OnMsg_RESTORE", Qt::QueuedConnection, Q_ARG(int, 0),
                                  Q_ARG(int, 0));
}

} // namespace kv
