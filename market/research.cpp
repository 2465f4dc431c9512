#include "market/research.h"

#include "core/core.h"
#include "market/research_get_button.h"
#include "platform/window_helpers.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace qb {
namespace {

QRect twips_rect(int left, int top, int width, int height) {
    return QRect(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
}

void paint(QLineEdit* box, QPalette::ColorRole role, uint32_t ole) {
    QPalette p = box->palette();
    p.setColor(role, color_from_ole(ole));
    box->setPalette(p);
}

// Design geometry in twips.
constexpr int kRowTop = 1200;
constexpr int kRowPitch = 720;
constexpr int kWindowWidth = 9900;
constexpr int kWindowHeight = 6780;

} // namespace

Research::Research(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Research"));
    setWindowTitle(QStringLiteral("Internet Research"));
    build_controls();
    setFixedSize(twips_to_px(kWindowWidth), twips_to_px(kWindowHeight));
}

void Research::build_controls() {
    Instruct_label = new QLabel(this);
    Instruct_label->setObjectName(QStringLiteral("Instruct_label"));
    Instruct_label->setWordWrap(true);
    Instruct_label->setGeometry(twips_rect(240, 120, 9240, 735));
    Line4 = new QFrame(this);
    Line4->setObjectName(QStringLiteral("Line4"));
    Line4->setFrameShape(QFrame::HLine);
    Line4->setGeometry(twips_rect(240, 960, 9240, 30));

    QFont bold = font();
    bold.setBold(true);
    for (int r = 0; r < kRows; ++r) {
        const int top = kRowTop + r * kRowPitch;
        auto* go = new QPushButton(this);
        go->setObjectName(QStringLiteral("Go_Button_%1").arg(r));
        go->setToolTip(QStringLiteral("Click to visit this site"));
        go->setGeometry(twips_rect(240, top, 2415, 375));
        auto* url = new QLineEdit(this);
        url->setObjectName(QStringLiteral("Web_url_%1").arg(r));
        url->setGeometry(twips_rect(2760, top, 6375, 330));
        url->setFont(bold);
        auto* details = new QLineEdit(this);
        details->setObjectName(QStringLiteral("Web_details_%1").arg(r));
        details->setToolTip(QStringLiteral("Describe the contents of this web site"));
        details->setGeometry(twips_rect(2760, top + 330, 6375, 300));
        Go_Button[size_t(r)] = go;
        Web_url[size_t(r)] = url;
        Web_details[size_t(r)] = details;
        for (QWidget* w : {static_cast<QWidget*>(go), static_cast<QWidget*>(url), static_cast<QWidget*>(details)})
            w->setProperty("Tag", QStringLiteral("0"));
        url->installEventFilter(this);
        details->installEventFilter(this);
        connect(go, &QPushButton::clicked, this, [this, r] { Go_Button_Click(r); });
        connect(url, &QLineEdit::textChanged, this, [this, r] { Web_url_Change(r); });
        connect(details, &QLineEdit::textChanged, this, [this, r] { Web_details_Change(r); });
    }

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twips_rect(9240, kRowTop, 255, kRows * kRowPitch - 90));
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });

    auto button = [this](const char* name, const QString& caption, const QString& tip, int left) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setGeometry(twips_rect(left, 5640, 2175, 495));
        return b;
    };
    New_Button = button("New_Button", QStringLiteral("Add New Favorite"), QStringLiteral("Add a new favorite"), 240);
    Edit_Button = button("Edit_Button", QStringLiteral("Edit Button Name"),
                         QStringLiteral("Change the button name of the highlighted favorite"), 2580);
    Delete_Button = button("Delete_Button", QStringLiteral("Delete Highlighted"),
                           QStringLiteral("The Highlighted favorite will be deleted if pressed."), 4920);
    Close = button("Close", QStringLiteral("Close"), QStringLiteral("Click to Close. Any Changes will be saved."), 7260);
    connect(New_Button, &QPushButton::clicked, this, [this] { New_Button_Click(); });
    connect(Edit_Button, &QPushButton::clicked, this, [this] { Edit_Button_Click(); });
    connect(Delete_Button, &QPushButton::clicked, this, [this] { Delete_Button_Click(); });
    connect(Close, &QPushButton::clicked, this, [] { shell().unload(QStringLiteral("Research")); });
}

void Research::Form_Load() {
    Instruct_label->setText(
        QStringLiteral("The Internet is a great source of information. Included are some sites that are especially "
                       "useful. ") +
        QStringLiteral("Click on the button next to the web address, and a new browser window will be opened to that "
                       "site. ") +
        QStringLiteral("You can ADD an unlimited number of your favorite sites here."));
    for (int r = 0; r < kRows; ++r) {
        paint(Web_details[size_t(r)], QPalette::Text, 0);
        paint(Web_url[size_t(r)], QPalette::Text, kUrlBlue);
    }
    load_custom_links();
    VScroll1->blockSignals(true);
    VScroll1->setMinimum(0);
    VScroll1->setMaximum(std::max<int>(0, upper_bound()));
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(3);
    VScroll1->setValue(0);
    VScroll1->blockSignals(false);

    // The wheel over the window or a description steps the list by one link.
    wheel_ = new WheelFilter(this, [this](int step) { wheel_move_slider(VScroll1, step, VScroll1->maximum()); });
    installEventFilter(wheel_);
    VScroll1->installEventFilter(wheel_);  // the bar's own wheel step would be three links
    for (QLineEdit* d : Web_details) d->installEventFilter(wheel_);

    display_from(0);
    links_changed = false;
}

