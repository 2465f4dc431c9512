#include "shell/shell.h"

#include "core/core.h"
#include "platform/window_helpers.h"
#include "shell/aboutbox.h"
#include "shell/command.h"
#include "shell/custom.h"
#include "shell/mdimain.h"
#include "shell/test_vardata.h"
#include "shell/tips.h"
#include "shell/tour.h"
#include "shell/user_update.h"

#include <QApplication>
#include <algorithm>

namespace qb {
namespace {
Shell* g_current = nullptr;

// A browser pane, known by its class name: the shell does not link the browser engine.
bool holds_browser_pane(const QWidget* w) {
    const QList<QWidget*> children = w->findChildren<QWidget*>();
    return std::any_of(children.begin(), children.end(), [](QWidget* c) { return c->inherits("QWebEngineView"); });
}
} // namespace

Shell::Shell(Core& core) : core_(core) {
    g_current = this;
    end_program = [] { QCoreApplication::exit(0); };
    register_standard_windows();

    CoreHooks& h = core_.hooks;
    h.tips_visible = [this] {
        QWidget* t = loaded_window(QStringLiteral("Tips"));
        return t && t->isVisible();
    };
    h.hide_tips = [this] {
        if (QWidget* t = loaded_window(QStringLiteral("Tips"))) t->hide();
    };
    h.show_tips = [this] {
        if (QWidget* t = loaded_window(QStringLiteral("Tips"))) t->show();
    };
    h.end_tour_early = [this] {
        if (is_form_loaded(QStringLiteral("Tour")))
            tour()->end_tour_early();
        else
            core_.tour_running = false;
    };
    install_wait_window_hooks(h);
    h.reset_all_and_show_entries = [this] { command()->reset_all_and_show_entries(); };
}

Shell::~Shell() {
    CoreHooks& h = core_.hooks;
    h.tips_visible = nullptr;
    h.hide_tips = nullptr;
    h.show_tips = nullptr;
    h.end_tour_early = nullptr;
    remove_wait_window_hooks(h);
    h.reset_all_and_show_entries = nullptr;
    // The frame takes its children (the bar, the screens, the small windows) with it.
    QPointer<QWidget> frame = loaded_.value(QStringLiteral("MDIMain"));
    delete frame.data();
    for (const QPointer<QWidget>& w : std::as_const(loaded_)) delete w.data();
    loaded_.clear();
    if (g_current == this) g_current = nullptr;
}

Shell* Shell::current() { return g_current; }

const QStringList& Shell::screen_names() {
    static const QStringList names{"Title",   "AddEntry",          "ShowChecklists", "AddChecklist",
                                   "SaveWebPage", "viewweb", "SaveFileReference", "SaveCallNotes"};
    return names;
}

void Shell::register_window(const QString& name, Factory factory) { factories_.insert(name, std::move(factory)); }

QWidget* Shell::window(const QString& name) {
    if (QWidget* w = loaded_window(name)) return w;
    auto f = factories_.constFind(name);
    if (f == factories_.constEnd()) return nullptr;
    QWidget* w = (*f)();
    if (!w) return nullptr;
    loaded_.insert(name, w);
    // The load handler runs once the window can be reached by its name.
    if (auto* l = dynamic_cast<LoadHandler*>(w)) l->form_load();
    if (holds_browser_pane(w) && is_form_loaded(QStringLiteral("MDIMain")) && w->window() == mdi())
        mdi()->expect_new_native_window();
    return loaded_window(name);
}

bool Shell::is_form_loaded(const QString& name) const { return loaded_window(name) != nullptr; }

QWidget* Shell::loaded_window(const QString& name) const {
    auto it = loaded_.constFind(name);
    return it == loaded_.constEnd() ? nullptr : it->data();
}

void Shell::unload(const QString& name) {
    QPointer<QWidget> w = loaded_.value(name);
    loaded_.remove(name);
    if (!w) return;
    if (auto* u = dynamic_cast<UnloadHandler*>(w.data())) u->form_unload();
    if (!w) return;
    w->hide();
    w->deleteLater();
}

QStringList Shell::loaded_names() const {
    QStringList names;
    for (auto it = loaded_.constBegin(); it != loaded_.constEnd(); ++it)
        if (!it->isNull()) names << it.key();
    names.sort();
    return names;
}

MDIMain* Shell::mdi() { return static_cast<MDIMain*>(window(QStringLiteral("MDIMain"))); }
Command* Shell::command() { return static_cast<Command*>(window(QStringLiteral("Command"))); }
Tips* Shell::tips() { return static_cast<Tips*>(window(QStringLiteral("Tips"))); }
Tour* Shell::tour() { return static_cast<Tour*>(window(QStringLiteral("Tour"))); }
UserUpdate* Shell::user_update() { return static_cast<UserUpdate*>(window(QStringLiteral("UserUpdate"))); }

void Shell::register_standard_windows() {
    register_window(QStringLiteral("MDIMain"), [] {
        auto* frame = new MDIMain();
        // Boxes the core asks for while no window of the program is active stand over it.
        MessageBoxOwner::set_main_window(frame);
        return frame;
    });
    register_window(QStringLiteral("Command"), [this] {
        auto* w = new Command(mdi()->client_area());
        w->hide();
        return w;
    });
    // The small top-level windows stand above the frame. The screens and the windows of
    // the other folders are registered by those folders.
    auto top = [this](auto make) {
        return [this, make]() -> QWidget* { return make(mdi()); };
    };
    register_window(QStringLiteral("Aboutbox"), top([](QWidget* p) { return new Aboutbox(p); }));
    register_window(QStringLiteral("UserUpdate"), top([](QWidget* p) { return new UserUpdate(p); }));
    register_window(QStringLiteral("Tips"), top([](QWidget* p) { return new Tips(p); }));
    register_window(QStringLiteral("Tour"), top([](QWidget* p) { return new Tour(p); }));
    register_window(QStringLiteral("Custom"), top([](QWidget* p) { return new Custom(p); }));
    // A developer's tool: reached by its name only, never from a menu.
    register_window(QStringLiteral("TestVarData"), top([](QWidget* p) { return new TestVarData(p); }));
}

} // namespace qb
