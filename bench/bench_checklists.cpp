// The checklist screens with large data: the list of 500 checklists opened and scrolled
// from end to end by PageDown (the time of each step that refills the rows), and the
// editor opened on a checklist of 30 items of 1000 characters (filling it, and laying
// the 30 rows out with every row measured afresh); before the windows, the import of a
// 1 MiB export file (the largest that is read) of each kind of unclosed or stray tag.
// Runs offscreen: QT_QPA_PLATFORM=offscreen bench_checklists [checklists]
#include "bench/bench_support.h"
#include "checklists/addchecklist.h"
#include "checklists/checklists_windows.h"
#include "checklists/showchecklists.h"
#include "core/core.h"
#include "journal/title.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "shell/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <cstdio>
#include <vector>

namespace {

class BenchScreen : public qb::ScreenInfo {
public:
    int screen_width_pixels() const override { return 1280; }
};

double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

void key(QWidget* w, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

QString long_item(int n) {
    QString text;
    const char* const words[] = {"margin", "of", "safety", "debt", "cover", "cash", "flow", "moat", "insider", "buying"};
    for (int i = 0; text.size() < 1000; ++i) text += QString::fromLatin1(words[(i + n) % 10]) + u' ';
    return text.left(1000);
}

void report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("%-34s n=%zu  min %.2f ms  median %.2f ms  max %.2f ms\n", what, v.size(), v.front(), v[v.size() / 2],
                v.back());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 500;
    QTemporaryDir dir;
    qb::bench::FixedClock clock;
    qb::bench::QuietPresenter quiet;
    BenchScreen screen;
    qb::Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;
    platform.screen = &screen;

    {
        qb::Core gen(dir.path(), platform);
        gen.init_blank_checklist();
        for (int n = 0; n < count; ++n) {
            qb::Checklist c = gen.blank_checklist;
            c.Inuse = qb::kTrue;
            c.Version = 1;
            c.ShowIt = n < 5 ? 1 : 0;
            c.Name = QString("Checklist %1").arg(n);
            c.Author = QString("Author %1").arg(n % 37);
            for (int j = 0; j < 5; ++j) c.Item[size_t(j)] = QString("Question %1 of list %2").arg(j).arg(n);
            c.TotalItems = 5;
            gen.Checklists.append(c);
        }
        gen.save_checklist();
        gen.tiponstartup = "n";
        gen.touronstartup = "n";
        gen.save_preferences();
    }

    {
        qb::Core imp(dir.path(), platform);
        const char* const units[] = {"<a>", "<Item1>x<Item2>", "<", "<<ab", "<\\Name>", "<\\a><a>"};
        const QString file = dir.filePath(QStringLiteral("import.txt"));
        for (const char* unit : units) {
            QByteArray bytes = "Quorbelix Checklist Export: 1.0\r\n";
            while (bytes.size() + qsizetype(std::strlen(unit)) <= (1 << 20)) bytes += unit;
            bytes += QByteArray((1 << 20) - bytes.size(), ' ');
            QFile f(file);
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
            f.close();
            std::vector<double> runs;
            for (int r = 0; r < 5; ++r) {
                qb::Checklist c;
                QElapsedTimer t;
                t.start();
                imp.import_checklist(c, file);
                runs.push_back(ms(t));
            }
            report(qPrintable(QStringLiteral("1 MiB import of \"%1\"...").arg(QString::fromLatin1(unit))), runs);
        }
        QFile::remove(file);
    }

    auto program = qb::Main(platform, dir.path(), [](qb::Shell& s) {
        qb::register_journal_windows(s);
        qb::register_checklists_windows(s);
    });
    if (!program) return std::fprintf(stderr, "start-up refused\n"), 1;
    qb::Shell& s = *program->shell;
    QApplication::setActiveWindow(s.mdi());

    QElapsedTimer t;
    t.start();
    s.command()->Image_action_Click(qb::button_checklists);
    const double open_ms = ms(t);
    auto* list = s.window_as<qb::ShowChecklists>(QStringLiteral("ShowChecklists"));
    s.command()->Image_action_Click(qb::button_summary);
    t.restart();
    s.command()->Image_action_Click(qb::button_checklists);
    const double reopen_ms = ms(t);
    list->Title_textbox[0]->setFocus();

    std::vector<double> fills, steps;
    int guard = 0;
    while (list->VScroll1->value() < list->VScroll1->maximum() && ++guard < 10 * count) {
        const int32_t first = list->first_shown_index;
        t.restart();
        key(QApplication::focusWidget(), Qt::Key_PageDown);
        const double step = ms(t);
        steps.push_back(step);
        if (list->first_shown_index != first) fills.push_back(step);
    }
    std::printf("list of %d checklists: window created and opened %.2f ms, opened again %.2f ms; at the end: highlight "
                "%d, last row shows \"%s\"\n",
                count, open_ms, reopen_ms, int(list->VScroll1->value()),
                qPrintable(list->Title_textbox[size_t(list->last_shown_row)]->text()));
    report("PageDown steps that refill rows", fills);
    report("all PageDown steps", steps);

    // The editor on a checklist of 30 items of 1000 characters.
    qb::Core& c = *program->core;
    qb::Checklist& big = c.Checklists[0];
    for (int j = 0; j < qb::kItemsPerChecklist; ++j) big.Item[size_t(j)] = long_item(j);
    big.TotalItems = qb::kItemsPerChecklist;
    list->Title_textbox[0]->setFocus();
    qb::AddChecklist* editor = nullptr;
    std::vector<double> opens, layouts, measures;
    double first_open = 0;
    auto open_editor_on = [&](int index) {
        s.command()->Image_action_Click(qb::button_checklists);
        c.current_checklist = c.Checklists[index];
        c.current_checklist_index = int16_t(index);
        t.restart();
        s.command()->Edit_entry();
        return ms(t);
    };
    for (int round = 0; round < 11; ++round) {
        // Another checklist in between, so every timed opening refills all 30 boxes.
        open_editor_on(1);
        const double opened = open_editor_on(0);
        if (round == 0) first_open = opened; else opens.push_back(opened);
        editor = s.window_as<qb::AddChecklist>(QStringLiteral("AddChecklist"));
        editor->line_count.fill(0);
        t.restart();
        editor->update_checklist_display();
        layouts.push_back(ms(t));
        t.restart();
        int lines = 0;
        for (int j = 0; j < qb::kItemsPerChecklist; ++j) lines += editor->measure_lines(editor->Text1[size_t(j)]->toPlainText());
        measures.push_back(ms(t));
        if (lines <= 0) return 1;
    }
    std::printf("editor window created and first opened on the long checklist: %.2f ms\n", first_open);
    std::printf("editor: first row measured at %d lines, %d rows in view\n", int(editor->line_count[0]),
                editor->last_shown_item - editor->first_shown_item + 1);
    report("editor opened again (fill + layout)", opens);
    report("rows in view measured and laid out", layouts);
    report("all 30 items measured", measures);
    return 0;
}
