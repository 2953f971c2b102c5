// The program's help: locating the page set, the help window, and the pages
// themselves (every local link resolves, both languages hold the same pages).
#include "ui/help/HelpViewer.h"
#include "TestSupport.h"
#include "MessageService.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace kv;
using kvtest::Child;

namespace {

QString StagedHelp() { return QDir(kvtest::StageDir()).filePath(QStringLiteral("Help")); }

void WriteFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QString ReadUtf8(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Relative paths of the files below dir, with the given name filter.
QStringList FilesBelow(const QString &dir, const QStringList &filters = {})
{
    QStringList files;
    QDirIterator it(dir, filters, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

QList<TfrmHelp *> OpenHelpWindows()
{
    QList<TfrmHelp *> list;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *help = qobject_cast<TfrmHelp *>(w); help && help->isVisible())
            list << help;
    return list;
}

} // namespace

TEST(HelpLocation, MissingHelpDoesNothing)
{
    TRecordingMessageService messages;
    TMessageGuard guard(&messages);
    QTemporaryDir program;
    EXPECT_TRUE(ProgramHelpIndex(program.path(), false).isEmpty());
    EXPECT_TRUE(ProgramHelpIndex(program.path(), true).isEmpty());

    QWidget owner;
    EXPECT_EQ(TfrmHelp::ShowHelp(&owner, QString()), nullptr);
    EXPECT_EQ(TfrmHelp::ShowHelp(&owner, program.filePath(QStringLiteral("Help/index.html"))), nullptr);
    // The test program's own folder holds no help: the command does nothing.
    ASSERT_FALSE(QFileInfo::exists(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help"))));
    EXPECT_FALSE(ShowProgramHelp(&owner));
    EXPECT_FALSE(ShowProgramHelp(nullptr));
    EXPECT_TRUE(OpenHelpWindows().isEmpty());
    EXPECT_TRUE(owner.findChildren<TfrmHelp *>().isEmpty());
    EXPECT_TRUE(messages.messages().isEmpty());
}

TEST(HelpLocation, EnglishPagesWhenPresentElseChinese)
{
    QTemporaryDir program;
    const QString zh = program.filePath(QStringLiteral("Help/index.html"));
    const QString en = program.filePath(QStringLiteral("Help/en/index.html"));

    // English pages alone are not used for the Chinese interface.
    WriteFile(en, "<html><head><title>Help</title></head></html>");
    EXPECT_TRUE(ProgramHelpIndex(program.path(), false).isEmpty());
    EXPECT_EQ(ProgramHelpIndex(program.path(), true), en);

    WriteFile(zh, "<html><head><title>帮助</title></head></html>");
    EXPECT_EQ(ProgramHelpIndex(program.path(), false), zh);
    EXPECT_EQ(ProgramHelpIndex(program.path(), true), en);

    ASSERT_TRUE(QFile::remove(en));
    EXPECT_EQ(ProgramHelpIndex(program.path(), true), zh);
}

TEST(HelpLinks, LocalLinksOnlyWithoutFragments)
{
    const QString html = QStringLiteral(
        "<link rel=\"stylesheet\" href=\"../style.css\">"
        "<a href=\"run.html#stop\">a</a> <A HREF='login.html'>b</A> <a href=\"#top\">c</a>"
        "<a href=\"http://example.org/x.html\">d</a> <a href=\"mailto:lab@example.org\">e</a>"
        "<img src=\"img/panel.png\"> <a href=\"file:///tmp/x.html\">f</a>");
    EXPECT_EQ(LocalHelpLinks(html),
              (QStringList{QStringLiteral("../style.css"), QStringLiteral("run.html"),
                           QStringLiteral("login.html"), QStringLiteral("img/panel.png")}));
}

// Every page of the shipped help set, both languages.
class HelpPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo(QDir(StagedHelp()).filePath(QStringLiteral("index.html"))).isFile())
            << "help not staged into " << StagedHelp().toStdString();
        pages = FilesBelow(StagedHelp(), {QStringLiteral("*.html")});
    }
    QStringList pages;
};

TEST_F(HelpPages, StagedAsInTheSources)
{
    const QString source = QDir(kvtest::SourceDir()).filePath(QStringLiteral("help"));
    QStringList sourceFiles = FilesBelow(source);
    sourceFiles.removeAll(QStringLiteral("CMakeLists.txt"));
    EXPECT_EQ(FilesBelow(StagedHelp()), sourceFiles);
    for (const QString &f : sourceFiles)
        EXPECT_EQ(ReadUtf8(QDir(StagedHelp()).filePath(f)), ReadUtf8(QDir(source).filePath(f))) << f.toStdString();
}

TEST_F(HelpPages, EveryLocalLinkPointsToAnExistingFile)
{
    int links = 0;
    for (const QString &page : pages) {
        const QString file = QDir(StagedHelp()).filePath(page);
        const QDir dir = QFileInfo(file).absoluteDir();
        for (const QString &link : LocalHelpLinks(ReadUtf8(file))) {
            ++links;
            EXPECT_TRUE(QFileInfo(dir.filePath(link)).isFile()) << page.toStdString() << " -> " << link.toStdString();
        }
    }
    EXPECT_GT(links, 2 * pages.size());
}

TEST_F(HelpPages, EveryPageHasATitleAndIsReachableFromItsIndex)
{
    for (const QString &index : {QStringLiteral("index.html"), QStringLiteral("en/index.html")}) {
        // Walk the links from the start page of each language.
        QSet<QString> reached;
        QStringList queue{QDir(StagedHelp()).filePath(index)};
        while (!queue.isEmpty()) {
            const QString file = QDir::cleanPath(queue.takeFirst());
            if (reached.contains(file))
                continue;
            reached.insert(file);
            const QDir dir = QFileInfo(file).absoluteDir();
            for (const QString &link : LocalHelpLinks(ReadUtf8(file)))
                if (link.endsWith(QLatin1String(".html")) && QFileInfo(dir.filePath(link)).isFile())
                    queue << dir.filePath(link);
        }
        for (const QString &page : pages) {
            const bool english = page.startsWith(QLatin1String("en/"));
            if (english != index.startsWith(QLatin1String("en/")))
                continue;
            const QString file = QDir::cleanPath(QDir(StagedHelp()).filePath(page));
            EXPECT_TRUE(reached.contains(file)) << page.toStdString() << " cannot be reached from " << index.toStdString();
            EXPECT_FALSE(HelpPageTitle(file).isEmpty()) << page.toStdString();
        }
    }
}

TEST_F(HelpPages, EnglishSetHasTheSamePages)
{
    QStringList chinese, english;
    for (const QString &page : pages)
        (page.startsWith(QLatin1String("en/")) ? english : chinese) << QFileInfo(page).fileName();
    chinese.sort();
    english.sort();
    EXPECT_EQ(english, chinese);
    EXPECT_GE(chinese.size(), 5);
}

TEST(HelpWindow, OpensAtTheStartPageWithContentsAndHistory)
{
    TRecordingMessageService messages;
    TMessageGuard guard(&messages);
    const QString index = ProgramHelpIndex(kvtest::StageDir(), false);
    ASSERT_FALSE(index.isEmpty());
    const QString title = HelpPageTitle(index);
    EXPECT_EQ(title, QStringLiteral("Kalvio6 使用帮助"));

    QWidget owner;
    TfrmHelp *form = TfrmHelp::ShowHelp(&owner, index);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isWindow());
    auto *browser = Child<QTextBrowser>(*form, "Browser");
    auto *contents = Child<QListWidget>(*form, "lstContents");
    auto *back = Child<QAction>(*form, "actBack");
    auto *forward = Child<QAction>(*form, "actForward");
    EXPECT_EQ(browser->documentTitle(), title);
    EXPECT_TRUE(form->windowTitle().contains(title));
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("系统帮助")));
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());

    // Contents: the start page first, then each page it links to.
    ASSERT_GE(contents->count(), 6);
    EXPECT_EQ(contents->item(0)->text(), title);
    EXPECT_EQ(contents->currentRow(), 0);
    EXPECT_EQ(contents->item(2)->text(), QStringLiteral("做一组试验"));

    contents->setCurrentRow(2);
    emit contents->itemClicked(contents->item(2));
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("做一组试验"));
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("做一组试验")));
    EXPECT_TRUE(back->isEnabled());
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("运行")));

    back->trigger();
    EXPECT_EQ(browser->documentTitle(), title);
    EXPECT_EQ(contents->currentRow(), 0);
    EXPECT_TRUE(forward->isEnabled());
    forward->trigger();
    EXPECT_EQ(contents->currentRow(), 2);
    Child<QAction>(*form, "actHome")->trigger();
    EXPECT_EQ(browser->documentTitle(), title);

    // A second command brings the same window back.
    EXPECT_EQ(TfrmHelp::ShowHelp(&owner, index), form);
    EXPECT_EQ(owner.findChildren<TfrmHelp *>().size(), 1);
    EXPECT_TRUE(messages.messages().isEmpty());

    if (!qEnvironmentVariableIsEmpty("KV_HELP_SHOTS")) {
        // Every page of the contents, for a look.
        form->resize(1000, 680);
        for (int row = 0; row < contents->count(); ++row) {
            contents->setCurrentRow(row);
            emit contents->itemClicked(contents->item(row));
            form->grab().save(qEnvironmentVariable("KV_HELP_SHOTS") + QStringLiteral("/help_%1.png").arg(row));
        }
    }
    form->close();
}

