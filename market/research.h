#pragma once
// The research links window: six links at a time, each a button that opens its address,
// the address and a description editable in place; links are added, renamed and deleted
// and kept in the "custom_links" preference.
#include "shell/shell.h"

#include <QVector>
#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace qb {

class WheelFilter;

struct ResearchLink {
    bool empty = true;  // a free slot: not shown, not written back
    QString button;
    QString link;
    QString desc;
};

class Research : public QWidget, public LoadHandler, public UnloadHandler {
    Q_OBJECT
public:
    static constexpr int kRows = 6;
    static constexpr uint32_t kYellow = 0xFFFF;
    static constexpr uint32_t kWhite = 0xFFFFFF;
    static constexpr uint32_t kUrlBlue = 0xC00000;

    explicit Research(QWidget* parent);
    void form_load() override { Form_Load(); }
    void form_unload() override { Form_Unload(); }

    // The caption dialog's answer.
    QString new_button_name;
    bool valid_button_typed = false;

    QVector<ResearchLink> links;
    bool links_changed = false;
    int16_t focused_link_index = 0;
    int16_t focused_link_row = 0;

    // ---- controls, by their names ----
    std::array<QPushButton*, kRows> Go_Button{};
    std::array<QLineEdit*, kRows> Web_url{};
    std::array<QLineEdit*, kRows> Web_details{};
    QPushButton* New_Button = nullptr;
    QPushButton* Edit_Button = nullptr;
    QPushButton* Delete_Button = nullptr;
    QPushButton* Close = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QLabel* Instruct_label = nullptr;
    QFrame* Line4 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The frame's close box unloads the window, as its Close button does.
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void Form_Load();
    void Form_Unload();
    void load_custom_links();
    void store_custom_links();
    void update_links_display(int16_t& start);
    void display_from(int16_t start) { update_links_display(start); }
    void handle_page_keys(int key_code);
    void focus_last_shown_address();
    void focus_row_or_first(int16_t row);
    // The caption dialog, modal, starting from `start`; the answer lands in the two fields above.
    void ask_button_name(const QString& start);
    int16_t upper_bound() const { return int16_t(links.size() - 1); }
    bool in_array(int index) const { return index >= 0 && index < links.size(); }
    int row_tag(const QWidget* box) const;
    int row_of(const QWidget* w) const;

    void Go_Button_Click(int row);
    void New_Button_Click();
    void Edit_Button_Click();
    void Delete_Button_Click();
    void VScroll1_Change();
    void Web_url_Change(int row);
    void Web_details_Change(int row);
    void box_got_focus(QLineEdit* box, int row, bool is_url);

    WheelFilter* wheel_ = nullptr;
    bool filling_ = false;
};

} // namespace qb
