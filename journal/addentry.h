#pragma once
// The transaction editor: type, security, symbol, price, date and details of one entry,
// beside the panel that scores it against up to five checklists, one block at a time.
#include "core/records.h"
#include "shell/screen.h"
#include "shell/shell.h"

#include <QPixmap>
#include <QWidget>
#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace qb {

class AutocompleteLineEdit;
class WheelFilter;

class AddEntry : public QWidget, public TransactionEditorScreen, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kRows = kItemsPerChecklist;
    static constexpr int kSelectors = 5;
    static constexpr int kCommentLimit = 3000;
    static constexpr int kDetailsLimit = 30000;
    static constexpr int kNameFieldWidth = 40;
    static constexpr int kLineTwips = 203;
    static constexpr int kMaxDrawnLines = 7;
    static constexpr int kDesignWidth = 10050;

    explicit AddEntry(QWidget* parent);
    ~AddEntry() override;

    void form_load() override { Form_Load(); }

    // ---- the screen contract ----
    QWidget* widget() override { return this; }
    void save_data_and_continue(bool& continue_flag) override;
    void clear_add_or_edit_ongoing() override { add_or_edit_ongoing = false; }
    void handle_resize() override;
    void update_foreground_color() override;
    void fill_display(int16_t kind) override { set_current_AddEntry_display(kind); }
    void init_checklists() override;
    void update_transaction_types() override;

    // ---- the editor ----
    void set_add_or_edit_ongoing() { add_or_edit_ongoing = true; }
    void set_current_AddEntry_display(int16_t kind);
    void validate_current_entry(QString& message, bool& valid);
    bool is_modified() const { return add_or_edit_ongoing; }

    // ---- the scoring panel ----
    void update_checkbox_link();
    void update_checklist_display();
    void check_checklist_comment_length(int16_t& row, bool& ok) const;
    void store_displayed_checklist_items();
    void save_current_checklist_answers();
    void handle_page_keys(int key_code);
    int16_t row_answer(int row) const { return answer_code[size_t(row)]; }

    // ---- controls, by their names ----
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* security_name_textbox = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* symbol_textbox = nullptr;
    QPushButton* quote = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* security_price_textbox = nullptr;
    QLabel* quote_label = nullptr;
    QLabel* Date_label = nullptr;
    QLineEdit* Date_textbox = nullptr;
    QLabel* Label3 = nullptr;
    QPlainTextEdit* Other_info_textbox = nullptr;
    QLabel* Label_Checklists_Available = nullptr;
    std::array<QPushButton*, kSelectors> Avail_checklist{};
    QLabel* listname = nullptr;
    QLabel* ThingstoCheck_label = nullptr;
    QLabel* MyComments = nullptr;
    std::array<QLabel*, kRows> Num_label{};
    std::array<QPushButton*, kRows> Check1{};
    std::array<QPlainTextEdit*, kRows> Text1{};
    std::array<QPlainTextEdit*, kRows> Text6{};
    std::array<QFrame*, kRows> Line3{};
    QScrollBar* VScroll1 = nullptr;

    // ---- panel state ----
    int16_t first_item_shown = 0;
    int16_t last_item_shown = 0;
    int16_t focused_item = 0;
    bool focus_on_item_text = false;
    int16_t item_text_width = 3615;
    int16_t item_comment_width = 1925;
    int16_t rows_area_height = 6650;

    // Multi-line boxes hold "\n"; stored texts use CR LF like every text of the files.
    static QString box_text(const QPlainTextEdit* box);
    static void set_box_text(QPlainTextEdit* box, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Twips geometry of one row's boxes, kept exactly so that growing a comment by a line
    // and shrinking it again returns it to the same place.
    struct RowPlace {
        int item_top = 0, item_height = 0, comment_top = 0, comment_height = 0, line_y = 0;
    };

    void build_fields();
    void build_panel();
    void Form_Load();
    void record_margins();

    // fields
    bool field_event(QWidget* field, QEvent* event);
    void paint_focus_field(QWidget* focused);
    void move_focus_after(QWidget* field);
    void security_name_lost_focus();
    void security_price_changed();
    void other_info_changed();
    void quote_Click();
    void store_entry_fields_and_save(bool& saved);
    static void paint_background(QWidget* w, uint32_t ole);
    static void paint_text(QWidget* w, uint32_t ole);

    // panel
    bool row_event(QWidget* box, int row, int kind, QEvent* event);
    void Avail_checklist_Click(int16_t Index);
    void Check1_Click(int16_t Index);
    void Text6_Change(int16_t Index);
    void VScroll1_Change();
    void scroll_items_down_to_focus();
    void restore_item_focus(int16_t row);
    void row_got_focus(int16_t row, bool item_text);
    void paint_row(int row, uint32_t ole);
    void show_answer_picture(int row);
    void place_row_boxes(int row);
    void redraw_after_comment_lines(int16_t Index);
    int measure_lines(const QString& text, int width_twips, int frame_px) const;
    void set_row_shown(int row, bool shown);

    bool add_or_edit_ongoing = false;
    AutocompleteLineEdit* completion_ = nullptr;
    WheelFilter* wheel_ = nullptr;

    std::array<int16_t, kRows> answer_code{};
    std::array<int16_t, kRows> item_line_count{};
    std::array<int16_t, kRows> comment_line_count{};
    std::array<RowPlace, kRows> place_{};
    int text1_left_ = 3960;
    int text1_width_ = 3615;
    int text6_left_ = 7680;
    int text6_width_ = 1925;
    int line_x1_ = 7680;
    int line_x2_ = 9590;
    int details_height_ = 1335;
    int selector_label_top_ = 3960;
    int selector_top_ = 4320;
    int scroll_height_ = 5895;
    int comments_label_left_ = 7680;
    std::array<QPixmap, 4> answer_pictures_;

    // Set while the rows are drawn or the selector buttons refreshed: focus that Qt moves
    // off a box being hidden, and texts set from the entry, are not the user's doing.
    bool drawing_ = false;
    bool linking_ = false;
    bool resetting_scroll_ = false;

    // margins recorded at load (twips)
    int16_t form_height_margin = 0;
    int16_t form_width_margin = 0;
    int16_t rows_area_margin = 0;
    int16_t scroll_height_margin = 0;
    int16_t details_height_margin = 0;
    int16_t selector_top_margin = 0;
    int16_t selector_label_top_margin = 0;
    int16_t scroll_left_margin = 0;
    int16_t line_right_margin = 0;
    int16_t line_left_margin = 0;
    int16_t item_text_width_margin = 0;
    int16_t comment_width_margin = 0;
    int16_t comment_left_margin = 0;
    int16_t comments_label_left_margin = 0;
};

} // namespace qb
