#include "reports/report.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/date_text.h"
#include "platform/window_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qb {
namespace {

constexpr uint32_t kLightGrey = 0xC0C0C0;
constexpr uint32_t kBlack = 0;
constexpr uint32_t kYellow = 0xFFFF;
constexpr uint32_t kWhite = 0xFFFFFF;

template <typename T> T* named(T* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

void set_label_color(QLabel* label, uint32_t ole) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color_from_ole(ole));
    label->setPalette(pal);
}

void set_box_color(QWidget* box, QPalette::ColorRole role, uint32_t ole) {
    QPalette pal = box->palette();
    pal.setColor(role, color_from_ole(ole));
    box->setPalette(pal);
}

// A checked box switches its fields off and greys their labels.
void switch_fields(bool checked, std::initializer_list<QWidget*> fields, std::initializer_list<QLabel*> labels) {
    for (QWidget* f : fields) {
        f->setEnabled(!checked);
        if (auto* e = qobject_cast<QLineEdit*>(f)) e->setReadOnly(checked);
    }
    for (QLabel* l : labels) set_label_color(l, checked ? kLightGrey : kBlack);
}

} // namespace

Report::Report(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Report"));
    setWindowTitle(QStringLiteral("Quorbelix Report"));
    auto* grid = new QGridLayout(this);

    Instruct_label = named(new QLabel(this), "Instruct_label");
    grid->addWidget(Instruct_label, 0, 0, 1, 4);

    dates_instruct_label = named(new QLabel(this), "dates_instruct_label");
    all_dates_checkbox = named(new QCheckBox(QStringLiteral("All Dates"), this), "all_dates_checkbox");
    start_date_label = named(new QLabel(QStringLiteral("Start Date:"), this), "start_date_label");
    start_textbox = named(new QLineEdit(this), "start_textbox");
    end_date_label = named(new QLabel(QStringLiteral("End Date:"), this), "end_date_label");
    end_textbox = named(new QLineEdit(this), "end_textbox");
    grid->addWidget(dates_instruct_label, 1, 0, 1, 4);
    grid->addWidget(all_dates_checkbox, 2, 0);
    grid->addWidget(start_date_label, 3, 0);
    grid->addWidget(start_textbox, 3, 1);
    grid->addWidget(end_date_label, 3, 2);
    grid->addWidget(end_textbox, 3, 3);

    sec_instruct_label = named(new QLabel(this), "sec_instruct_label");
    all_securities_checkbox = named(new QCheckBox(QStringLiteral("All Securites "), this), "all_securities_checkbox");
    security_label = named(new QLabel(QStringLiteral("Security Name:"), this), "security_label");
    name_textbox = named(new QLineEdit(this), "name_textbox");
    grid->addWidget(sec_instruct_label, 4, 0, 1, 4);
    grid->addWidget(all_securities_checkbox, 5, 0);
    grid->addWidget(security_label, 6, 0);
    grid->addWidget(name_textbox, 6, 1, 1, 3);

    trans_instruct_label = named(new QLabel(this), "trans_instruct_label");
    all_trans_checkbox = named(new QCheckBox(QStringLiteral("All Transactions"), this), "all_trans_checkbox");
    trans_label = named(new QLabel(QStringLiteral("Transaction Name:"), this), "trans_label");
    trans_combo = named(new QComboBox(this), "trans_combo");
    trans_combo->setEditable(true);
    trans_combo->setInsertPolicy(QComboBox::NoInsert);
    trans_combo->setCompleter(nullptr);
    grid->addWidget(trans_instruct_label, 7, 0, 1, 4);
    grid->addWidget(all_trans_checkbox, 8, 0);
    grid->addWidget(trans_label, 9, 0);
    grid->addWidget(trans_combo, 9, 1, 1, 3);

    Do_report = named(new QPushButton(QStringLiteral("Create Report"), this), "Do_report");
    Do_report->setToolTip(QStringLiteral("Press to Create a Report based on the above data."));
    Close = named(new QPushButton(QStringLiteral("Close"), this), "Close");
    Close->setToolTip(QStringLiteral("Click to Close. Don't create a Report."));
    grid->addWidget(Do_report, 10, 1);
    grid->addWidget(Close, 10, 2);

    connect(all_dates_checkbox, &QCheckBox::clicked, this, &Report::all_dates_checkbox_Click);
    connect(all_securities_checkbox, &QCheckBox::clicked, this, &Report::all_securities_checkbox_Click);
    connect(all_trans_checkbox, &QCheckBox::clicked, this, &Report::all_trans_checkbox_Click);
    connect(Do_report, &QPushButton::clicked, this, &Report::Do_report_Click);
    connect(Close, &QPushButton::clicked, this, &Report::Close_Click);
    for (QWidget* w : {static_cast<QWidget*>(start_textbox), static_cast<QWidget*>(end_textbox),
                       static_cast<QWidget*>(name_textbox), static_cast<QWidget*>(trans_combo)})
        w->installEventFilter(this);
    if (QLineEdit* e = trans_combo->lineEdit()) e->installEventFilter(this);
}

