#include "market/headline_box.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

namespace qb {
namespace {

struct Line {
    QString text;
    qreal y = 0;
};

// Breaks the text as a word-wrapping label does at this width, and cuts the last line
// that shows with an ellipsis when words are left over.
QList<Line> layout_lines(const QString& text, const QFont& font, int width, int max_lines) {
    QString wrapped = text;
    wrapped.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(wrapped, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const QFontMetricsF metrics(font);
    // Lines stand one line spacing apart, as the label's own drawing puts them.
    const qreal leading = metrics.leading();
    QList<Line> lines;
    qreal y = -leading;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        y += leading;
        line.setPosition(QPointF(0, y));
        y += line.height();
        if (lines.size() == max_lines) {
            // Words are left over: the last line that shows takes them, cut to leave room
            // for the ellipsis.
            const QChar ellipsis(0x2026);
            QString rest = wrapped.mid(layout.lineAt(max_lines - 1).textStart());
            rest.replace(QChar::LineSeparator, u' ');
            QString cut = metrics.elidedText(rest.trimmed(), Qt::ElideRight, width - metrics.horizontalAdvance(ellipsis));
            if (!cut.endsWith(ellipsis)) cut += ellipsis;
            lines.last().text = cut;
            break;
        }
        lines.append({wrapped.mid(line.textStart(), line.textLength()), line.y()});
    }
    layout.endLayout();
    return lines;
}

} // namespace

HeadlineBox::HeadlineBox(QWidget* parent) : QLabel(parent) {}

void HeadlineBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    const qreal ascent = QFontMetricsF(font()).ascent();
    for (const Line& l : layout_lines(text(), font(), area.width(), kMaxLines))
        painter.drawText(QPointF(area.left(), area.top() + l.y + ascent), l.text.trimmed());
}

} // namespace qb