void Research::Form_Unload() {
    if (links_changed) {
        store_custom_links();
        core().save_preferences();
    }
    QWidget* list = shell().loaded_window(QStringLiteral("Title"));
    if (list && list->isVisible())
        if (EntryListScreen* title = shell().title()) title->last_known_focus();
}

int Research::row_tag(const QWidget* box) const { return int(box->property("Tag").toString().trimmed().toInt()); }

void Research::update_links_display(int16_t& start) {
    // Hiding a focused row hands the focus on from box to box; none of that is the user
    // choosing a row, and the callers set the focus they want afterwards.
    filling_ = true;
    for (int r = 0; r < kRows; ++r) {
        Go_Button[size_t(r)]->hide();
        Web_url[size_t(r)]->hide();
        Web_details[size_t(r)]->hide();
    }
    VScroll1->setMaximum(std::max<int>(0, upper_bound()));
    if (start > upper_bound()) start = upper_bound();
    if (start < 0) start = 0;
    int k = start;
    for (int r = 0; r < kRows; ++r) {
        while (k < links.size() && links[k].empty) ++k;
        if (k >= links.size()) break;
        const QString tag = QString::number(k);
        QPushButton* go = Go_Button[size_t(r)];
        QLineEdit* url = Web_url[size_t(r)];
        QLineEdit* details = Web_details[size_t(r)];
        // Filled while hidden, so the change handlers take it for a display, not an edit.
        for (QWidget* w : {static_cast<QWidget*>(go), static_cast<QWidget*>(url), static_cast<QWidget*>(details)})
            w->setProperty("Tag", tag);
        go->setText(links[k].button);
        url->setText(links[k].link);
        url->setCursorPosition(0);
        details->setText(links[k].desc);
        details->setCursorPosition(0);
        go->show();
        url->show();
        details->show();
        ++k;
    }
    filling_ = false;
    if (QWidget* f = focusWidget(); f && row_of(f) >= 0) f->clearFocus();
}

int Research::row_of(const QWidget* w) const {
    for (int r = 0; r < kRows; ++r)
        if (w == Web_url[size_t(r)] || w == Web_details[size_t(r)]) return r;
    return -1;
}

void Research::ask_button_name(const QString& start) {
    GetButton dialog(this, *this);
    dialog.set_button_name(start);
    dialog.exec();
    // Back to this window, so the focus calls after the question land.
    activateWindow();
}

void Research::focus_row_or_first(int16_t row) {
    if (row >= 0 && row < kRows && Web_url[size_t(row)]->isVisible())
        Web_url[size_t(row)]->setFocus();
    else if (Web_url[0]->isVisible())
        Web_url[0]->setFocus();
}

void Research::focus_last_shown_address() {
    for (int r = kRows - 1; r >= 0; --r)
        if (Web_url[size_t(r)]->isVisible()) {
            Web_url[size_t(r)]->setFocus();
            return;
        }
}

void Research::VScroll1_Change() {
    if (!isVisible()) return;
    int16_t start = int16_t(VScroll1->value());
    if (start < 0 || start > upper_bound()) {
        start = 0;
        VScroll1->setValue(0);
    }
    display_from(start);
    focus_row_or_first(focused_link_row);
}

void Research::handle_page_keys(int key_code) {
    if (key_code == Qt::Key_PageUp) {
        int16_t i = int16_t(std::max(0, focused_link_index - 3));
        VScroll1->setValue(i);
        i = int16_t(std::clamp<int>(focused_link_index, 0, std::max<int>(0, upper_bound())));
        update_links_display(i);
        focus_row_or_first(0);
    } else if (key_code == Qt::Key_PageDown) {
        int16_t i = int16_t(std::min<int>(focused_link_index + 3, upper_bound()));
        VScroll1->setValue(i);
        i = int16_t(std::clamp<int>(focused_link_index, 0, std::max<int>(0, upper_bound())));
        update_links_display(i);
        focus_row_or_first(focused_link_row);
    }
}

void Research::box_got_focus(QLineEdit* box, int row, bool is_url) {
    paint(box, QPalette::Base, kYellow);
    focused_link_index = int16_t(row_tag(box));
    focused_link_row = int16_t(row);
    if (is_url)
        box->setToolTip(QStringLiteral("This is the URL to: ") + Go_Button[size_t(row)]->text() +
                        QStringLiteral(". You can edit this URL any time. Double click to visit the site."));
}

void Research::Web_url_Change(int row) {
    QLineEdit* box = Web_url[size_t(row)];
    if (!box->isVisible()) return;
    links_changed = true;
    const int k = row_tag(box);
    if (in_array(k)) links[k].link = box->text().trimmed();
}

void Research::Web_details_Change(int row) {
    QLineEdit* box = Web_details[size_t(row)];
    if (!box->isVisible()) return;
    links_changed = true;
    const int k = row_tag(box);
    if (in_array(k)) links[k].desc = box->text().trimmed();
}

void Research::closeEvent(QCloseEvent* event) {
    event->accept();
    shell().unload(QStringLiteral("Research"));
}

bool Research::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box) return QWidget::eventFilter(watched, event);
    int row = -1;
    bool is_url = false;
    for (int r = 0; r < kRows; ++r) {
        if (box == Web_url[size_t(r)]) row = r, is_url = true;
        else if (box == Web_details[size_t(r)]) row = r;
    }
    if (row < 0) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!filling_) box_got_focus(box, row, is_url);
        break;
    case QEvent::FocusOut: paint(box, QPalette::Base, kWhite); break;
    case QEvent::KeyRelease: handle_page_keys(static_cast<QKeyEvent*>(event)->key()); break;
    case QEvent::MouseButtonDblClick:
        if (is_url) {
            Go_Button_Click(row);
            return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qb
