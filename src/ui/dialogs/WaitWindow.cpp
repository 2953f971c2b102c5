#include "ui/dialogs/WaitWindow.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace kv {

TfrmWait::TfrmWait(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmWait"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_hint = tr("系统初始化,请等待...");
    setToolTip(m_hint);
    setFixedSize(560, 320);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void TfrmWait::PaintPress(QPainter &p, const QRectF &a)
{
    // A two-column press: top beam, columns, crosshead, platens, a cube
    // between them and the cylinder in the base.
    const QColor steel(200, 214, 230);
    const QColor dark(90, 110, 140);
    p.setPen(QPen(dark, 1.5));
    p.setBrush(steel);

    const double w = a.width(), h = a.height();
    const double x0 = a.left(), y0 = a.top();
    const QRectF beam(x0 + 0.05 * w, y0 + 0.02 * h, 0.90 * w, 0.12 * h);
    const QRectF base(x0, y0 + 0.80 * h, w, 0.16 * h);
    const QRectF colL(x0 + 0.12 * w, beam.bottom(), 0.08 * w, base.top() - beam.bottom());
    const QRectF colR(x0 + 0.80 * w, beam.bottom(), 0.08 * w, base.top() - beam.bottom());
    p.drawRoundedRect(colL, 2, 2);
    p.drawRoundedRect(colR, 2, 2);
    p.drawRoundedRect(beam, 4, 4);
    p.drawRoundedRect(base, 4, 4);

    const QRectF upperPlaten(x0 + 0.30 * w, y0 + 0.30 * h, 0.40 * w, 0.06 * h);
    const QRectF screw(x0 + 0.46 * w, beam.bottom(), 0.08 * w, upperPlaten.top() - beam.bottom());
    p.drawRect(screw);
    p.drawRect(upperPlaten);

    const QRectF ram(x0 + 0.36 * w, y0 + 0.64 * h, 0.28 * w, base.top() - y0 - 0.64 * h);
    const QRectF lowerPlaten(x0 + 0.30 * w, y0 + 0.58 * h, 0.40 * w, 0.06 * h);
    p.drawRect(ram);
    p.drawRect(lowerPlaten);

    // The specimen, under load.
    p.setBrush(QColor(170, 170, 160));
    p.setPen(QPen(QColor(110, 110, 100), 1.5));
    p.drawRect(QRectF(x0 + 0.41 * w, upperPlaten.bottom(), 0.18 * w, lowerPlaten.top() - upperPlaten.bottom()));

    // Load arrows.
    p.setPen(QPen(QColor(255, 200, 60), 2.5));
    p.setBrush(QColor(255, 200, 60));
    for (double side : {0.22, 0.78}) {
        const double x = x0 + side * w;
        const double top = y0 + 0.40 * h, bottom = y0 + 0.54 * h;
        p.drawLine(QPointF(x, top), QPointF(x, bottom - 6));
        QPainterPath head;
        head.moveTo(x - 6, bottom - 8);
        head.lineTo(x + 6, bottom - 8);
        head.lineTo(x, bottom);
        head.closeSubpath();
        p.drawPath(head);
    }
}

void TfrmWait::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();

    QLinearGradient bg(r.topLeft(), r.bottomRight());
    bg.setColorAt(0.0, QColor(18, 40, 78));
    bg.setColorAt(1.0, QColor(8, 18, 36));
    p.fillRect(r, bg);
    p.setPen(QPen(QColor(70, 110, 170), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(1, 1, -1, -1));

    PaintPress(p, QRectF(30, 40, 190, 220));

    QFont title = font();
    title.setPointSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(250, 60, 290, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kalvio6"));

    QFont sub = font();
    sub.setPointSize(14);
    p.setFont(sub);
    p.setPen(QColor(190, 210, 240));
    p.drawText(QRectF(252, 120, 290, 30), Qt::AlignLeft | Qt::AlignVCenter, tr("数字电液测控软件"));
    p.drawText(QRectF(252, 150, 290, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KalvioV6.1"));

    p.setPen(QPen(QColor(70, 110, 170), 1));
    p.drawLine(QPointF(250, 200), QPointF(530, 200));

    QFont hint = font();
    hint.setPointSize(12);
    p.setFont(hint);
    p.setPen(QColor(255, 210, 90));
    p.drawText(QRectF(250, 250, 290, 30), Qt::AlignLeft | Qt::AlignVCenter, m_hint);
}

} // namespace kv
