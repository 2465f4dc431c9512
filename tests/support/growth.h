#pragma once
// How a piece of work grows with its input, measured inside one run: no test compares a
// time against a fixed limit. The time counted is the thread's own processor time, so
// the time a busy machine gives to other processes counts for neither size.
#include <QString>
#include <algorithm>
#include <functional>
#include <limits>
#include <malloc.h>
#include <time.h>

namespace qb::test {

struct Growth {
    qint64 small_ns = 0;  // best time of the small input
    qint64 large_ns = 0;  // best time of the large one
    double ratio() const { return double(large_ns) / double(std::max<qint64>(small_ns, 1)); }
    QString text() const {
        return QStringLiteral("%1 ms against %2 ms, ratio %3")
            .arg(large_ns / 1e6, 0, 'f', 2)
            .arg(small_ns / 1e6, 0, 'f', 2)
            .arg(ratio(), 0, 'f', 1);
    }
};

inline qint64 thread_cpu_ns() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// run(false) works on the small input, run(true) on the large one; both are prepared by the
// caller beforehand. The runs alternate, and the best of each counts: the best is the run a
// busy machine disturbed least. Freed memory is kept for the next run (for the rest of the
// process): otherwise every large run pays for fresh pages, which the small ones never do.
inline Growth measure_growth(const std::function<void(bool large)>& run, int rounds = 7) {
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    Growth g{std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max()};
    for (int r = 0; r < rounds; ++r) {
        for (bool large : {false, true}) {
            const qint64 start = thread_cpu_ns();
            run(large);
            const qint64 ns = thread_cpu_ns() - start;
            qint64& best = large ? g.large_ns : g.small_ns;
            best = std::min(best, ns);
        }
    }
    return g;
}

} // namespace qb::test
