#pragma once
// The command bar at the left of the client area: eleven picture buttons and the one
// switch through which the visible screen changes, under the save-before-leave guard.
#include "shell/screen.h"

#include <QPixmap>
#include <QWidget>
#include <array>

class QLabel;
class QToolButton;

namespace qb {

class Command : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBarWidth = 1650;  // twips

    explicit Command(QWidget* parent);

    void set_all_command_button_background();
    void set_focused_button(int32_t index);
    void screen_change_allowed(bool& allowed);
    void reset_all_and_show_entries();
    void reset_all_and_show_checklists();
    void add_new_checklist();
    void Edit_entry();
    void handle_resize();
    void Image_action_Click(int16_t Index);

    // The button last highlighted, as passed (it may lie outside 0..10).
    int32_t focused_button = 0;
    // The main window's height minus the bar's, taken when the bar loads (twips).
    int16_t bar_height_margin = 0;

    QToolButton* Image_action(int index) const { return image_action_[size_t(index)]; }
    // The button drawn highlighted, or -1 when all are drawn normal.
    int highlighted_button() const { return highlighted_; }

private:
    void Form_Load();
    void hide_all_screens();
    bool prepare_new_entry(int16_t index);
    void add_new_transaction(int16_t kind);
    void add_new_reference(int32_t code, const QString& window);
    void show_details_of_highlighted();
    void show_checklists_screen();
    void show_entries_screen();
    void show_stock_of_month_screen();
    void show_screen_window(const QString& name, const QString& focus_box);

    std::array<QToolButton*, kCommandButtons> image_action_{};
    std::array<QPixmap, kCommandButtons> Image_button;
    std::array<QPixmap, kCommandButtons> Image_high_button;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    int highlighted_ = -1;
};

// Opens Core::current_entry (its caller has loaded it) in the editor of its kind, shows
// that editor and makes its screen current: the entry list's last step of opening an entry.
void open_entry_in_its_editor();

// Renders one of our pictures (":/pictures/<name>.svg") at the given pixel size.
QPixmap svg_picture(const QString& name, QSize size, const QByteArray& face_colour = {});

} // namespace qb
