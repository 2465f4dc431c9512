#pragma once
// Gives the offscreen platform a screen of a chosen size (its own is 800 x 800), for tests
// of where windows stand. Call it before the application exists. Under another platform
// (a real X server) the real screen is left as it is.
#include <QByteArray>
#include <QTemporaryFile>
#include <QtGlobal>

namespace qb::test {

inline void use_offscreen_screen(int width, int height) {
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen") return;
    // Read while the application starts; kept until the process ends.
    static QTemporaryFile config;
    if (!config.open()) return;
    config.write(QByteArrayLiteral(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": )") +
                 QByteArray::number(width) + R"(, "height": )" + QByteArray::number(height) +
                 R"(, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
}

} // namespace qb::test
