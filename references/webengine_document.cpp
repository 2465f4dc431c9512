#include "references/webengine_document.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <memory>

namespace qb {

std::optional<QVariant> WebEngineDocument::run(const QString& script) {
    if (!page_) return std::nullopt;
    struct Answer {
        bool done = false;
        QVariant value;
    };
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    QPointer<QEventLoop> guard(&loop);
    page_->runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer, guard](const QVariant& v) {
        answer->done = true;
        answer->value = v;
        if (guard) guard->quit();
    });
    if (!answer->done) {
        QTimer::singleShot(kScriptTimeoutMs, &loop, &QEventLoop::quit);
        QObject::connect(page_.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!answer->done) return std::nullopt;
    return answer->value;
}

std::optional<QStringList> WebEngineDocument::picture_sources() {
    static const QString script = QStringLiteral(R"js((function () {
  var all = document.getElementsByTagName('*');
  var found = [], sources = [];
  for (var i = 0; i < all.length; i++) {
    var e = all[i], tag = String(e.tagName).toUpperCase();
    if (tag == 'IMG' || (tag == 'INPUT' && String(e.type).toLowerCase() == 'image')) {
      found.push(e);
      sources.push(String(e.src || ''));
    }
  }
  window.qbCapturePictures = found;
  return sources;
})())js");
    const std::optional<QVariant> v = run(script);
    if (!v || !v->canConvert<QVariantList>()) return std::nullopt;
    QStringList sources;
    for (const QVariant& s : v->toList()) sources << s.toString();
    return sources;
}

bool WebEngineDocument::set_picture_sources(const QStringList& sources) {
    const QByteArray list = QJsonDocument(QJsonArray::fromStringList(sources)).toJson(QJsonDocument::Compact);
    const QString script = QStringLiteral(R"js((function (sources) {
  var found = window.qbCapturePictures || [];
  for (var i = 0; i < found.length && i < sources.length; i++)
    if (sources[i] !== '') found[i].setAttribute('src', sources[i]);
  return found.length == sources.length;
})(%1))js")
                               .arg(QString::fromUtf8(list));
    const std::optional<QVariant> v = run(script);
    return v && v->toBool();
}

std::optional<QString> WebEngineDocument::inner_html() {
    const std::optional<QVariant> v = run(QStringLiteral("document.documentElement ? document.documentElement.innerHTML : null"));
    if (!v || !v->isValid() || v->isNull()) return std::nullopt;
    return v->toString();
}

bool WebEngineDocument::has_base_address() {
    const std::optional<QVariant> v = run(QStringLiteral("document.querySelector('base[href]') !== null"));
    // Not known: file addresses, which hold wherever the page's base points.
    return !v || v->toBool();
}

} // namespace qb
