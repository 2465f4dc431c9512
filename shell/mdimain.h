#pragma once
// The program's one frame window: menus, toolbar, the client area with the command bar
// and one visible screen, the size values every screen lays itself out by, and shutdown.
#include "shell/window_change_keys.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <functional>

class QAction;
class QMenu;
class QToolBar;

namespace qb {

class MDIMain : public QMainWindow {
    Q_OBJECT
public:
    // The frame's height when it is created, before its load handler sizes it (twips).
    static constexpr int kDesignHeight = 7845;
    static constexpr int kDesignWidth = 11900;

    explicit MDIMain(QWidget* parent = nullptr);

    // Public size values, in twips; MDI_height_original stays 0 until the load handler ran.
    int16_t MDI_height_original = 0;
    int16_t MDI_width_original = 0;
    int16_t min_insideMDI_heigth = 0;
    int16_t min_insideMDI_width = 0;
    // The height of the command bar and of every screen window.
    int16_t child_form_height = 6660;

    // The frame's height and width in twips, title bar and borders included.
    int height_twips() const;
    int width_twips() const;
    // Sizes the frame, title bar and borders included, and keeps that outer size once
    // the window manager has drawn them, until the frame is sized otherwise.
    void resize_frame_twips(int width, int height);

    // Holds the command bar and the screens; white where no child covers it.
    QWidget* client_area() const { return client_; }
    // The part of the client area right of the command bar, where a screen stands.
    QRect screen_area() const;

    QAction* menu_item(const QString& name) const { return items_.value(name); }
    QMenu* menu(const QString& name) const { return menus_.value(name); }
    QMenu* mnuPopUp() const { return menus_.value(QStringLiteral("mnuPopUp")); }
    QToolBar* Toolbar1() const { return toolbar_; }
    // Toolbar buttons 1..8 from the left.
    QAction* toolbar_button(int index) const;

    void handle_cancel();
    void make_up_down_visible();
    void make_up_down_not_visible();
    void go_back_screen();
    void go_forward_screen();
    void move_up_one_item();
    void move_down_one_item();

    void Toolbar1_ButtonClick(int index);
    void mnuExit_Click();

    // A window in the frame holds a browser pane, which draws through Qt Quick and will
    // make the frame a new native window once it first draws.
    void expect_new_native_window() { window_keys_.expect_new_native_window(); }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void MDIForm_Load();
    void MDIForm_Resize();
    void keep_frame_size();
    void native_window_going();
    void native_window_changed();
    void restack_small_windows();
    void deliver_missed_focus();
    void build_menus();
    void build_toolbar();
    QAction* add_item(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut,
                      void (MDIMain::*handler)());
    void clear_the_stage();
    void shut_down(bool from_exit);
    void press_button_for_screen(int code);
    void step_to_neighbour(bool up);

    void mnuImportChecklist_Click();
    void mnuExportChecklist_Click();
    void mnuPrint_Click();
    void mnuBackup_Click();
    void mnuRestore_Click();
    void mnuWeb_Click();
    void mnuChart_Click();
    void mnuNews_Click();
    void mnuCalc_Click();
    void mnuReport_Click();
    void mnuQuotes_Click();
    void mnuCustom_Click();
    void mnuContent_Click();
    void mnuTips_Click();
    void mnuTour_Click();
    void mnuAbout_Click();
    void mnuPopChart_Click();
    void mnuPopNews_Click();
    void mnuSEC_Click();

    QWidget* client_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QHash<QString, QAction*> items_;
    QHash<QString, QMenu*> menus_;
    QList<QAction*> toolbar_buttons_;
    bool shutting_down_ = false;
    QSize frame_target_;   // the outer size asked for, in pixels
    QSize fitted_client_;  // the inner size that gave it
    bool restack_after_new_window_ = false;
    QPointer<QWidget> was_active_;
    QPointer<QWidget> focus_before_new_window_;
    bool focus_pending_ = false;
    bool had_keyboard_ = false;  // when its native window went
    WindowChangeKeys window_keys_{this};
};

// Puts a small window to the right of the frame, as far as the screen allows, so it
// covers as little of the visible screen as it can.
void place_beside_frame(QWidget* window);

// Puts a small window centred over the frame, where the user is looking.
void place_over_frame(QWidget* window);

// Shows an auxiliary window, creating it on first use, and brings it forward.
QWidget* show_window(const QString& name);

} // namespace qb
