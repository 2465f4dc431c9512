#pragma once
// What the benchmarks put in place of the outside world: a fixed clock, and message
// boxes that nobody waits for.
#include "core/platform_api.h"

namespace qb::bench {

class FixedClock : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 3, 14), QTime(12, 0)); }
};

class QuietPresenter : public MessagePresenter {
public:
    void message_box(const QString&, const QString&) override {}
    int question_box(const QString&, const QString&, int) override { return kAnswerNo; }
};

} // namespace qb::bench
