#pragma once
// Small helpers shared by the files of the transaction editor.
#include "platform/field_helpers.h"

namespace qb::addentry {

constexpr uint32_t kYellow = 0xFFFF;
constexpr uint32_t kWhite = 0xFFFFFF;

} // namespace qb::addentry
