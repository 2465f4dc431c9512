#pragma once
// The windows of one program run, reached by name. Each window exists once: created on
// first use, released when unloaded, so a later use creates it afresh.
#include "shell/screen.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace qb {

class Core;
class MDIMain;
class Command;
class Tips;
class Tour;
class UserUpdate;
class Custom;

// A window with work to do once it is created and reachable by its name (its load handler).
class LoadHandler {
public:
    virtual ~LoadHandler() = default;
    virtual void form_load() = 0;
};

// A window with work to do when it is unloaded (its unload handler).
class UnloadHandler {
public:
    virtual ~UnloadHandler() = default;
    virtual void form_unload() = 0;
};

class Shell {
public:
    using Factory = std::function<QWidget*()>;

    explicit Shell(Core& core);
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    static Shell* current();
    Core& core() const { return core_; }

    // Sets the window made for a name; a later registration replaces an earlier one.
    void register_window(const QString& name, Factory factory);

    // Creates the window on first use; nullptr for an unknown name.
    QWidget* window(const QString& name);
    template <typename T> T* window_as(const QString& name) { return dynamic_cast<T*>(window(name)); }
    // Does not create the window.
    bool is_form_loaded(const QString& name) const;
    // The loaded window, or nullptr; never creates it.
    QWidget* loaded_window(const QString& name) const;
    // Runs the window's unload handler, hides it and releases it (after the current event,
    // so a window may unload itself from its own button).
    void unload(const QString& name);
    QStringList loaded_names() const;

    MDIMain* mdi();
    Command* command();
    Screen* screen(const QString& name) { return window_as<Screen>(name); }
    EntryListScreen* title() { return window_as<EntryListScreen>(QStringLiteral("Title")); }
    TransactionEditorScreen* add_entry() { return window_as<TransactionEditorScreen>(QStringLiteral("AddEntry")); }
    ChecklistListScreen* show_checklists() { return window_as<ChecklistListScreen>(QStringLiteral("ShowChecklists")); }
    StockIdeaScreen* viewweb() { return window_as<StockIdeaScreen>(QStringLiteral("viewweb")); }
    Tips* tips();
    Tour* tour();
    UserUpdate* user_update();

    // The eight screen windows, in the order the command bar hides them.
    static const QStringList& screen_names();

    // Ends the program (Exit and close). Tests replace it to watch for the end.
    std::function<void()> end_program;
    // Prints the visible screen (File, Print Screen); set by the printing windows.
    std::function<void()> print_screen;
    // Prints a window as it shows, after the printer dialog; set by the printing windows.
    std::function<void(QWidget*)> print_window;

private:
    void register_standard_windows();

    Core& core_;
    QHash<QString, Factory> factories_;
    QHash<QString, QPointer<QWidget>> loaded_;
};

// Shorthand for the current Shell.
inline Shell& shell() { return *Shell::current(); }

} // namespace qb
