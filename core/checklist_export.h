#pragma once
// The pieces of checklist export and import that stand on their own.
#include "core/records.h"

#include <QDate>
#include <QHash>
#include <QString>

namespace qb {

// The file text of one checklist, before it is encoded.
QString checklist_export_text(const Checklist& c);

// The tagged items at the top level of a text, the first of each key; text inside a
// value is never taken for an item of its own.
QHash<QString, QString> read_tagged_items(const QString& text);

// An exported date: the regional form (with an optional time of day), ISO 8601, then
// M/d/yyyy; today when none of them fits.
double read_checklist_date(const QString& text, const QDate& today);

} // namespace qb
