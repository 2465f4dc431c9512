#include "reports/print_canvas.h"

#include "platform/window_helpers.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace qb {
namespace {

// The faces the layouts name, drawn with the metric-compatible face the system has.
QFont drawing_font(const QString& face, double size, bool bold) {
    QFont f(face == u"MS Sans Serif" ? QStringLiteral("Arial") : face);
    // Twips are the drawing unit: a point is 20 of them.
    f.setPixelSize(std::max(1, int(std::lround(size * 20))));
    f.setBold(bold);
    return f;
}

std::function<int(QChar)> measuring(const QString& face, bool bold) {
    QFont font(face);
    font.setPointSizeF(9.75);
    font.setBold(bold);
    auto metrics = std::make_shared<QFontMetricsF>(font);
    auto cache = std::make_shared<QHash<QChar, int>>();
    return [metrics, cache](QChar c) {
        auto it = cache->constFind(c);
        if (it != cache->constEnd()) return *it;
        const int w = int(std::lround(metrics->horizontalAdvance(c) * kTwipsPerPixel));
        cache->insert(c, w);
        return w;
    };
}

void draw_picture(QPainter& p, int picture, const QRectF& box) {
    const double s = 255;  // 17 pixels
    const QRectF r(box.center().x() - s / 2, box.center().y() - s / 2, s, s);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case 1: {
        p.setPen(QPen(QColor(0, 160, 0), 45, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath path;
        path.moveTo(r.left() + s * 0.15, r.top() + s * 0.55);
        path.lineTo(r.left() + s * 0.40, r.top() + s * 0.80);
        path.lineTo(r.left() + s * 0.85, r.top() + s * 0.20);
        p.drawPath(path);
        break;
    }
    case 2:
        p.setPen(QPen(QColor(210, 0, 0), 45, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(r.topLeft() + QPointF(s * 0.2, s * 0.2), r.bottomRight() - QPointF(s * 0.2, s * 0.2));
        p.drawLine(r.topRight() + QPointF(-s * 0.2, s * 0.2), r.bottomLeft() + QPointF(s * 0.2, -s * 0.2));
        break;
    case 3: {
        QFont f = drawing_font(QStringLiteral("Arial"), 11, true);
        p.setFont(f);
        p.setPen(QColor(200, 170, 0));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    default: break;
    }
    p.restore();
}

} // namespace

QStringList wrap_canvas_lines(const QString& text, int width, const std::function<int(QChar)>& char_width) {
    // The same walk as the line counter, cutting where it counts a new line.
    QStringList lines;
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ') --end;
    qsizetype line_start = 0, word_start = 0;
    int x = 0, w = 0;
    auto push = [&](qsizetype from, qsizetype to) {
        QString s = text.mid(from, to - from);
        s.remove(u'\n');
        lines << s;
    };
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            push(line_start, i);
            line_start = word_start = i + 1;
            x = 0;
            continue;
        }
        const int t = char_width(c);
        x += t;
        w += t;
        if (c == u' ') {
            w = 0;
            word_start = i + 1;
        }
        if (x > width) {
            const qsizetype cut = word_start > line_start ? word_start : i;
            push(line_start, cut);
            line_start = cut;
            x = w;
            w = 0;
        }
    }
    if (line_start < end) push(line_start, end);
    return lines;
}

CanvasControl::CanvasControl(QWidget* canvas, const QString& name, Kind kind) : QWidget(canvas), kind_(kind) {
    setObjectName(name);
}

void CanvasControl::set_geometry(int32_t left, int32_t top, int32_t width, int32_t height) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}

void CanvasControl::set_font(const QString& face, double size, bool bold) {
    font_face = face;
    font_size = size;
    font_bold = bold;
}

QStringList CanvasControl::lines() const {
    if (kind_ != multi_line) return {text};
    return wrap_canvas_lines(text, Width, measuring(font_face, font_bold));
}

void CanvasControl::paint_twips(QPainter& p, int from, int to) const {
    const QRect r(Left, Top, Width, Height);
    p.save();
    switch (kind_) {
    case label:
        p.setFont(drawing_font(font_face, font_size, font_bold));
        p.setPen(color_from_ole(ForeColor));
        p.drawText(r, int(alignment) | Qt::AlignTop | Qt::TextWordWrap, text);
        break;
    case text_box:
        p.setPen(QPen(QColor(160, 160, 160), 15));
        p.drawRect(r);
        p.setClipRect(r);
        p.setFont(drawing_font(font_face, font_size, font_bold));
        p.setPen(color_from_ole(ForeColor));
        p.drawText(r.adjusted(45, 0, -30, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        break;
    case multi_line: {
        p.setClipRect(r);
        p.setFont(drawing_font(font_face, font_size, font_bold));
        p.setPen(color_from_ole(ForeColor));
        const QStringList l = lines();
        for (qsizetype k = 0; k < l.size() && k * line_height < Height; ++k) {
            const int y = Top + int(k) * line_height;
            if (y < from || y >= to) continue;
            p.drawText(QRect(Left, y, Width + 600, line_height),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, l[k]);
        }
        break;
    }
    case answer_box:
        p.setPen(QPen(QColor(128, 128, 128), 15));
        p.drawRect(r);
        draw_picture(p, picture, QRectF(r));
        break;
    case line:
        p.setPen(QPen(color_from_ole(ForeColor), BorderWidth * kTwipsPerPixel, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(X1, Y1, X2, Y2);
        break;
    }
    p.restore();
}

void CanvasControl::add_spans(QVector<CanvasSpan>& spans) const {
    switch (kind_) {
    case multi_line: {
        const int n = std::max<int>(1, int(lines().size()));
        for (int k = 0; k < n && k * line_height < Height; ++k)
            spans.append({Top + k * line_height, Top + std::min((k + 1) * line_height, Height)});
        break;
    }
    default: spans.append(extent()); break;
    }
}

CanvasSpan CanvasControl::extent() const {
    if (kind_ != line) return {Top, Top + Height};
    const int half = BorderWidth * kTwipsPerPixel / 2 + 1;
    return {std::min(Y1, Y2) - half, std::max(Y1, Y2) + half};
}

void CanvasControl::place() {
    if (kind_ == line) {
        const int half = BorderWidth * kTwipsPerPixel / 2 + 1;
        setGeometry(twips_to_px(std::min(X1, X2)), twips_to_px(std::min(Y1, Y2) - half),
                    std::max(1, twips_to_px(std::abs(X2 - X1))), std::max(1, twips_to_px(std::abs(Y2 - Y1) + 2 * half)));
        return;
    }
    setGeometry(twips_to_px(Left), twips_to_px(Top), std::max(1, twips_to_px(Width)), std::max(1, twips_to_px(Height)));
}

void CanvasControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.scale(1.0 / kTwipsPerPixel, 1.0 / kTwipsPerPixel);
    p.translate(-px_to_twips(x()), -px_to_twips(y()));
    paint_twips(p);
}

} // namespace qb
