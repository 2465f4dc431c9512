#pragma once
namespace qb {
class Shell;
// Makes this folder's windows reachable by their names.
void register_market_windows(Shell& shell);
} // namespace qb
