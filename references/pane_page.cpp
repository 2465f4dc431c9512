#include "references/pane_page.h"

#include <QDir>
#include <QFileInfo>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace qb {
namespace {

// The page's own requests for local files. A page from the web gets none (the engine
// refuses them too); a page from disk gets its main document, which the navigation check
// let through, and the pictures in its folder or below it, or of their names beside it.
class LocalFileGuard : public QWebEngineUrlRequestInterceptor {
public:
    LocalFileGuard(bool from_disk, QObject* parent) : QWebEngineUrlRequestInterceptor(parent), from_disk_(from_disk) {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (!info.requestUrl().isLocalFile()) return;
        const auto type = info.resourceType();
        if (from_disk_ && type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) return;
        const bool picture =
            type == QWebEngineUrlRequestInfo::ResourceTypeImage || type == QWebEngineUrlRequestInfo::ResourceTypeFavicon;
        if (!from_disk_ || !picture || !info.firstPartyUrl().isLocalFile()) {
            info.block(true);
            return;
        }
        const QString folder = QFileInfo(QDir::cleanPath(info.firstPartyUrl().toLocalFile())).path() + u'/';
        const QString path = QDir::cleanPath(info.requestUrl().toLocalFile());
        if (path.startsWith(folder)) return;
        // A page kept before its folder moved names its pictures by the file addresses they
        // had then: the picture of that name beside the page is the one it kept.
        const QString beside = folder + QFileInfo(path).fileName();
        if (QFileInfo(beside).isFile())
            info.redirect(QUrl::fromLocalFile(beside));
        else
            info.block(true);
    }

private:
    bool from_disk_;
};

} // namespace

PanePage::PanePage(bool from_disk, QObject* parent) : QWebEnginePage(parent), from_disk_(from_disk) {
    QWebEngineSettings* s = settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, !from_disk);
    // Without it a page from disk shows none of its own pictures; the guard keeps it to them.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, from_disk);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    setUrlRequestInterceptor(new LocalFileGuard(from_disk, this));
}

bool PanePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool is_main_frame) {
    if (!url.isLocalFile()) return true;
    // A local file is shown only as the page itself, and only when the program or the
    // user asked for it: neither a page from the web nor a page's own redirect, form or
    // frame leads to one.
    if (!from_disk_ || !is_main_frame) return false;
    return type == NavigationTypeTyped || type == NavigationTypeBackForward || type == NavigationTypeReload ||
           type == NavigationTypeLinkClicked;
}

PanePage* PanePage::of_kind(QWebEngineView* view, bool from_disk) {
    auto* current = dynamic_cast<PanePage*>(view->page());
    if (current && current->from_disk() == from_disk) return current;
    auto* page = new PanePage(from_disk, view);
    view->setPage(page);
    // It may be the page whose signal or script answer is running now.
    if (current) current->deleteLater();
    return page;
}

void PanePage::show(QWebEngineView* view, const QUrl& url) { of_kind(view, is_from_disk(url))->setUrl(url); }

} // namespace qb
