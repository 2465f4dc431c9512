#include "market/market_windows.h"

#include "market/news.h"
#include "market/quotes.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

void register_market_windows(Shell& shell) {
    shell.register_window(QStringLiteral("Quotes"), [&shell]() -> QWidget* { return new Quotes(shell.mdi()); });
    shell.register_window(QStringLiteral("News"), [&shell]() -> QWidget* { return new News(shell.mdi()); });
}

} // namespace qb
