#include "market/market_windows.h"

#include "market/chart.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

void register_market_windows(Shell& shell) {
    shell.register_window(QStringLiteral("Chart"), [&shell]() -> QWidget* { return new Chart(shell.mdi()); });
}

} // namespace qb
