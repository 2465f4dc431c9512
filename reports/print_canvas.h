#pragma once
// The pieces of the print canvas: labels, text boxes, answer boxes and rules placed in
// twips. Each draws itself the same way on screen and on paper, and tells where its text
// lines lie so that a page never cuts through one.
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>
#include <climits>
#include <cstdint>
#include <functional>

class QPainter;

namespace qb {

// The lines a box shows: the breaks the line counter counts, so a box as tall as the
// counted lines holds all of them.
QStringList wrap_canvas_lines(const QString& text, int width_twips, const std::function<int(QChar)>& char_width);

// A span [top, bottom) of the canvas, in twips, that a page edge must not cross.
struct CanvasSpan {
    int top = 0;
    int bottom = 0;
};

class CanvasControl : public QWidget {
    Q_OBJECT
public:
    enum Kind { label, text_box, multi_line, answer_box, line };

    CanvasControl(QWidget* canvas, const QString& name, Kind kind);

    Kind kind() const { return kind_; }
    // Geometry in twips on the canvas.
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    // A rule's ends and thickness (pixels at 96 DPI, as the screen shows it).
    int32_t X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;
    int BorderWidth = 1;

    QString text;             // caption of a label, text of a box
    QString font_face = QStringLiteral("Arial");
    double font_size = 8.25;  // points
    bool font_bold = false;
    uint32_t ForeColor = 0;   // OLE colour
    Qt::Alignment alignment = Qt::AlignLeft;
    int line_height = 203;    // twips per text line of a multi-line box
    int picture = 0;          // answer box: 0 none, 1 green check, 2 red X, 3 yellow question mark

    void set_geometry(int32_t left, int32_t top, int32_t width, int32_t height);
    void set_font(const QString& face, double size, bool bold);
    // Where the control is shown (hidden controls are not printed).
    bool shown() const { return !isHidden(); }
    void set_shown(bool on) { setHidden(!on); }
    // The lines of a multi-line box as it wraps them.
    QStringList lines() const;

    // Draws the control in twips coordinates of the canvas; of a multi-line box only the
    // lines that start within [from, to).
    void paint_twips(QPainter& painter, int from = INT_MIN, int to = INT_MAX) const;
    void add_spans(QVector<CanvasSpan>& spans) const;
    // From the top to the bottom of what the control draws.
    CanvasSpan extent() const;
    // Moves the on-screen widget to the twips geometry.
    void place();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind kind_;
};

} // namespace qb
