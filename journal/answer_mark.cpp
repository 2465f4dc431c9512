#include "journal/answer_mark.h"

#include "core/records.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace qb {

QPixmap draw_answer_mark(int code, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    if (code == answer_none) return pm;
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    if (code == answer_yes) {
        p.setPen(QPen(QColor(0, 160, 0), s / 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(s * 0.15, s * 0.55);
        tick.lineTo(s * 0.4, s * 0.8);
        tick.lineTo(s * 0.85, s * 0.2);
        p.drawPath(tick);
    } else if (code == answer_no) {
        p.setPen(QPen(QColor(220, 0, 0), s / 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.2, s * 0.2), QPointF(s * 0.8, s * 0.8));
        p.drawLine(QPointF(s * 0.8, s * 0.2), QPointF(s * 0.2, s * 0.8));
    } else {
        p.setPen(QPen(QColor(150, 120, 0), 1));
        p.setBrush(QColor(255, 220, 0));
        p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
        QFont f(QStringLiteral("Arial"));
        f.setBold(true);
        f.setPixelSize(int(s * 0.75));
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QStringLiteral("?"));
    }
    return pm;
}

} // namespace qb
