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

namespace {
// A page as a grey picture: one byte per pixel, `width` pixels a row.
struct GreyPage {
    int width = 0, height = 0;
    QByteArray pixels;
};

GreyPage render_page(const QString& path, int page, int dpi) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                                         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                         QString::number(page), path});
    if (!p.waitForFinished(30000)) return {};
    const QByteArray pgm = p.readAllStandardOutput();
    // "P5\n<w> <h>\n255\n" then one byte per pixel.
    const QList<QByteArray> head = pgm.left(64).split('\n');
    if (head.size() < 3 || head[0] != "P5") return {};
    const QList<QByteArray> size = head[1].split(' ');
    if (size.size() != 2) return {};
    const qsizetype start = head[0].size() + head[1].size() + head[2].size() + 3;
    GreyPage g{size[0].toInt(), size[1].toInt(), pgm.mid(start)};
    if (g.pixels.size() < qsizetype(g.width) * g.height) return {};
    return g;
}
} // namespace

int pdf_ink(const QString& path, int page) {
    const GreyPage g = render_page(path, page, 40);
    int dark = 0;
    for (char c : g.pixels) dark += uchar(c) < 200;
    return dark;
}

QList<PdfWord> pdf_words(const QString& path) {
    static const QRegularExpression page_re(QStringLiteral("<page "));
    static const QRegularExpression word_re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const QString xml = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    QList<PdfWord> words;
    int page = 0;
    for (const QString& line : xml.split(u'\n')) {
        if (line.contains(page_re)) ++page;
        const auto m = word_re.match(line);
        if (!m.hasMatch()) continue;
        QString text = m.captured(5);
        text.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        text.replace(QStringLiteral("&gt;"), QStringLiteral(">")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        words.append({page, text, QRectF(QPointF(x0, y0), QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

QList<std::pair<double, double>> pdf_rules(const QString& path, int page, double left, double right) {
    constexpr int dpi = 288;
    const double px = dpi / 72.0;
    const GreyPage g = render_page(path, page, dpi);
    const int from = std::max(0, int(left * px)), to = std::min(g.width, int(right * px));
    QList<std::pair<double, double>> bands;
    int band_start = -1;
    for (int y = 0; y <= g.height; ++y) {
        int dark = 0;
        if (y < g.height)
            for (int x = from; x < to; ++x) dark += uchar(g.pixels[qsizetype(y) * g.width + x]) < 128;
        const bool rule = y < g.height && to > from && dark >= 0.9 * (to - from);
        if (rule && band_start < 0) band_start = y;
        if (!rule && band_start >= 0) {
            bands.append({band_start / px, y / px});
            band_start = -1;
        }
    }
    return bands;
}

} // namespace qb::test
