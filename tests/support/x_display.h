#pragma once
// A private X server (Xvfb) for a test that needs real windows and real key events: the
// window system's focus and the native windows' lives, which the offscreen platform has
// not; a window manager on it if asked. The server picks a free display number itself,
// so tests may run side by side.
// Started before the application object exists, so without QProcess.
#include <QByteArray>
#include <QThread>
#include <QStandardPaths>
#include <QString>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

extern char** environ;

namespace qb::test {

class XDisplay {
public:
    XDisplay() = default;
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;
    ~XDisplay() {
        for (pid_t pid : {manager_, server_}) {
            if (pid <= 0) continue;
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }

    // Starts the server and points this process at it (DISPLAY, the xcb platform). Returns
    // false, having said why, when there is no server to be had.
    bool start() {
        const QByteArray xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb")).toLocal8Bit();
        if (xvfb.isEmpty()) return fail("Xvfb is not installed (scripts/test installs it)");
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return fail("no pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);  // dup2 clears close-on-exec
        const char* argv[] = {xvfb.constData(), "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                              nullptr};
        const int spawned = posix_spawn(&server_, xvfb.constData(), &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            server_ = 0;
            ::close(fds[0]);
            return fail("Xvfb could not be started");
        }
        QByteArray number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&p, 1, 20000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (number.isEmpty()) return fail("Xvfb gave no display");
        qputenv("DISPLAY", ':' + number);
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }

    // Starts a window manager on the display and waits until it manages windows.
    bool start_window_manager(const QByteArray& name) {
        const QByteArray program = QStandardPaths::findExecutable(QString::fromLocal8Bit(name)).toLocal8Bit();
        if (program.isEmpty()) return fail("the window manager is not installed (scripts/test installs it)");
        const char* argv[] = {program.constData(), nullptr};
        if (posix_spawn(&manager_, program.constData(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
            manager_ = 0;
            return fail("the window manager could not be started");
        }
        for (int i = 0; i < 200; ++i) {
            if (window_manager_running()) return true;
            QThread::msleep(50);
        }
        return fail("the window manager did not come up");
    }

private:
    // A window manager of today names its window on the root, and the hints it knows.
    static bool window_manager_running() {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        bool running = false;
        if (!xcb_connection_has_error(c)) {
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
            running = true;
            for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED"}) {
                xcb_intern_atom_reply_t* atom =
                    xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
                xcb_get_property_reply_t* value =
                    atom ? xcb_get_property_reply(c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_ANY, 0, 1), nullptr)
                         : nullptr;
                running = running && value && value->value_len > 0;
                std::free(value);
                std::free(atom);
            }
        }
        xcb_disconnect(c);
        return running;
    }

    static bool fail(const char* why) {
        std::fprintf(stderr, "No X server for this test: %s\n", why);
        return false;
    }
    pid_t server_ = 0;
    pid_t manager_ = 0;
};

} // namespace qb::test
