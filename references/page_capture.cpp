#include "references/page_capture.h"

#include "core/core.h"
#include "core/save_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace qb {
namespace {

// Pages saved here earlier point their missing pictures at this name.
const QString kNoImage = QStringLiteral("NoImage.jpg");

// A reference name is a file name in the page folder; a separator would make it a path.
bool stays_in_folder(const QString& name) { return !name.contains(u'/') && !name.contains(u'\\'); }

// A page's own picture name as a local file name: only characters every file system and
// every browser reads back the same way, so the file and the rewritten reference agree;
// and no leading dot, which would hide the file from a listing and from a backup.
QString plain_file_name(const QString& name) {
    QString out = name;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                           u == u'.' || u == u'-' || u == u'_';
        if (!plain) c = u'_';
    }
    if (out.startsWith(u'.')) out.prepend(u'_');
    return out;
}

inline char16_t fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// The first place of tag at or after from, in any letter case (tags are ASCII); -1 when
// there is none.
qsizetype find_tag(QStringView text, QStringView tag, qsizetype from) {
    const qsizetype m = tag.size();
    const qsizetype last = text.size() - m;
    const char16_t* d = text.utf16();
    const char16_t* t = tag.utf16();
    const char16_t first = fold(t[0]);
    for (qsizetype i = std::max<qsizetype>(from, 0); i <= last; ++i) {
        if (fold(d[i]) != first) continue;
        qsizetype k = 1;
        while (k < m && fold(d[i + k]) == fold(t[k])) ++k;
        if (k == m) return i;
    }
    return -1;
}

} // namespace

void remove_tag_content(const QString& text, const QString& start_tag, const QString& end_tag, QString& result) {
    result.clear();
    if (start_tag.isEmpty() || end_tag.isEmpty()) {
        result = text;
        return;
    }
    const qsizetype n = text.size();
    const qsizetype ls = start_tag.size();
    const qsizetype le = end_tag.size();
    result.reserve(n);
    qsizetype pos = 0;
    while (pos < n) {
        const qsizetype s = find_tag(text, start_tag, pos);
        if (s < 0) break;
        result += QStringView(text).mid(pos, s - pos);
        qsizetype e = find_tag(text, end_tag, s);
        if (e < 0) {
            // An unclosed block stays in the text.
            pos = s;
            break;
        }
        // A block may hold one or two further openings; it then runs to a later end tag.
        qsizetype t = s;
        for (int pass = 0; pass < 2; ++pass) {
            t = find_tag(text, start_tag, t + ls);
            if (t >= 0 && t < e) {
                const qsizetype later = find_tag(text, end_tag, e + le);
                if (later < 0) break;
                e = later;
            } else {
                break;
            }
        }
        pos = e + le;
    }
    if (pos < n) result += QStringView(text).mid(pos);
}

QString remove_invalid_filename_char(QString& text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == u'/' || u == u'\\' || u == u'\'' || u == u'*' || u == u'?' || u == u'<' || u == u'>' || u == u'|' ||
            u == u':' || u < 0x20 || u == 0x7F)
            c = u' ';
    }
    return text.isEmpty() ? QStringLiteral("No Name Given") : text;
}

bool usable_folder_name(const QString& name) {
    const QString t = name.trimmed();
    return !t.isEmpty() && t != u"." && t != u"..";
}

QString kept_page_to_open(const QString& stored_address, const QString& program_folder) {
    const QString stored = stored_address.trimmed();
    const bool drive = stored.size() > 2 && stored[0].isLetter() && stored[1] == u':' &&
                       (stored[2] == u'\\' || stored[2] == u'/');
    const bool windows = drive || stored.startsWith(QLatin1StringView("\\\\"));
    QString path;
    if (windows || stored.startsWith(u'/'))
        path = stored;
    else if (stored.startsWith(QLatin1StringView("file:"), Qt::CaseInsensitive))
        path = QUrl(stored).toLocalFile();
    else
        return stored;
    // A path of this machine that holds the page is opened as it is.
    if (!windows && (path.isEmpty() || QFileInfo(path).isFile())) return stored;
    const QStringList parts = path.split(QRegularExpression(QStringLiteral("[/\\\\]")), Qt::SkipEmptyParts);
    if (parts.size() < 2) return stored;
    const QString& folder = parts[parts.size() - 2];
    const QString& name = parts.last();
    if (!usable_folder_name(folder) || name == u"." || name == u"..") return stored;
    const QString here = program_folder + u'/' + folder + u'/' + name;
    return QFileInfo(here).isFile() ? here : stored;
}

PageCapture::PageCapture(HttpTransport* http, const QString& folder, Hooks hooks)
    : http_(http), folder_(folder), hooks_(std::move(hooks)) {
    // No page picture may take the name that earlier pages' missing pictures point at.
    used_names_.insert(kNoImage);
}

bool PageCapture::name_taken(const QString& name) const {
    // A link takes its name too, even one that names nothing: a picture is never written through it.
    const QFileInfo there(folder_ + name);
    return used_names_.contains(name) || there.exists() || there.isSymLink();
}

