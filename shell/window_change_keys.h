#pragma once
// Keeps the keys typed while a window gets a new native window (on X11). Qt replaces a
// top-level's native window, and those of the small windows it owns, when the first child
// that draws through Qt Quick arrives. Keys still queued for the old window would be
// dropped; keys typed until the new one has the keyboard focus would go to no window, or
// to a small window that the window manager focuses as it maps it anew. Meanwhile the
// keyboard is held for the program, the focus changes are kept from Qt, and the keys go
// to the window, in the order typed.
#include <QAbstractNativeEventFilter>
#include <QTimer>
#include <cstdint>

class QWidget;
struct xcb_connection_t;

namespace qb {

class WindowChangeKeys : public QAbstractNativeEventFilter {
public:
    explicit WindowChangeKeys(QWidget* window);
    ~WindowChangeKeys() override;
    WindowChangeKeys(const WindowChangeKeys&) = delete;
    WindowChangeKeys& operator=(const WindowChangeKeys&) = delete;

    // A child that draws through Qt Quick is on its way and will bring the new native
    // window a little later. Holds the keys from now if the window has the keyboard and
    // its native window is not of that kind yet.
    void expect_new_native_window();
    // The native window is about to go while the window stays. had_keyboard: it had the
    // keyboard focus; the hold starts here if it has not started before.
    void native_window_going(bool had_keyboard);
    // The new native window is there.
    void native_window_back();
    // Ends the hold: the new window has the keyboard, or the hold lasted long enough.
    void release();

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    void hold();
    bool focus_left_the_program();

    QWidget* window_;
    xcb_connection_t* connection_ = nullptr;
    uint32_t held_for_ = 0;    // the native window when the hold began
    uint32_t old_window_ = 0;  // the one that went
    uint32_t root_ = 0;        // where held keys are reported
    bool holding_ = false;
    QTimer limit_;
};

} // namespace qb
