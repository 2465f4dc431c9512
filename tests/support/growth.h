#pragma once
// How a piece of work grows with its input, measured inside one run so that a busy
// machine slows both sizes alike: no test compares a time against a fixed limit.
#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <functional>
#include <limits>

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

// run(false) works on the small input, run(true) on the large one; both are prepared by the
// caller beforehand. The runs alternate, and the best of each counts: the best is the run a
// busy machine disturbed least.
inline Growth measure_growth(const std::function<void(bool large)>& run, int rounds = 5) {
    Growth g{std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max()};
    QElapsedTimer t;
    for (int r = 0; r < rounds; ++r) {
        for (bool large : {false, true}) {
            t.start();
            run(large);
            const qint64 ns = t.nsecsElapsed();
            qint64& best = large ? g.large_ns : g.small_ns;
            best = std::min(best, ns);
        }
    }
    return g;
}

} // namespace qb::test
