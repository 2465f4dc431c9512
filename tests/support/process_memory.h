#pragma once
// This process's resident memory as /proc/self/status gives it, for tests that bound
// what one operation may take.
#include <QFile>
#include <QTimer>
#include <algorithm>

namespace qb::test {

// A /proc/self/status field ("VmRSS", "VmHWM") in KB; -1 when it cannot be read.
inline qint64 status_kb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The peak of resident memory above what it was when made. The kernel's own peak is
// reset where it allows that; resident memory is also sampled while events run, so the
// figure holds either way.
class PeakGrowth {
public:
    PeakGrowth() {
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        hwm_reset_ = reset.open(QIODevice::WriteOnly) && reset.write("5") == 1;
        reset.close();
        before_ = status_kb("VmRSS");
        sampled_ = before_;
        sampler_.setInterval(2);
        QObject::connect(&sampler_, &QTimer::timeout, &sampler_, [this] { sample(); });
        sampler_.start();
    }
    qint64 kb() {
        sample();
        qint64 peak = sampled_;
        if (hwm_reset_) peak = std::max(peak, status_kb("VmHWM"));
        return peak - before_;
    }

private:
    void sample() { sampled_ = std::max(sampled_, status_kb("VmRSS")); }

    bool hwm_reset_ = false;
    qint64 before_ = 0;
    qint64 sampled_ = 0;
    QTimer sampler_;
};

} // namespace qb::test
