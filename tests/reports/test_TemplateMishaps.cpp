// What a technician does to the templates by mistake: adds a template from
// its own folder, deletes one whose name came in capitals from an old
// computer; and LibreOffice failing quietly or finding another user's
// profile.
#include "ModuleTestSupport.h"
#include "TemplateTestSupport.h"

#include "CemCompTest.h"
#include "host/TestList.h"
#include "ui/records/ConfigRepDialog.h"
#include "xlsx/OfficeConvert.h"

#include <QTemporaryDir>

using namespace kv;
using modtest::TDb;

namespace {

const bool kRecording = (modtest::Messages(), true);

// An environment variable set for the life of the object.
struct TEnv {
    const QByteArray Name;
    const bool WasSet;
    const QByteArray Was;
    TEnv(const char *name, const QByteArray &value) : Name(name), WasSet(qEnvironmentVariableIsSet(name)), Was(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~TEnv()
    {
        if (WasSet)
            qputenv(Name.constData(), Was);
        else
            qunsetenv(Name.constData());
    }
};

struct TWindowRig {
    TDb Db;
    QTemporaryDir Program;
    TMyFunction Tests;
    QString Chosen;
    QString Folder;
    std::unique_ptr<TfrmConfigRep> Window;
    TWindowRig()
    {
        auto test = std::make_unique<cem::TCemCompTest>();
        modtest::Load(*test, Db.Conn, Program.path());
        const QString name = test->FTestName;
        Tests.AddTest(name, std::move(test));
        Folder = QDir(Program.path()).filePath(QStringLiteral("Report/") + name);
        QDir().mkpath(Folder);
    }
    TfrmConfigRep &Open()
    {
        Window = std::make_unique<TfrmConfigRep>(
            TConfigRepEnv{&Tests, &Db.Conn, Program.path(), [this](QWidget *) { return Chosen; }});
        return *Window;
    }
};

} // namespace

TEST(TemplateMishaps, AddingATemplateFromItsOwnFolderKeepsIt)
{
    templtest::TNoOffice noOffice;
    TWindowRig rig;
    const QString templ = templtest::InstallTemplate(rig.Program.path(), QStringLiteral("水泥胶砂抗压"),
                                                     templtest::DataFile("cemcomp_report.xlsx"), QStringLiteral("报告.xlsx"));
    const QByteArray before = templtest::Hash(templ);
    TfrmConfigRep &w = rig.Open();
    rig.Chosen = templ;
    w.SelectNode(0);
    modtest::Messages().clear();
    modtest::Messages().queueAnswer(TMsgResult::Yes); // overwrite it with itself
    w.AddClick();
    EXPECT_EQ(templtest::Hash(templ), before);
    EXPECT_EQ(w.TreeTexts(), (QStringList{"水泥胶砂抗压", "  报告"}));
}

TEST(TemplateMishaps, ATemplateNamedInCapitalsIsDeletedWithItsOldXls)
{
    templtest::TNoOffice noOffice;
    TWindowRig rig;
    const QString data = templtest::DataFile("horizontal.xlsx");
    templtest::InstallTemplate(rig.Program.path(), QStringLiteral("水泥胶砂抗压"), data, QStringLiteral("REPORT.XLS"));
    templtest::InstallTemplate(rig.Program.path(), QStringLiteral("水泥胶砂抗压"), data, QStringLiteral("REPORT.xlsx"));
    templtest::InstallTemplate(rig.Program.path(), QStringLiteral("水泥胶砂抗压"), data, QStringLiteral("OLD.XLSX"));
    TfrmConfigRep &w = rig.Open();
    ASSERT_EQ(w.TreeTexts(), (QStringList{"水泥胶砂抗压", "  OLD", "  REPORT"}));
    for (int i = 0; i < 2; ++i) {
        w.SelectNode(0, 0);
        modtest::Messages().clear();
        modtest::Messages().queueAnswer(TMsgResult::Yes);
        w.DeleteClick();
        EXPECT_EQ(modtest::Messages().messages().size(), 1) << modtest::Messages().messages().last().text.toStdString();
    }
    EXPECT_EQ(w.TreeTexts(), QStringList{"水泥胶砂抗压"});
    EXPECT_EQ(QDir(rig.Folder).entryList(QDir::Files), QStringList());
}

TEST(TemplateMishaps, AnOldResultIsNoConversion)
{
    // LibreOffice ends with 0 when it cannot load a file and writes nothing.
    QTemporaryDir dir;
    const QString quiet = dir.filePath(QStringLiteral("soffice"));
    QFile script(quiet);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho 'Error: source file could not be loaded' >&2\nexit 0\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TEnv office("KV_SOFFICE", quiet.toLocal8Bit());
    const QString filled = dir.filePath(QStringLiteral("G-1.xlsx"));
    ASSERT_TRUE(QFile::copy(templtest::DataFile("horizontal.xlsx"), filled));
    QFile stale(dir.filePath(QStringLiteral("G-1.pdf"))); // from the print before the forces were corrected
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("%PDF-1.4 old values");
    stale.close();
    QString pdf, error;
    EXPECT_FALSE(xlsx::ConvertWithOffice(filled, QStringLiteral("pdf"), dir.path(), &pdf, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("LibreOffice"))) << error.toStdString();
}

TEST(TemplateMishaps, AnotherUsersOfficeProfileInTheTempFolderDoesNotStopThePdf)
{
    if (xlsx::OfficeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    // Another user's profile in the shared temp folder cannot be used (for
    // root, a file stands in its place).
    QTemporaryDir temp, cache, out;
    QFile other(QDir(temp.path()).filePath(QStringLiteral("kv-office-profile")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    TEnv tmp("TMPDIR", temp.path().toLocal8Bit());
    TEnv xdg("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    const QString filled = out.filePath(QStringLiteral("G-1.xlsx"));
    ASSERT_TRUE(QFile::copy(templtest::DataFile("horizontal.xlsx"), filled));
    QString pdf, error;
    EXPECT_TRUE(xlsx::ConvertWithOffice(filled, QStringLiteral("pdf"), out.path(), &pdf, &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
}

TEST(TemplateMishaps, AnOldXlsLibreOfficeCannotConvertIsNotCalledMissingLibreOffice)
{
    QTemporaryDir dir;
    const QString failing = dir.filePath(QStringLiteral("soffice"));
    QFile script(failing);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexit 1\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TEnv office("KV_SOFFICE", failing.toLocal8Bit());
    TWindowRig rig;
    const QString xls = templtest::InstallTemplate(rig.Program.path(), QStringLiteral("水泥胶砂抗压"),
                                                   templtest::DataFile("horizontal.xlsx"), QStringLiteral("旧格式.xls"));
    modtest::Messages().clear();
    EXPECT_FALSE(rig.Tests.Test(0)->PrintReport(QStringLiteral("T-1::旧格式::")));
    const QString said = modtest::Messages().messages().value(0).text;
    EXPECT_TRUE(said.contains(QDir::toNativeSeparators(xls))) << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral("没有安装"))) << said.toStdString();
}

// A copy that fails (here: the chosen "file" cannot be read) keeps the
// template of that name as it was, and a failing copy of a new one is said.
TEST(TemplateMishaps, AFailedCopyKeepsTheOldTemplateAndIsSaid)
{
    templtest::TNoOffice noOffice;
    TWindowRig rig;
    const QString old = templtest::InstallTemplate(rig.Program.path(), QStringLiteral("水泥胶砂抗压"),
                                                   templtest::DataFile("horizontal.xlsx"), QStringLiteral("old.xls"));
    const QByteArray before = templtest::Hash(old);
    QTemporaryDir source;
    ASSERT_TRUE(QDir(source.path()).mkpath(QStringLiteral("old.xls")));
    ASSERT_TRUE(QDir(source.path()).mkpath(QStringLiteral("new.xls")));
    TfrmConfigRep &w = rig.Open();
    rig.Chosen = QDir(source.path()).filePath(QStringLiteral("old.xls"));
    w.SelectNode(0);
    modtest::Messages().clear();
    modtest::Messages().queueAnswer(TMsgResult::Yes);
    w.AddClick();
    EXPECT_EQ(templtest::Hash(old), before);
    rig.Chosen = QDir(source.path()).filePath(QStringLiteral("new.xls"));
    w.SelectNode(0);
    modtest::Messages().clear();
    w.AddClick();
    EXPECT_TRUE(modtest::Messages().lastText().startsWith("报表模板复制失败")) << modtest::Messages().lastText().toStdString();
}
