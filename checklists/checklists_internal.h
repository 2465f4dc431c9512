#pragma once
// Small helpers shared by the checklist list and the checklist editor.
#include "platform/field_helpers.h"

namespace qb::checklists {

constexpr uint32_t kYellow = 0xFFFF;
constexpr uint32_t kWhite = 0xFFFFFF;

} // namespace qb::checklists
