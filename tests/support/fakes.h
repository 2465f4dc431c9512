#pragma once
// Fakes for everything that would wait for a person or the world.
#include "core/core.h"
#include "support/fake_printer.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPair>
#include <QQueue>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace qb::test {

class FakePresenter : public MessagePresenter {
public:
    void message_box(const QString& title, const QString& text) override {
        boxes.append({title, text});
        if (during_box) during_box(text);
    }
    int question_box(const QString& title, const QString& text, int style) override {
        questions.append({title, text});
        styles.append(style);
        return answers.isEmpty() ? kAnswerNo : answers.dequeue();
    }
    QStringList box_texts() const {
        QStringList t;
        for (const auto& b : boxes) t << b.second;
        return t;
    }
    QList<QPair<QString, QString>> boxes;
    QList<QPair<QString, QString>> questions;
    QList<int> styles;
    QQueue<int> answers;  // scripted; No when empty
    // Runs while a box is up, to see what the windows behind it show.
    std::function<void(const QString& text)> during_box;
};

class FakeDialogs : public Dialogs {
public:
    QString browse_for_folder(bool allow_new_folder, const QString& prompt) override {
        calls << QStringLiteral("folder:%1:%2").arg(allow_new_folder).arg(prompt);
        return next_folder;
    }
    QString open_file_name(const QString& title, const QString&) override {
        calls << "open:" + title;
        return next_open;
    }
    QString save_file_name(const QString& title, const QString&, const QString&) override {
        calls << "save:" + title;
        return next_save;
    }
    std::optional<QString> input_box(const QString& prompt, const QString&, const QString&) override {
        calls << "input:" + prompt;
        return next_input;
    }
    QString next_folder, next_open, next_save;
    std::optional<QString> next_input;
    QStringList calls;
};

class FakeShell : public ShellOpener {
public:
    int open_document(const QString& path) override {
        documents << path;
        return document_result;
    }
    bool open_url(const QUrl& url) override {
        urls << url;
        return true;
    }
    bool start_program(const QString& program, const QStringList& arguments) override {
        programs << program + (arguments.isEmpty() ? QString() : u' ' + arguments.join(u' '));
        return startable.contains(program);
    }
    QStringList documents;
    QList<QUrl> urls;
    QStringList programs;
    QStringList startable;
    int document_result = 42;
};

class FakeClock : public Clock {
public:
    QDateTime now() const override { return current; }
    QDateTime current{QDate(2026, 3, 14), QTime(9, 30)};
};

class FakeScreen : public ScreenInfo {
public:
    int screen_width_pixels() const override { return width; }
    int width = 1280;
};

class FakeHttp : public HttpTransport {
public:
    std::optional<QByteArray> get(const QUrl& url) override {
        requests << url;
        if (during_get) during_get(url);  // what the user does while the request waits
        if (forward_to) return forward_to->get(url);
        if (auto it = by_url.constFind(QString::fromUtf8(url.toEncoded())); it != by_url.constEnd()) return *it;
        if (replies.isEmpty()) return pass_to ? pass_to->get(url) : std::nullopt;
        return replies.dequeue();
    }
    std::optional<QByteArray> get_before(const QUrl& url, QDeadlineTimer deadline) override {
        deadlines << deadline;
        return get(url);
    }
    std::optional<QByteArray> get_with_type(const QUrl& url, QByteArray& content_type) override {
        content_type = reply_type;
        return get(url);
    }
    QList<QUrl> requests;
    QByteArray reply_type;  // the Content-Type header every reply carries
    QList<QDeadlineTimer> deadlines;  // of the calls that carried one
    QQueue<std::optional<QByteArray>> replies;
    // Replies by address, before the queue; then, with the queue empty, a real transport.
    QHash<QString, std::optional<QByteArray>> by_url;
    HttpTransport* pass_to = nullptr;
    std::function<void(const QUrl&)> during_get;
    HttpTransport* forward_to = nullptr;  // a real transport, for a server inside the test
};

class FakeClipboard : public Clipboard {
public:
    bool has_image() const override { return !picture.isNull(); }
    QImage image() const override { return picture; }
    QStringList file_list() const override { return files; }
    QImage picture;
    QStringList files;
};

// A fresh Core on a temporary program folder, with every fake wired in.
struct CoreFixture {
    CoreFixture();
    ~CoreFixture();
    Platform platform();
    QString path(const QString& name) const { return dir.path() + u'/' + name; }
    // Builds the blank records and loads the data files, as the start-up does.
    void start();
    // A new Core on the same folder, as after a restart.
    void restart();

    QTemporaryDir dir;
    FakePresenter messages;
    FakeDialogs dialogs;
    FakeShell shell;
    FakeClock clock;
    FakeScreen screen;
    FakeHttp http;
    FakeClipboard clipboard;
    FakePrinter printer{dir.path()};
    std::unique_ptr<Core> core;
};

// Makes current_entry a new entry in use, in a fresh slot of the table, ready to be
// filled and saved; nullptr when no slot could be had.
SummaryEntry* start_new_entry(Core& c);

QByteArray read_file(const QString& path);
void write_file(const QString& path, const QByteArray& bytes);

} // namespace qb::test
