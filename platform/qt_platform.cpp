#include "platform/qt_platform.h"

#include "platform/window_helpers.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

namespace qb {

namespace {

// Boxes and dialogs live on the heap: the window a box stands over takes its children with
// it if it goes while the box is up (a timer may unload it), and one on the stack would
// then be deleted twice.
template <typename T>
class Owned {
public:
    template <typename... Args>
    explicit Owned(Args&&... args) : p_(new T(std::forward<Args>(args)...)) {}
    ~Owned() { delete p_.data(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    T* operator->() const { return p_.data(); }
    T& operator*() const { return *p_; }
    bool gone() const { return p_.isNull(); }

private:
    QPointer<T> p_;
};

// The file a file dialog was closed with, or "" when it was cancelled or went.
QString chosen_file(const Owned<QFileDialog>& dlg, int result) {
    if (result != QDialog::Accepted || dlg.gone() || dlg->selectedFiles().isEmpty()) return QString();
    return dlg->selectedFiles().first();
}

} // namespace

void QtMessagePresenter::message_box(const QString& title, const QString& text) {
    Owned<QMessageBox> box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, MessageBoxOwner::current());
    answer(*box);
}

int QtMessagePresenter::answer(QMessageBox& box) { return box.exec(); }

int QtMessagePresenter::question_box(const QString& title, const QString& text, int style) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case kStyleStop: icon = QMessageBox::Critical; break;
    case kStyleQuestion: icon = QMessageBox::Question; break;
    case 48: icon = QMessageBox::Warning; break;
    case kStyleInformation: icon = QMessageBox::Information; break;
    default: break;
    }
    Owned<QMessageBox> box(icon, title, text, QMessageBox::Yes | QMessageBox::No, MessageBoxOwner::current());
    return answer(*box) == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}

int QtDialogs::run(QDialog& dialog) { return dialog.exec(); }

QString QtDialogs::browse_for_folder(bool allow_new_folder, const QString& prompt) {
    Owned<QFileDialog> dlg(MessageBoxOwner::current(), prompt, QDir::homePath());
    dlg->setFileMode(QFileDialog::Directory);
    dlg->setOption(QFileDialog::ShowDirsOnly, true);
    // Only the non-native dialog can hide its "new folder" button.
    if (!allow_new_folder) dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    dlg->setOption(QFileDialog::ReadOnly, !allow_new_folder);
    return chosen_file(dlg, run(*dlg));
}

QString QtDialogs::open_file_name(const QString& title, const QString& filter) {
    Owned<QFileDialog> dlg(MessageBoxOwner::current(), title, QString(), filter);
    dlg->setFileMode(QFileDialog::ExistingFile);
    return chosen_file(dlg, run(*dlg));
}

QString QtDialogs::save_file_name(const QString& title, const QString& filter, const QString& suggested) {
    Owned<QFileDialog> dlg(MessageBoxOwner::current(), title, suggested, filter);
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    return chosen_file(dlg, run(*dlg));
}

std::optional<QString> QtDialogs::input_box(const QString& prompt, const QString& title, const QString& initial) {
    Owned<QInputDialog> dlg(MessageBoxOwner::current());
    dlg->setWindowTitle(title);
    dlg->setLabelText(prompt);
    dlg->setTextValue(initial);
    if (run(*dlg) != QDialog::Accepted || dlg.gone()) return std::nullopt;
    return dlg->textValue();
}

int QtShellOpener::open_document(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return info.dir().exists() ? 2 : 3;
    if (!info.isReadable()) return 5;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? 42 : 31;
}

bool QtShellOpener::open_url(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool QtShellOpener::start_program(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return false;
    return QProcess::startDetached(program, arguments);
}

bool QtClipboard::has_image() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

QImage QtClipboard::image() const { return QGuiApplication::clipboard()->image(); }

QStringList QtClipboard::file_list() const {
    QStringList files;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

int QtScreenInfo::screen_width_pixels() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

QtHttpTransport::QtHttpTransport(int timeout_ms, qint64 max_bytes)
    : timeout_ms_(timeout_ms), max_bytes_(max_bytes) {}

QtHttpTransport::~QtHttpTransport() = default;

std::optional<QByteArray> QtHttpTransport::get(const QUrl& url) { return get_before(url, QDeadlineTimer(timeout_ms_)); }

std::optional<QByteArray> QtHttpTransport::get_before(const QUrl& url, QDeadlineTimer deadline) {
    return transfer(url, deadline, nullptr);
}

std::optional<QByteArray> QtHttpTransport::get_with_type(const QUrl& url, QByteArray& content_type) {
    return transfer(url, QDeadlineTimer(timeout_ms_), &content_type);
}

std::optional<QByteArray> QtHttpTransport::transfer(const QUrl& url, QDeadlineTimer deadline, QByteArray* content_type) {
    if (content_type) content_type->clear();
    const int timeout_ms = int(std::min<qint64>(timeout_ms_, deadline.remainingTime()));
    if (timeout_ms <= 0) return std::nullopt;
    // Only web addresses: the manager would also read local files.
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https")) return std::nullopt;
    // The local loop below runs timers and sockets; a fetch started from one of them
    // must not nest inside this one.
    if (busy_) return std::nullopt;
    busy_ = true;

    if (!manager_) manager_ = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    // Qt's transfer time-out only counts time without data; the timer below bounds the
    // whole transfer, so a server that trickles bytes cannot hold the program either.
    request.setTransferTimeout(timeout_ms);
    QNetworkReply* reply = manager_->get(request);
    // Qt holds no more than this unread; the rest waits in the socket until it is taken
    // below, so a server that never stops sending fills neither buffer.
    reply->setReadBufferSize(kReadBufferBytes);
    QByteArray body;
    bool too_big = false;
    auto too_big_now = [reply, &too_big] {
        too_big = true;
        reply->abort();
    };
    const auto on_headers = QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > max_bytes_) too_big_now();
    });
    // Counted as the bytes arrive: a reply without a length (chunked) is stopped at the
    // limit, not after it has been read whole.
    auto take = [&] {
        if (too_big) return;
        if (body.size() + reply->bytesAvailable() > max_bytes_) {
            too_big_now();
            return;
        }
        body += reply->readAll();
    };
    const auto on_data = QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, reply, &QNetworkReply::abort);
    guard.start(timeout_ms);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    guard.stop();
    // The lambdas above hold references into this frame.
    QObject::disconnect(on_headers);
    QObject::disconnect(on_data);

    std::optional<QByteArray> result;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!too_big && reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        take();
        if (!too_big) {
            result = std::move(body);
            // After redirects, the header of the reply that was read.
            if (content_type) *content_type = reply->rawHeader("Content-Type");
        }
    }
    reply->deleteLater();
    busy_ = false;
    return result;
}

} // namespace qb
