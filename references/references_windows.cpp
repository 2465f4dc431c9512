#include "references/references_windows.h"

#include "shell/shell.h"

namespace qb {

void register_references_windows(Shell& shell) {
    (void)shell;
}

} // namespace qb
