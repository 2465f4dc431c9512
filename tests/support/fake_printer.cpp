#include "support/fake_printer.h"

#include <QProcess>
#include <QRegularExpression>

namespace qb::test {

bool FakePrinter::choose_printer(const QString& title, const QString& file_name) {
    dialogs << title + u'|' + file_name;
    return !cancel;
}

QPrinter* FakePrinter::printer() {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setPageSize(QPageSize(QPageSize::Letter));
    p->setFullPage(true);
    const QString name = QStringLiteral("print%1.pdf").arg(documents.size() + 1);
    documents << folder_ + u'/' + name;
    p->setOutputFileName(fail ? folder_ + QStringLiteral("/no/such/folder/") + name : documents.last());
    printers_.push_back(std::move(p));
    return printers_.back().get();
}

namespace {
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

QString pdf_text(const QString& path, int page) {
    QStringList args{QStringLiteral("-layout")};
    if (page > 0) args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << path << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), args);
}

int pdf_pages(const QString& path) {
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const auto m = pages.match(run(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

int pdf_ink(const QString& path, int page) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-gray"),
                                         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                         QString::number(page), path});
    if (!p.waitForFinished(30000)) return 0;
    const QByteArray pgm = p.readAllStandardOutput();
    // "P5\n<w> <h>\n255\n" then one byte per pixel.
    const QList<QByteArray> head = pgm.left(64).split('\n');
    if (head.size() < 3 || head[0] != "P5") return 0;
    const qsizetype start = head[0].size() + head[1].size() + head[2].size() + 3;
    int dark = 0;
    for (qsizetype i = start; i < pgm.size(); ++i) dark += uchar(pgm[i]) < 200;
    return dark;
}

} // namespace qb::test
