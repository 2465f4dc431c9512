#pragma once
// Looks into a browser pane's page from a script world of the test's own: a page shown
// from disk runs no script in its own world, so a look from there would get no answer.
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtTest>

namespace qb::test {

// The value of script, or "(no answer)" when the page gave none within 30 s.
inline QVariant evaluate(QWebEngineView* view, const QString& script) {
    bool done = false;
    QVariant value;
    view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
        value = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 30000)) return QStringLiteral("(no answer)");
    return value;
}

} // namespace qb::test
