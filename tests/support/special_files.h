#pragma once
// What can stand where a file belongs: a FIFO, a link to one, a socket, a link to a device.
// A program that waits on such a file is ended by FifoWatchdog instead of hanging the test.
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace qb::test {

// Unless released within the time, opens and closes the FIFO at path again and again: each
// open() of either kind that waits on it returns, and a read of it then ends (no writer
// left), a write fails (no reader; SIGPIPE is ignored then). rescued tells that it had to.
// What still waits after that (a read of a FIFO the program holds open for writing itself)
// ends the test executable at once, rather than at the test runner's time limit.
class FifoWatchdog {
public:
    explicit FifoWatchdog(const QString& path) : path_(QFile::encodeName(path)) {
        thread_ = std::thread([this] {
            constexpr auto kWait = std::chrono::seconds(10);
            std::unique_lock lock(mutex_);
            if (released_.wait_for(lock, kWait, [this] { return done_; })) return;
            rescued = true;
            std::signal(SIGPIPE, SIG_IGN);
            const auto give_up = std::chrono::steady_clock::now() + kWait;
            while (!released_.wait_for(lock, std::chrono::milliseconds(20), [this] { return done_; })) {
                if (std::chrono::steady_clock::now() > give_up)
                    qFatal("Still waiting on the FIFO %s after its other end was opened", path_.constData());
                const int fd = ::open(path_.constData(), O_RDWR | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
            }
        });
    }
    ~FifoWatchdog() { release(); }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;
    void release() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        released_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    std::atomic<bool> rescued = false;

private:
    QByteArray path_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool done_ = false;
    std::thread thread_;
};

// A listening-less socket bound at path; fd is its descriptor, to be closed by the caller.
inline bool make_socket(const QString& path, int& fd) {
    fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || size_t(name.size()) >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, name.constData(), name.size());
    return ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
}

// The kind of what is at path, links not followed (S_IFIFO, S_IFLNK, ...); 0 for nothing.
inline mode_t kind_of(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : mode_t(0);
}

// Puts a special file of kind at path: "fifo"; "link to fifo" (a relative link to the FIFO
// other, made beside path); "socket"; "link to a device": to a null device made at other
// where the system allows it, else to /dev/null. A program that replaces what a link names
// then replaces only the test's own device, never the system's (which root may rename over).
// socket_fd is the socket's descriptor (else -1), to be closed by the caller.
inline bool make_special_file(const QString& path, const QString& kind, const QString& other, int& socket_fd) {
    socket_fd = -1;
    const QByteArray beside = QFile::encodeName(other);
    if (kind == "fifo") return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == "link to fifo")
        return ::mkfifo(beside.constData(), 0600) == 0 && QFile::link(QFileInfo(other).fileName(), path);
    if (kind == "socket") return make_socket(path, socket_fd);
    if (kind == "link to a device") {
        if (::mknod(beside.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
            return QFile::link(QFileInfo(other).fileName(), path);
        return QFile::link("/dev/null", path);
    }
    return false;
}

} // namespace qb::test
