#pragma once
namespace qb {
class Shell;
// Makes this folder's windows reachable by their names.
void register_references_windows(Shell& shell);
} // namespace qb
