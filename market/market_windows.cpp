#include "market/market_windows.h"

#include "market/quotes.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

void register_market_windows(Shell& shell) {
    shell.register_window(QStringLiteral("Quotes"), [&shell]() -> QWidget* { return new Quotes(shell.mdi()); });
}

} // namespace qb
