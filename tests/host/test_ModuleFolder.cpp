// A module folder with files that are no modules and a module twice: every
// test is listed once, each skipped file leaves a diagnostic line with its
// reason, and the about window lists what was loaded and what was skipped.
#include "HostTestSupport.h"

#include "host/TestList.h"
#include "ui/dialogs/AboutDialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>

using namespace hosttest;
using kvtest::Child;

namespace {

// The warnings of the host's logging category while it lives.
struct THostLog {
    static QStringList &Lines()
    {
        static QStringList lines;
        return lines;
    }
    static void Handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type == QtWarningMsg && QLatin1String(context.category) == QLatin1String("kv.host"))
            Lines().append(text);
    }
    THostLog()
    {
        Lines().clear();
        m_previous = qInstallMessageHandler(Handler);
    }
    ~THostLog() { qInstallMessageHandler(m_previous); }
    // The lines that name file.
    QStringList About(const QString &file) const { return Lines().filter(file); }

private:
    QtMessageHandler m_previous;
};

// dll/ with two good modules, the first one again under another name, and
// four files that are no modules.
void BadFolder(const QString &dll)
{
    const QString sfx = kv::TestModuleSuffix();
    PutModule(dll, QStringLiteral("hm_alpha"));
    PutModule(dll, QStringLiteral("hm_alpha"), QStringLiteral("hm_alpha_copy") + sfx);
    PutModule(dll, QStringLiteral("hm_gamma"));
    PutModule(dll, QStringLiteral("hm_plain"));
    PutModule(dll, QStringLiteral("hm_noget"));
    PutFile(dll, QStringLiteral("empty") + sfx, QByteArray());
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 131 + 7) & 0xFF);
    PutFile(dll, QStringLiteral("noise") + sfx, noise);
}

const kv::TModuleLoad *Load(const kv::TMyFunction &f, const QString &file)
{
    for (const kv::TModuleLoad &l : f.ModuleLoads())
        if (l.File == file)
            return &l;
    return nullptr;
}

} // namespace

TEST(ModuleFolder, EachTestOnceAndEverySkippedFileNamedWithItsReason)
{
    auto db = kvtest::FreshDatabase();
    kv::TZovData data(db.path);
    QTemporaryDir program;
    const QString dll = program.filePath(QStringLiteral("dll"));
    BadFolder(dll);
    const QString sfx = kv::TestModuleSuffix();
    THostLog log;

    kv::TMyFunction f;
    for (int load = 0; load < 2; ++load) { // a side switch loads the folder again
        SCOPED_TRACE(load);
        f.LoadTestModules(dll, 2, &data.conZovDb);
        QStringList names;
        for (int i = 0; i < f.TestCount(); ++i)
            names << f.TestName(i);
        EXPECT_EQ(names, (QStringList{"试验甲", "试验丙"}));
        EXPECT_EQ(f.ModuleLoads().size(), 7u);

        const struct {
            QString file;
            kv::TModuleSkip skip;
            QString logged; // words of the diagnostic line
        } expected[] = {
            {QStringLiteral("empty") + sfx, kv::TModuleSkip::EmptyFile, QStringLiteral("empty file")},
            {QStringLiteral("noise") + sfx, kv::TModuleSkip::NotALibrary, QStringLiteral("not a loadable library")},
            {QStringLiteral("hm_plain") + sfx, kv::TModuleSkip::NoTestExport, QStringLiteral("GetBaseTests")},
            {QStringLiteral("hm_noget") + sfx, kv::TModuleSkip::NoTestExport, QStringLiteral("GetBaseTests")},
            {QStringLiteral("hm_alpha_copy") + sfx, kv::TModuleSkip::Duplicate, QStringLiteral("hm_alpha") + sfx},
        };
        for (const auto &e : expected) {
            SCOPED_TRACE(e.file.toStdString());
            const kv::TModuleLoad *l = Load(f, e.file);
            ASSERT_NE(l, nullptr);
            EXPECT_EQ(l->Skip, e.skip);
            EXPECT_TRUE(l->Tests.isEmpty());
            const QStringList lines = log.About(e.file);
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_TRUE(lines.last().contains(e.logged)) << lines.last().toStdString();
        }
        EXPECT_EQ(Load(f, QStringLiteral("hm_alpha_copy") + sfx)->Detail, QStringLiteral("hm_alpha") + sfx);
        ASSERT_NE(Load(f, QStringLiteral("hm_alpha") + sfx), nullptr);
        EXPECT_EQ(Load(f, QStringLiteral("hm_alpha") + sfx)->Skip, kv::TModuleSkip::None);
        EXPECT_EQ(Load(f, QStringLiteral("hm_alpha") + sfx)->Tests, QStringList{"试验甲"});
        EXPECT_EQ(Load(f, QStringLiteral("hm_gamma") + sfx)->Tests, QStringList{"试验丙"});
        EXPECT_TRUE(log.About(QStringLiteral("hm_gamma") + sfx).isEmpty());
    }
}

TEST(ModuleFolder, MainWindowMenuAndAboutWindow)
{
    THostRig rig(1);
    BadFolder(rig.Dll());
    auto w = rig.Create();
    w->show();
    EXPECT_EQ(Captions(Child<QMenu>(*w, "pmTestList")), (QStringList{"试验丙", "试验甲"}));

    kv::TfrmExplain about(w.get(), w->MyFunction()->ModuleLoads());
    about.show();
    QCoreApplication::processEvents();
    auto *list = Child<QTreeWidget>(about, "tvModules");
    ASSERT_NE(list, nullptr);
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0) + QLatin1Char('|') + list->topLevelItem(i)->text(1);
    const QString sfx = kv::TestModuleSuffix();
    EXPECT_TRUE(rows.contains(QStringLiteral("hm_alpha") + sfx + QStringLiteral("|试验甲"))) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("hm_gamma") + sfx + QStringLiteral("|试验丙")));
    EXPECT_TRUE(rows.contains(QStringLiteral("empty") + sfx + QStringLiteral("|未加载：空文件")));
    EXPECT_TRUE(rows.contains(QStringLiteral("hm_alpha_copy") + sfx + QStringLiteral("|未加载：与 hm_alpha") + sfx +
                              QStringLiteral(" 重复")));
    EXPECT_EQ(rows.size(), 7);
    EXPECT_EQ(Child<QLabel>(about, "lblVersion")->text(), QStringLiteral("版本：6.1"));
    const QString shots = qEnvironmentVariable("KV_SHOT_DIR");
    if (!shots.isEmpty())
        about.grab().save(QDir(shots).filePath(QStringLiteral("about_modules.png")));
}
