#pragma once
// The bytes of a kept page's text. A page keeps its own <meta charset>, and a browser
// may read a file without one in any encoding it guesses; so the file holds ASCII only,
// which reads the same in all of them, and every other character is written in the
// escape that the place it stands in understands.
#include <QByteArray>
#include <QString>

namespace qb {

// The serialized HTML of a document as ASCII: outside ASCII, a character is a numeric
// character reference (one for a character beyond the 16-bit range, not two halves) in
// text, attribute values and comments; a CSS escape inside <style>, whose text is not
// read for references; a JavaScript \u escape inside <script>.
QByteArray encode_page_text(const QString& html);

} // namespace qb
