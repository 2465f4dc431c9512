#include "market/market_windows.h"

#include "shell/shell.h"

namespace qb {

void register_market_windows(Shell& shell) {
    (void)shell;
}

} // namespace qb
