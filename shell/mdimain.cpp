#include "shell/mdimain.h"

#include "core/core.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/shell.h"
#include "shell/tips.h"
#include "shell/tour.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <exception>

namespace qb {
namespace {

struct ToolbarButton {
    const char* caption;
    const char* tooltip;
    const char* picture;
};
const ToolbarButton kToolbar[8] = {
    {"Back", "Go Back to previous screen", "back"},
    {"Forward", "Go Forward to the screen you came Back from", "forward"},
    {"Delete", "Delete Data", "delete"},
    {"Edit", "Edit Highlighted", "edit"},
    {"Cancel", "Cancel any non-Saved changes", "cancel"},
    {"Save", "Save the Data on Screen", "save"},
    {"Up", "UP One Item", "up"},
    {"Down", "DOWN One Item", "down"},
};

} // namespace

QWidget* show_window(const QString& name) {
    QWidget* w = shell().window(name);
    if (!w) return nullptr;
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void place_beside_frame(QWidget* window) {
    Shell* s = Shell::current();
    if (!window || !s || !s->is_form_loaded(QStringLiteral("MDIMain"))) return;
    const QRect frame = s->mdi()->frameGeometry();
    QScreen* screen = s->mdi()->screen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    // move() places the window's border, which lies outside its size: the whole of it must
    // stay on the screen. A window not shown yet has no border of its own; the frame's stand in.
    const QWidget* framed = window->isVisible() ? window : s->mdi();
    const QSize outer = window->size() + (framed->frameGeometry().size() - framed->geometry().size());
    const int x = std::max(avail.left(), std::min(frame.right() + 1, avail.right() + 1 - outer.width()));
    const int y = std::max(avail.top(), std::min(frame.top() + 40, avail.bottom() + 1 - outer.height()));
    window->move(x, y);
}

void place_over_frame(QWidget* window) {
    Shell* s = Shell::current();
    if (!window || !s || !s->is_form_loaded(QStringLiteral("MDIMain"))) return;
    centre_over(window, s->mdi());
}

MDIMain::MDIMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MDIMain"));
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client_area"));
    client_->setAutoFillBackground(true);
    setCentralWidget(client_);
    build_menus();
    build_toolbar();
    resize_frame_twips(kDesignWidth, kDesignHeight);
    MDIForm_Load();
}

int MDIMain::height_twips() const { return px_to_twips(frameGeometry().height()); }
int MDIMain::width_twips() const { return px_to_twips(frameGeometry().width()); }

void MDIMain::resize_frame_twips(int width, int height) {
    frame_target_ = QSize(twips_to_px(width), twips_to_px(height));
    fitted_client_ = QSize();
    keep_frame_size();
}

void MDIMain::keep_frame_size() {
    // The window manager adds its title bar and borders only once the frame is shown.
    if (!frame_target_.isValid() || (fitted_client_.isValid() && size() != fitted_client_)) return;
    const QSize decoration = frameGeometry().size() - size();
    const QSize client = (frame_target_ - decoration).expandedTo(QSize(1, 1));
    fitted_client_ = client;
    if (client != size()) resize(client);
}

bool MDIMain::event(QEvent* event) {
    const bool result = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::WindowStateChange: keep_frame_size(); break;
    case QEvent::PlatformSurface:
        if (static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed &&
            isVisible() && !shutting_down_)
            native_window_going();
        break;
    case QEvent::WinIdChange: native_window_changed(); break;
    case QEvent::Paint:
        if (restack_after_new_window_) restack_small_windows();
        break;
    case QEvent::WindowActivate:
        window_keys_.release();
        if (focus_pending_) deliver_missed_focus();
        break;
    default: break;
    }
    return result;
}

// The first browser pane draws through Qt Quick, and Qt gives the frame a new native
// window of that kind: the old one goes and the new one is shown at once. Asked for at the
// frame's own place, the new one is not placed afresh by the window manager. Mapped anew,
// it covers the small windows and is not active: once it is up they come forward again
// and the window the user was in is active again, and a field that took the focus in the
// meantime is told so when the frame is active. The keys typed meanwhile are kept for the
// new window. (A hidden Qt Quick child from the frame's start keeps the first native
// window, but costs about 25 MB at every start.)
void MDIMain::native_window_going() {
    // Qt has already made the frame inactive here; the window system has not.
    had_keyboard_ = windowHandle() && QGuiApplication::focusWindow() == windowHandle();
    window_keys_.native_window_going(had_keyboard_);
}

