#pragma once
// QTEST_MAIN for tests that hold a browser pane: the engine needs a shared GL context
// before the application exists, and its sandbox cannot start as root.
#include <QApplication>
#include <QtTest>
#include <unistd.h>

#define QB_WEBENGINE_TEST_MAIN(TestObject)                                                   \
    int main(int argc, char** argv) {                                                        \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                          \
        if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))     \
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                                     \
        QApplication app(argc, argv);                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                             \
        TestObject tc;                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                           \
        return QTest::qExec(&tc, argc, argv);                                                \
    }
