#include "shell/tour.h"

#include "core/core.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/tips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace qb {
namespace {

constexpr int kSlides = 11;

struct SlideStep {
    int16_t button;      // command-bar button pressed, -1 for none
    const char* marker;  // marker caption, nullptr to leave it
};
// Slides 4 to 11.
const SlideStep kSteps[] = {
    {button_summary, nullptr},          {button_checklists, "Checklists"}, {button_new_checklist, "New Checklist"},
    {button_buy, "Buy"},                {button_file_reference, "File Reference"},
    {button_call_notes, "Call Notes"},  {-1, "Internet Research"},     {button_summary, "Summary"},
};

} // namespace

Tour::Tour(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Tour"));
    setWindowTitle(QStringLiteral("Take a Tour of Quorbelix"));
    setFixedSize(twips_to_px(8400), twips_to_px(5400));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto label = [this](const char* name, int x, int y, int w, int h) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(twips_to_px(x), twips_to_px(y), twips_to_px(w), twips_to_px(h));
        return l;
    };
    topic = label("topic", 3120, 240, 5040, 600);
    QFont tf(QStringLiteral("Arial"));
    tf.setPointSize(13);
    tf.setBold(true);
    topic->setFont(tf);
    topic->setWordWrap(true);
    details = label("details", 3120, 960, 5040, 3240);
    details->setWordWrap(true);
    details->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Progress = label("Progress", 240, 4560, 2400, 360);
    Picture1 = label("Picture1", 240, 600, 2640, 1800);
    Picture1->setPixmap(svg_picture(QStringLiteral("logo"), Picture1->size()));
    Picture2 = label("Picture2", 240, 600, 2640, 1800);
    Picture2->setPixmap(svg_picture(QStringLiteral("checklist"), Picture2->size()));
    Picture2->hide();
    Picture3 = label("Picture3", 240, 600, 2640, 1800);
    Picture3->setPixmap(svg_picture(QStringLiteral("chart"), Picture3->size()));
    Picture3->hide();

    FocusButton = new QPushButton(QStringLiteral("Summary"), this);
    FocusButton->setObjectName(QStringLiteral("FocusButton"));
    FocusButton->setCheckable(true);
    FocusButton->setChecked(true);
    FocusButton->setFocusPolicy(Qt::NoFocus);
    FocusButton->setAttribute(Qt::WA_TransparentForMouseEvents);  // a marker, not a button
    FocusButton->setGeometry(twips_to_px(240), twips_to_px(700), twips_to_px(2400), twips_to_px(480));
    FocusButton->hide();

    NextTip = new QPushButton(QStringLiteral("Continue Tour"), this);
    NextTip->setObjectName(QStringLiteral("NextTip"));
    NextTip->setToolTip(QStringLiteral("Click to Continue the Tour"));
    NextTip->setGeometry(twips_to_px(4320), twips_to_px(4440), twips_to_px(1800), twips_to_px(480));
    Close = new QPushButton(QStringLiteral("End Tour"), this);
    Close->setObjectName(QStringLiteral("Close"));
    Close->setToolTip(QStringLiteral("Click to End the Tour."));
    Close->setGeometry(twips_to_px(6360), twips_to_px(4440), twips_to_px(1800), twips_to_px(480));
    connect(NextTip, &QPushButton::clicked, this, &Tour::NextTip_Click);
    connect(Close, &QPushButton::clicked, this, &Tour::Close_Click);

    slide_titles = QStringList(12, QString());
    slide_texts = QStringList(12, QString());
    // Set before the first show: on a shown window the flag would hide it again.
    set_window_topmost(this);
}

void Tour::form_load() {
    place_beside_frame(this);
    Core& c = core();
    c.tour_running = true;
    slide_count = kSlides;
    current_slide = 1;
    if (c.load_tour_text(slide_count, slide_titles, slide_texts)) {
        show_tour_slide();
        return;
    }
    c.show_message(msg_error, QStringLiteral("Sorry, unable to give Tour. Tour description file not available."));
    current_slide = 0;
    show_tour_slide();
}

void Tour::end_tour_early() {
    core().tour_running = false;
    hide();
}

void Tour::show_entry(int k) {
    topic->setText(slide_titles.value(k));
    details->setText(slide_texts.value(k));
    Progress->setText(QStringLiteral("Slide %1 of %2").arg(k).arg(kSlides));
}

void Tour::show_tour_slide() {
    const int s = current_slide;
    if (s < 0 || s > kSlides) return;
    if (s == 0) {
        FocusButton->hide();
        NextTip->hide();
        topic->setText(QStringLiteral("Sorry, the 2-minute Tour is not available."));
        details->setText(QStringLiteral("Please e-mail support@quorbelix.com and attach the file logs.txt from the "
                                        "program folder, so that we can find out what went wrong."));
    } else if (s <= 3) {
        FocusButton->hide();
        if (s == 2) {
            Picture1->hide();
            Picture3->move(Picture1->x(), Picture1->y() - twips_to_px(75));
            Picture3->show();
        } else if (s == 3) {
            Picture3->hide();
            Picture2->move(Picture1->pos());
            Picture2->show();
        }
        show_entry(s);
    } else {
        if (s == 4) {
            Picture2->hide();
            FocusButton->move(Picture1->x(), Picture1->y() + twips_to_px(100));
        }
        const SlideStep& step = kSteps[s - 4];
        if (step.marker) FocusButton->setText(QString::fromLatin1(step.marker));
        FocusButton->show();
        show_entry(s);
        // The screen the slide talks about opens behind the tour, through the one switch.
        if (step.button >= 0) shell().command()->Image_action_Click(step.button);
    }
    set_window_topmost(this);
}

void Tour::NextTip_Click() {
    current_slide += 1;
    if (current_slide >= slide_count) {
        current_slide = slide_count;
        NextTip->hide();
    }
    show_tour_slide();
}

void Tour::end_and_hand_over() {
    Core& c = core();
    c.tour_running = false;
    hide();
    if (c.touronstartup != QStringLiteral("y")) return;
    c.touronstartup = QStringLiteral("n");
    c.save_preferences(false);
    if (c.tiponstartup == QStringLiteral("y")) {
        c.current_tip_index = 0;
        Tips* tips = shell().tips();
        tips->set_tip_to_currentTip();
        tips->show();
    }
}

void Tour::Close_Click() {
    end_and_hand_over();
    shell().unload(QStringLiteral("Tour"));
}

void Tour::form_unload() { end_and_hand_over(); }

void Tour::closeEvent(QCloseEvent* event) {
    event->accept();
    shell().unload(QStringLiteral("Tour"));
}

} // namespace qb
