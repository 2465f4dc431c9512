#pragma once
// The stock-idea screen: the idea page in a browser pane, with the last complete copy
// kept in WebData and offered when the page cannot be had.
#include "shell/screen.h"
#include "shell/shell.h"

#include <QUrl>
#include <QWidget>

class QLabel;
class QWebEngineView;

namespace qb {

class viewweb : public QWidget, public StockIdeaScreen, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 10050;
    static constexpr int kBrowserLeft = 120;
    static constexpr int kBrowserTop = 480;
    static constexpr int kBrowserDesignWidth = 9810;
    static constexpr int kBrowserDesignHeight = 6060;
    // Fewer elements than this and the page is not the report (an error or empty page).
    static constexpr int kMinReportElements = 60;
    static const char kSavedCopyName[];

    explicit viewweb(QWidget* parent);

    void form_load() override { Form_Load(); }
    QWidget* widget() override { return this; }
    void handle_resize() override;
    void show_stock_of_month() override;

    QString saved_copy_path() const;

    // Where the idea page is: on the stock-idea host of service_hosts; tests point it elsewhere.
    QUrl page_address;
    bool showing_saved_copy = false;

    QLabel* Label1 = nullptr;
    QWebEngineView* brwWebBrowser = nullptr;

signals:
    // A completed page was judged (saved, offered or left), for whoever waits on it.
    void page_judged();

protected:
    // Leaving the screen while the page is still on its way takes the wait window
    // down with it; otherwise a page that never comes would leave it standing.
    void hideEvent(QHideEvent* event) override;

private:
    void Form_Load();
    void brwWebBrowser_DocumentComplete(int opening);
    void brwWebBrowser_NavigateError();
    void save_stock_of_month_offline(int opening);
    void offer_saved_stock_of_month();
    void hide_wait_window();
    bool still_wanted(int opening) const;

    int16_t height_margin_ = 0;
    int16_t width_margin_ = 0;
    int16_t browser_height_margin_ = 0;
    int16_t browser_width_margin_ = 0;
    // Each opening starts a fresh download; answers of an earlier one are dropped.
    int opening_ = 0;
    bool waiting_for_page_ = false;
};

} // namespace qb
