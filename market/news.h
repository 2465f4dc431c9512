#pragma once
// The news reader: the headlines of one symbol at a time, chosen from the journal's
// recent symbols; an article opens in the browser or becomes a new web page entry.
#include "market/headline_box.h"
#include "market/news_parse.h"
#include "shell/shell.h"

#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace qb {

class WheelFilter;

class News : public QWidget, public LoadHandler, public UnloadHandler, public AfterLoadedWindow, public NewsHandOff {
    Q_OBJECT
public:
    static constexpr int kRows = 13;
    static constexpr int kLabels = 10;
    static constexpr uint32_t kYellow = 0xFFFF;
    static constexpr uint32_t kWhite = 0xFFFFFF;
    static constexpr uint32_t kLabelBlue = 0xFF0000;
    static constexpr uint32_t kLabelBlack = 0;
    static constexpr uint32_t kSavedGreen = 0xFF00;
    static constexpr uint32_t kSaveGrey = 0xC0C0C0;
    static constexpr uint32_t kQuoteGreen = 0xC000;
    static constexpr uint32_t kQuoteRed = 0xFF;
    static constexpr int kLineTwips = 195;
    static constexpr int kMaxDescriptionLines = 5;

    explicit News(QWidget* parent);
    ~News() override;
    void form_load() override { Form_Load(); }
    void form_unload() override { Form_Unload(); }

    // ---- public procedures ----
    void after_loaded_do() override;
    QString xml_find_text_from_tag(const QString& tag, const QString& text, qsizetype start) const;
    void add_news_space();
    void add_space_for_one_item();
    bool parse_one_item(const QString& item_text);
    void clear_old_news();
    bool parse_news(const QString& feed_text);
    void update_screen();
    void set_quote_text();
    void send_data_to_savewebpage() override;

    // ---- controls, by their names ----
    QLineEdit* Symbol = nullptr;
    QPushButton* getnews = nullptr;
    QLabel* quote_label = nullptr;
    std::array<QLabel*, kLabels> symb_label{};
    QFrame* box_for_symb = nullptr;
    std::array<HeadlineBox*, kRows> title_box{};  // wraps a long headline over its lines
    std::array<QPlainTextEdit*, kRows> desc_textbox{};
    std::array<QPushButton*, kRows> save_button{};
    QScrollBar* VScroll1 = nullptr;

    // ---- window state ----
    NewsParseState parse_state;
    NewsRecord& news_record = parse_state.news_record;
    int16_t& item_write_index = parse_state.item_write_index;
    int16_t first_item_shown = 0;
    int desc_line_width = 0;  // twips
    int rows_bottom = 0;      // twips
    int16_t save_row = 0;
    int16_t current_label = 0;
    bool labels_built = false;
    bool fetch_busy = false;
    bool handoff_pending = false;
    QString security_name;
    QString last_price;

    // Label i's tag: the security name of its symbol.
    QString symb_label_tag(int i) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void getnews_Click();
    void symb_label_Click(int Index);
    void title_box_Click(int Index);
    void save_button_Click(int Index);
    void VScroll1_Change();
    void build_symbol_labels();
    void clear_rows();
    QString find_security_name(const QString& symbol) const;
    void set_label_highlight(int i, bool highlighted);
    void paint_save_button(int row, bool saved);
    bool is_web_address(const QString& link) const;

    WheelFilter* wheel_ = nullptr;
    bool filling_ = false;
};

} // namespace qb
