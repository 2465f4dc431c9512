#include "market/market_windows.h"

#include "market/chart.h"
#include "market/research.h"
#include "market/viewweb.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

void register_market_windows(Shell& shell) {
    shell.register_window(QStringLiteral("Chart"), [&shell]() -> QWidget* { return new Chart(shell.mdi()); });
    shell.register_window(QStringLiteral("Research"), [&shell]() -> QWidget* { return new Research(shell.mdi()); });
    shell.register_window(QStringLiteral("viewweb"), [&shell]() -> QWidget* { return new viewweb(shell.mdi()->client_area()); });
}

} // namespace qb
