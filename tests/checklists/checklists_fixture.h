#pragma once
// The real shell with the checklist windows on a fresh program folder, for driving the
// checklist list and editor through the command bar, the toolbar and their own controls.
#include "checklists/addchecklist.h"
#include "checklists/checklists_windows.h"
#include "checklists/showchecklists.h"
#include "core/ole_date.h"
#include "core/record_io.h"
#include "journal/title.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/screens_shell.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace qb::test {

struct ListDef {
    QString name;
    int16_t show_it = 0;
    QStringList items{QStringLiteral("Is it cheap?")};
    QString author = QStringLiteral("Author");
};

// One chklist.dat record as read back from the file.
struct StoredChecklist {
    int16_t show_it = 0, inuse = 0, deleted = 0, version = 0, total_items = 0;
    QString name, author;
    double date = 0;
    QStringList items;
};

struct ChecklistsFixture : ScreensShell {
    // The given checklists replace the example one and are written to chklist.dat.
    explicit ChecklistsFixture(const QList<ListDef>& lists = {})
        : ScreensShell([](Shell& s) {
              register_journal_windows(s);
              register_checklists_windows(s);
          }) {
        fx.start();
        if (!lists.isEmpty()) set_checklists(lists);
        open_shell();
    }

    void set_checklists(const QList<ListDef>& lists, bool write = true) {
        Core& c = *fx.core;
        c.Checklists.clear();
        for (const ListDef& d : lists) {
            Checklist cl = c.blank_checklist;
            cl.Inuse = kTrue;
            cl.Version = 1;
            cl.ShowIt = d.show_it;
            cl.Name = d.name;
            cl.Author = d.author;
            for (int j = 0; j < d.items.size() && j < kItemsPerChecklist; ++j) cl.Item[size_t(j)] = d.items[j];
            cl.TotalItems = int16_t(d.items.size());
            c.Checklists.append(cl);
        }
        if (write) QVERIFY(c.save_checklist());
        c.current_checklist = c.Checklists.value(0);
        c.current_checklist_index = 0;
    }
    static QList<ListDef> numbered(int n, int marked = 1) {
        QList<ListDef> lists;
        for (int i = 0; i < n; ++i)
            lists << ListDef{QStringLiteral("List %1").arg(i, 3, 10, QChar(u'0')), int16_t(i < marked ? 1 : 0)};
        return lists;
    }
    ShowChecklists* list() { return shell->window_as<ShowChecklists>(QStringLiteral("ShowChecklists")); }
    AddChecklist* editor() { return shell->window_as<AddChecklist>(QStringLiteral("AddChecklist")); }
    void toolbar(int index) { mdi->toolbar_button(index)->trigger(); }
    void save() { toolbar(6); }
    // Opens the list, as the Checklists button does.
    ShowChecklists* open_list() {
        press(button_checklists);
        return list();
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2)); }
    void focus(QWidget* w) {
        w->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), w);
    }
    void type(QWidget* box, const QString& text) {
        focus(box);
        QTest::keyClicks(box, text);
    }
    QStringList shown_titles() {
        QStringList out;
        for (QLineEdit* b : list()->Title_textbox)
            if (b->isVisible()) out << b->text();
        return out;
    }
    QStringList warnings() const { return fx.messages.box_texts(); }

    QByteArray file() const { return read_file(fx.path(QStringLiteral("chklist.dat"))); }
    int records() const { return int(file().size() / kChecklistRecordSize); }
    StoredChecklist stored(int record) const {
        const QByteArray all = file();
        StoredChecklist s;
        if ((record + 1) * kChecklistRecordSize > all.size()) return s;
        const QByteArray bytes = all.mid(record * kChecklistRecordSize, kChecklistRecordSize);
        RecordReader r(bytes);
        s.show_it = r.i16(4);
        s.inuse = r.i16(6);
        s.deleted = r.i16(8);
        s.version = r.i16(10);
        s.name = r.text(12, 100);
        s.author = r.text(112, 100);
        s.date = r.f64(412);
        s.total_items = r.i16(1620);
        for (int j = 0; j < kItemsPerChecklist; ++j) s.items << r.text(1622 + 1000 * j, 1000);
        return s;
    }
};

} // namespace qb::test
