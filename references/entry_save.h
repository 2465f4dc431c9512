#pragma once
// The last step every reference editor shares: the entry goes to the record files, and
// a refused or failed save leaves the working copy as the editor filled it.
namespace qb {

// True when the entry was stored; then it is an existing entry shown on screen_code.
bool store_reference_entry(int screen_code);

} // namespace qb
