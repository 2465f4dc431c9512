#include "shell/tips.h"

#include "core/core.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

namespace qb {
namespace {

constexpr int kLastSlot = kTipSlots - 1;

int clamp_slot(int slot) { return std::clamp(slot, 0, kLastSlot); }

// The tips store is filled by the core's loader; these are the only reads of it.
int last_loaded_tip() { return core().last_tip_index; }
int first_tip_of(int context) { return core().tip_context_start[size_t(context)]; }
QString context_text(int slot) { return core().tip_table[size_t(slot)].section; }
QString tip_text(int slot) { return core().tip_table[size_t(slot)].tip; }

} // namespace

Tips::Tips(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Tips"));
    setWindowTitle(QStringLiteral("Quorbelix Tips"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* grid = new QGridLayout(this);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(svg_picture(QStringLiteral("lightbulb"), QSize(48, 48)));
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    auto* heading = new QLabel(QStringLiteral("Tips"), this);
    heading->setObjectName(QStringLiteral("Label3"));
    QFont hf(QStringLiteral("Arial"));
    hf.setPointSize(16);
    hf.setBold(true);
    heading->setFont(hf);
    grid->addWidget(heading, 0, 1, 1, 3);
    auto* area = new QLabel(QStringLiteral("Area of Interest:"), this);
    area->setObjectName(QStringLiteral("Label1"));
    grid->addWidget(area, 1, 1);
    Context_textbox = new QLineEdit(this);
    Context_textbox->setObjectName(QStringLiteral("Context_textbox"));
    Context_textbox->setReadOnly(true);
    grid->addWidget(Context_textbox, 1, 2, 1, 2);
    auto* know = new QLabel(QStringLiteral("Did you Know:"), this);
    know->setObjectName(QStringLiteral("Label2"));
    grid->addWidget(know, 2, 1, 1, 3);
    tips_textbox = new QTextEdit(this);
    tips_textbox->setObjectName(QStringLiteral("tips_textbox"));
    tips_textbox->setReadOnly(true);
    grid->addWidget(tips_textbox, 3, 1, 1, 3);
    StartUpCheck = new QCheckBox(QStringLiteral("Show Tips at Startup"), this);
    StartUpCheck->setObjectName(QStringLiteral("StartUpCheck"));
    grid->addWidget(StartUpCheck, 4, 1);
    FirstTip = new QPushButton(QStringLiteral("First Tip"), this);
    FirstTip->setObjectName(QStringLiteral("FirstTip"));
    FirstTip->setToolTip(QStringLiteral("View all Tips, starting at the first one (Overview)"));
    NextTip = new QPushButton(QStringLiteral("Next Tip"), this);
    NextTip->setObjectName(QStringLiteral("NextTip"));
    NextTip->setToolTip(QStringLiteral("View the next Tip"));
    Close = new QPushButton(QStringLiteral("Close"), this);
    Close->setObjectName(QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FirstTip);
    buttons->addWidget(NextTip);
    buttons->addWidget(Close);
    grid->addLayout(buttons, 5, 1, 1, 3);
    resize(twips_to_px(7200), twips_to_px(4800));

    connect(FirstTip, &QPushButton::clicked, this, &Tips::FirstTip_Click);
    connect(NextTip, &QPushButton::clicked, this, &Tips::NextTip_Click);
    connect(Close, &QPushButton::clicked, this, &Tips::Close_Click);
    connect(StartUpCheck, &QCheckBox::toggled, this, &Tips::StartUpCheck_Click);
}

void Tips::form_load() {
    place_beside_frame(this);
    show_tip();
    if (Context_textbox->isVisible()) Context_textbox->setFocus();
}

void Tips::show_tip() {
    Core& c = core();
    // The index stays inside the table whatever set it.
    c.current_tip_index = clamp_slot(c.current_tip_index);
    Context_textbox->setText(context_text(c.current_tip_index));
    tips_textbox->setPlainText(tip_text(c.current_tip_index));
}

void Tips::update_Tips(int16_t context) {
    Core& c = core();
    if (context >= 0 && context < kTipContexts) {
        int slot = first_tip_of(context);
        // Back from the checklist editor to the list: the tips about returning to the list.
        if (context == button_checklists && c.current_screen == screen_checklist_editor) slot += 3;
        c.current_tip_index = clamp_slot(slot);
    } else {
        c.current_tip_index = 0;
    }
    show_tip();
    if (isVisible()) set_window_topmost(this);
}

void Tips::set_tip_to_currentTip() { show_tip(); }

void Tips::FirstTip_Click() {
    core().current_tip_index = 0;
    show_tip();
}

void Tips::NextTip_Click() {
    Core& c = core();
    c.current_tip_index += 1;
    if (c.current_tip_index > last_loaded_tip()) c.current_tip_index = 0;
    show_tip();
}

void Tips::Close_Click() {
    Core& c = core();
    hide();
    int n = c.current_tip_index + 1;
    if (n > last_loaded_tip()) n = 0;
    c.nexttipindex = QString::number(n);
    c.save_preferences(false);
}

void Tips::closeEvent(QCloseEvent* event) {
    // The window stays loaded; closing its frame is its Close button.
    event->ignore();
    Close_Click();
}

void Tips::StartUpCheck_Click() {
    Core& c = core();
    const QString setting = StartUpCheck->checkState() == Qt::Unchecked ? QStringLiteral("n") : QStringLiteral("y");
    if (setting == c.tiponstartup) return;
    c.tiponstartup = setting;
    c.save_preferences();
}

} // namespace qb