void Report::Form_Load() {
    Core& c = core();
    for (QWidget* box : {static_cast<QWidget*>(trans_combo), static_cast<QWidget*>(name_textbox),
                         static_cast<QWidget*>(end_textbox), static_cast<QWidget*>(start_textbox)})
        set_box_color(box, QPalette::Text, c.textcolor_value);
    trans_combo->addItems({"Thinking", "Buy", "Sell", "Hold", "Short", "Cover Short"});
    trans_combo->addItems(c.trans_type);
    trans_combo->addItems({"File", "Web Page", "Call Notes"});
    trans_combo->setCurrentIndex(-1);
    trans_combo->setEditText(QString());
    Instruct_label->setText(QStringLiteral("Reports can be viewed with any Text processor (Word, NotePad, etc.).\r\n"
                                           "To share your data, simply generate a Report, and attach it to an email."));
    dates_instruct_label->setText(
        QStringLiteral("Click All Dates to include every date OR type in the Start and End date."));
    sec_instruct_label->setText(
        QStringLiteral("Click All Securties to include every security OR type in a specific security."));
    trans_instruct_label->setText(
        QStringLiteral("Click All Transactions to included every transaction OR select a specific transaction."));
}

void Report::all_dates_checkbox_Click() {
    switch_fields(all_dates_checkbox->isChecked(), {start_textbox, end_textbox}, {start_date_label, end_date_label});
}

void Report::all_securities_checkbox_Click() {
    switch_fields(all_securities_checkbox->isChecked(), {name_textbox}, {security_label});
}

void Report::all_trans_checkbox_Click() {
    switch_fields(all_trans_checkbox->isChecked(), {trans_combo}, {trans_label});
}

bool Report::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        QWidget* box = qobject_cast<QWidget*>(watched);
        if (box && box->parentWidget() == trans_combo) box = trans_combo;
        if (box) set_box_color(box, QPalette::Base, event->type() == QEvent::FocusIn ? kYellow : kWhite);
        if (box == trans_combo && trans_combo->lineEdit())
            set_box_color(trans_combo->lineEdit(), QPalette::Base, event->type() == QEvent::FocusIn ? kYellow : kWhite);
    }
    return QWidget::eventFilter(watched, event);
}

void Report::Do_report_Click() {
    Core& c = core();
    const bool all_dates = all_dates_checkbox->isChecked();
    const QDate start = parse_date_text(trim_blanks(start_textbox->text()));
    const QDate end = parse_date_text(trim_blanks(end_textbox->text()));
    QString problem;
    if (!all_dates && !start.isValid())
        problem = QStringLiteral("Please enter a valid Start Date or check All Dates.");
    else if (!all_dates && !end.isValid())
        problem = QStringLiteral("Please enter a valid End Date or check All Dates.");
    else if (!all_dates && end < start)
        problem = QStringLiteral("Start Date must be the same as or earlier than the End Date.");
    else if (!all_securities_checkbox->isChecked() && trim_blanks(name_textbox->text()).isEmpty())
        problem = QStringLiteral("Please include a Security Name, or check All Securities.");
    else if (!all_trans_checkbox->isChecked() && trim_blanks(trans_combo->currentText()).isEmpty())
        problem = QStringLiteral("Please select a Transaction, or check All Transactions.");
    if (!problem.isEmpty()) {
        c.show_message(msg_error, problem);
        return;
    }
    match_count = 0;
    if (!c.platform().dialogs) return;
    QString path = c.platform().dialogs->save_file_name(QStringLiteral("Quorbelix Save Report As"),
                                                        QStringLiteral("Text Files (*.txt);;All Files (*)"), QString());
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    generate_report(path);
}

void Report::Close_Click() { shell().unload(QStringLiteral("Report")); }

} // namespace qb
