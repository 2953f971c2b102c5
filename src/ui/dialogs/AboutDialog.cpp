#include "ui/dialogs/AboutDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

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

} // namespace

TfrmExplain::TfrmExplain(QWidget *parent) : QDialog(parent)
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
    col->addSpacing(10);
    col->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(400, 220)));
}

void TfrmExplain::Show(QWidget *parent)
{
    TfrmExplain dialog(parent);
    dialog.exec();
}

} // namespace kv
