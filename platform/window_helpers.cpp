#include "platform/window_helpers.h"

#include "core/text_helpers.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPalette>
#include <QScreen>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace qb {

QColor color_from_ole(uint32_t ole) {
    if (ole & 0x80000000u) {
        // The system's button text is the only system colour the program stores.
        return QApplication::palette().color(QPalette::ButtonText);
    }
    return QColor(int(ole & 0xFF), int((ole >> 8) & 0xFF), int((ole >> 16) & 0xFF));
}

void set_window_topmost(QWidget* window) {
    if (!window) return;
    if (!(window->windowFlags() & Qt::WindowStaysOnTopHint)) {
        const bool was_visible = window->isVisible();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (was_visible) window->show();
    }
    if (window->isVisible()) window->raise();
}

void centre_over(QWidget* window, const QWidget* over) {
    if (!window || !over) return;
    const QWidget* framed = window->isVisible() ? window : over;
    const QRect outer = framed->frameGeometry();
    const QRect inner = framed->geometry();
    const QSize frame = window->size() + (outer.size() - inner.size());
    const QRect target = over->frameGeometry();
    int x = target.left() + (target.width() - frame.width()) / 2;
    int y = target.top() + (target.height() - frame.height()) / 2;
    if (const QScreen* screen = over->screen()) {
        const QRect avail = screen->availableGeometry();
        x = std::max(avail.left(), std::min(x, avail.left() + avail.width() - frame.width()));
        y = std::max(avail.top(), std::min(y, avail.top() + avail.height() - frame.height()));
    }
    window->move(x, y);
}

namespace {
MessageBoxOwner* g_innermost_owner = nullptr;
QPointer<QWidget> g_main_window;

// A shown window of the program that a box may stand over: a plain window or a dialog,
// not a tool window, popup or tooltip.
QWidget* usable_owner(QWidget* w) {
    if (!w) return nullptr;
    w = w->window();
    const Qt::WindowType type = w->windowType();
    if (type != Qt::Window && type != Qt::Dialog) return nullptr;
    if (!w->isVisible() || w->isMinimized()) return nullptr;
    return w;
}
} // namespace

MessageBoxOwner::MessageBoxOwner(QWidget* window) : window_(window), outer_(g_innermost_owner) {
    g_innermost_owner = this;
}

MessageBoxOwner::~MessageBoxOwner() { g_innermost_owner = outer_; }

QWidget* MessageBoxOwner::current() {
    for (MessageBoxOwner* o = g_innermost_owner; o; o = o->outer_)
        if (o->window_) return o->window_->window();
    // The core asks without naming a window: the one the user acted in owns the box.
    if (QWidget* w = usable_owner(QApplication::activeModalWidget())) return w;
    if (QWidget* w = usable_owner(QApplication::activeWindow())) return w;
    return usable_owner(g_main_window);
}

void MessageBoxOwner::set_main_window(QWidget* window) { g_main_window = window; }

WheelFilter::WheelFilter(QObject* parent, Handler handler) : QObject(parent), handler_(std::move(handler)) {}

void WheelFilter::install_on(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool WheelFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    remainder_ += wheel->angleDelta().y();
    while (remainder_ >= 120) {
        remainder_ -= 120;
        handler_(+1);
    }
    while (remainder_ <= -120) {
        remainder_ += 120;
        handler_(-1);
    }
    return true;
}

void install_font_substitutes() {
    for (const char* face : {"MS Sans Serif", "Arial"})
        QFont::insertSubstitution(QString::fromLatin1(face), QStringLiteral("Liberation Sans"));
}

int count_text_lines(const QString& text, int width_twips, const QString& face, bool bold) {
    QFont font(face);
    font.setPointSizeF(9.75);
    font.setBold(bold);
    const QFontMetricsF metrics(font);
    QHash<QChar, int> cache;
    auto width = [&](QChar c) {
        auto it = cache.constFind(c);
        if (it != cache.constEnd()) return *it;
        const int w = int(std::lround(metrics.horizontalAdvance(c) * kTwipsPerPixel));
        cache.insert(c, w);
        return w;
    };
    return qb::count_text_lines(text, width_twips, width);
}

} // namespace qb


namespace qb {

void wheel_move_slider(QAbstractSlider* bar, int step, int upper) {
    if (step > 0 && bar->value() > 0)
        bar->setValue(bar->value() - 1);
    else if (step < 0 && bar->value() < upper)
        bar->setValue(bar->value() + 1);
}

void wheel_move_slider_small_change(QAbstractSlider* bar, int step) {
    if (step > 0) {
        const int v = bar->value() - bar->singleStep();
        bar->setValue(v > 0 ? v : bar->minimum());
    } else if (step < 0) {
        const int v = bar->value() + bar->singleStep();
        bar->setValue(v < bar->maximum() ? v : bar->maximum());
    }
}

} // namespace qb
