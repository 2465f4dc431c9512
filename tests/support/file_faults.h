#pragma once
// Faults of the device under the program folder, for the tests of saves cut short: a
// process killed at any step or at a real moment, a step that fails once, a disk that
// fills up, and a small real file system that is full.
#include "core/file_io.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QStorageInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <functional>
#include <linux/capability.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qb::test {

// One operation on a file, as the device sees it.
struct Step {
    FileOp op;
    QString file;  // the file's name; "folder" for the folder
    bool overwrites = false;  // a write that reaches stored bytes
};

inline QString name_of(const Step& s) {
    switch (s.op) {
    case FileOp::write: return "write " + s.file;
    case FileOp::sync_file: return "sync " + s.file;
    case FileOp::sync_folder: return "sync folder";
    case FileOp::rename: return "rename " + s.file;
    case FileOp::remove: return "remove " + s.file;
    case FileOp::resize: return "resize " + s.file;
    case FileOp::size: return "size " + s.file;
    }
    return "?";
}

// The named steps, a run of the same step written once.
inline QString sequence_of(const QList<Step>& steps) {
    QStringList names;
    for (const Step& s : steps)
        if (names.isEmpty() || names.last() != name_of(s)) names << name_of(s);
    return names.join(", ");
}

// Dies at step n (a write reaches the disk half way, a sync or removal does not happen);
// nothing after it reaches the disk. n = 0 only counts the steps. Every step is logged.
class KillAt : public FileFault {
public:
    explicit KillAt(int n) : n_(n) {}
    qint64 allow_write(const QString& path, qint64 offset, qint64 len) override {
        log << Step{FileOp::write, QFileInfo(path).fileName(), offset < QFileInfo(path).size()};
        const bool was_dead = dead_;
        return step() ? len : (was_dead ? 0 : len / 2);
    }
    bool allow_op(FileOp op, const QString& path) override {
        log << Step{op, op == FileOp::sync_folder ? QStringLiteral("folder") : QFileInfo(path).fileName()};
        return allow_change(path);
    }
    bool allow_change(const QString&) override { return step(); }
    int error_number() const override { return EIO; }
    int steps = 0;
    QList<Step> log;

private:
    bool step() {
        ++steps;
        if (n_ > 0 && steps >= n_) dead_ = true;
        return !dead_;
    }
    int n_;
    bool dead_ = false;
};

// Step n alone fails; the program goes on.
class FailOnce : public FileFault {
public:
    explicit FailOnce(int n) : n_(n) {}
    qint64 allow_write(const QString&, qint64, qint64 len) override { return ++steps == n_ ? len / 3 : len; }
    bool allow_change(const QString&) override { return ++steps != n_; }
    int error_number() const override { return ENOSPC; }
    int steps = 0;

private:
    int n_;
};

// The first step of one name fails ("rename chklist.dat.new", "sync folder"; a name ending
// in '*' takes any file it starts, for temporary names); the program goes on.
class FailStep : public FileFault {
public:
    explicit FailStep(const QString& step) : step_(step) {}
    qint64 allow_write(const QString& path, qint64, qint64 len) override {
        return fails(Step{FileOp::write, QFileInfo(path).fileName()}) ? len / 3 : len;
    }
    bool allow_op(FileOp op, const QString& path) override {
        return !fails(Step{op, op == FileOp::sync_folder ? QStringLiteral("folder") : QFileInfo(path).fileName()});
    }
    bool allow_change(const QString&) override { return true; }
    int error_number() const override { return EIO; }
    bool failed = false;

private:
    bool fails(const Step& s) {
        const QString name = name_of(s);
        const bool match = step_.endsWith(u'*') ? name.startsWith(step_.chopped(1)) : name == step_;
        if (failed || !match) return false;
        failed = true;
        return true;
    }
    QString step_;
};

