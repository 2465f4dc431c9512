#pragma once
// Small helpers shared by the files of the transaction editor.
#include "platform/window_helpers.h"

#include <QRect>
#include <QWidget>

namespace qb::addentry {

constexpr uint32_t kYellow = 0xFFFF;
constexpr uint32_t kWhite = 0xFFFFFF;

inline QRect twips_rect(int left, int top, int width, int height) {
    return QRect(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
}

// A control's own visible flag, which holds while the window itself is hidden.
inline bool shown(const QWidget* w) { return !w->isHidden(); }

// Moves the focus to w when it is on screen; the focus handlers then run.
inline void focus_if_visible(QWidget* w) {
    if (w && w->isVisible()) w->setFocus(Qt::OtherFocusReason);
}

} // namespace qb::addentry
