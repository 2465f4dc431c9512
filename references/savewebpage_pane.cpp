// The web page editor's browser pane and the keeping of its page: navigation, the pane's
// events, the folder a page goes to and the capture itself.
#include "references/savewebpage.h"

#include "core/codepage.h"
#include "core/core.h"
#include "references/page_capture.h"
#include "references/pane_page.h"
#include "references/webengine_document.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace qb {
namespace {

constexpr int kLoadWaitMs = 20000;

} // namespace

void SaveWebPage::create_pane() {
    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setPage(new PanePage(false, WebBrowser1));
    connect(WebBrowser1, &QWebEngineView::loadStarted, this, [this] { load_state_ = Load::loading; });
    connect(WebBrowser1, &QWebEngineView::titleChanged, this, [this] { WebBrowser1_TitleChange(); });
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, [this](bool ok) { WebBrowser1_DocumentComplete(ok); });
}

void SaveWebPage::navigate(const QString& address) {
    const QUrl url = QUrl::fromUserInput(trim_blanks(address), core().program_folder(), QUrl::AssumeLocalFile);
    load_state_ = Load::loading;
    PanePage::show(WebBrowser1, url);
}

void SaveWebPage::Back_Click() {
    if (WebBrowser1->history()->canGoBack()) WebBrowser1->back();
}

void SaveWebPage::Forward_Click() {
    if (WebBrowser1->history()->canGoForward()) WebBrowser1->forward();
}

void SaveWebPage::WebBrowser1_TitleChange() {
    set_address_font(false);
    const QString current = WebBrowser1->url().toString();
    // The start page is never the address to keep.
    if (current.left(40).toLower() == start_page.left(40).toLower()) return;
    Web_address->setText(current);
    if (!address_locked_) add_or_edit_ongoing = true;
}

void SaveWebPage::WebBrowser1_DocumentComplete(bool ok) {
    load_state_ = ok ? Load::ok : Load::failed;
    hide_wait_window();
}

bool SaveWebPage::ensure_webdata_folder() {
    if (!QFileInfo(webdata_folder_path).isDir()) QDir().mkpath(webdata_folder_path);
    return true;
}

QString SaveWebPage::planned_page_folder() const {
    const QString name = security_name->text();
    return usable_folder_name(name) ? core().program_folder() + u'/' + name + u'/' : webdata_folder_path;
}

bool SaveWebPage::make_security_folder() {
    const QString name = security_name->text();
    QString why;
    if (usable_folder_name(name)) {
        const QString folder = core().program_folder() + u'/' + name + u'/';
        const QFileInfo info(folder.chopped(1));
        // A folder that is there, empty or not, is used as it is.
        if (info.isDir() || (!info.exists() && QDir().mkdir(info.filePath()))) {
            security_folder_path = folder;
            return true;
        }
        why = info.exists() ? QStringLiteral("A file of that name is in the way.") : QStringLiteral("The folder could not be made.");
    } else {
        why = QStringLiteral("The name cannot name a folder.");
    }
    security_folder_path.clear();
    core().show_message(msg_debug_data, QStringLiteral("Could not create directory from security name: ") + name +
                                            QStringLiteral(". Using WebData directory for storage. Error: ") + why);
    return false;
}

bool SaveWebPage::reference_name_available() {
    if (core().current_entry.mode != mode_new) return move_data_for_edit();
    if (!make_security_folder() && !ensure_webdata_folder()) return false;
    const QString reference = trim_blanks(Your_reference_name->text());
    const QString path = page_folder() + reference + QStringLiteral(".htm");
    // The page this entry's own capture wrote, before its entry could be stored, is no rival.
    if (QFileInfo::exists(path) && path != captured_page_path_) return false;
    return !reference.isEmpty();
}

bool SaveWebPage::page_is_loaded() {
    if (load_state_ == Load::loading) {
        QEventLoop loop;
        QTimer::singleShot(kLoadWaitMs, &loop, &QEventLoop::quit);
        connect(WebBrowser1, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return load_state_ != Load::failed;
}

SaveWebPage::Capture SaveWebPage::save_web_page_to_disk() {
    QPointer<SaveWebPage> self(this);
    const QString reference = trim_blanks(Your_reference_name->text());
    QString page_path = page_folder() + reference + QStringLiteral(".htm");
    if (!page_is_loaded()) {
        if (!self) return Capture::stopped;
        // An error page is not the article: nothing is kept.
        hide_wait_window();
        core().show_message(msg_error, QStringLiteral("Unable to save Web Page:") + page_path +
                                           QStringLiteral(". Error: The page could not be loaded: ") +
                                           WebBrowser1->url().toString());
        return Capture::refused;
    }
    if (!self || !web_save_ongoing) return Capture::stopped;
    PageCapture::Hooks hooks;
    hooks.keep_going = [self] { return self && self->web_save_ongoing; };
    hooks.let_events_run = [] { QApplication::processEvents(); };
    PageCapture capture(core().platform().http, page_folder(), hooks);
    WebEngineDocument document(WebBrowser1->page());
    const PageCapture::Result result = capture.run(document, reference, page_path);
    if (!self) return Capture::stopped;
    if (result == PageCapture::Result::stopped) return Capture::stopped;
    if (result == PageCapture::Result::saved) {
        Web_address->setText(page_path);
        captured_page_path_ = page_path;
    }
    return Capture::saved;
}

} // namespace qb