// A device of a fixed capacity holding the program folder: growing a file takes space,
// overwriting takes none. whole_tree: every file below the folder counts, hidden ones too
// (not only the folder's own files).
class FillingDisk : public FileFault {
public:
    FillingDisk(const QString& folder, qint64 free_bytes, bool whole_tree = false)
        : folder_(folder), whole_tree_(whole_tree) {
        capacity_ = used() + free_bytes;
    }
    qint64 allow_write(const QString& path, qint64 offset, qint64 len) override {
        const qint64 size = QFileInfo(path).size();
        const qint64 grow = std::max<qint64>(0, offset + len - size);
        const qint64 free = std::max<qint64>(0, capacity_ - used());
        if (grow <= free) return len;
        return std::clamp<qint64>(size - offset + free, 0, len);
    }
    bool allow_change(const QString&) override { return true; }
    int error_number() const override { return ENOSPC; }

private:
    qint64 used() const {
        qint64 total = 0;
        if (!whole_tree_) {
            for (const QFileInfo& fi : QDir(folder_).entryInfoList(QDir::Files)) total += fi.size();
            return total;
        }
        for (QDirIterator it(folder_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            total += it.nextFileInfo().size();
        return total;
    }
    QString folder_;
    bool whole_tree_ = false;
    qint64 capacity_ = 0;
};

struct FaultScope {
    explicit FaultScope(FileFault* f) { set_file_fault(f); }
    ~FaultScope() { set_file_fault(nullptr); }
};

// A text of n characters, the seed repeated, for saves whose texts change in length.
inline QString text_of(const QString& seed, int n) {
    QString s;
    while (s.size() < n) s += seed + u' ';
    return s.left(n - 1) + u'.';
}

// Runs a command to its end; true when it exited with 0.
inline bool run_command(const QStringList& args) {
    QProcess p;
    p.start(args.first(), args.mid(1));
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A small memory file system, mounted while this lives (mounting needs the right to).
struct TmpfsMount {
    explicit TmpfsMount(const QString& size) {
        mounted = run_command({"mount", "-t", "tmpfs", "-o", "size=" + size, "tmpfs", dir.path()});
    }
    ~TmpfsMount() {
        if (mounted) run_command({"umount", dir.path()});
    }
    QString path() const { return dir.path(); }
    // A file takes all the room but `bytes`.
    bool leave_free(qint64 bytes) const {
        QFile filler(dir.path() + "/filler");
        if (!filler.open(QIODevice::WriteOnly)) return false;
        const qint64 fill = QStorageInfo(dir.path()).bytesAvailable() - bytes;
        return fill <= 0 || filler.write(QByteArray(fill, 'f')) == fill;
    }
    QTemporaryDir dir;
    bool mounted = false;
};

// Rounds of a real-kill test. Under the sanitizers a fork and every step of the child cost
// several times as much, and the suite shares the machine with other work: a fifth of the
// rounds still cross every part of the operation, and the plain run keeps them all.
constexpr int kill_rounds(int plain) {
#if defined(__SANITIZE_ADDRESS__)
    return std::max(plain / 5, 4);
#else
    return plain;
#endif
}

// Forks a child that runs work until it is killed with SIGKILL, delay_us after it has
// called ready() (once its first save is done). False when it did not get that far
// within 20 s.
inline bool kill_child_after(unsigned long delay_us, const std::function<void(const std::function<void()>&)>& work) {
    int ready[2];
    if (::pipe(ready) != 0) return false;
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        ::close(ready[0]);
        bool told = false;
        work([&] {
            if (!told && ::write(ready[1], "s", 1) != 1) ::_exit(1);
            told = true;
        });
        ::_exit(0);
    }
    ::close(ready[1]);
    pollfd wait_for{ready[0], POLLIN, 0};
    const bool started = ::poll(&wait_for, 1, 20000) == 1;
    ::close(ready[0]);
    if (started) QThread::usleep(delay_us);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return started;
}

// A read-only view of a folder, mounted while this lives; it holds even for root.
struct ReadOnlyView {
    explicit ReadOnlyView(const QString& source) {
        mounted = run_command({"mount", "--bind", source, view.path()}) &&
                  (run_command({"mount", "-o", "remount,bind,ro", view.path()}) ||
                   (run_command({"umount", view.path()}), false));
    }
    ~ReadOnlyView() {
        if (mounted) run_command({"umount", view.path()});
    }
    QString path() const { return view.path(); }
    QTemporaryDir view;
    bool mounted = false;
};

// While this lives, the permission bits of files hold for this thread even when it runs as
// root: the capabilities that pass over them leave its effective set.
class PermissionBitsHold {
public:
    PermissionBitsHold() {
        if (::syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        held_ = ::syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~PermissionBitsHold() {
        if (held_) ::syscall(SYS_capset, &header_, saved_);
    }
    PermissionBitsHold(const PermissionBitsHold&) = delete;
    PermissionBitsHold& operator=(const PermissionBitsHold&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool held_ = false;
};

// A link at `at` that names target as given (a relative target stays relative).
inline bool make_link(const QString& target, const QString& at) {
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()) == 0;
}

// Something stands at path; a link is not followed.
inline bool stands(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Every file below a folder by relative name, hidden ones too; links are not followed.
inline QMap<QString, QByteArray> files_below(const QString& folder) {
    QMap<QString, QByteArray> out;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo fi = it.nextFileInfo();
        QFile f(fi.filePath());
        if (!fi.isSymLink() && f.open(QIODevice::ReadOnly))
            out[QDir(folder).relativeFilePath(fi.filePath())] = f.readAll();
    }
    return out;
}

// How many files of before are gone or changed now.
inline int files_lost(const QMap<QString, QByteArray>& before, const QMap<QString, QByteArray>& now) {
    int n = 0;
    for (auto it = before.begin(); it != before.end(); ++it) n += now.value(it.key()) != it.value();
    return n;
}

} // namespace qb::test
