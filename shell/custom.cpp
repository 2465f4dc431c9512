#include "shell/custom.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/text_colors.h"
#include "platform/window_helpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace qb {
namespace {

struct ColorChoice {
    const char* name;
    uint32_t value;
    const char* sample;
};
// Indexed by text_color.
const ColorChoice kColors[6] = {
    {"Blue", 0xC00000, "Blue. Roses are red, violets are?"},
    {"Black", 0x80000012, "Black. A very common text color."},
    {"Red", 0xFF, "Red. Mars is this color."},
    {"Green", 0xC000, "Green. The color of money!"},
    {"Purple", 0xC000C0, "Purple. A friendly color."},
    {"Orange", 0x80FF, "Orange. A very good fruit."},
};

const QStringList& reserved_types() {
    static const QStringList names{"buy",      "sell", "hold", "thinking",  "short",
                                   "cover short", "web page", "file", "call notes"};
    return names;
}

constexpr int kMaxTypeLength = 25;

void set_base(QWidget* box, uint32_t ole) {
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, color_from_ole(ole));
    box->setPalette(pal);
}

} // namespace

Custom::Custom(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Custom"));
    setWindowTitle(QStringLiteral("Customize Transactions and Color"));
    auto* grid = new QGridLayout(this);
    auto* types_label = new QLabel(QStringLiteral("Create New Transaction Types:"), this);
    types_label->setObjectName(QStringLiteral("Label1"));
    grid->addWidget(types_label, 0, 0, 1, 2);
    trans_text = new QPlainTextEdit(this);
    trans_text->setObjectName(QStringLiteral("trans_text"));
    trans_text->setFixedHeight(trans_text->fontMetrics().lineSpacing() * 2 + 14);
    trans_text->installEventFilter(this);
    grid->addWidget(trans_text, 1, 0, 1, 2);
    auto* hint = new QLabel(
        QStringLiteral("Use a comma to seperate each transaction. For example: new-trans1, new-trans2"), this);
    hint->setObjectName(QStringLiteral("Label2"));
    grid->addWidget(hint, 2, 0, 1, 2);
    auto* color_label = new QLabel(QStringLiteral("Select Your Primary Text Color:"), this);
    color_label->setObjectName(QStringLiteral("Color_label"));
    grid->addWidget(color_label, 3, 0, 1, 2);
    for (int i = 0; i < 6; ++i) {
        Check1[size_t(i)] = new QCheckBox(this);
        Check1[size_t(i)]->setObjectName(QStringLiteral("Check1_%1").arg(i));
        Example[size_t(i)] = new QLineEdit(this);
        Example[size_t(i)]->setObjectName(QStringLiteral("Example_%1").arg(i));
        Example[size_t(i)]->setReadOnly(true);
        grid->addWidget(Check1[size_t(i)], 4 + i, 0);
        grid->addWidget(Example[size_t(i)], 4 + i, 1);
        connect(Check1[size_t(i)], &QCheckBox::toggled, this, [this, i] { Check1_Click(i); });
    }
    activate_button = new QPushButton(QStringLiteral("Activate Changes"), this);
    activate_button->setObjectName(QStringLiteral("activate_button"));
    activate_button->setToolTip(QStringLiteral("Save Changes and Close this window."));
    Close = new QPushButton(QStringLiteral("Cancel"), this);
    Close->setObjectName(QStringLiteral("Close"));
    Close->setToolTip(QStringLiteral("Abort changes, and close this window."));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(activate_button);
    buttons->addWidget(Close);
    grid->addLayout(buttons, 10, 0, 1, 2);
    connect(activate_button, &QPushButton::clicked, this, &Custom::activate_button_Click);
    connect(Close, &QPushButton::clicked, this, &Custom::Close_Click);
}

void Custom::form_load() {
    const Core& c = core();
    QPalette pal = trans_text->palette();
    pal.setColor(QPalette::Text, color_from_ole(c.textcolor_value));
    trans_text->setPalette(pal);
    QString types;
    for (const QString& t : c.trans_type) types += t + u',';
    trans_text->setPlainText(types);
    for (int i = 0; i < 6; ++i) {
        QLineEdit* e = Example[size_t(i)];
        e->setText(QString::fromLatin1(kColors[i].sample));
        QPalette ep = e->palette();
        ep.setColor(QPalette::Text, color_from_ole(kColors[i].value));
        e->setPalette(ep);
        QFont f = e->font();
        f.setBold(true);
        e->setFont(f);
    }
    const QString stored = c.textcolor.toUpper();
    for (int i = 0; i < 6; ++i) {
        if (stored == QString::fromLatin1(kColors[i].name).toUpper()) {
            Check1[size_t(i)]->setChecked(true);
            break;
        }
    }
}

