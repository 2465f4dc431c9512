#pragma once
// What the editor windows' fields do alike: a place given in twips, the colours painted on
// a box, moving the focus on, and the key codes the field handlers compare.
#include "platform/window_helpers.h"

#include <QPalette>
#include <QRect>
#include <QWidget>

namespace qb {

inline QRect twips_rect(int left, int top, int width, int height) {
    return QRect(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
}

// A control's own visible flag, which holds while the window itself is hidden.
inline bool shown(const QWidget* w) { return !w->isHidden(); }

// Moves the focus to w when it is on screen; its focus handlers then run.
inline void focus_if_visible(QWidget* w) {
    if (w && w->isVisible()) w->setFocus(Qt::OtherFocusReason);
}

inline void paint_background(QWidget* w, uint32_t ole) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color_from_ole(ole));
    w->setPalette(p);
}

inline void paint_text(QWidget* w, uint32_t ole) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, color_from_ole(ole));
    w->setPalette(p);
}

// Sets a flag for the life of a scope and puts the old value back.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = old_; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
    bool old_;
};

// The key codes the row and field handlers compare, from a Qt key.
inline int key_code_of(int qt_key) {
    switch (qt_key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_Up: return 38;
    case Qt::Key_Down: return 40;
    default: return 0;
    }
}

} // namespace qb
