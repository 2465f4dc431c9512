#pragma once
// Everything the core would otherwise wait for a person or the outside world on.
// The program fills these with Qt (platform/); tests fill them with fakes.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QImage;
class QPrinter;

namespace qb {

// Message-box answer codes, as callers compare them.
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;
// Icon styles callers pass to ask_user.
constexpr int kStyleStop = 16;
constexpr int kStyleQuestion = 32;
constexpr int kStyleInformation = 64;

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // A modal box with an OK button only and no icon.
    virtual void message_box(const QString& title, const QString& text) = 0;
    // A modal Yes/No box; style carries the icon flags. Returns kAnswerYes or kAnswerNo.
    virtual int question_box(const QString& title, const QString& text, int style) = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // "" when the user cancels.
    virtual QString browse_for_folder(bool allow_new_folder, const QString& prompt) = 0;
    virtual QString open_file_name(const QString& title, const QString& filter) = 0;
    virtual QString save_file_name(const QString& title, const QString& filter, const QString& suggested) = 0;
    // std::nullopt when the user cancels.
    virtual std::optional<QString> input_box(const QString& prompt, const QString& title, const QString& initial) = 0;
};

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Opens a document or program with the desktop; returns a shell result code
    // (above 32 on success, 2 file not found, 5 access denied, 31 no association, ...).
    virtual int open_document(const QString& path) = 0;
    virtual bool open_url(const QUrl& url) = 0;
    // Starts a program found on the search path; false when it cannot start.
    virtual bool start_program(const QString& program, const QStringList& arguments) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class ScreenInfo {
public:
    virtual ~ScreenInfo() = default;
    virtual int screen_width_pixels() const = 0;
};

// A blocking GET; an empty optional for every failure (refused, time-out, non-2xx, too big).
class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    virtual std::optional<QByteArray> get(const QUrl& url) = 0;
    // The same, given up at the deadline at the latest: fetches over several hosts share one.
    virtual std::optional<QByteArray> get_before(const QUrl& url, QDeadlineTimer deadline) {
        if (deadline.hasExpired()) return std::nullopt;
        return get(url);
    }
    // The same, with the reply's Content-Type header ("" when it sent none, or on failure):
    // a feed may name the encoding of its text only there.
    virtual std::optional<QByteArray> get_with_type(const QUrl& url, QByteArray& content_type) {
        content_type.clear();
        return get(url);
    }
};

// The clipboard as the file intake reads it. The windows that use it include <QImage>.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool has_image() const = 0;
    // A null image when the clipboard holds none.
    virtual QImage image() const = 0;
    // The local files of a copied file list, in order; empty when it holds none.
    virtual QStringList file_list() const = 0;
};

// The printer: its dialog and the device pages are drawn on.
class Printer {
public:
    virtual ~Printer() = default;
    // The printer dialog; file_name is what printing to a file writes. False when cancelled.
    virtual bool choose_printer(const QString& title, const QString& file_name) = 0;
    // The printer chosen last (the default one before any choice).
    virtual QPrinter* printer() = 0;
};

// The set of outside-world services one program run (or one test) uses. Not owned.
struct Platform {
    MessagePresenter* messages = nullptr;
    Dialogs* dialogs = nullptr;
    ShellOpener* shell = nullptr;
    Clock* clock = nullptr;
    ScreenInfo* screen = nullptr;
    HttpTransport* http = nullptr;
    Clipboard* clipboard = nullptr;
    Printer* printer = nullptr;
};

} // namespace qb
