#include "checklists/checklists_windows.h"

#include "checklists/addchecklist.h"
#include "checklists/showchecklists.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

void register_checklists_windows(Shell& shell) {
    shell.register_window(QStringLiteral("ShowChecklists"), [&shell] {
        auto* w = new ShowChecklists(shell.mdi()->client_area());
        w->hide();
        return static_cast<QWidget*>(w);
    });
    shell.register_window(QStringLiteral("AddChecklist"), [&shell] {
        auto* w = new AddChecklist(shell.mdi()->client_area());
        w->hide();
        return static_cast<QWidget*>(w);
    });
}

} // namespace qb
