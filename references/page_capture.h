#pragma once
// Keeping a web page on disk: its HTML without scripts and embedded objects, and its
// GIF, JPEG, PNG, WebP and SVG pictures beside it with the page's references pointing at
// them. The document side is an interface so the rules run on any source of a live
// document.
#include "references/page_text.h"
#include "references/picture_kinds.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace qb {

class HttpTransport;

// Every block from start_tag to end_tag removed; tags are found in any letter case.
void remove_tag_content(const QString& text, const QString& start_tag, const QString& end_tag, QString& result);

// Names typed by the user or taken from a page become fit for a file or folder name:
// / \ ' * ? < > | : and control characters become blanks; text itself is changed alike.
// An empty result gives "No Name Given".
QString remove_invalid_filename_char(QString& text);

// A cleaned security name that may name a folder beside the program: not empty, not
// "." or "..".
bool usable_folder_name(const QString& name);

// What to open for a web page entry's stored address. A kept page is stored by the path
// it was written to: in the program folder of then, on this machine or on the Windows
// one ("C:\...\Acme\page.htm"). When no page is there, the page of that folder (the
// security's, or WebData) and name in today's program folder is the one, when it is
// there. Any other address, and a page that cannot be found, is opened as stored.
QString kept_page_to_open(const QString& stored_address, const QString& program_folder);

// The live document of a browser pane, as the capture needs it.
class CaptureDocument {
public:
    virtual ~CaptureDocument() = default;
    // The src address of every picture element (IMG, and INPUT of type image), in
    // document order; nullopt when the document cannot be read.
    virtual std::optional<QStringList> picture_sources() = 0;
    // Gives the picture elements of picture_sources() these src values, in that order;
    // an element without an address (an empty value) is left as it is.
    virtual bool set_picture_sources(const QStringList& sources) = 0;
    // The document element's inner HTML.
    virtual std::optional<QString> inner_html() = 0;
    // Whether the document names a base address of its own (<base href>), against which
    // its relative references resolve instead of against its own place.
    virtual bool has_base_address() { return false; }
};

class PageCapture {
public:
    static constexpr int kDefaultFetchBudgetMs = 60000;

    struct Hooks {
        // False stops the capture at its next element.
        std::function<bool()> keep_going;
        // Lets pending window events run after each picture download.
        std::function<void()> let_events_run;
    };

    PageCapture(HttpTransport* http, const QString& folder, Hooks hooks);

    // Pictures are fetched for at most this long in all; the rest keep their addresses.
    void set_fetch_budget_ms(int ms) { budget_ms_ = ms; }

    enum class Result { saved, stopped, page_not_written };
    // Captures the document into folder & reference_name & ".htm" (page_path). The
    // pictures' references become the names of the saved files beside the page (file
    // addresses in a page with a base address of its own); a picture that is not kept
    // keeps the address it had on the page.
    Result run(CaptureDocument& document, const QString& reference_name, QString& page_path);

    // Picture files written, by local name.
    const QStringList& written_pictures() const { return written_; }

private:
    bool name_taken(const QString& name) const;
    QString local_name_for(const QString& remote_name);
    // The local name of the picture written, or empty when it could not be kept.
    QString fetch_picture(const QString& address, const QString& remote_name, PictureKind kind);
    void report_picture_failures();

    HttpTransport* http_;
    QString folder_;
    Hooks hooks_;
    int budget_ms_ = kDefaultFetchBudgetMs;
    QDeadlineTimer deadline_;
    // Per address, the local name of its picture; empty when it was not kept.
    QHash<QString, QString> local_by_address_;
    QSet<QString> used_names_;
    // Per plain picture name, the suffix its next same-named picture tries first.
    QHash<QString, int> next_suffix_;
    QStringList written_;
    QString first_failed_path_;
    QString first_failure_;
    int failures_ = 0;
};

} // namespace qb
