#pragma once
// A test main for executables that make a browser pane (QWebEngineView): the shared GL
// contexts must be asked for before the application exists, and the engine's sandbox
// cannot start as root. Use it in place of QTEST_MAIN.
#include <QApplication>
#include <QtTest>
#include <unistd.h>

namespace qb::test {
inline void prepare_webengine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}
} // namespace qb::test

#define QB_WEBENGINE_TEST_MAIN(TestObject)                                                                           \
    int main(int argc, char** argv) {                                                                                \
        qb::test::prepare_webengine();                                                                               \
        QApplication app(argc, argv);                                                                                \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                     \
        TestObject tc;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                   \
        return QTest::qExec(&tc, argc, argv);                                                                        \
    }
