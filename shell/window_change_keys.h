#pragma once
// Keeps the keys typed while a window gets a new native window (on X11). Qt replaces a
// top-level's native window when the first child that draws through Qt Quick arrives:
// keys still queued for the old window would be dropped, and keys typed until the new one
// has the keyboard focus would go to no window at all. Meanwhile the keyboard is held
// for the program, and both kinds are given to the new window, in the order typed.
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

    // The window's native window is about to go while the window stays. had_keyboard:
    // it had the keyboard focus, which the new native window only gets once it is up.
    void native_window_going(bool had_keyboard);
    // The window has the keyboard again, or the hold has lasted long enough.
    void release();

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    QWidget* window_;
    xcb_connection_t* connection_ = nullptr;
    uint32_t old_window_ = 0;
    uint32_t root_ = 0;  // where the held keys are reported
    bool holding_ = false;
    QTimer limit_;
};

} // namespace qb
