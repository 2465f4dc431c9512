#pragma once
// The real shell with the journal's windows on a fresh program folder, for driving the
// transaction editor through the command bar, the toolbar and the editor's own controls.
#include "journal/addentry.h"
#include "journal/title.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace qb::test {

struct ChecklistDef {
    QString name;
    QStringList items;
};

struct EditorFixture {
    // Checklists that score new entries replace the example checklist when given.
    explicit EditorFixture(const QList<ChecklistDef>& lists = {}) {
        fx.start();
        if (!lists.isEmpty()) set_checklists(lists);
        open_shell();
    }
    ~EditorFixture() { shell.reset(); }

    void set_checklists(const QList<ChecklistDef>& lists) {
        Core& c = *fx.core;
        c.Checklists.clear();
        for (const ChecklistDef& s : lists) {
            Checklist cl = c.blank_checklist;
            cl.Inuse = kTrue;
            cl.ShowIt = 1;
            cl.Name = s.name;
            for (int j = 0; j < s.items.size() && j < kItemsPerChecklist; ++j) cl.Item[size_t(j)] = s.items[j];
            c.Checklists.append(cl);
        }
    }
    void open_shell() {
        shell = std::make_unique<Shell>(*fx.core);
        register_journal_windows(*shell);
        shell->end_program = [] {};
        mdi = shell->mdi();
        mdi->show();
        QApplication::setActiveWindow(mdi);
        shell->command()->show();
        fx.messages.boxes.clear();  // the start-up's own notices
    }
    // Ends this run and starts on the same folder as after a restart.
    void restart() {
        shell.reset();
        fx.restart();
        open_shell();
    }

    Core& core() { return *fx.core; }
    AddEntry* editor() { return shell->window_as<AddEntry>(QStringLiteral("AddEntry")); }
    Title* title() { return shell->window_as<Title>(QStringLiteral("Title")); }
    void press(int button) { QTest::mouseClick(shell->command()->Image_action(button), Qt::LeftButton); }
    void save() { mdi->toolbar_button(6)->trigger(); }
    void type(QWidget* box, const QString& text) {
        box->setFocus();
        QTest::keyClicks(box, text);
    }
    // Opens a new buy and types a valid entry.
    void type_valid_buy(const QString& name = QStringLiteral("Acme Corp")) {
        press(button_buy);
        AddEntry* e = editor();
        type(e->security_name_textbox, name);
        type(e->symbol_textbox, QStringLiteral("ACME"));
        type(e->security_price_textbox, QStringLiteral("12.5"));
    }
    int entries_records() const { return int(read_file(fx.path("entries.dat")).size() / kEntryRecordSize); }
    int log_count(const QString& text) const {
        return int(QString::fromUtf8(read_file(fx.path("logs.txt"))).count(text));
    }

    CoreFixture fx;
    std::unique_ptr<Shell> shell;
    MDIMain* mdi = nullptr;
};

} // namespace qb::test
