#pragma once
// The checklist editor: the six header fields of one checklist on the left, its thirty
// items ("Things to Check") on the right as rows that grow a text line at a time, and the
// check and store that run when the user leaves the screen or presses Save.
#include "shell/screen.h"
#include "shell/shell.h"

#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace qb {

class WheelFilter;

class AddChecklist : public QWidget, public Screen, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kRows = 30;
    static constexpr int kItemLimit = 1000;
    static constexpr int kLineTwips = 195;
    static constexpr int kMaxDrawnLines = 7;
    static constexpr int kRowsTop = 600;
    static constexpr int kAreaHeight = 6515;
    static constexpr int kTextWidth = 3735;

    explicit AddChecklist(QWidget* parent);

    void form_load() override { Form_Load(); }

    // ---- the screen contract ----
    QWidget* widget() override { return this; }
    void clear_add_or_edit_ongoing() override;
    void handle_resize() override;
    void update_foreground_color() override;
    void save_data_and_continue(bool& may_continue) override;
    void set_addchecklist_display();
    void update_checklist_display();
    void fill_display(int16_t) override { set_addchecklist_display(); }

    // The user changed something since the checklist was shown or last stored.
    bool add_or_edit_ongoing = false;

    // ---- header controls, by their names ----
    QLabel* List_label = nullptr;
    QLineEdit* name_text = nullptr;
    QLabel* Author_label = nullptr;
    QPlainTextEdit* Author_text = nullptr;
    QLabel* Copyright_label = nullptr;
    QLineEdit* Copyright_text = nullptr;
    QLabel* Book_Label = nullptr;
    QLineEdit* BookRef_text = nullptr;
    QLabel* Web_Label = nullptr;
    QLineEdit* Website_text = nullptr;
    QLabel* Why_label = nullptr;
    QPlainTextEdit* Whyuse_text = nullptr;
    QPushButton* Delete_Thing = nullptr;
    QPushButton* Insert_Thing = nullptr;
    QLabel* delete_label = nullptr;
    QLabel* insert_label = nullptr;

    // ---- item rows ----
    QLabel* Things_label = nullptr;
    std::array<QToolButton*, kRows> Check1{};
    std::array<QLabel*, kRows> Num_label{};
    std::array<QPlainTextEdit*, kRows> Text1{};
    std::array<QFrame*, kRows> Line3{};
    QScrollBar* VScroll1 = nullptr;
    QLabel* greencheck_picture = nullptr;

    // ---- item-area state ----
    int16_t first_shown_item = 0;
    int16_t last_shown_item = 0;
    int16_t highlighted_item = 0;
    bool item_highlighted = false;
    int16_t things_to_check_count = 0;
    int item_text_width = kTextWidth;
    int item_area_height = kAreaHeight;
    // Each row's measured line count; 0 = not measured yet.
    std::array<int16_t, kRows> line_count{};

    // Multi-line boxes hold "\n"; stored texts use CR LF like every text of the files.
    static QString box_text(const QPlainTextEdit* box);
    static void set_box_text(QPlainTextEdit* box, const QString& text);
    // The text of a header box as stored.
    static QString header_text(const QWidget* box);
    // Lines the text takes at the item width, as the item boxes break it.
    int measure_lines(const QString& text) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_header();
    void build_rows();
    void Form_Load();
    void record_margins();
    QList<QWidget*> header_boxes() const;

    // header (addchecklist.cpp)
    bool header_event(QWidget* box, QEvent* event);
    void move_focus_after(QWidget* box);
    void store_checklist_and_save(bool& stored);

    // item rows (addchecklist_rows.cpp)
    bool item_event(int16_t row, QEvent* event);
    void page_item_rows(int Index, int KeyCode, int Shift);
    void update_things_to_check_count();
    void scroll_until_next_row_shows();
    void Text1_Change(int16_t Index);
    void Text1_GotFocus(int16_t Index);
    void Text1_LostFocus(int16_t Index);
    void Check1_Click(int16_t Index);
    void Check1_user_click(int16_t Index);
    void Insert_Thing_Click();
    void Delete_Thing_Click();
    void VScroll1_Change();
    void show_tick_picture(int row);
    void copy_row(int from, int to);
    void blank_row(int row);
    void place_row(int row, int top, int height);

    // Set while the editor fills or moves texts and while it lays rows out: those changes
    // and the focus Qt moves off a row being hidden are not the user's doing.
    bool filling_ = false;
    bool drawing_ = false;
    WheelFilter* wheel_ = nullptr;

    // Positions that follow the main window's width (twips).
    int line_right_ = 9600;
    int scroll_left_ = 9720;
    int scroll_height_ = 6015;
    int whyuse_height_ = 1575;
    int insert_top_ = 5560;
    int delete_top_ = 4840;
    int insert_label_top_ = 5440;
    int delete_label_top_ = 4960;

    // Margins taken at load (twips).
    int form_height_margin = 0;
    int form_width_margin = 0;
    int area_margin = 0;
    int scroll_height_margin = 0;
    int whyuse_margin = 0;
    int insert_top_margin = 0;
    int delete_top_margin = 0;
    int insert_label_margin = 0;
    int delete_label_margin = 0;
    int scroll_left_margin = 0;
    int line_right_margin = 0;
    int text_width_margin = 0;
};

} // namespace qb
