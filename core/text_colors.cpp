#include "core/text_colors.h"

#include "core/core.h"

namespace qb {

std::optional<uint32_t> text_color_value(const QString& name) {
    const QString n = name.toUpper();
    if (n == u"BLUE") return kColorBlue;
    if (n == u"BLACK") return kColorButtonText;
    if (n == u"GREEN") return 0x00C000u;
    if (n == u"RED") return 0x0000FFu;
    if (n == u"PURPLE") return 0xC000C0u;
    if (n == u"ORANGE") return 0x0080FFu;
    return std::nullopt;
}

} // namespace qb
