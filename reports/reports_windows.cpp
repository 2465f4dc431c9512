#include "reports/reports_windows.h"

#include "reports/report.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

void register_reports_windows(Shell& shell) {
    shell.register_window(QStringLiteral("Report"), [&shell] { return static_cast<QWidget*>(new Report(shell.mdi())); });
}

} // namespace qb