QString PageCapture::local_name_for(const QString& remote_name) {
    const QString plain = plain_file_name(remote_name);
    const qsizetype dot = plain.lastIndexOf(u'.');
    const QString stem = plain.left(dot), ext = plain.mid(dot);
    // Two pictures of one name from different addresses, or a file an earlier page
    // saved here, each keep their own file: the plain name, else the first free of
    // stem_1, stem_2, ... A name once taken stays taken, so the search for a plain name
    // goes on where its last one ended instead of from the start.
    int& n = next_suffix_[plain];
    QString name = n == 0 ? plain : stem + u'_' + QString::number(n) + ext;
    while (name_taken(name)) name = stem + u'_' + QString::number(++n) + ext;
    used_names_.insert(name);
    ++n;
    return name;
}

QString PageCapture::fetch_picture(const QString& address, const QString& remote_name, PictureKind kind) {
    const QString local = local_name_for(remote_name);
    const QString path = folder_ + local;
    QString why;
    if (deadline_.hasExpired()) {
        why = QStringLiteral("The pictures took too long to download.");
    } else {
        // What is left of the pictures' time, not a whole transfer time of its own.
        const std::optional<QByteArray> bytes = http_ ? http_->get_before(QUrl(address), deadline_) : std::nullopt;
        if (!bytes) {
            why = QStringLiteral("The picture could not be downloaded from ") + address;
        } else if (bytes->isEmpty()) {
            why = QStringLiteral("The server sent no picture from ") + address;
        } else if (!holds_picture_of_kind(*bytes, kind)) {
            why = QStringLiteral("The server sent no %1 picture from ").arg(picture_kind_label(kind)) + address;
        } else {
            QFile f(path);
            // A file of its own: never one that came to stand there since, nor what a link names.
            if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly) && f.write(*bytes) == bytes->size()) {
                written_ << local;
                return local;
            }
            why = f.errorString();
            f.close();
            QFile::remove(path);
        }
    }
    ++failures_;
    if (failures_ == 1) {
        first_failed_path_ = path;
        first_failure_ = why;
    }
    core().show_message(msg_debug_data, QStringLiteral("Unable to save image") + path +
                                            QStringLiteral(" in the web page. Error: ") + why);
    return {};
}

void PageCapture::report_picture_failures() {
    if (failures_ == 0) return;
    // One box for the whole page: a page of hundreds of broken pictures is no hundred boxes.
    QString text = QStringLiteral("Unable to save image") + first_failed_path_ +
                   QStringLiteral(" in the web page. Error: ") + first_failure_;
    if (failures_ > 1) text += QStringLiteral(" (%1 more pictures could not be saved)").arg(failures_ - 1);
    core().show_message(msg_error, text);
}

PageCapture::Result PageCapture::run(CaptureDocument& document, const QString& reference_name, QString& page_path) {
    page_path = folder_ + reference_name + QStringLiteral(".htm");
    auto page_error = [&](const QString& why) {
        core().show_message(msg_error, QStringLiteral("Unable to save Web Page:") + page_path +
                                           QStringLiteral(". Error: ") + why);
        return Result::page_not_written;
    };
    // The window cleans the name first; the capture itself never writes outside its folder.
    if (!stays_in_folder(reference_name))
        return page_error(QStringLiteral("The reference name is not a file name in the page folder."));
    const std::optional<QStringList> sources = document.picture_sources();
    if (!sources) return page_error(QStringLiteral("The page's document could not be read."));
    // A kept picture is named by its file name alone, so the page and its pictures move
    // together with their folder. A page with a base address of its own would resolve that
    // name against the base, so its pictures keep their file addresses.
    const bool by_name = !document.has_base_address();
    // Naming the pictures counts against their time as much as fetching them.
    deadline_ = QDeadlineTimer(budget_ms_);

    QStringList local_sources;
    local_sources.reserve(sources->size());
    for (const QString& src : *sources) {
        if (hooks_.keep_going && !hooks_.keep_going()) return Result::stopped;
        const QString name = src.mid(src.lastIndexOf(u'/') + 1);
        QString local;
        if (const std::optional<PictureKind> kind = picture_kind_of_name(name)) {
            auto known = local_by_address_.constFind(src);
            if (known != local_by_address_.constEnd()) {
                local = *known;
            } else {
                local = fetch_picture(src, name, *kind);
                local_by_address_.insert(src, local);
                if (hooks_.let_events_run) hooks_.let_events_run();
            }
        }
        // A picture not kept still shows from where the page had it, whenever that can be
        // reached. A kept one by its file's own name, a plain relative address: the live
        // page may ask its site for that name, but never for a path of the user's.
        if (local.isEmpty())
            local_sources << src;
        else
            local_sources << (by_name ? local : QString::fromUtf8(QUrl::fromLocalFile(folder_ + local).toEncoded()));
    }
    if (hooks_.keep_going && !hooks_.keep_going()) return Result::stopped;
    report_picture_failures();

    if (!document.set_picture_sources(local_sources))
        return page_error(QStringLiteral("The page's pictures could not be pointed at their files."));
    const std::optional<QString> html = document.inner_html();
    if (!html) return page_error(QStringLiteral("The page's document could not be read."));
    QString no_scripts, cleaned;
    remove_tag_content(*html, QStringLiteral("<SCRIPT"), QStringLiteral("</SCRIPT>"), no_scripts);
    remove_tag_content(no_scripts, QStringLiteral("<OBJECT"), QStringLiteral("</OBJECT>"), cleaned);
    QString why;
    if (!save_whole_file(page_path, encode_page_text(cleaned + QStringLiteral("\r\n")), &why)) return page_error(why);
    return Result::saved;
}

} // namespace qb
