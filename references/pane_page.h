#pragma once
// The page a browser pane shows. A page from the web keeps its scripts and reads no local
// file. A page from disk (a kept page, the stock idea's copy) was written by some web
// site: it runs no script of any kind and reads no local file but the pictures in its own
// folder. Each kind is a page object of its own, set up before it loads anything: a
// setting changed on a page that is showing reaches its renderer only later, when the
// next document may already have run.
#include <QWebEnginePage>

class QWebEngineView;

namespace qb {

class PanePage : public QWebEnginePage {
public:
    PanePage(bool from_disk, QObject* parent);
    bool from_disk() const { return from_disk_; }

    // The view's page for addresses of that kind: the one it shows, or a fresh one in its
    // place (the one it replaces goes once its events are done).
    static PanePage* of_kind(QWebEngineView* view, bool from_disk);
    static bool is_from_disk(const QUrl& url) { return url.isLocalFile(); }
    // Shows url in the view, on a page of its kind.
    static void show(QWebEngineView* view, const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool is_main_frame) override;
    // Pages may not open boxes of their own: script alerts, confirmations and prompts are
    // answered silently, as the pane runs without a person watching its scripts.
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

private:
    bool from_disk_;
};

} // namespace qb
