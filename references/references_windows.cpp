#include "references/references_windows.h"

#include "references/savecallnotes.h"
#include "references/savewebpage.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {
namespace {

template <typename T> Shell::Factory screen_factory(Shell& shell) {
    return [&shell]() -> QWidget* {
        auto* w = new T(shell.mdi()->client_area());
        w->hide();
        return w;
    };
}

} // namespace

void register_references_windows(Shell& shell) {
    shell.register_window(QStringLiteral("SaveWebPage"), screen_factory<SaveWebPage>(shell));
    shell.register_window(QStringLiteral("SaveCallNotes"), screen_factory<SaveCallNotes>(shell));
}

} // namespace qb
