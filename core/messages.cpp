#include "core/core.h"

#include "core/save_file.h"
#include <cmath>

namespace qb {
namespace {

const QString kTitle = QStringLiteral("Quorbelix");
constexpr qint64 kLogLimit = 60000;

QString prefix_of(int kind) {
    switch (kind) {
    case msg_error: return QStringLiteral("Error: ");
    case msg_information: return QStringLiteral("Information: ");
    case msg_debug_data: return QStringLiteral("Debug Data: ");
    default: return QStringLiteral("Warning: ");
    }
}

// Hides the tips window and ends a running tour for the time a box is up.
class BoxGuard {
public:
    explicit BoxGuard(Core& c) : core_(c) {
        if (c.hooks.tips_visible && c.hooks.tips_visible()) {
            tips_were_visible_ = true;
            if (c.hooks.hide_tips) c.hooks.hide_tips();
        }
        if (c.tour_running && c.hooks.end_tour_early) c.hooks.end_tour_early();
    }
    ~BoxGuard() {
        if (tips_were_visible_ && core_.hooks.show_tips) core_.hooks.show_tips();
    }

private:
    Core& core_;
    bool tips_were_visible_ = false;
};

} // namespace

void Core::show_message(int kind, const QString& text) {
    BoxGuard guard(*this);
    const QString prefixed = prefix_of(kind) + text;
    if (kind != msg_debug_data && platform_.messages) platform_.messages->message_box(kTitle, prefixed);
    append_log(prefixed);
}

int Core::ask_user(int style, const QString& text) {
    BoxGuard guard(*this);
    if (!platform_.messages) return kAnswerNo;
    return platform_.messages->question_box(kTitle, text, style);
}

void Core::append_log(const QString& text) {
    const QString path = data_path(QStringLiteral("logs.txt"));
    // Told once: a log that cannot be written must not add a box to every message.
    auto fail = [&](const QString& why) {
        if (log_failure_reported_ || folder_unwritable_reported) return;
        log_failure_reported_ = true;
        if (platform_.messages)
            platform_.messages->message_box(kTitle, QStringLiteral("Error Writing to logs.txt file: ") + why);
    };

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return fail(file.errorString());
    const QDate today = platform_.clock ? platform_.clock->today() : QDate::currentDate();
    const QString record = today.toString(QStringLiteral("MM-dd-yyyy")) + u' ' + program_version +
                           QStringLiteral(": Num Trans: ") + QString::number(maxSummarydata_index()) +
                           QStringLiteral(". Data: ") + text + QStringLiteral("\r\n\r\n");
    if (file.write(record.toUtf8()) < 0) return fail(file.errorString());
    if (file.size() <= kLogLimit) return;

    if (file.write("\r\nLogs.txt size limit reached. Truncating data.\r\n") < 0) return fail(file.errorString());
    file.close();
    if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString());
    const QString whole = QString::fromUtf8(file.readAll());
    file.close();
    // Half the characters, an exact half rounding to the even number.
    const qsizetype keep = qsizetype(std::nearbyint(double(whole.size()) / 2.0));
    QString why;
    if (!save_whole_file(path, (whole.right(keep) + QStringLiteral("\r\n")).toUtf8(), &why)) return fail(why);
}

} // namespace qb
