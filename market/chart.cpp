#include "market/chart.h"

#include "core/core.h"
#include "core/date_text.h"
#include "core/market_fetch.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"
#include "shell/mdimain.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qb {
namespace {

constexpr uint32_t kYellow = 0xFFFF;
constexpr uint32_t kWhite = 0xFFFFFF;

void paint_base(QWidget* box, uint32_t ole) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, color_from_ole(ole));
    box->setPalette(p);
}

QLabel* caption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

} // namespace

const QStringList& Chart::period_names() {
    static const QStringList names{"7 Day", "14 Day", "1 Month", "3 Month", "6 Month", "1 Year", "2 Year", "5 Year"};
    return names;
}

const QStringList& Chart::built_in_choices() {
    static const QStringList names{"None", "Thinking",  "Buy",      "Sell",      "Hold",
                                   "Short", "Cover Short", "File", "Web Page", "Call Notes"};
    return names;
}

Chart::Chart(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Chart"));
    setWindowTitle(QStringLiteral("Quorbelix Chart Tool"));
    build_controls();
    resize(760, 560);
    print_form = [](QWidget* w) {
        if (shell().print_window) shell().print_window(w);
    };
}

void Chart::build_controls() {
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout();
    outer->addLayout(grid);

    Symbol = new QLineEdit(this);
    Symbol->setObjectName(QStringLiteral("Symbol"));
    Symbol->setToolTip(QStringLiteral("Type in a Stock Symbol"));
    period_combo = new QComboBox(this);
    period_combo->setObjectName(QStringLiteral("period_combo"));
    period_combo->setEditable(true);
    start_date = new QLineEdit(this);
    start_date->setObjectName(QStringLiteral("start_date"));
    start_date->setToolTip(QStringLiteral("The starting date of the Chart"));
    end_date = new QLineEdit(this);
    end_date->setObjectName(QStringLiteral("end_date"));
    end_date->setToolTip(QStringLiteral("The ending date of the Chart"));

    // The last grid column has nothing under it to widen it: keep a whole date readable.
    for (QLineEdit* box : {start_date, end_date})
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) + 16);

    grid->addWidget(caption(QStringLiteral("Stock Symbol"), this), 0, 0);
    grid->addWidget(Symbol, 0, 1);
    grid->addWidget(caption(QStringLiteral("Time Frame to Graph"), this), 0, 2);
    grid->addWidget(period_combo, 0, 3);
    grid->addWidget(caption(QStringLiteral("Start:"), this), 0, 4);
    grid->addWidget(start_date, 0, 5);
    grid->addWidget(caption(QStringLiteral("End:"), this), 0, 6);
    grid->addWidget(end_date, 0, 7);
    for (int k = 0; k < 3; ++k) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("trans_combo_%1").arg(k));
        box->setEditable(true);
        trans_combo[size_t(k)] = box;
        grid->addWidget(caption(QStringLiteral("Transaction %1:").arg(k + 1), this), 1, 2 * k);
        grid->addWidget(box, 1, 2 * k + 1);
    }

    auto* buttons = new QHBoxLayout();
    outer->addLayout(buttons);
    dave = new QPushButton(QStringLiteral("Re-Draw Chart"), this);
    dave->setObjectName(QStringLiteral("dave"));
    dave->setToolTip(QStringLiteral("Click to update the chart after changing the stock or timeframe."));
    print_label = new QLabel(QStringLiteral("Print Chart"), this);
    print_label->setObjectName(QStringLiteral("print_label"));
    print_label->setToolTip(QStringLiteral("Click to Print out this Chart"));
    print_label->setCursor(Qt::PointingHandCursor);
    Close = new QPushButton(QStringLiteral("Close"), this);
    Close->setObjectName(QStringLiteral("Close"));
    Close->setToolTip(QStringLiteral("Click to Close this Window"));
    buttons->addWidget(dave);
    buttons->addStretch();
    buttons->addWidget(print_label);
    buttons->addStretch();
    buttons->addWidget(Close);

    MSChart1 = new QChartView(this);
    MSChart1->setObjectName(QStringLiteral("MSChart1"));
    MSChart1->setRenderHint(QPainter::Antialiasing);
    outer->addWidget(MSChart1, 1);

    for (QWidget* w : {static_cast<QWidget*>(Symbol), static_cast<QWidget*>(start_date),
                       static_cast<QWidget*>(end_date), static_cast<QWidget*>(period_combo)})
        w->installEventFilter(this);
    period_combo->lineEdit()->installEventFilter(this);
    for (QComboBox* box : trans_combo) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
    print_label->installEventFilter(this);

    connect(dave, &QPushButton::clicked, this, [this] { dave_Click(); });
    connect(Close, &QPushButton::clicked, this, [this] { Close_Click(); });
    connect(period_combo, &QComboBox::activated, this, [this] { period_combo_Click(); });
    connect(Symbol, &QLineEdit::textChanged, this, [this] { set_chart_changed(); });
    connect(start_date, &QLineEdit::textChanged, this, [this] { set_chart_changed(); });
    connect(end_date, &QLineEdit::textChanged, this, [this] { set_chart_changed(); });
    for (QComboBox* box : trans_combo) {
        connect(box, &QComboBox::activated, this, [this] { trans_combo_Click(); });
        connect(box, &QComboBox::editTextChanged, this, [this] { set_chart_changed(); });
    }
}

