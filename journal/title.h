#pragma once
// The entry list: a page of journal entries as rows of read-only boxes under six column
// buttons, with a scroll bar, paging keys, sorting and view filters, delete and quotes.
#include "core/records.h"
#include "shell/screen.h"
#include "shell/shell.h"

#include <QDate>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;

namespace qb {

enum view_filter : int32_t {
    filter_all = 0,
    filter_date = 1,
    filter_security = 2,
    filter_transaction = 3,
    filter_price = 4,
    filter_checklist = 5,
    filter_topic = 6,
};

struct ScreenIndexSlot {
    int32_t summary_index = 0;
    bool in_use = false;
};

class Title : public QWidget, public EntryListScreen, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kRows = 35;
    static constexpr int kColumns = 6;
    static constexpr uint32_t kYellow = 0xFFFF;
    static constexpr uint32_t kWhite = 0xFFFFFF;
    static constexpr uint32_t kQuoteGreen = 0xC000;
    static constexpr uint32_t kQuoteRed = 0xFF;
    static constexpr uint32_t kButtonRest = 0xE0E0E0;
    static constexpr uint32_t kButtonPressed = 0xFFC0C0;

    explicit Title(QWidget* parent);
    ~Title() override;

    void form_load() override { Form_Load(); }

    // ---- the screen contract ----
    QWidget* widget() override { return this; }
    void handle_resize() override;
    void update_foreground_color() override;
    void reset_to_original() override;
    void update_title_with_last_entries() override;
    void update_Title_with_entries() override;
    void last_known_focus() override;
    void setfocus_to_last_entry() override;
    void show_addentry_or_savewebpage() override;
    void do_page_up() override { do_page_up(highlighted_row); }
    void do_page_down() override { do_page_down(highlighted_row); }
    void verify_entry_delete_and_save() override;

    // ---- rows ----
    void set_screen_index_to_SummaryData(int32_t index, int16_t row);
    void clear_screen_index(int16_t row);
    int32_t get_SummaryData_from_screen_index(int16_t row) const;
    static QString shorten_date_string(const QString& text);
    // The date box's text for a date: the short form, shortened as above.
    static QString date_box_text(const QDate& date);
    void update_specific_title_entry(int32_t index, int16_t row);
    void set_screen_index_invisible(int16_t row);
    void set_screen_index_visible(int16_t row);
    void setfocus_to_first_entry();

    // ---- paging ----
    void do_page_up(int16_t row);
    void do_page_down(int16_t row);
    void scroll_up_one();
    void scroll_down_one();
    void handle_grid_key(int16_t row, int key_code, int shift);

    // ---- market data, as the other windows ask the list for it ----
    QString get_one_quote(const QString& symbols) const;
    QString get_stock_news(const QString& symbol) const;
    QString get_hist_quote(const QString& symbol, const QDate& first_date, const QDate& second_date) const;

    // ---- delete ----
    void undo_all_entry_delete();

    // ---- sorting and filters ----
    QString find_first_checklist_from_sortonCE() const;
    bool entry_passes_view_filter(int32_t index) const;

    // ---- controls, by their names ----
    QLabel* Program_Title = nullptr;
    QPushButton* Date_comand = nullptr;
    QPushButton* Security_Command = nullptr;
    QPushButton* Transaction_Command = nullptr;
    QPushButton* Price_Command = nullptr;
    QPushButton* quote_command = nullptr;
    QPushButton* Command1 = nullptr;
    std::array<QLineEdit*, kRows> Date_Entry_Display_text{};
    std::array<QLineEdit*, kRows> Security_Entry_Display_text{};
    std::array<QLineEdit*, kRows> Transaction_Entry_Display_text{};
    std::array<QLineEdit*, kRows> Price_Entry_Display_text{};
    std::array<QLineEdit*, kRows> quote_display{};
    std::array<QLineEdit*, kRows> Checklist_Entry_Display_text{};
    QScrollBar* VScroll1 = nullptr;

    // ---- form state ----
    std::array<ScreenIndexSlot, kRows> screen_index{};
    int32_t current_start_entry_index = 0;
    int32_t last_shown_entry_index = 0;
    int16_t highlighted_row = 0;
    int16_t last_known_focus_row = 0;
    int16_t last_row_index = 22;
    int16_t previous_last_row_index = 0;
    int16_t checklist_column_chars = 0;
    int32_t view_filter_mode = filter_all;
    bool summary_sorted = false;
    CurrentEntry sortonCE;
    bool quote_fetch_running = false;
    bool delete_focus_toggle = false;
    int16_t form_height_margin = 0;
    int16_t form_width_margin = 0;
    int16_t checklist_width_margin = 0;
    int16_t column_button_width_margin = 0;
    int16_t scrollbar_height_margin = 0;

    // Shows the right-button menu; tests replace it so no menu waits for a person.
    std::function<void(QMenu*, const QPoint&)> popup_menu;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void build_rows();
    void place_row(int16_t row);
    void highlight_screen_row(int16_t row, uint32_t& colour);
    bool row_is_highlighted(int16_t row) const;
    int16_t row_to_return_to() const;
    void paint_row(int16_t row, uint32_t colour);
    QLineEdit* box(int column, int16_t row) const;
    bool row_box_event(QLineEdit* box, int column, int16_t row, QEvent* event);
    void mouse_down_on_row(int column, int16_t row, Qt::MouseButton button, const QPoint& global);

    int32_t find_previous_page_start(int32_t start) const;
    int32_t find_next_page_start(int32_t start) const;
    int32_t find_next_start_index(int32_t start) const;
    int32_t find_previous_live_index(int32_t start) const;
    int16_t half_page() const { return int16_t(last_row_index / 2); }
    // Gives a row box the focus, when visible, and highlights its row.
    void focus_box(QLineEdit* box);
    void VScroll1_Change();

    void column_button_click(int32_t key, QPushButton* button);
    void Command1_Click();
    void sort_by_reference_topic();
    void set_sort_tooltips_view_all();
    void set_sort_tooltips_view_only();
    void reset_sort_button_colors();
    void set_button_color(QPushButton* button, uint32_t colour);

    void quote_command_Click();
    QString build_symbol_list();
    void apply_quotes_to_all_entries(const QString& reply);

    std::array<uint32_t, kRows> row_colour_{};
    QWidget* rows_area_ = nullptr;
    bool redrawing_ = false;
};

// Makes the journal's windows reachable by their names.
void register_journal_windows(Shell& shell);

} // namespace qb
