#pragma once
// Doubles of the three reference editors for tests of the shell and the entry list,
// which run without the reference entries' own windows: each keeps the screen contract,
// holds a security_name box, and asks the invalid-entry question for unsaved typing.
#include "core/codepage.h"
#include "core/core.h"
#include "shell/mdimain.h"
#include "shell/screen.h"
#include "shell/shell.h"

#include <QLineEdit>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>

namespace qb::test {

class ReferenceEditorDouble : public QWidget, public Screen {
public:
    ReferenceEditorDouble(QWidget* parent, const QString& name) : QWidget(parent) {
        setObjectName(name);
        auto* body = new QVBoxLayout(this);
        security_name = new QLineEdit(this);
        security_name->setObjectName(QStringLiteral("security_name"));
        body->addWidget(security_name);
        body->addStretch();
        QObject::connect(security_name, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
    }
    QWidget* widget() override { return this; }
    void save_data_and_continue(bool& continue_flag) override {
        calls << QStringLiteral("save_data_and_continue");
        continue_flag = true;
        if (!add_or_edit_ongoing) return;
        const int answer = core().ask_user(
            kStyleStop, QStringLiteral("Entry not Valid. Data NOT Saved. \r\nWould you like to Correct this data?"));
        if (answer == kAnswerYes)
            continue_flag = false;
        else
            add_or_edit_ongoing = false;
    }
    void clear_add_or_edit_ongoing() override {
        calls << QStringLiteral("clear_add_or_edit_ongoing");
        add_or_edit_ongoing = false;
    }
    void handle_resize() override {
        if (Shell* s = Shell::current(); s && s->is_form_loaded(QStringLiteral("MDIMain"))) setGeometry(s->mdi()->screen_area());
    }
    void fill_display(int16_t mode) override {
        calls << QStringLiteral("fill_display(%1)").arg(mode);
        security_name->setText(trim_blanks(core().current_entry.entry.security));
        add_or_edit_ongoing = false;
    }

    QStringList calls;
    bool add_or_edit_ongoing = false;
    QLineEdit* security_name = nullptr;
};

// Registers the doubles under the editors' names.
inline void register_reference_editor_doubles(Shell& s) {
    for (const char* name : {"SaveWebPage", "SaveFileReference", "SaveCallNotes"}) {
        const QString n = QString::fromLatin1(name);
        s.register_window(n, [&s, n]() -> QWidget* {
            auto* w = new ReferenceEditorDouble(s.mdi()->client_area(), n);
            w->hide();
            return w;
        });
    }
}

} // namespace qb::test