void Custom::Check1_Click(int Index) {
    if (!Check1[size_t(Index)]->isChecked()) return;
    selected_color = int16_t(Index);
    for (int i = 0; i < 6; ++i)
        if (i != Index) Check1[size_t(i)]->setChecked(false);
}

bool Custom::eventFilter(QObject* watched, QEvent* event) {
    if (watched == trans_text) {
        if (event->type() == QEvent::FocusIn) set_base(trans_text, 0xFFFF);
        if (event->type() == QEvent::FocusOut) set_base(trans_text, 0xFFFFFF);
    }
    return QWidget::eventFilter(watched, event);
}

void Custom::validate_and_set_trans(bool& ok) {
    Core& c = core();
    ok = false;
    QString text = trim_blanks(trans_text->toPlainText());
    text.replace(QStringLiteral("\r\n"), QStringLiteral(","));
    text.replace(u'\n', u',');
    trans_text->setPlainText(text);

    // The new list is built apart and replaces the old one only when all of it is valid.
    QStringList pieces;
    if (!c.string_to_collection(text, pieces)) {
        c.show_message(msg_error, QStringLiteral("Unable to read the transaction types. Transactions NOT updated."));
        return;
    }
    bool reserved = false, too_long = false, tag_chars = false;
    for (const QString& p : std::as_const(pieces)) {
        if (reserved_types().contains(p.toLower())) reserved = true;
        if (p.size() > kMaxTypeLength) too_long = true;
        // pref.dat is tagged text: a "<" or ">" in a value would break the file.
        if (p.contains(u'<') || p.contains(u'>')) tag_chars = true;
    }
    if (reserved)
        c.show_message(msg_error, QStringLiteral("The transactions, buy, sell, hold, thinking, short, cover short, web "
                                                 "page, file, call notes, already exist. You can not add them again. "
                                                 "Transactions NOT updated."));
    if (too_long)
        c.show_message(msg_error, QStringLiteral("The Maximum length of one transaction type is 25 characters. Please "
                                                 "correct and press Activate again."));
    if (tag_chars)
        c.show_message(msg_error, QStringLiteral("A transaction type can not hold the characters < or >. Please "
                                                 "correct and press Activate again."));
    if (reserved || too_long || tag_chars) return;

    const QStringList old_types = c.trans_type;
    c.trans_type = pieces;
    if (!c.save_preferences()) {
        // Kept in memory only, the list would differ from pref.dat without the user knowing.
        c.trans_type = old_types;
        return;
    }
    if (Shell::current()->is_form_loaded(QStringLiteral("AddEntry")))
        if (TransactionEditorScreen* editor = shell().add_entry()) editor->update_transaction_types();
    ok = true;
}

void Custom::activate_button_Click() {
    Core& c = core();
    bool ok = false;
    validate_and_set_trans(ok);
    if (!ok) return;
    if (selected_color >= 0 && selected_color < 6) {
        c.textcolor = QString::fromLatin1(kColors[selected_color].name);
        c.textcolor_value = kColors[selected_color].value;
    }
    c.save_preferences();
    Shell& s = shell();
    for (const char* name :
         {"Title", "AddChecklist", "AddEntry", "SaveCallNotes", "SaveFileReference", "SaveWebPage", "ShowChecklists"}) {
        const QString n = QString::fromLatin1(name);
        if (!s.is_form_loaded(n)) continue;
        if (Screen* screen = s.screen(n)) screen->update_foreground_color();
    }
    Close_Click();
}

void Custom::Close_Click() {
    hide();
    shell().unload(QStringLiteral("Custom"));
}

void Custom::closeEvent(QCloseEvent* event) {
    event->accept();
    shell().unload(QStringLiteral("Custom"));
}

void Custom::form_unload() {
    Shell& s = shell();
    QWidget* title = s.loaded_window(QStringLiteral("Title"));
    if (title && title->isVisible())
        if (EntryListScreen* list = s.title()) list->last_known_focus();
}

} // namespace qb
