#pragma once
// The kinds of picture a kept page stores beside it: told by the picture's own file
// name, and checked against the bytes the server sent.
#include <QByteArray>
#include <QString>
#include <optional>

namespace qb {

enum class PictureKind { gif, jpeg, png, webp, svg };

// The kind that a picture's file name ends in, written all in lower case or all in
// capitals (".gif", ".JPG", ".png", ".WEBP", ".svg", ...); nullopt for any other name.
std::optional<PictureKind> picture_kind_of_name(const QString& name);

// Whether the bytes are a picture of that kind: its signature, for SVG an XML text whose
// root element is svg. An error page sent with status 200 is none.
bool holds_picture_of_kind(const QByteArray& bytes, PictureKind kind);

// "GIF", "JPEG", "PNG", "WebP", "SVG".
QString picture_kind_label(PictureKind kind);

} // namespace qb