void MDIMain::native_window_changed() {
    if (internalWinId() != 0 || !isVisible()) return;
    setAttribute(Qt::WA_Moved);
    restack_after_new_window_ = true;
    was_active_ = had_keyboard_ ? this : QApplication::activeWindow();
    had_keyboard_ = false;
    window_keys_.native_window_back();
    focus_before_new_window_ = focusWidget();
    focus_pending_ = true;
}

void MDIMain::restack_small_windows() {
    restack_after_new_window_ = false;
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isWindow() && w->isVisible()) w->raise();
    if (was_active_ && was_active_->isVisible()) was_active_->activateWindow();
    was_active_ = nullptr;
    if (focus_pending_ && isActiveWindow()) deliver_missed_focus();
}

void MDIMain::deliver_missed_focus() {
    focus_pending_ = false;
    QWidget* focus = focusWidget();
    const bool moved = focus && focus != focus_before_new_window_;
    focus_before_new_window_ = nullptr;
    if (!moved) return;
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(focus, &in);
}

QRect MDIMain::screen_area() const {
    const int left = twips_to_px(Command::kBarWidth);
    const int min_w = twips_to_px(min_insideMDI_width);
    const int min_h = twips_to_px(min_insideMDI_heigth);
    return QRect(left, 0, std::max(client_->width() - left, min_w), std::max(client_->height(), min_h));
}

void MDIMain::MDIForm_Load() {
    Core& c = core();
    if (!c.small_screen) {
        child_form_height = height_twips() == kDesignHeight ? 6760 : 6660;
        resize_frame_twips(11900, 8310);
    } else {
        resize_frame_twips(11900, 8205);
        child_form_height = 6660;
    }
    QPalette pal = client_->palette();
    pal.setColor(QPalette::Window, color_from_ole(0xFFFFFF));
    client_->setPalette(pal);
    min_insideMDI_heigth = 100;
    min_insideMDI_width = 100;
    MDI_height_original = int16_t(height_twips());
    MDI_width_original = int16_t(width_twips());
}

void MDIMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    MDIForm_Resize();
}

void MDIMain::MDIForm_Resize() {
    if (MDI_height_original <= 0) return;
    Shell& s = shell();
    try {
        Command* bar = s.is_form_loaded(QStringLiteral("Command")) ? s.command() : nullptr;
        if (!bar || !bar->isVisible()) return;
        bar->handle_resize();
        const char* name = nullptr;
        switch (core().current_screen) {
        case screen_summary: name = "Title"; break;
        case screen_new_transaction:
        case screen_edit_transaction: name = "AddEntry"; break;
        case screen_new_web_page:
        case screen_edit_web_page: name = "SaveWebPage"; break;
        case screen_stock_of_month: name = "viewweb"; break;
        case screen_checklists: name = "ShowChecklists"; break;
        case screen_checklist_editor: name = "AddChecklist"; break;
        case screen_new_file_reference:
        case screen_edit_file_reference: name = "SaveFileReference"; break;
        case screen_new_call_notes:
        case screen_edit_call_notes: name = "SaveCallNotes"; break;
        default: return;
        }
        if (Screen* screen = s.screen(QString::fromLatin1(name))) screen->handle_resize();
    } catch (const std::exception& e) {
        core().show_message(msg_debug_data, QStringLiteral("Problem on resize of screen: ") + QString::fromLocal8Bit(e.what()));
    }
}

QAction* MDIMain::add_item(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut,
                           void (MDIMain::*handler)()) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    if (handler) connect(a, &QAction::triggered, this, handler);
    menu->addAction(a);
    addAction(a);  // shortcuts work while the menu bar is closed
    items_.insert(name, a);
    return a;
}

