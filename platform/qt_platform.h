#pragma once
// The real outside world: Qt implementations of the core's platform interfaces.
#include "core/platform_api.h"

#include <QObject>
#include <memory>

class QDialog;
class QMessageBox;
class QNetworkAccessManager;

namespace qb {

// Boxes come up over the window that owns the message (MessageBoxOwner).
class QtMessagePresenter : public MessagePresenter {
public:
    void message_box(const QString& title, const QString& text) override;
    int question_box(const QString& title, const QString& text, int style) override;

protected:
    // Shows the box and waits for the user's button.
    virtual int answer(QMessageBox& box);
};

// The dialogs stand over their owner, as the message boxes do.
class QtDialogs : public Dialogs {
public:
    QString browse_for_folder(bool allow_new_folder, const QString& prompt) override;
    QString open_file_name(const QString& title, const QString& filter) override;
    QString save_file_name(const QString& title, const QString& filter, const QString& suggested) override;
    std::optional<QString> input_box(const QString& prompt, const QString& title, const QString& initial) override;

protected:
    // Shows the dialog and waits until the user closes it.
    virtual int run(QDialog& dialog);
};

class QtShellOpener : public ShellOpener {
public:
    int open_document(const QString& path) override;
    bool open_url(const QUrl& url) override;
    bool start_program(const QString& program, const QStringList& arguments) override;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

class QtScreenInfo : public ScreenInfo {
public:
    int screen_width_pixels() const override;
};

// Blocking GET on the UI thread: a local event loop that ignores user input, a time-out
// on the whole transfer and a size limit, counted as the bytes arrive. One transfer at a
// time: a GET asked for while one runs fails at once.
class QtHttpTransport : public HttpTransport {
public:
    explicit QtHttpTransport(int timeout_ms = 30000, qint64 max_bytes = 10 * 1024 * 1024);
    ~QtHttpTransport() override;
    std::optional<QByteArray> get(const QUrl& url) override;
    std::optional<QByteArray> get_before(const QUrl& url, QDeadlineTimer deadline) override;
    std::optional<QByteArray> get_with_type(const QUrl& url, QByteArray& content_type) override;

private:
    std::optional<QByteArray> transfer(const QUrl& url, QDeadlineTimer deadline, QByteArray* content_type);
    static constexpr qint64 kReadBufferBytes = 256 * 1024;
    int timeout_ms_;
    qint64 max_bytes_;
    bool busy_ = false;
    std::unique_ptr<QNetworkAccessManager> manager_;
};

class QtClipboard : public Clipboard {
public:
    bool has_image() const override;
    QImage image() const override;
    QStringList file_list() const override;
};

// The system's printers through QPrinter and QPrintDialog. With no printer installed the
// dialog can still print to a file, the preset name.
class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;
    bool choose_printer(const QString& title, const QString& file_name) override;
    QPrinter* printer() override;

private:
    std::unique_ptr<QPrinter> printer_;
};

// Owns one of each and hands out the Platform the Core takes.
struct QtPlatform {
    QtMessagePresenter messages;
    QtDialogs dialogs;
    QtShellOpener shell;
    SystemClock clock;
    QtScreenInfo screen;
    QtHttpTransport http;
    QtClipboard clipboard;
    QtPrinter printer;
    Platform platform() { return {&messages, &dialogs, &shell, &clock, &screen, &http, &clipboard, &printer}; }
};

} // namespace qb
