#include "reports/reports_windows.h"

#include "shell/shell.h"

namespace qb {

void register_reports_windows(Shell& shell) {
    (void)shell;
}

} // namespace qb
