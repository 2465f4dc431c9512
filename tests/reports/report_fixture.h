#pragma once
// A program folder with entries saved through the core, and the shell with the report
// and printing windows in place.
#include "core/core.h"
#include "core/ole_date.h"
#include "reports/reports_windows.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"

#include <QApplication>
#include <memory>

namespace qb::test {

struct ItemDef {
    int16_t answer = 0;
    QString text{};
    QString comment{};
};
struct BlockDef {
    QString name{};
    bool completed = false;
    QList<ItemDef> items{};
};
struct EntryDef {
    QString security{};
    QString transaction = QStringLiteral("Buy");
    QDateTime date{QDate(2026, 1, 5), QTime(0, 0)};
    Currency price = 0;
    QString details{};      // saved as the long text when not empty
    char kind = 't';        // 't' transaction, 'w' web page, 'c' call notes, 'f' file
    QString reference{};    // web reference name, call topic or file path
    bool deleted = false;
    QList<BlockDef> blocks{};
};

struct ReportFixture {
    explicit ReportFixture(const QList<EntryDef>& entries = {}) {
        fx.start();
        for (const EntryDef& e : entries) add(e);
        fx.messages.boxes.clear();
        shell = std::make_unique<Shell>(*fx.core);
        register_reports_windows(*shell);
        shell->end_program = [] {};
        mdi = shell->mdi();
    }
    ~ReportFixture() { shell.reset(); }

    int add(const EntryDef& d) {
        Core& c = *fx.core;
        SummaryEntry* e = start_new_entry(c);
        e->security = d.security;
        e->transaction = d.transaction;
        e->entry_date = ole_from_datetime(d.date);
        e->price = d.price;
        if (!d.details.isEmpty()) {
            e->other.present = kTrue;
            e->other.text = d.details;
        }
        if (d.kind == 'w' || d.kind == 'c') {
            e->web.present = kTrue;
            e->web.reference_name = d.reference;
        }
        if (d.kind == 'f') {
            e->file.present = kTrue;
            e->file.path = d.reference;
        }
        for (int b = 0; b < d.blocks.size(); ++b) {
            EntryChecklist& k = e->checklist[size_t(b)];
            k.Inuse = kTrue;
            k.completed = d.blocks[b].completed ? kTrue : kFalse;
            k.name = d.blocks[b].name;
            k.last_item_index = int16_t(std::max<qsizetype>(0, d.blocks[b].items.size() - 1));
            for (int j = 0; j < d.blocks[b].items.size(); ++j) {
                k.Item[j].answer = d.blocks[b].items[j].answer;
                k.Item[j].text = d.blocks[b].items[j].text;
                k.Item[j].comment = d.blocks[b].items[j].comment;
            }
        }
        const int index = c.current_entry.index;
        c.save_entry();
        c.SummaryData[index] = c.current_entry.entry;
        if (d.deleted) c.SummaryData[index].deleted = kTrue;
        c.current_entry = c.blank_entry;
        return index;
    }

    Core& core() { return *fx.core; }
    CoreFixture fx;
    std::unique_ptr<Shell> shell;
    MDIMain* mdi = nullptr;
};

} // namespace qb::test

#include <QLineEdit>
#include <QPlainTextEdit>

namespace qb::test {

// An editor screen made of named boxes only, for the layouts that read an editor by its
// controls' names: line edits for `fields`, text boxes for `texts`.
inline QWidget* make_named_editor(QWidget* parent, const QString& name, const QStringList& fields,
                                  const QStringList& texts) {
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    w->resize(600, 400);
    int y = 4;
    for (const QString& f : fields) {
        auto* e = new QLineEdit(w);
        e->setObjectName(f);
        e->setGeometry(4, y, 300, 22);
        y += 26;
    }
    for (const QString& t : texts) {
        auto* e = new QPlainTextEdit(w);
        e->setObjectName(t);
        e->setGeometry(4, y, 500, 60);
        y += 64;
    }
    return w;
}

inline void set_control_text(QWidget* editor, const QString& name, const QString& text) {
    QWidget* w = editor->findChild<QWidget*>(name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(text);
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->setPlainText(text);
}

inline void set_control_color(QWidget* editor, const QString& name, const QColor& color) {
    QWidget* w = editor->findChild<QWidget*>(name);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Text, color);
    w->setPalette(pal);
}

// Lines of the printed text that hold `marker`, trimmed, page by page.
inline QList<QStringList> printed_lines(const QString& pdf, const QString& marker) {
    QList<QStringList> pages;
    const int n = pdf_pages(pdf);
    for (int p = 1; p <= n; ++p) {
        QStringList found;
        for (const QString& l : pdf_text(pdf, p).split(u'\n'))
            if (l.contains(marker)) found << l.trimmed();
        pages << found;
    }
    return pages;
}

} // namespace qb::test
