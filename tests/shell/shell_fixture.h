#pragma once
// A started program on a temporary program folder, with every fake wired in.
#include "core/core.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "shell/startup.h"
#include "checklist_doubles.h"
#include "reference_editor_doubles.h"
#include "support/fakes.h"
#include "support/stand_in_screens.h"
#include "support/stand_in_windows.h"

#include <QAction>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace qb::test {

struct ShellFixture {
    ShellFixture() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    Platform platform() { return {&messages, &dialogs, &shell_opener, &clock, &screen, &http}; }
    QString path(const QString& name) const { return dir.path() + u'/' + name; }

    // Preferences for the next start; by default neither tips nor tour come up.
    void write_prefs(const QString& tips = "n", const QString& tour = "n", const QString& next_tip = "0") {
        write_file(path("pref.dat"), (make_tag("tiponstartup", tips) + make_tag("nexttipindex", next_tip) +
                                      make_tag("touronstartup", tour) + make_tag("textcolor", "Blue"))
                                         .toLatin1());
    }
    // A tour.txt of eleven slides, "Title<i>" and "Des<i>".
    void write_tour() {
        QString text;
        for (int i = 1; i <= 11; ++i)
            text += make_tag(QStringLiteral("Title%1").arg(i), QStringLiteral("Slide title %1").arg(i)) +
                    make_tag(QStringLiteral("Des%1").arg(i), QStringLiteral("What slide %1 shows.").arg(i));
        write_file(path("tour.txt"), text.toLatin1());
    }
    // A tips.txt with one section per context and `per_section` tips in each.
    void write_tips(int per_section = 4) {
        QString text = QStringLiteral("// tips of the test\r\n");
        int n = 0;
        for (const char* section : {"summary screen", "detailed screen", "stock idea", "checklists", "add checklist",
                                    "transactions", "web page", "file reference", "call notes", "tool bar information"}) {
            text += QStringLiteral("<Context>") + QString::fromLatin1(section) + QStringLiteral("\r\n");
            for (int i = 0; i < per_section; ++i) text += QStringLiteral("Tip %1 of %2\r\n").arg(n++).arg(section);
        }
        write_file(path("tips.txt"), text.toLatin1());
    }
    bool start() {
        // The shell's own tests run on doubles of every window the other folders bring.
        program = Main(platform(), dir.path(), [](Shell& s) {
            register_stand_in_screens(s);
            register_stand_in_windows(s);
            register_checklist_doubles(s);
            register_reference_editor_doubles(s);
        });
        startup_messages = messages.box_texts();
        messages.boxes.clear();
        if (!program) return false;
        program->shell->end_program = [this] { ++ended; };
        return true;
    }

    Core& c() { return *program->core; }
    Shell& s() { return *program->shell; }
    MDIMain* mdi() { return s().mdi(); }
    Command* bar() { return s().command(); }
    void click_button(int i) { QTest::mouseClick(bar()->Image_action(i), Qt::LeftButton); }
    void trigger(const QString& item) { mdi()->menu_item(item)->trigger(); }
    void toolbar(int index) { mdi()->toolbar_button(index)->trigger(); }
    template <typename T = StandInBase> T* stand_in(const QString& name) { return dynamic_cast<T*>(s().window(name)); }
    // The one screen window now shown in the client area, or "" when none is.
    QString visible_screen() {
        QStringList shown;
        for (const QString& n : Shell::screen_names())
            if (QWidget* w = s().loaded_window(n); w && w->isVisible()) shown << n;
        return shown.join(u',');
    }
    // Types into an editor's field, as the user would, so the editor holds a change.
    void type_into(const QString& screen_name, const QString& box) {
        auto* w = s().window(screen_name)->findChild<QWidget*>(box);
        QTest::keyClicks(w, "x");
    }
    // A live entry in the table; kind "t" transaction, "w" web page, "f" file, "c" call notes.
    int add_entry(const QString& security, char kind = 't') {
        SummaryEntry e;
        e.Inuse = kTrue;
        e.security = security;
        e.transaction = kind == 'c' ? "Call Notes" : kind == 't' ? "Buy" : kind == 'w' ? "Web Page" : "File";
        e.web.present = (kind == 'w' || kind == 'c') ? kTrue : 0;
        e.file.present = kind == 'f' ? kTrue : 0;
        c().SummaryData.append(e);
        return c().maxSummarydata_index();
    }
    void highlight_entry(int index) {
        c().current_entry.index = index;
        c().current_entry.entry = c().SummaryData[index];
        c().current_entry.mode = mode_edit;
        c().entry_highlighted = true;
    }

    QTemporaryDir dir;
    FakePresenter messages;
    FakeDialogs dialogs;
    FakeShell shell_opener;
    FakeClock clock;
    FakeScreen screen;
    FakeHttp http;
    std::unique_ptr<RunningProgram> program;
    int ended = 0;
    QStringList startup_messages;  // what the start-up said, cleared from `messages`
};

} // namespace qb::test
