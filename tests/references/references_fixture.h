#pragma once
// The real shell with the journal's and the reference editors' windows on a fresh
// program folder, driven through the command bar, the toolbar and the editors' controls.
#include "core/text_helpers.h"
#include "journal/title.h"
#include "references/references_windows.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/screens_shell.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace qb::test {

struct ReferencesFixture : ScreensShell {
    // program_subfolder: run in a folder below the temporary one (for long paths).
    explicit ReferencesFixture(const QString& program_subfolder = {})
        : ScreensShell([](Shell& s) {
              register_journal_windows(s);
              register_references_windows(s);
          }) {
        if (!program_subfolder.isEmpty()) {
            QDir().mkpath(fx.path(program_subfolder));
            fx.core = std::make_unique<Core>(fx.path(program_subfolder), fx.platform());
        }
        fx.start();
        open_shell();
    }
    template <typename T> T* window(const char* name) { return shell->window_as<T>(QString::fromLatin1(name)); }
    void save() { mdi->toolbar_button(6)->trigger(); }
    void cancel() { mdi->toolbar_button(5)->trigger(); }
    static void type(QWidget* box, const QString& text) {
        box->setFocus();
        QTest::keyClicks(box, text);
    }
    // A stored entry opened from the list, as a double-click does.
    void open_entry(int32_t index) {
        shell->command()->Image_action_Click(button_summary);
        Core& c = core();
        c.current_entry.index = index;
        c.current_entry.entry = c.SummaryData[index];
        c.current_entry.mode = mode_edit;
        c.entry_highlighted = true;
        shell->command()->Edit_entry();
    }
    // The index of the last entry in use, -1 when there is none.
    int32_t last_live_entry() {
        int32_t index = -1;
        for (int32_t i = 0; i <= core().maxSummarydata_index(); ++i)
            if (core().SummaryData[i].is_live()) index = i;
        return index;
    }
    int entries_records() const { return int(read_file(fx.path("entries.dat")).size() / kEntryRecordSize); }

};

} // namespace qb::test
