#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace qb {

// The six text colour names, in the order the preferences window offers them.
inline const QStringList& text_color_names() {
    static const QStringList names{"Blue", "Black", "Red", "Green", "Purple", "Orange"};
    return names;
}

// The OLE colour value of a known name (compared upper-cased), nullopt for any other.
std::optional<uint32_t> text_color_value(const QString& name);

} // namespace qb
