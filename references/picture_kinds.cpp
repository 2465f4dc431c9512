#include "references/picture_kinds.h"

namespace qb {
namespace {

struct Ending {
    QLatin1StringView lower;
    QLatin1StringView upper;
    PictureKind kind;
};

const Ending kEndings[] = {
    {QLatin1StringView(".jpg"), QLatin1StringView(".JPG"), PictureKind::jpeg},
    {QLatin1StringView(".gif"), QLatin1StringView(".GIF"), PictureKind::gif},
    {QLatin1StringView(".png"), QLatin1StringView(".PNG"), PictureKind::png},
    {QLatin1StringView(".webp"), QLatin1StringView(".WEBP"), PictureKind::webp},
    {QLatin1StringView(".svg"), QLatin1StringView(".SVG"), PictureKind::svg},
};

bool xml_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool at(const QByteArray& b, qsizetype i, const char* word) {
    return i <= b.size() && QByteArrayView(b).sliced(i).startsWith(QByteArrayView(word));
}

// The end of a <!DOCTYPE ...>, past its internal subset and quoted texts; -1 if none.
qsizetype doctype_end(const QByteArray& b, qsizetype i) {
    char quote = 0;
    bool subset = false;
    for (; i < b.size(); ++i) {
        const char c = b[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            subset = true;
        } else if (c == ']') {
            subset = false;
        } else if (c == '>' && !subset) {
            return i + 1;
        }
    }
    return -1;
}

// An SVG file: after a byte order mark, blanks, the XML declaration, processing
// instructions, comments and a document type, the first element is <svg>.
bool is_svg_text(const QByteArray& b) {
    qsizetype i = b.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (;;) {
        while (i < b.size() && xml_space(b[i])) ++i;
        qsizetype next = -1;
        if (at(b, i, "<?")) {
            next = b.indexOf("?>", i + 2);
            if (next >= 0) next += 2;
        } else if (at(b, i, "<!--")) {
            next = b.indexOf("-->", i + 4);
            if (next >= 0) next += 3;
        } else if (at(b, i, "<!DOCTYPE")) {
            next = doctype_end(b, i + 9);
        } else {
            break;
        }
        if (next < 0) return false;
        i = next;
    }
    if (!at(b, i, "<svg") || i + 4 >= b.size()) return false;
    const char after = b[i + 4];
    return xml_space(after) || after == '>' || after == '/';
}

} // namespace

std::optional<PictureKind> picture_kind_of_name(const QString& name) {
    for (const Ending& e : kEndings)
        if (name.endsWith(e.lower) || name.endsWith(e.upper)) return e.kind;
    return std::nullopt;
}

bool holds_picture_of_kind(const QByteArray& bytes, PictureKind kind) {
    switch (kind) {
    case PictureKind::gif: return bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a");
    case PictureKind::jpeg: return bytes.startsWith("\xFF\xD8\xFF");
    case PictureKind::png: return bytes.startsWith("\x89PNG\r\n\x1A\n");
    case PictureKind::webp: return bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP";
    case PictureKind::svg: return is_svg_text(bytes);
    }
    return false;
}

QString picture_kind_label(PictureKind kind) {
    switch (kind) {
    case PictureKind::gif: return QStringLiteral("GIF");
    case PictureKind::jpeg: return QStringLiteral("JPEG");
    case PictureKind::png: return QStringLiteral("PNG");
    case PictureKind::webp: return QStringLiteral("WebP");
    case PictureKind::svg: return QStringLiteral("SVG");
    }
    return {};
}

} // namespace qb