TEST(HelpWindow, EnglishStartPage)
{
    const QString index = ProgramHelpIndex(kvtest::StageDir(), true);
    ASSERT_TRUE(index.endsWith(QLatin1String("Help/en/index.html")));
    TfrmHelp *form = TfrmHelp::ShowHelp(nullptr, index);
    ASSERT_NE(form, nullptr);
    auto *browser = Child<QTextBrowser>(*form, "Browser");
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Kalvio6 Help"));
    EXPECT_EQ(Child<QListWidget>(*form, "lstContents")->item(1)->text(), QStringLiteral("Logging in and users"));
    // The style sheet one folder up is applied (headings are coloured).
    EXPECT_TRUE(browser->document()->toHtml().contains(QStringLiteral("#1f4e79")));
    // Without an owner the open window is reused as well.
    EXPECT_EQ(TfrmHelp::ShowHelp(nullptr, index), form);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The window's own captions come from the program's English texts.
    QTranslator english;
    ASSERT_TRUE(english.load(QDir(kvtest::StageDir()).filePath(QStringLiteral("Kalvio6.ENU.qm"))));
    QCoreApplication::installTranslator(&english);
    form = TfrmHelp::ShowHelp(nullptr, index);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Child<QAction>(*form, "actBack")->text(), QStringLiteral("Back"));
    EXPECT_EQ(Child<QAction>(*form, "actForward")->text(), QStringLiteral("Forward"));
    EXPECT_EQ(Child<QAction>(*form, "actHome")->text(), QStringLiteral("Home"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Help - Kalvio6 Help"));
    if (!qEnvironmentVariableIsEmpty("KV_HELP_SHOTS")) {
        form->resize(1000, 680);
        form->grab().save(qEnvironmentVariable("KV_HELP_SHOTS") + QStringLiteral("/help_en.png"));
    }
    form->close();
    QCoreApplication::removeTranslator(&english);
}
