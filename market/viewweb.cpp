#include "market/viewweb.h"

#include "core/core.h"
#include "core/platform_api.h"
#include "core/save_file.h"
#include "core/service_hosts.h"
#include "platform/window_helpers.h"
#include "references/pane_page.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/user_update.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHideEvent>
#include <QLabel>
#include <QStringDecoder>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace qb {
namespace {

constexpr char kPagePath[] = "/stockidea/index.htm";
// The page's bytes are checked for UTF-8 piece by piece, never decoded whole.
constexpr qsizetype kCheckedPiece = 64 * 1024;

} // namespace

const char viewweb::kSavedCopyName[] = "StockOfMonth.htm";

viewweb::viewweb(QWidget* parent)
    : QWidget(parent),
      page_address(QString::fromLatin1(service_hosts::kScheme) + service_hosts::current().stock_idea +
                   QString::fromLatin1(kPagePath)) {
    setObjectName(QStringLiteral("viewweb"));
    setAutoFillBackground(true);
    Label1 = new QLabel(QStringLiteral("Stock Idea Window: (Please ensure you are connected to the Internet)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(12);
    f.setBold(true);
    Label1->setFont(f);
    Label1->setGeometry(twips_to_px(120), twips_to_px(60), twips_to_px(9810), twips_to_px(375));

    brwWebBrowser = new QWebEngineView(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    brwWebBrowser->setPage(new PanePage(false, brwWebBrowser));
    brwWebBrowser->setGeometry(twips_to_px(kBrowserLeft), twips_to_px(kBrowserTop), twips_to_px(kBrowserDesignWidth),
                               twips_to_px(kBrowserDesignHeight));
    connect(brwWebBrowser, &QWebEngineView::loadFinished, this, [this](bool ok) {
        const int opening = opening_;
        if (ok)
            brwWebBrowser_DocumentComplete(opening);
        else
            brwWebBrowser_NavigateError();
    });
    hide();  // the shell shows it when its screen comes up
}

void viewweb::Form_Load() {
    MDIMain* mdi = shell().mdi();
    const int height = mdi->child_form_height;
    setGeometry(twips_to_px(Command::kBarWidth), 0, twips_to_px(kDesignWidth), twips_to_px(height));
    height_margin_ = int16_t(mdi->MDI_height_original - height);
    width_margin_ = int16_t(mdi->MDI_width_original - kDesignWidth);
    browser_height_margin_ = int16_t(mdi->MDI_height_original - kBrowserDesignHeight);
    browser_width_margin_ = int16_t(mdi->MDI_width_original - kBrowserDesignWidth);
    showing_saved_copy = false;
}

QString viewweb::saved_copy_path() const {
    const Core& c = core();
    return c.data_path(c.webdata_foldername) + u'/' + QString::fromLatin1(kSavedCopyName);
}

void viewweb::handle_resize() {
    MDIMain* mdi = shell().mdi();
    const int main_h = mdi->height_twips();
    const int main_w = mdi->width_twips();
    const int h = main_h - height_margin_ > mdi->min_insideMDI_heigth ? main_h - height_margin_ : mdi->min_insideMDI_heigth;
    const int w = main_w - width_margin_ > mdi->min_insideMDI_width ? main_w - width_margin_ : mdi->min_insideMDI_width;
    resize(twips_to_px(w), twips_to_px(h));
    QSize browser = brwWebBrowser->size();
    if (main_h - browser_height_margin_ > 500) browser.setHeight(twips_to_px(main_h - browser_height_margin_));
    if (main_w - browser_width_margin_ > 500) browser.setWidth(twips_to_px(main_w - browser_width_margin_));
    brwWebBrowser->resize(browser);
}

void viewweb::show_stock_of_month() {
    const int opening = ++opening_;
    showing_saved_copy = false;
    handle_resize();
    show();
    raise();
    shell().user_update()->set_message(QStringLiteral("Downloading Stock Idea Report From the Internet"), 2);
    waiting_for_page_ = true;
    const QString scheme = page_address.scheme().toLower();
    if (scheme != u"http" && scheme != u"https") {
        PanePage::show(brwWebBrowser, page_address);
        return;
    }
    // The page itself comes through the program's transport, bounded in size and time as
    // every other fetch: the browser engine would read a reply that never ends for as
    // long as it is sent, and never report the page complete.
    HttpTransport* http = core().platform().http;
    const std::optional<QByteArray> page = http ? http->get(page_address) : std::nullopt;
    if (opening != opening_) return;
    if (!page) {
        brwWebBrowser_NavigateError();
        return;
    }
    // Its relative addresses still lead to its own site. A page in UTF-8 is said to be
    // one; any other is left to its own charset declaration.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QByteArrayView bytes(*page);
    for (qsizetype at = 0; at < bytes.size() && !utf8.hasError(); at += kCheckedPiece)
        (void)utf8(bytes.sliced(at, std::min(kCheckedPiece, bytes.size() - at)));
    const QString type = utf8.hasError() ? QStringLiteral("text/html") : QStringLiteral("text/html;charset=UTF-8");
    PanePage::of_kind(brwWebBrowser, false)->setContent(*page, type, page_address);
}

void viewweb::hideEvent(QHideEvent* event) {
    if (waiting_for_page_ && !event->spontaneous()) hide_wait_window();
    QWidget::hideEvent(event);
}

void viewweb::hide_wait_window() {
    waiting_for_page_ = false;
    if (QWidget* wait = shell().loaded_window(QStringLiteral("UserUpdate"))) wait->hide();
}

bool viewweb::still_wanted(int opening) const {
    return opening == opening_ && !showing_saved_copy && core().current_screen == screen_stock_of_month;
}

void viewweb::brwWebBrowser_DocumentComplete(int opening) {
    if (core().current_screen != screen_stock_of_month) return;
    hide_wait_window();
    if (showing_saved_copy) return;
    // The program's own reads of the document run in a world of their own, which a page
    // from disk, running no script, still has.
    brwWebBrowser->page()->runJavaScript(
        QStringLiteral("document.getElementsByTagName('*').length"), QWebEngineScript::ApplicationWorld,
        [this, opening](const QVariant& count) {
            if (!still_wanted(opening)) return;
            bool is_number = false;
            const int n = count.toInt(&is_number);
            if (!is_number) {
                core().show_message(msg_warning,
                                    QStringLiteral("Unable to display Stock Idea. Please Check your internet connection."));
            } else if (n < kMinReportElements) {
                offer_saved_stock_of_month();
            } else {
                save_stock_of_month_offline(opening);
                return;
            }
            emit page_judged();
        });
}

void viewweb::brwWebBrowser_NavigateError() {
    hide_wait_window();
    core().show_message(msg_error,
                        QStringLiteral("Error Downloading Stock Idea...make sure you are connected to the internet"));
    // What is left on screen is an error page: too small to be the report, and not a
    // page to keep, but the kept copy is worth offering.
    if (still_wanted(opening_)) offer_saved_stock_of_month();
    emit page_judged();
}

void viewweb::save_stock_of_month_offline(int opening) {
    brwWebBrowser->page()->runJavaScript(
        QStringLiteral("document.documentElement.innerHTML"), QWebEngineScript::ApplicationWorld,
        [this, opening](const QVariant& html) {
            if (opening == opening_ && !showing_saved_copy && html.isValid()) {
                const QString path = saved_copy_path();
                QDir().mkpath(QFileInfo(path).absolutePath());
                QString why;
                if (!save_whole_file(path, QByteArray("\xEF\xBB\xBF") + (html.toString() + QStringLiteral("\r\n")).toUtf8(), &why))
                    core().show_message(msg_warning, QStringLiteral("Unable to save Web Page for offline viewing. Error: ") + why);
            }
            emit page_judged();
        });
}

void viewweb::offer_saved_stock_of_month() {
    const QString path = saved_copy_path();
    if (!QFile::exists(path)) return;
    const int answer = core().ask_user(
        kStyleStop, QStringLiteral("Stock of Month Web Site unavailable (check that your internet connection is "
                                   "working)\r\nWould you like to view the last viewed Stock of Month?"));
    if (answer != kAnswerYes) return;
    showing_saved_copy = true;
    PanePage::show(brwWebBrowser, QUrl::fromLocalFile(path));
}

} // namespace qb
