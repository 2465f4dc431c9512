#include "checklists/checklists_windows.h"

#include "shell/shell.h"

namespace qb {

void register_checklists_windows(Shell& shell) {
    (void)shell;
}

} // namespace qb
