#include "ui/help/HelpViewer.h"

#include "Translation.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

namespace kv {

namespace {

QString ReadPage(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        return QString::fromUtf8(bytes);
    return decoder.decode(bytes);
}

// A file in the help folder, compared by its cleaned absolute path.
QString PageKey(const QString &file) { return QDir::cleanPath(QFileInfo(file).absoluteFilePath()); }

} // namespace

QString ProgramHelpIndex(const QString &programDir, bool english)
{
    const QDir dir(programDir);
    if (english) {
        const QString en = dir.filePath(QStringLiteral("Help/en/index.html"));
        if (QFileInfo(en).isFile())
            return en;
    }
    const QString zh = dir.filePath(QStringLiteral("Help/index.html"));
    return QFileInfo(zh).isFile() ? zh : QString();
}

bool ShowProgramHelp(QWidget *parent)
{
    const QString index = ProgramHelpIndex(QCoreApplication::applicationDirPath(), LanguageEnvironmentIsEnglish());
    return TfrmHelp::ShowHelp(parent, index) != nullptr;
}

QStringList LocalHelpLinks(const QString &html)
{
    static const QRegularExpression attr(QStringLiteral("\\b(?:href|src)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression scheme(QStringLiteral("^[a-zA-Z][a-zA-Z0-9+.-]*:"));
    QStringList links;
    for (auto it = attr.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString link = m.captured(1).isNull() ? m.captured(2) : m.captured(1);
        link = link.trimmed();
        if (link.startsWith(QLatin1Char('#')) || scheme.match(link).hasMatch())
            continue;
        const int hash = link.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            link.truncate(hash);
        if (!link.isEmpty())
            links << link;
    }
    return links;
}

QString HelpPageTitle(const QString &file)
{
    const QString html = ReadPage(file);
    if (html.isEmpty())
        return {};
    QTextDocument doc;
    doc.setHtml(html);
    return doc.metaInformation(QTextDocument::DocumentTitle).trimmed();
}

TfrmHelp::TfrmHelp(const QString &indexFile, QWidget *parent)
    : QWidget(parent, Qt::Window), FIndexFile(indexFile)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("系统帮助"));
    resize(920, 640);

    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    FBackAction = bar->addAction(tr("后退"));
    FForwardAction = bar->addAction(tr("前进"));
    FHomeAction = bar->addAction(tr("主页"));
    FBackAction->setObjectName(QStringLiteral("actBack"));
    FForwardAction->setObjectName(QStringLiteral("actForward"));
    FHomeAction->setObjectName(QStringLiteral("actHome"));
    FBackAction->setShortcut(QKeySequence::Back);
    FForwardAction->setShortcut(QKeySequence::Forward);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    FContentsList = new QListWidget(splitter);
    FContentsList->setObjectName(QStringLiteral("lstContents"));
    FContentsList->setSpacing(2);
    FBrowser = new QTextBrowser(splitter);
    FBrowser->setObjectName(QStringLiteral("Browser"));
    FBrowser->setOpenExternalLinks(false);
    FBrowser->setSearchPaths({QFileInfo(indexFile).absolutePath()});
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 700});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(splitter, 1);

    FBackAction->setEnabled(false);
    FForwardAction->setEnabled(false);
    connect(FBackAction, &QAction::triggered, FBrowser, &QTextBrowser::backward);
    connect(FForwardAction, &QAction::triggered, FBrowser, &QTextBrowser::forward);
    connect(FHomeAction, &QAction::triggered, this, &TfrmHelp::GoHome);
    connect(FBrowser, &QTextBrowser::backwardAvailable, FBackAction, &QAction::setEnabled);
    connect(FBrowser, &QTextBrowser::forwardAvailable, FForwardAction, &QAction::setEnabled);
    connect(FBrowser, &QTextBrowser::sourceChanged, this, &TfrmHelp::SourceChanged);
    connect(FContentsList, &QListWidget::itemClicked, this, &TfrmHelp::ContentsClicked);

    FillContents();
    FBrowser->setSource(QUrl::fromLocalFile(PageKey(indexFile)));
}

TfrmHelp *TfrmHelp::ShowHelp(QWidget *parent, const QString &indexFile)
{
    if (indexFile.isEmpty() || !QFileInfo(indexFile).isFile())
        return nullptr;
    // One help window per owner: a second command brings it to the front.
    static QPointer<TfrmHelp> ownerless;
    TfrmHelp *form = parent ? parent->findChild<TfrmHelp *>(QString(), Qt::FindDirectChildrenOnly)
                            : ownerless.data();
    if (form && PageKey(form->IndexFile()) != PageKey(indexFile)) {
        form->close();
        form = nullptr;
    }
    if (!form) {
        form = new TfrmHelp(indexFile, parent);
        if (!parent)
            ownerless = form;
    }
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

void TfrmHelp::GoHome() { FBrowser->setSource(QUrl::fromLocalFile(PageKey(FIndexFile))); }

// The contents list: the start page, then every page it links to, in order.
void TfrmHelp::FillContents()
{
    FContentsList->clear();
    const QDir dir = QFileInfo(FIndexFile).absoluteDir();
    QStringList pages{PageKey(FIndexFile)};
    for (const QString &link : LocalHelpLinks(ReadPage(FIndexFile))) {
        const QString page = PageKey(dir.filePath(link));
        if (!pages.contains(page) && page.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
            && QFileInfo(page).isFile())
            pages << page;
    }
    for (const QString &page : pages) {
        QString title = HelpPageTitle(page);
        if (title.isEmpty())
            title = QFileInfo(page).completeBaseName();
        auto *item = new QListWidgetItem(title, FContentsList);
        item->setData(Qt::UserRole, page);
    }
}

void TfrmHelp::SourceChanged(const QUrl &url)
{
    const QString title = FBrowser->documentTitle();
    setWindowTitle(title.isEmpty() ? tr("系统帮助") : tr("系统帮助") + QStringLiteral(" - ") + title);
    const QString page = url.isLocalFile() ? PageKey(url.toLocalFile()) : QString();
    QListWidgetItem *current = nullptr;
    for (int i = 0; i < FContentsList->count(); ++i)
        if (FContentsList->item(i)->data(Qt::UserRole).toString() == page)
            current = FContentsList->item(i);
    const QSignalBlocker block(FContentsList);
    FContentsList->setCurrentItem(current);
    if (!current)
        FContentsList->clearSelection();
}

void TfrmHelp::ContentsClicked()
{
    if (QListWidgetItem *item = FContentsList->currentItem())
        FBrowser->setSource(QUrl::fromLocalFile(item->data(Qt::UserRole).toString()));
}

} // namespace kv