void Chart::Form_Load() {
    Core& c = core();
    loaded_done = false;
    drawing = false;
    history.hist_data = QVector<HistData>(1);
    chart_changed = true;
    prefs_changed = false;

    MSChart1->hide();
    MSChart1->chart()->setTitle(QStringLiteral("Getting Data for Stock Price Chart"));

    Symbol->setText(c.current_entry.entry.symbol);
    period_combo->addItems(period_names());
    const QStringList choices = built_in_choices() + c.trans_type;
    for (QComboBox* box : trans_combo) box->addItems(choices);

    // A remembered text that is no longer in the list still shows, as typed.
    auto show_text = [](QComboBox* box, const QString& text) {
        const int i = box->findText(text);
        if (i >= 0) box->setCurrentIndex(i);
        box->setEditText(text);
    };
    show_text(period_combo, c.chartperiod);
    show_text(trans_combo[0], c.charttrans1);
    show_text(trans_combo[1], c.charttrans2);
    show_text(trans_combo[2], c.charttrans3);
    if (Symbol->isVisible()) Symbol->setFocus();
}

void Chart::after_loaded_do() {
    if (loaded_done) return;
    period_combo_Click();
    if (!Symbol->text().isEmpty()) dave_Click();
    loaded_done = true;
}

void Chart::period_combo_Click() {
    Core& c = core();
    chart_changed = true;
    const QDate today = c.platform().clock ? c.platform().clock->today() : QDate::currentDate();
    const QString period = period_combo->currentText();
    QDate start;
    if (period == u"14 Day") start = today.addDays(-14);
    else if (period == u"1 Month") start = today.addMonths(-1);
    else if (period == u"3 Month") start = today.addMonths(-3);
    else if (period == u"6 Month") start = today.addMonths(-6);
    else if (period == u"1 Year") start = today.addYears(-1);
    else if (period == u"2 Year") start = today.addYears(-2);
    else if (period == u"5 Year") start = today.addYears(-5);
    else start = today.addDays(-7);
    start_date->setText(short_date_text(start));
    end_date->setText(short_date_text(today));
    if (period != c.chartperiod) {
        c.chartperiod = period;
        prefs_changed = true;
    }
}

void Chart::trans_combo_Click() {
    Core& c = core();
    chart_changed = true;
    QString* prefs[3] = {&c.charttrans1, &c.charttrans2, &c.charttrans3};
    for (int k = 0; k < 3; ++k) {
        const QString text = trans_combo[size_t(k)]->currentText();
        if (text != *prefs[k]) {
            *prefs[k] = text;
            prefs_changed = true;
        }
    }
}

