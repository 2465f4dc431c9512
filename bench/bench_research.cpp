// Times the opening of Internet Research on a pref.dat that is full of links (just under
// its 1 MiB cap): short links (about 10,000), long ones (a few hundred, each address and
// description a kilobyte of text with tags' brackets in it) and descriptions made of
// opening brackets only. Each shape is opened five times, each time on a fresh start
// that reads pref.dat.
// Runs offscreen: QT_QPA_PLATFORM=offscreen bench_research
#include "bench/bench_support.h"
#include "core/text_helpers.h"
#include "market/market_windows.h"
#include "market/research.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qb;

namespace {

constexpr qint64 kPrefCap = 1 << 20;

QString link_items(int i, const QString& button, const QString& link, const QString& desc) {
    const QString n = QString::number(i);
    return make_tag("button" + n, button) + make_tag("link" + n, link) + make_tag("desc" + n, desc);
}

// Links made by make_link(i) until pref.dat would pass its cap; returns the link count.
template <typename MakeLink>
int write_full_pref(const QString& folder, Platform platform, MakeLink make_link) {
    Core c(folder, platform);
    c.custom_links = make_tag("numlinks", QStringLiteral("99999"));
    c.save_preferences();
    const qint64 rest = QFileInfo(c.data_path(c.pref_filename)).size();
    QString items;
    int n = 0;
    for (QString next = make_link(1); rest + items.size() + next.size() < kPrefCap - 64; next = make_link(++n + 1))
        items += next;
    c.custom_links = make_tag("numlinks", QString::number(n)) + items;
    c.save_preferences();
    return n;
}

void time_opening(const char* shape, const QString& folder, Platform platform, int links) {
    std::vector<double> open_ms;
    int read = 0;
    for (int run = 0; run < 5; ++run) {
        Core c(folder, platform);
        c.load_preferences();
        Shell shell(c);
        register_market_windows(shell);
        shell.end_program = [] {};
        QElapsedTimer t;
        t.start();
        shell.mdi()->menu_item(QStringLiteral("mnuWeb"))->trigger();
        open_ms.push_back(t.nsecsElapsed() / 1e6);
        read = int(shell.window_as<Research>(QStringLiteral("Research"))->links.size());
    }
    std::sort(open_ms.begin(), open_ms.end());
    std::printf("%s: pref.dat %lld bytes, %d links (%d read); opening Internet Research: best %.1f ms, median %.1f ms, "
                "worst %.1f ms\n",
                shape, static_cast<long long>(QFileInfo(folder + QStringLiteral("/pref.dat")).size()), links, read,
                open_ms.front(), open_ms[open_ms.size() / 2], open_ms.back());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    bench::FixedClock clock;
    bench::QuietPresenter quiet;
    Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;

    QTemporaryDir short_dir;
    const int short_links = write_full_pref(short_dir.path(), platform, [](int i) {
        return link_items(i, QStringLiteral("Site %1").arg(i), QStringLiteral("site%1.example.com").arg(i),
                          QStringLiteral("About %1").arg(i));
    });
    time_opening("short links", short_dir.path(), platform, short_links);

    QTemporaryDir long_dir;
    const int long_links = write_full_pref(long_dir.path(), platform, [](int i) {
        const QString filler = QStringLiteral("<b>x</b> a < b > c ").repeated(50);
        return link_items(i, QStringLiteral("Site %1").arg(i), QStringLiteral("site%1.example.com/?q=").arg(i) + filler,
                          QStringLiteral("About %1: ").arg(i) + filler);
    });
    time_opening("long links", long_dir.path(), platform, long_links);

    // The reading's worst case: every character an opening bracket that no '>' closes.
    QTemporaryDir bracket_dir;
    const int bracket_links = write_full_pref(bracket_dir.path(), platform, [](int i) {
        return link_items(i, QStringLiteral("Site %1").arg(i), QStringLiteral("site%1.example.com").arg(i),
                          QString(2000, u'<'));
    });
    time_opening("brackets", bracket_dir.path(), platform, bracket_links);
    return 0;
}
