#include "shell/window_change_keys.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

namespace qb {
namespace {

// Long enough for a window manager to map and focus the new window.
constexpr int kHoldLimitMs = 3000;

} // namespace

WindowChangeKeys::WindowChangeKeys(QWidget* window) : window_(window) {
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) connection_ = x11->connection();
    if (!connection_) return;
    qApp->installNativeEventFilter(this);
    limit_.setSingleShot(true);
    limit_.setInterval(kHoldLimitMs);
    QObject::connect(&limit_, &QTimer::timeout, &limit_, [this] { release(); });
    // A modal window that comes up meanwhile takes the keys from there on.
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &limit_, [this](QWindow* focus) {
        if (focus && QGuiApplication::modalWindow()) release();
    });
}

WindowChangeKeys::~WindowChangeKeys() {
    if (!connection_) return;
    release();
    qApp->removeNativeEventFilter(this);
}

void WindowChangeKeys::native_window_going(bool had_keyboard) {
    if (!connection_) return;
    old_window_ = uint32_t(window_->internalWinId());
    if (!had_keyboard || !old_window_ || holding_) return;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, old_window_), nullptr);
    if (!tree) return;
    root_ = tree->root;
    std::free(tree);
    // Asked before the old window goes, on the same connection, so the server holds the
    // keyboard before the focus leaves with the old window. All keys are then reported
    // to this program, relative to the root window.
    const xcb_grab_keyboard_cookie_t grab = xcb_grab_keyboard(connection_, 0, root_, XCB_CURRENT_TIME,
                                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_discard_reply(connection_, grab.sequence);
    xcb_flush(connection_);
    holding_ = true;
    limit_.start();
}

void WindowChangeKeys::release() {
    if (!holding_) return;
    holding_ = false;
    limit_.stop();
    // A menu opened meanwhile holds the keyboard in its own name now.
    if (QApplication::activePopupWidget()) return;
    xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

bool WindowChangeKeys::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (!old_window_ || type != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const uint8_t kind = event->response_type & 0x7f;
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
    // A key release has the same layout. Keys reported to the root come only from the
    // hold, and may still arrive after it ended.
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->event != old_window_ && (!root_ || key->event != root_)) return false;
    const WId now = window_->internalWinId();
    if (!now || now == key->event) return false;
    key->event = xcb_window_t(now);
    key->child = XCB_NONE;
    return false;
}

} // namespace qb
