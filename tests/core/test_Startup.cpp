// The entry sequence: the data module, the language, the wait window, the
// main window, and a second start while the first copy runs.
#include "CoreTestSupport.h"

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "Translation.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <QUuid>

using kvtest::Child;

namespace {

// A program folder: a program file name, a database copy beside it and,
// on request, the English texts.
struct TProgramFolder {
    kvtest::TFreshDb Db = kvtest::FreshDatabase();
    QString Dir = Db.dir->path();
    QString ProgramFile = Dir + QStringLiteral("/Kalvio6");

    void AddEnglish()
    {
        ASSERT_TRUE(QFile::copy(kvtest::StageDir() + QStringLiteral("/Kalvio6.ENU.qm"),
                                Dir + QStringLiteral("/Kalvio6.ENU.qm")));
    }
    void SetLanguage(int value)
    {
        kv::TZovData data(Db.path);
        ASSERT_TRUE(data.WriteNumInt(20005, value));
    }
    kv::TStartup::TOptions Options() const
    {
        kv::TStartup::TOptions o;
        o.ProgramFile = ProgramFile;
        o.DatabaseFile = Db.path;
        // A key of its own: tests never meet a real copy of the program.
        o.InstanceKey = QStringLiteral("kvtest-") + QUuid::createUuid().toString(QUuid::Id128);
        o.ShowMaximized = false;
        return o;
    }
};

// Stands in for the login window, which would wait for an operator.
kv::TLoginOutcome AdminLogin(QWidget *) { return {true, QStringLiteral("Admin")}; }

// Takes every translation out of the application again.
void RemoveTranslations()
{
    for (QTranslator *t : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    kv::SetLanguageEnvironment(false);
}

struct TStartupTest : ::testing::Test {
    kv::TRecordingMessageService Messages;
    kv::TMessageGuard MessageGuard{&Messages};
    kv::TVirtualClock Clock;
    kv::TClockGuard ClockGuard{&Clock};
    void TearDown() override { RemoveTranslations(); }
};

} // namespace

TEST_F(TStartupTest, MissingDatabaseShowsTheMessageAndCreatesNothing)
{
    TProgramFolder folder;
    kv::TStartup::TOptions o = folder.Options();
    o.DatabaseFile = folder.Dir + QStringLiteral("/nothing-here.sqlite");
    const int windowsBefore = QApplication::topLevelWidgets().size();

    kv::TStartup startup(o);
    EXPECT_EQ(startup.Run(), kv::TStartup::TOutcome::DatabaseFailed);
    ASSERT_EQ(Messages.messages().size(), 1);
    const kv::TMsgRequest &m = Messages.messages()[0];
    EXPECT_EQ(m.text, kv::TStartup::DatabaseFailureText(kv::db::TDbFault::Missing, o.DatabaseFile, QString()));
    EXPECT_EQ(m.icon, kv::TMsgIcon::Error);
    EXPECT_EQ(m.buttons, kv::TMsgButtons::OkCancel);
    EXPECT_EQ(startup.MainWindow(), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
    EXPECT_FALSE(QDir(folder.Dir).exists(QStringLiteral("OutFile")));
    EXPECT_FALSE(QFile::exists(o.DatabaseFile));
}

TEST_F(TStartupTest, AnyFailureOfTheDataModuleEndsTheStart)
{
    TProgramFolder folder;
    kv::TStartup startup(folder.Options());
    startup.CreateData = [](const QString &) -> std::unique_ptr<kv::TZovData> {
        throw std::runtime_error("engine missing");
    };
    EXPECT_EQ(startup.Run(), kv::TStartup::TOutcome::DatabaseFailed);
    // An error of no known cause names the file and the error.
    EXPECT_EQ(Messages.lastText(), kv::TStartup::DatabaseFailureText(kv::db::TDbFault::Other, folder.Db.path,
                                                                     QStringLiteral("engine missing")));
    EXPECT_TRUE(Messages.lastText().contains(folder.Db.path));
    EXPECT_EQ(startup.MainWindow(), nullptr);
}

TEST_F(TStartupTest, NormalStartShowsTheMainWindowAndReleasesTheWaitWindow)
{
    TProgramFolder folder;
    bool waitShownAtLogin = false;
    kv::TStartup startup(folder.Options());
    startup.Steps.Login = [&](QWidget *) {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmWait") && w->isVisible())
                waitShownAtLogin = true;
        return kv::TLoginOutcome{true, QStringLiteral("Admin")};
    };
    ASSERT_EQ(startup.Run(), kv::TStartup::TOutcome::Started);
    ASSERT_NE(startup.MainWindow(), nullptr);
    EXPECT_TRUE(startup.MainWindow()->isVisible());
    EXPECT_TRUE(waitShownAtLogin);
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_NE(w->objectName(), QStringLiteral("frmWait"));
    EXPECT_NE(kv::ZovData(), nullptr);
    EXPECT_TRUE(QDir(folder.Dir).exists(QStringLiteral("OutFile")));
    EXPECT_TRUE(startup.Guard()->IsListening());
    EXPECT_FALSE(startup.EnglishLoaded());
    EXPECT_TRUE(Messages.messages().isEmpty());
}

TEST_F(TStartupTest, EnglishWithoutTranslationFileStaysChineseSilently)
{
    TProgramFolder folder;
    folder.SetLanguage(1);
    kv::SetLanguageEnvironment(true); // inherited from a parent process
    kv::TStartup startup(folder.Options());
    startup.Steps.Login = AdminLogin;
    ASSERT_EQ(startup.Run(), kv::TStartup::TOutcome::Started);
    EXPECT_FALSE(startup.EnglishLoaded());
    EXPECT_FALSE(kv::LanguageEnvironmentIsEnglish());
    EXPECT_TRUE(qgetenv("Language").isEmpty());
    EXPECT_EQ(Child<QPushButton>(*startup.MainWindow(), "btnRun")->text(), QStringLiteral("运行"));
    EXPECT_TRUE(Child<QAction>(*startup.MainWindow(), "English1")->isChecked());
    EXPECT_TRUE(Messages.messages().isEmpty());
}

TEST_F(TStartupTest, EnglishWithTranslationFileSwitchesEveryText)
{
    TProgramFolder folder;
    folder.SetLanguage(1);
    folder.AddEnglish();
    kv::TStartup startup(folder.Options());
    startup.Steps.Login = AdminLogin;
    ASSERT_EQ(startup.Run(), kv::TStartup::TOutcome::Started);
    EXPECT_TRUE(startup.EnglishLoaded());
    EXPECT_EQ(qgetenv("Language"), QByteArray("English"));
    kv::TfrmMeasure *w = startup.MainWindow();
    EXPECT_EQ(Child<QPushButton>(*w, "btnRun")->text(), QStringLiteral("Run"));
    EXPECT_EQ(w->PanelText(2), QStringLiteral("System: off line"));
    EXPECT_EQ(Child<QLabel>(*w, "pnl_ZH")->text(), QStringLiteral("Load(kN)"));
    EXPECT_TRUE(Child<QAction>(*w, "English1")->isChecked());
}

TEST_F(TStartupTest, ChineseSettingIgnoresAnAvailableTranslation)
{
    TProgramFolder folder;
    folder.SetLanguage(0);
    folder.AddEnglish();
    kv::TStartup startup(folder.Options());
    startup.Steps.Login = AdminLogin;
    ASSERT_EQ(startup.Run(), kv::TStartup::TOutcome::Started);
    EXPECT_FALSE(startup.EnglishLoaded());
    EXPECT_EQ(Child<QPushButton>(*startup.MainWindow(), "btnRun")->text(), QStringLiteral("运行"));
    EXPECT_TRUE(Child<QAction>(*startup.MainWindow(), "Chinese1")->isChecked());
}

TEST_F(TStartupTest, MissingLanguageRowCountsAsChinese)
{
    TProgramFolder folder;
    folder.AddEnglish();
    {
        kv::TZovData data(folder.Db.path);
        ASSERT_TRUE(data.ExecSql(QStringLiteral("Delete from SavNum where NumNo = 20005")));
        EXPECT_FALSE(kv::TStartup::StoredLanguageIsEnglish(data));
        ASSERT_TRUE(data.WriteNumInt(20005, 2));
        EXPECT_FALSE(kv::TStartup::StoredLanguageIsEnglish(data));
        ASSERT_TRUE(data.WriteNumInt(20005, 1));
        EXPECT_TRUE(kv::TStartup::StoredLanguageIsEnglish(data));
    }
}

TEST_F(TStartupTest, SecondStartHandsOverToTheRunningCopy)
{
    TProgramFolder folder;
    const kv::TStartup::TOptions options = folder.Options();
    kv::TStartup first(options);
    first.Steps.Login = AdminLogin;
    ASSERT_EQ(first.Run(), kv::TStartup::TOutcome::Started);
    kv::TfrmMeasure *w = first.MainWindow();
    w->showMinimized();
    ASSERT_TRUE(w->isMinimized());
    const int windowsBefore = QApplication::topLevelWidgets().size();

    kv::TStartup second(options);
    int created = 0;
    second.CreateData = [&](const QString &file) {
        ++created;
        return std::make_unique<kv::TZovData>(file);
    };
    EXPECT_EQ(second.Run(), kv::TStartup::TOutcome::AnotherCopyRunning);
    EXPECT_EQ(created, 0);
    EXPECT_EQ(second.MainWindow(), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);

    // The first copy restores itself once its message loop runs.
    EXPECT_TRUE(QTest::qWaitFor([w] { return !w->isMinimized(); }, 5000));
    EXPECT_TRUE(w->isVisible());
}

TEST(StartupHints, HintsStayVisibleLong)
{
    kv::TStartup::InstallLongHints();
    QPushButton b(QStringLiteral("x"));
    b.setToolTip(QStringLiteral("hint"));
    QHelpEvent e(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(&b, &e);
    EXPECT_EQ(b.toolTipDuration(), kv::TStartup::HintDurationMs);

    QPushButton own(QStringLiteral("y"));
    own.setToolTipDuration(500);
    QApplication::sendEvent(&own, &e);
    EXPECT_EQ(own.toolTipDuration(), 500);
}
