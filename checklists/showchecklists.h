#pragma once
// The checklist list: every checklist in use as a row of name and author, with the box
// that offers it for scoring new transactions, a scroll bar that follows the highlight,
// and the delete command of the list and the editor.
#include "shell/screen.h"
#include "shell/shell.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace qb {

class ShowChecklists : public QWidget, public ChecklistListScreen, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kRows = 33;
    static constexpr int kLoadRows = 21;  // highest row at the main window's load height
    static constexpr int kMaxMarked = 5;

    explicit ShowChecklists(QWidget* parent);

    void form_load() override { Form_Load(); }

    // ---- the screen contract ----
    QWidget* widget() override { return this; }
    void verify_delete_and_save() override;
    void update_foreground_color() override;
    void set_showchecklist_display();
    void handle_resize() override;
    void fill_display(int16_t) override { set_showchecklist_display(); }

    // ---- controls, by their names ----
    std::array<QLineEdit*, kRows> Title_textbox{};
    std::array<QLineEdit*, kRows> Author_textbox{};
    std::array<QCheckBox*, kRows> Check_to_display{};
    QScrollBar* VScroll1 = nullptr;
    QLabel* WebPage = nullptr;
    QLabel* AvailChecklist_label = nullptr;
    QLabel* Checklist_title_lable = nullptr;
    QLabel* Author_label = nullptr;
    QLabel* ChecktoDisplay_label = nullptr;
    QLabel* Double_click_label = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;

    // ---- window state ----
    int32_t highlighted_index = 0;
    int32_t first_shown_index = 0;
    int32_t last_shown_index = 0;
    int16_t focused_row = 0;
    int16_t last_shown_row = 0;
    int16_t last_row_for_height = kLoadRows;
    int32_t height_margin = 0;
    int32_t width_margin = 0;
    int32_t scroll_margin = 0;

    // The address the link label opens.
    static QString web_page_address();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    void Form_Load();
    void checklist_delete_allowed(bool& allowed) const;
    void fill_checklist_rows();
    void handle_navigation_key(int16_t Index, int KeyCode, int Shift);
    bool row_event(int16_t row, QWidget* control, QEvent* event);
    void row_got_focus(int16_t row);
    void row_double_click(int16_t row);
    void Check_to_display_Click(int16_t Index);
    void VScroll1_Change();
    void WebPage_Click();
    int32_t row_index(int16_t row) const;
    void set_row_bold(int16_t row, bool bold);
    void set_show_it(int32_t k, int16_t value);
    void paint_row(int16_t row, uint32_t ole);

    // Set while the rows are refilled: focus that Qt moves off a row being hidden, and box
    // values set from the table, are not the user's doing.
    bool filling_ = false;
};

} // namespace qb