ChartInputs Chart::chart_inputs() const {
    ChartInputs in;
    in.symbol = Symbol->text();
    in.start = parse_date_text(start_date->text().trimmed());
    in.end = parse_date_text(end_date->text().trimmed());
    for (int k = 0; k < 3; ++k) in.trans[size_t(k)] = trans_combo[size_t(k)]->currentText();
    return in;
}

void Chart::dave_Click() {
    if (drawing) return;
    draw_request();
    drawing = false;
}

void Chart::draw_request() {
    Core& c = core();
    const ChartInputs in = chart_inputs();
    if (!in.start.isValid()) {
        c.show_message(msg_error, QStringLiteral("Please enter a valid starting date."));
        return;
    }
    if (!in.end.isValid()) {
        c.show_message(msg_error, QStringLiteral("Please enter a valid ending date."));
        return;
    }
    if (Symbol->text().trimmed().isEmpty()) {
        c.show_message(msg_error, QStringLiteral("Please type in a valid stock symbol."));
        return;
    }
    if (!chart_changed) return;
    if (in.end <= in.start) {
        c.show_message(msg_error, QStringLiteral("The Start Date must be before (earlier than) the End Date."));
        return;
    }
    drawing = true;
    const QString reply = get_hist_quote(Symbol->text(), in.start, in.end);
    if (reply.isEmpty()) {
        c.show_message(msg_error, QStringLiteral("Unable to get Stock Quotes to draw the Chart. Please make sure you "
                                                 "are connected to the Internet."));
        return;
    }
    bool ok = false;
    history.parse_quote_data(reply, Symbol->text().trimmed(), ok);
    // A reply without a single price line (an error page) and a first price of 0 (no
    // base for the percentage axis) cannot be charted: said so rather than keeping the
    // previous chart on screen as if it were this one.
    const int32_t n = history.hist_count;
    if (ok && (n == 0 || (n >= 2 && numeric_value(history.price_text(history.hist_data[n - 1])) == 0))) ok = false;
    if (!ok) {
        c.show_message(msg_error, QStringLiteral("Unable to Read Stock Quote Data to draw the Chart. Please make sure "
                                                 "you are connected to the Internet."));
        return;
    }
    MSChart1->show();
    generate_chart();
    chart_changed = false;
    if (Symbol->isVisible()) Symbol->setFocus();
}

void Chart::put_data_into_chart(bool& ok) {
    ok = qb::put_data_into_chart(history, chart_inputs(), core().SummaryData);
}

void Chart::Close_Click() { shell().unload(QStringLiteral("Chart")); }

void Chart::Form_Unload() {
    Core& c = core();
    if (prefs_changed) c.save_preferences();
    QWidget* list = shell().loaded_window(QStringLiteral("Title"));
    if (list && list->isVisible())
        if (EntryListScreen* title = shell().title()) title->last_known_focus();
}

void Chart::closeEvent(QCloseEvent* event) {
    event->accept();
    shell().unload(QStringLiteral("Chart"));
}

bool Chart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == print_label) {
        if (event->type() == QEvent::MouseButtonRelease && print_form) print_form(this);
        return QWidget::eventFilter(watched, event);
    }
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return QWidget::eventFilter(watched, event);
    // An editable combo box shows its colour in its line edit.
    QWidget* painted = w;
    if (auto* box = qobject_cast<QComboBox*>(w)) painted = box->lineEdit();
    if (event->type() == QEvent::FocusIn) paint_base(painted, kYellow);
    else if (event->type() == QEvent::FocusOut) paint_base(painted, kWhite);
    else if (event->type() == QEvent::KeyRelease && w == Symbol) {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && !Symbol->text().isEmpty()) dave_Click();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qb