void MDIMain::build_menus() {
    auto top = [this](const char* name, const char* caption) {
        auto* m = new QMenu(QString::fromLatin1(caption), this);
        m->setObjectName(QString::fromLatin1(name));
        menus_.insert(m->objectName(), m);
        return m;
    };
    auto sep = [this](QMenu* m, const char* name) {
        QAction* a = m->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        items_.insert(a->objectName(), a);
    };
    auto cmd = [this](int16_t index) { return [this, index] { shell().command()->Image_action_Click(index); }; };
    using K = QKeySequence;

    QMenu* file = top("mnuFile", "File");
    add_item(file, "mnuImportChecklist", "Import Checklist from file", K(Qt::CTRL | Qt::Key_I), &MDIMain::mnuImportChecklist_Click);
    add_item(file, "mnuExportChecklist", "Export Checklist to file", K(Qt::CTRL | Qt::Key_E), &MDIMain::mnuExportChecklist_Click);
    sep(file, "mnuSeperator");
    add_item(file, "mnuPrint", "Print Screen", K(), &MDIMain::mnuPrint_Click);
    sep(file, "mnuSeperator2");
    add_item(file, "mnuBackup", "Backup Data", K(), &MDIMain::mnuBackup_Click);
    add_item(file, "mnuRestore", "Restore from Backup", K(), &MDIMain::mnuRestore_Click);
    sep(file, "mnuSeperator4");
    add_item(file, "mnuExit", "Exit", K(), &MDIMain::mnuExit_Click);

    QMenu* add = top("mnuNew", "New");
    struct NewItem { const char* name; const char* caption; QKeySequence key; int16_t button; };
    const NewItem new_items[] = {
        {"mnuNewBuy", "Buy Transaction", K(Qt::CTRL | Qt::Key_B), button_buy},
        {"mnuNewSell", "Sell Transaction", K(Qt::CTRL | Qt::Key_L), button_sell},
        {"mnuNewOther", "Other Transaction", K(Qt::CTRL | Qt::Key_O), button_other_transaction},
        {"mnuNewFile", "File Reference", K(Qt::CTRL | Qt::Key_F), button_file_reference},
        {"mnuNewWeb", "Web Page Reference", K(Qt::CTRL | Qt::Key_W), button_web_page},
        {"mnuCallNotes", "Conference Call Notes", K(Qt::CTRL | Qt::Key_N), button_call_notes},
        {"mnuNewChecklist", "Checklist", K(Qt::CTRL | Qt::Key_H), button_new_checklist},
    };
    for (const NewItem& n : new_items)
        connect(add_item(add, n.name, n.caption, n.key, nullptr), &QAction::triggered, this, cmd(n.button));

    QMenu* view = top("mnuView", "View");
    const NewItem view_items[] = {
        {"mnuSummary", "Summary Data", K(Qt::Key_F3), button_summary},
        {"mnuDetailed", "Detailed Data", K(Qt::Key_F4), button_details},
        {"mnuStockOfMonth", "Stock of Month", K(Qt::Key_F5), button_stock_of_month},
        {"mnuChecklists", "Checklists", K(Qt::Key_F6), button_checklists},
    };
    for (const NewItem& n : view_items)
        connect(add_item(view, n.name, n.caption, n.key, nullptr), &QAction::triggered, this, cmd(n.button));

    QMenu* tools = top("mnuTools", "Tools");
    add_item(tools, "mnuWeb", "Internet Research", K(Qt::Key_F7), &MDIMain::mnuWeb_Click);
    add_item(tools, "mnuChart", "Charts", K(Qt::Key_F8), &MDIMain::mnuChart_Click);
    add_item(tools, "mnuNews", "News", K(Qt::Key_F9), &MDIMain::mnuNews_Click);
    add_item(tools, "mnuCalc", "Calculator", K(), &MDIMain::mnuCalc_Click);
    add_item(tools, "mnuReport", "Create Reports", K(Qt::CTRL | Qt::Key_R), &MDIMain::mnuReport_Click);
    add_item(tools, "mnuQuotes", "Quotes Window", K(Qt::Key_F11), &MDIMain::mnuQuotes_Click);
    add_item(tools, "mnuCustom", "Customize Preferences", K(), &MDIMain::mnuCustom_Click);

    QMenu* help = top("mnuHelp", "Help");
    add_item(help, "mnuContent", "Detailed Help", K(Qt::Key_F1), &MDIMain::mnuContent_Click);
    add_item(help, "mnuTips", "Context Related Tips", K(Qt::Key_F2), &MDIMain::mnuTips_Click);
    add_item(help, "mnuTour", "Quick Tour", K(), &MDIMain::mnuTour_Click);
    add_item(help, "mnuAbout", "About", K(), &MDIMain::mnuAbout_Click);

    for (QMenu* m : {file, add, view, tools, help}) menuBar()->addMenu(m);

    // Shown by the entry list on a right click, never in the menu bar.
    QMenu* popup = top("mnuPopUp", "Pop Up");
    add_item(popup, "mnuPopChart", "Chart", K(), &MDIMain::mnuPopChart_Click);
    add_item(popup, "mnuPopNews", "News", K(), &MDIMain::mnuPopNews_Click);
    add_item(popup, "mnuSEC", "SEC Filings", K(), &MDIMain::mnuSEC_Click);
}

