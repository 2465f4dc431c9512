#pragma once
// Reading an editor's controls as they stand on screen: text and text colour.
#include <QString>
#include <cstdint>
#include <stdexcept>

class QWidget;

namespace qb {

// The text of a line edit, text box (line ends as CR LF), combo box, label or button.
QString control_text(const QWidget* control);
// Its text colour as an OLE colour value.
uint32_t control_fore_color(const QWidget* control);
// The editor's control of that name; throws when there is none.
QWidget* named_control(QWidget* editor, const QString& name);
// The loaded screen window of that name; throws when it is not open.
QWidget* open_editor(const QString& name);

} // namespace qb
