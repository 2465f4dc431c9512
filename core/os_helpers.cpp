#include "core/core.h"
#include "core/codepage.h"

#include <QRegularExpression>
#include "core/save_file.h"

namespace qb {
namespace {

QString shell_error_text(int code) {
    switch (code) {
    case 2: return "File not found";
    case 3: return "Path not found";
    case 5: return "Access denied";
    case 8: return "Out of memory";
    case 11: return "Invalid EXE file or error in EXE image";
    case 26: return "A sharing violation occurred";
    case 27: return "Incomplete or invalid file association";
    case 28: return "DDE Time out";
    case 29: return "DDE transaction failed";
    case 30: return "DDE busy";
    case 31: return "No association for file extension";
    case 32: return "DLL not found";
    default: return "Unknown error";
    }
}

} // namespace

QString Core::browse_for_folder(bool allow_new_folder, const QString& prompt) {
    return platform_.dialogs ? platform_.dialogs->browse_for_folder(allow_new_folder, prompt) : QString();
}

int Core::shell_execute_open(const QString& path) {
    return platform_.shell ? platform_.shell->open_document(path) : 0;
}

void Core::launch_application(const QString& path) {
    if (path.size() <= 1) return;
    const int result = shell_execute_open(path);
    if (result < 33) show_message(msg_error, QStringLiteral("Unable to Launch Application: ") + shell_error_text(result));
}

void Core::shell_open_url(const QString& address) {
    // Only web addresses reach the opener: anything else could start a program or
    // open a local file. "host:8080" is a port, not a scheme.
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):(?!\\d)"));
    const QString a = address.trimmed();
    QString full = a;
    const auto m = scheme.match(a);
    if (!m.hasMatch())
        full = QStringLiteral("http://") + a;
    const QUrl url(full, QUrl::StrictMode);
    const QString s = url.scheme().toLower();
    if (a.isEmpty() || !url.isValid() || (s != u"http" && s != u"https") || url.host().isEmpty()) {
        show_message(msg_warning, QStringLiteral("Not a web address. Not opened: ") + address);
        return;
    }
    if (platform_.shell) platform_.shell->open_url(url);
}

bool Core::write_text_file(const QString& path, const QString& text, bool append) {
    // Reports are read by any text editor: the 8-bit code page, each write closed by a line end.
    const QByteArray bytes = encode_cp1252(text + QStringLiteral("\r\n"));
    QString why;
    if (append) {
        // A FIFO or a device in the report's place would hold the program in open().
        QFile f;
        if (open_regular_file(f, path, QIODevice::WriteOnly | QIODevice::Append, why)) {
            if (f.write(bytes) == bytes.size() && f.flush()) return true;
            why = f.errorString();
        }
    } else {
        if (save_whole_file(path, bytes, &why)) return true;
    }
    show_message(msg_error, QStringLiteral("Failure to generate report. Error: ") + why);
    return false;
}

bool Core::string_to_collection(const QString& text, QStringList& collection) {
    if (text.isEmpty()) return true;
    for (const QString& piece : text.split(u',')) {
        const QString t = trim_blanks(piece);
        if (!t.isEmpty()) collection.append(t);
    }
    return true;
}

} // namespace qb
