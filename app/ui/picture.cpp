#include "app/ui/picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

TPicturePanel::TPicturePanel(QWidget *parent, bool compact) : QWidget(parent), compact_(compact)
{
    setObjectName(QStringLiteral("imgMain"));
    setMinimumSize(compact ? QSize(220, 160) : QSize(200, 200));
}

void TPicturePanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    g.setColorAt(1, QColor(0x9d, 0xc3, 0xe6));
    p.fillRect(rect(), g);

    // A bird in flight: two wings and a body, scaled to the panel.
    const double s = qMin(width() / 4.4, height() / (compact_ ? 3.0 : 4.0));
    const QPointF c(width() / 2.0, height() / (compact_ ? 2.4 : 2.6));
    QPainterPath wing;
    wing.moveTo(c);
    wing.cubicTo(c + QPointF(-0.6 * s, -0.9 * s), c + QPointF(-1.4 * s, -0.7 * s), c + QPointF(-1.9 * s, -0.2 * s));
    wing.cubicTo(c + QPointF(-1.2 * s, -0.35 * s), c + QPointF(-0.6 * s, -0.1 * s), c);
    QPainterPath right;
    right.moveTo(c);
    right.cubicTo(c + QPointF(0.6 * s, -0.9 * s), c + QPointF(1.4 * s, -0.7 * s), c + QPointF(1.9 * s, -0.2 * s));
    right.cubicTo(c + QPointF(1.2 * s, -0.35 * s), c + QPointF(0.6 * s, -0.1 * s), c);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawPath(wing);
    p.drawPath(right);
    p.drawEllipse(c + QPointF(0, 0.08 * s), 0.22 * s, 0.12 * s);

    QFont f = font();
    f.setPointSizeF(compact_ ? 13 : 26);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    const QRectF textRect(0, c.y() + 0.4 * s, width(), 2 * f.pointSizeF() * 1.6);
    p.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Pennavox Club Management"));
    f.setPointSizeF(compact_ ? 9 : 13);
    f.setBold(false);
    p.setFont(f);
    p.drawText(textRect.translated(0, f.pointSizeF() * 3.4), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Races, members and clocks of your club"));
}
