#include "core/core.h"

#include "core/save_file.h"
#include <algorithm>
#include <cmath>

namespace qb {
namespace {

const QString kTitle = QStringLiteral("Quorbelix");
constexpr qint64 kLogLimit = 60000;
// A log up to twice its limit is halved by characters, which takes the whole text; a
// larger one (a big message, a file grown elsewhere) is cut to its tail, and only that
// tail is read.
constexpr qint64 kHalvedUpTo = 2 * kLogLimit;
constexpr qsizetype kTailBytes = kLogLimit / 2;

bool continues_character(char c) { return (uchar(c) & 0xC0) == 0x80; }

// The last bytes of a UTF-8 text, at most max of them, starting at a character.
QByteArray utf8_tail(const QByteArray& bytes, qsizetype max) {
    qsizetype from = std::max<qsizetype>(0, bytes.size() - max);
    while (from < bytes.size() && continues_character(bytes[from])) ++from;
    return bytes.mid(from);
}

// What a trim keeps of the log, without the closing CR LF, or false when it cannot be read.
bool kept_text(QFile& file, QByteArray& kept) {
    const qint64 size = file.size();
    if (size <= kHalvedUpTo) {
        const QString whole = QString::fromUtf8(file.read(size));
        if (file.error() != QFileDevice::NoError) return false;
        // Half the characters, an exact half rounding to the even number.
        kept = whole.right(qsizetype(std::nearbyint(double(whole.size()) / 2.0))).toUtf8();
    } else {
        if (!file.seek(size - kTailBytes)) return false;
        const QByteArray tail = file.read(kTailBytes);
        if (file.error() != QFileDevice::NoError) return false;
        // A character cut by the seek is dropped; more than a character's worth of
        // continuation bytes is not UTF-8, and reads as U+FFFD as in a halved log.
        qsizetype from = 0;
        while (from < 3 && from < tail.size() && continues_character(tail[from])) ++from;
        kept = QString::fromUtf8(tail.mid(from)).toUtf8();
    }
    // Bytes that are not UTF-8 grow to three each, and a half of wide characters can
    // outweigh the limit: the trimmed log is under its limit whatever it held.
    if (kept.size() + 2 > kLogLimit) kept = utf8_tail(kept, kTailBytes);
    return true;
}

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
    // Logged before the box waits for the user, so that a kill while it is up keeps the
    // line; a log that cannot be written is told after the message it failed to keep.
    QString why;
    const bool logged = write_log_line(prefixed, why);
    if (kind != msg_debug_data && platform_.messages) platform_.messages->message_box(kTitle, prefixed);
    if (!logged) tell_log_failure(why);
}

int Core::ask_user(int style, const QString& text) {
    BoxGuard guard(*this);
    if (!platform_.messages) return kAnswerNo;
    return platform_.messages->question_box(kTitle, text, style);
}

void Core::append_log(const QString& text) {
    QString why;
    if (!write_log_line(text, why)) tell_log_failure(why);
}

void Core::tell_log_failure(const QString& why) {
    // Told once: a log that cannot be written must not add a box to every message.
    if (log_failure_reported_ || folder_unwritable_reported) return;
    log_failure_reported_ = true;
    if (platform_.messages)
        platform_.messages->message_box(kTitle, QStringLiteral("Error Writing to logs.txt file: ") + why);
}

bool Core::write_log_line(const QString& text, QString& why) {
    const QString path = data_path(QStringLiteral("logs.txt"));
    auto fail = [&](const QString& reason) {
        why = reason;
        return false;
    };
    // Only a regular file is the log: a FIFO in its place would hold the program in open().
    QFile file;
    if (!open_regular_file(file, path, QIODevice::WriteOnly | QIODevice::Append, why)) return false;
    const QDate today = platform_.clock ? platform_.clock->today() : QDate::currentDate();
    const QString record = today.toString(QStringLiteral("MM-dd-yyyy")) + u' ' + program_version +
                           QStringLiteral(": Num Trans: ") + QString::number(maxSummarydata_index()) +
                           QStringLiteral(". Data: ") + text + QStringLiteral("\r\n\r\n");
    if (file.write(record.toUtf8()) < 0) return fail(file.errorString());
    if (file.size() <= kLogLimit) return file.flush() || fail(file.errorString());

    if (file.write("\r\nLogs.txt size limit reached. Truncating data.\r\n") < 0) return fail(file.errorString());
    if (!file.flush()) return fail(file.errorString());
    file.close();
    if (!open_regular_file(file, path, QIODevice::ReadOnly, why)) return false;
    QByteArray kept;
    if (!kept_text(file, kept)) return fail(file.errorString());
    file.close();
    return save_whole_file(path, kept + "\r\n", &why);
}

} // namespace qb
