#include "ui/dialogs/AboutDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kv {

namespace {

// The program picture: a press frame with a specimen between the platens.
QPixmap ProgramPicture()
{
    QPixmap pm(120, 140);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 60, 90), 2));
    p.setBrush(QColor(70, 100, 150));
    p.drawRect(10, 10, 100, 14);   // crosshead
    p.drawRect(10, 116, 100, 14);  // base
    p.drawRect(14, 24, 10, 92);    // columns
    p.drawRect(96, 24, 10, 92);
    p.setBrush(QColor(150, 160, 170));
    p.drawRect(44, 24, 32, 30);    // upper platen and piston
    p.drawRect(44, 90, 32, 26);
    p.setBrush(QColor(200, 190, 160));
    p.drawRect(46, 60, 28, 28);    // specimen
    return pm;
}

// What the module list says of a file: its tests, or why it was left out.
QString ModuleState(const TModuleLoad &m)
{
    auto skipped = [](const QString &why) { return TfrmExplain::tr("未加载：%1").arg(why); };
    switch (m.Skip) {
    case TModuleSkip::None:
        return m.Tests.isEmpty() ? TfrmExplain::tr("已加载，本机型没有它的试验") : m.Tests.join(TfrmExplain::tr("、"));
    case TModuleSkip::EmptyFile:
        return skipped(TfrmExplain::tr("空文件"));
    case TModuleSkip::NotALibrary:
        return skipped(TfrmExplain::tr("不是可加载的库"));
    case TModuleSkip::NoTestExport:
        return skipped(TfrmExplain::tr("不是试验模块"));
    case TModuleSkip::FailedToStart:
        return skipped(TfrmExplain::tr("模块启动时出错"));
    case TModuleSkip::Duplicate:
        return skipped(TfrmExplain::tr("与 %1 重复").arg(m.Detail));
    }
    return {};
}

// The files of the module folder: loaded ones with their tests, skipped
// ones greyed with the reason (the loader's error as the row's hint).
QWidget *ModuleList(const std::vector<TModuleLoad> &modules, QWidget *parent)
{
    auto *tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("tvModules"));
    tree->setColumnCount(2);
    tree->setHeaderLabels({TfrmExplain::tr("试验模块"), TfrmExplain::tr("试验")});
    tree->setRootIsDecorated(false);
    tree->setSelectionMode(QAbstractItemView::NoSelection);
    tree->setFocusPolicy(Qt::NoFocus);
    for (const TModuleLoad &m : modules) {
        auto *row = new QTreeWidgetItem(tree, {m.File, ModuleState(m)});
        if (m.Skip != TModuleSkip::None) {
            for (int c = 0; c < 2; ++c)
                row->setForeground(c, QColor(150, 40, 40));
            if (!m.Detail.isEmpty())
                row->setToolTip(1, m.Detail);
        }
    }
    tree->resizeColumnToContents(0);
    tree->setColumnWidth(0, tree->columnWidth(0) + 16);
    const int rows = std::clamp(int(modules.size()), 3, 10);
    tree->setMinimumHeight(tree->header()->sizeHint().height() + rows * (tree->fontMetrics().height() + 6) + 6);
    return tree;
}

} // namespace

TfrmExplain::TfrmExplain(QWidget *parent, const std::vector<TModuleLoad> &modules) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmExplain"));
    setWindowTitle(tr("关于"));
    setModal(true);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgProgram"));
    picture->setPixmap(ProgramPicture());

    auto *product = new QLabel(QStringLiteral("Kalvio"), this);
    product->setObjectName(QStringLiteral("lblProduct"));
    product->setStyleSheet(QStringLiteral("QLabel { font: bold 22pt; color: #204080; }"));
    auto *title = new QLabel(tr("数字电液测控软件"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setStyleSheet(QStringLiteral("QLabel { font: bold 14pt; }"));
    auto *version = new QLabel(tr("版本：6.1"), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setStyleSheet(QStringLiteral("QLabel { font: 11pt; }"));

    auto *ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addStretch(1);
    texts->addWidget(product);
    texts->addWidget(title);
    texts->addSpacing(6);
    texts->addWidget(version);
    texts->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(16);
    row->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto *col = new QVBoxLayout(this);
    col->setContentsMargins(20, 18, 20, 14);
    col->addLayout(row);
    if (!modules.empty()) {
        col->addSpacing(10);
        col->addWidget(ModuleList(modules, this));
    }
    col->addSpacing(10);
    col->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(modules.empty() ? 400 : 520, 220)));
}

void TfrmExplain::Show(QWidget *parent, const std::vector<TModuleLoad> &modules)
{
    TfrmExplain dialog(parent, modules);
    dialog.exec();
}

} // namespace kv
