#pragma once
namespace qb {
class Shell;
// Puts this folder's windows in place of their stand-ins.
void register_references_windows(Shell& shell);
} // namespace qb
