#include "reports/reports_windows.h"

#include "reports/print_entry.h"
#include "reports/print_screen.h"
#include "reports/report.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

void register_reports_windows(Shell& shell) {
    shell.register_window(QStringLiteral("Report"), [&shell] { return static_cast<QWidget*>(new Report(shell.mdi())); });
    shell.register_window(QStringLiteral("PrintEntry"),
                          [&shell] { return static_cast<QWidget*>(new PrintEntry(shell.mdi())); });
    shell.print_screen = [] { print_screen_command(); };
    shell.print_window = [](QWidget* w) { print_window_as_shown(w); };
}

} // namespace qb
