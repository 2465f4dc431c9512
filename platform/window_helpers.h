#pragma once
// Window-side helpers: twips, colours, topmost windows, the mouse wheel and text measuring.
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QAbstractSlider;
class QFont;
class QWidget;

namespace qb {

// 15 twips to the pixel at 96 DPI.
constexpr int kTwipsPerPixel = 15;
inline int twips_to_px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
inline int px_to_twips(int px) { return px * kTwipsPerPixel; }

// OLE colour (blue, green, red from the high byte down); system colours resolve through the palette.
QColor color_from_ole(uint32_t ole);

// Keeps a window above the others. The flag is set before the window is first shown
// (setting it on a shown window hides it), and raise() brings it forward afterwards.
void set_window_topmost(QWidget* window);

// Moves a top-level window so that its frame stands centred over the frame of another
// window, inside the available area of that one's screen. A window not shown yet has no
// frame of its own; the other window's borders stand in for it.
void centre_over(QWidget* window, const QWidget* over);

// A window's own messages stand over it: while one of these lives, message boxes and
// dialogs come up over its window (the innermost one when they nest). Without one they
// come up over the window the user is in (the active modal dialog or the active window),
// else over the main window; over the screen's middle only when none of them is up.
// The wait window (a tool window) is never an owner: it goes when the work ends.
class MessageBoxOwner {
public:
    explicit MessageBoxOwner(QWidget* window);
    ~MessageBoxOwner();
    MessageBoxOwner(const MessageBoxOwner&) = delete;
    MessageBoxOwner& operator=(const MessageBoxOwner&) = delete;
    // The window a box comes up over now, or nullptr.
    static QWidget* current();
    // The program's main window, the owner when no other window is active.
    static void set_main_window(QWidget* window);

private:
    QPointer<QWidget> window_;
    MessageBoxOwner* outer_;
};

// Turns wheel events on a widget (and its children, once installed on each) into steps:
// +1 for every notch forward, -1 backward. The event is consumed.
class WheelFilter : public QObject {
public:
    using Handler = std::function<void(int step)>;
    WheelFilter(QObject* parent, Handler handler);
    // Installs the filter on the widget and all its current children.
    void install_on(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
    int remainder_ = 0;
};

// The faces the windows were designed in ("MS Sans Serif", "Arial") are not on Linux;
// the fallback is far wider and clips the texts. Liberation Sans has their widths.
void install_font_substitutes();

// count_text_lines measured with the given face at 9.75 points.
int count_text_lines(const QString& text, int width_twips, const QString& face, bool bold);


// What the list and editor windows do with one wheel step (+1 forward, -1 backward):
// move their scroll bar by one within 0..upper (upper is the bar's maximum unless a
// window caps it lower).
void wheel_move_slider(QAbstractSlider* bar, int step, int upper);
// The same by the bar's small change, clamped to its minimum and maximum.
void wheel_move_slider_small_change(QAbstractSlider* bar, int step);

} // namespace qb
