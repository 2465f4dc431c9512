#pragma once
// The guided tour: eleven slides from tour.txt; from the fourth on, the tour presses the
// command-bar button the slide talks about, so its screen opens behind the tour window.
#include "shell/shell.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;

namespace qb {

class Tour : public QWidget, public LoadHandler, public UnloadHandler {
    Q_OBJECT
public:
    explicit Tour(QWidget* parent);
    void form_load() override;
    void form_unload() override;

    // Hides the tour without touching the preferences; it keeps its slide.
    void end_tour_early();

    int16_t current_slide = 0;
    int16_t slide_count = 11;
    QStringList slide_titles;
    QStringList slide_texts;

    QLabel* topic = nullptr;
    QLabel* details = nullptr;
    QLabel* Progress = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Picture2 = nullptr;
    QLabel* Picture3 = nullptr;
    QPushButton* FocusButton = nullptr;
    QPushButton* NextTip = nullptr;
    QPushButton* Close = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void show_tour_slide();
    void show_entry(int k);
    void NextTip_Click();
    void Close_Click();
    void end_and_hand_over();
};

} // namespace qb
