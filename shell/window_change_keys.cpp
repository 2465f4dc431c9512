#include "shell/window_change_keys.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

namespace qb {
namespace {

// The new native window comes with the child's first drawing, within a few seconds.
constexpr int kHoldBeforeChangeMs = 5000;
// Long enough for a window manager to map and focus the new window.
constexpr int kHoldAfterChangeMs = 3000;

} // namespace

WindowChangeKeys::WindowChangeKeys(QWidget* window) : window_(window) {
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) connection_ = x11->connection();
    if (!connection_) return;
    qApp->installNativeEventFilter(this);
    limit_.setSingleShot(true);
    QObject::connect(&limit_, &QTimer::timeout, &limit_, [this] { release(); });
}

WindowChangeKeys::~WindowChangeKeys() {
    if (!connection_) return;
    release();
    qApp->removeNativeEventFilter(this);
}

void WindowChangeKeys::expect_new_native_window() {
    if (!connection_ || holding_) return;
    QWindow* native = window_->windowHandle();
    if (!native || native->surfaceType() != QSurface::RasterSurface || QGuiApplication::focusWindow() != native)
        return;
    hold();
    limit_.start(kHoldBeforeChangeMs);
}

void WindowChangeKeys::native_window_going(bool had_keyboard) {
    if (!connection_) return;
    old_window_ = uint32_t(window_->internalWinId());
    if (holding_ || !had_keyboard) return;
    hold();
    limit_.start(kHoldAfterChangeMs);
}

void WindowChangeKeys::native_window_back() {
    if (holding_) limit_.start(kHoldAfterChangeMs);
}

void WindowChangeKeys::hold() {
    held_for_ = uint32_t(window_->internalWinId());
    if (!held_for_) return;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, held_for_), nullptr);
    if (!tree) return;
    root_ = tree->root;
    std::free(tree);
    // On the connection that will ask for the native windows' change, so the server holds
    // the keyboard before the focus can leave with them. Every key is then reported to this
    // program, relative to the root window.
    const xcb_grab_keyboard_cookie_t grab = xcb_grab_keyboard(connection_, 0, root_, XCB_CURRENT_TIME,
                                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_discard_reply(connection_, grab.sequence);
    xcb_flush(connection_);
    holding_ = true;
}

void WindowChangeKeys::release() {
    if (!holding_) return;
    holding_ = false;
    limit_.stop();
    // A menu opened meanwhile holds the keyboard in its own name now.
    if (QApplication::activePopupWidget()) return;
    // The window that has the focus then is told so again, and Qt follows.
    xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

bool WindowChangeKeys::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if ((!holding_ && !old_window_ && !root_) || type != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const uint8_t kind = event->response_type & 0x7f;
    const auto now = uint32_t(window_->internalWinId());
    if (kind == XCB_KEY_PRESS || kind == XCB_KEY_RELEASE) {
        // A key release has the same layout. Keys reported to the root come only from the
        // hold, and may still arrive after it ended.
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        if ((key->event == old_window_ || key->event == root_) && now && key->event != now) {
            key->event = now;
            key->child = XCB_NONE;
        }
        return false;
    }
    if (!holding_ || (kind != XCB_FOCUS_IN && kind != XCB_FOCUS_OUT)) return false;
    // While the native windows change, the window manager may focus one that it maps, and
    // Qt would send the keys there: Qt keeps the focus it had until the hold ends.
    auto* focus = reinterpret_cast<xcb_focus_in_event_t*>(event);
    if (kind == XCB_FOCUS_IN && QGuiApplication::modalWindow()) {
        release();
        return false;
    }
    if (kind == XCB_FOCUS_IN && focus->event == now && now != held_for_) release();
    return true;
}

} // namespace qb