void MDIMain::build_toolbar() {
    toolbar_ = new QToolBar(QStringLiteral("Toolbar1"), this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setIconSize(QSize(24, 24));
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    for (int i = 0; i < 8; ++i) {
        const ToolbarButton& b = kToolbar[i];
        QAction* a = toolbar_->addAction(QIcon(svg_picture(QString::fromLatin1(b.picture), QSize(24, 24))),
                                         QString::fromLatin1(b.caption));
        a->setObjectName(QStringLiteral("Toolbar1_%1").arg(b.caption));
        a->setToolTip(QString::fromLatin1(b.tooltip));
        connect(a, &QAction::triggered, this, [this, i] { Toolbar1_ButtonClick(i + 1); });
        toolbar_buttons_.append(a);
    }
    addToolBar(Qt::TopToolBarArea, toolbar_);
}

QAction* MDIMain::toolbar_button(int index) const {
    return index >= 1 && index <= toolbar_buttons_.size() ? toolbar_buttons_[index - 1] : nullptr;
}

void MDIMain::make_up_down_visible() {
    toolbar_button(7)->setVisible(true);
    toolbar_button(8)->setVisible(true);
}

void MDIMain::make_up_down_not_visible() {
    toolbar_button(7)->setVisible(false);
    toolbar_button(8)->setVisible(false);
}

void MDIMain::Toolbar1_ButtonClick(int index) {
    Core& c = core();
    Shell& s = shell();
    const int cs = c.current_screen;
    switch (index) {
    case 1: go_back_screen(); break;
    case 2: go_forward_screen(); break;
    case 3:
        if (cs == screen_checklists || cs == screen_checklist_editor) {
            if (ChecklistListScreen* list = s.show_checklists()) list->verify_delete_and_save();
        } else if (cs == screen_new_transaction || cs == screen_new_web_page || cs == screen_new_file_reference ||
                   cs == screen_new_call_notes) {
            handle_cancel();
        } else if (cs != screen_stock_of_month) {
            // The stock-idea page shows no entry of the journal, so there is nothing to delete there.
            if (EntryListScreen* title = s.title()) title->verify_entry_delete_and_save();
        }
        break;
    case 4:
        if ((cs == screen_summary && c.entry_highlighted) || (cs == screen_checklists && c.checklist_highlighted))
            s.command()->Edit_entry();
        else
            return;
        break;
    case 5: handle_cancel(); break;
    case 6: {
        bool allowed = true;
        s.command()->screen_change_allowed(allowed);
        break;
    }
    case 7: move_up_one_item(); break;
    case 8: move_down_one_item(); break;
    default: return;
    }
    s.tips()->update_Tips(tip_tool_bar);
}

void MDIMain::mnuExit_Click() {
    bool allowed = true;
    shell().command()->screen_change_allowed(allowed);
    if (!allowed) return;
    shut_down(true);
}

void MDIMain::closeEvent(QCloseEvent* event) {
    if (shutting_down_) {
        event->accept();
        return;
    }
    // Closing the frame gives an open editor the same chance as Exit: it saves, or asks,
    // and an answer to stay keeps the program running.
    bool allowed = true;
    if (shell().is_form_loaded(QStringLiteral("Command"))) shell().command()->screen_change_allowed(allowed);
    if (!allowed) {
        event->ignore();
        return;
    }
    event->accept();
    shut_down(false);
}

void MDIMain::shut_down(bool from_exit) {
    Shell& s = shell();
    Core& c = core();
    shutting_down_ = true;
    try {
        if (c.tour_running && s.is_form_loaded(QStringLiteral("Tour"))) s.tour()->end_tour_early();
        for (const char* name :
             {"Aboutbox", "Report", "Tips", "Research", "Custom", "Quotes", "Chart", "News", "UserUpdate"}) {
            const QString n = QString::fromLatin1(name);
            if (!s.is_form_loaded(n)) continue;
            s.loaded_window(n)->hide();
            s.unload(n);
        }
        for (const char* name : {"SaveCallNotes", "AddEntry", "AddChecklist", "Command", "SaveFileReference",
                                 "SaveWebPage", "ShowChecklists", "viewweb", "Title"})
            s.unload(QString::fromLatin1(name));
    } catch (const std::exception&) {
        if (from_exit)
            c.show_message(msg_warning, QStringLiteral("Closing Quorbelix."));
        else
            c.show_message(msg_error, QStringLiteral("Quorbelix shutting down"));
    }
    // The tour window is not in the shutdown list; it goes with the frame.
    if (s.is_form_loaded(QStringLiteral("Tour"))) s.loaded_window(QStringLiteral("Tour"))->hide();
    if (s.end_program) s.end_program();
}

} // namespace qb
