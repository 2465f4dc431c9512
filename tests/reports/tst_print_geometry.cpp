// The printed page read back from the PDF: a line exactly as wide as its column stays on
// one line and one letter more wraps, the margins and the columns the layouts place in
// twips, and the rule under each checklist item below the whole item.
#include "platform/window_helpers.h"
#include "print_fixtures.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <memory>

using namespace qb;
using namespace qb::test;

namespace {

constexpr double kPointsPerTwip = 1.0 / 20;
// The face the row boxes are measured in, not bold.
const QString kRowFace = QStringLiteral("MS Sans Serif");

// Twips of a text as the line counter measures it: the face at 9.75 points, each
// character rounded on its own.
int measured_twips(const QString& text, const QString& face, bool bold) {
    QFont f(face);
    f.setPointSizeF(9.75);
    f.setBold(bold);
    const QFontMetricsF metrics(f);
    int twips = 0;
    for (QChar c : text) twips += int(std::lround(metrics.horizontalAdvance(c) * kTwipsPerPixel));
    return twips;
}

// Blank-separated copies of `word`, then a last word of letters, measuring exactly
// `width` twips; empty when no letters make up the rest.
QString text_of_width(int width, const QString& word, const QString& face) {
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    QString head;
    while (measured_twips(head + word + u' ', face, false) + 1500 < width) head += word + u' ';
    for (;;) {
        const int rest = width - measured_twips(head, face, false);
        // last[r]: the letter that ends a run of letters measuring r twips.
        QVector<int> last(rest + 1, -1);
        last[0] = 0;
        for (int r = 1; r <= rest; ++r)
            for (qsizetype k = 0; k < letters.size() && last[r] < 0; ++k) {
                const int t = measured_twips(letters.mid(k, 1), face, false);
                if (t > 0 && t <= r && last[r - t] >= 0) last[r] = int(k);
            }
        if (last[rest] >= 0) {
            QString filler;
            for (int r = rest; r > 0; r -= measured_twips(filler.right(1), face, false))
                filler += letters.at(last[r]);
            return head + filler;
        }
        if (head.isEmpty()) return QString();
        head.chop(word.size() + 1);
    }
}

QList<PdfWord> words_on(const QList<PdfWord>& words, int page) {
    QList<PdfWord> on;
    for (const PdfWord& w : words)
        if (w.page == page) on << w;
    return on;
}

const PdfWord* find_word(const QList<PdfWord>& words, const QString& text, int page = 1) {
    for (const PdfWord& w : words)
        if (w.page == page && w.text == text) return &w;
    return nullptr;
}

// Rows of distinct texts: "RowN" and words of lengths that wrap at different places, from
// one line to several.
QStringList long_rows(int n, int words_per_row) {
    const QStringList words{"alpha", "be", "gamma", "delta", "epsilon", "zeta", "eta", "theta", "iota", "kappa"};
    QStringList rows;
    for (int i = 1; i <= n; ++i) {
        QString s = QStringLiteral("Row%1").arg(i);
        for (int k = 0; k < (i % 7) * words_per_row; ++k) s += u' ' + words[(k + i) % words.size()];
        rows << s;
    }
    return rows;
}

} // namespace

class TestPrintGeometry : public QObject {
    Q_OBJECT
private slots:
    void line_at_the_column_width_data();
    void line_at_the_column_width();
    void margins_and_columns_data();
    void margins_and_columns();
    void rules_lie_below_whole_items();
};

void TestPrintGeometry::line_at_the_column_width_data() {
    QTest::addColumn<bool>("checklist");
    QTest::addColumn<bool>("comment");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::addColumn<bool>("one_more");
    for (bool more : {false, true}) {
        const char* tail = more ? ", one letter more" : ", exactly the width";
        QTest::addRow("entry item%s", tail) << false << false << 4815 << 1080 << more;
        QTest::addRow("entry comment%s", tail) << false << true << 4215 << 6120 << more;
        QTest::addRow("checklist item%s", tail) << true << false << 6815 << 1080 << more;
    }
}

void TestPrintGeometry::line_at_the_column_width() {
    QFETCH(bool, checklist);
    QFETCH(bool, comment);
    QFETCH(int, width);
    QFETCH(int, left);
    QFETCH(bool, one_more);
    const QString word = comment ? QStringLiteral("note") : QStringLiteral("check");
    QString text = text_of_width(width, word, kRowFace);
    QVERIFY(!text.isEmpty());
    QCOMPARE(measured_twips(text, kRowFace, false), width);
    if (one_more) text += u'a';
    const int lines = one_more ? 2 : 1;

    std::unique_ptr<EntryPrint> entry;
    std::unique_ptr<ChecklistPrint> list;
    PrintEntry* p = nullptr;
    bool ok = false;
    if (checklist) {
        list = std::make_unique<ChecklistPrint>();
        list->set_items({text, "Second item"});
        p = list->layout(ok);
    } else {
        entry = std::make_unique<EntryPrint>(QList<ChecklistDef>{{"Widths", {comment ? "First item" : text, "Second item"}}});
        if (comment) entry->comment(0, text);
        p = entry->layout(ok);
    }
    QVERIFY(ok);
    QCOMPARE((comment ? p->Text6[0] : p->Text1[0])->Height, 203 * lines);
    QCOMPARE(p->Text1[1]->Top, p->Text1[0]->Top + 203 * lines + 158);

    QVERIFY(p->copy_data_and_print());
    FakePrinter& printer = checklist ? list->fx.printer : entry->fx.printer;
    const QList<PdfWord> words = pdf_words(printer.documents.last());
    const PdfWord* first = find_word(words, word);
    const PdfWord* last = find_word(words, text.section(u' ', -1));
    QVERIFY(first && last);
    QVERIFY(std::abs(first->box.left() - left * kPointsPerTwip) <= 0.5);
    if (one_more) {
        // The last word starts the second line, at the column's left edge.
        QVERIFY(std::abs(last->box.top() - first->box.top() - 203 * kPointsPerTwip) <= 0.5);
        QVERIFY(std::abs(last->box.left() - left * kPointsPerTwip) <= 0.5);
    } else {
        QVERIFY(std::abs(last->box.top() - first->box.top()) <= 0.5);
        QVERIFY(last->box.left() > first->box.right());
    }
}

void TestPrintGeometry::margins_and_columns_data() {
    // Words whose left edge the layout places, in twips from the paper's left edge.
    QTest::addColumn<bool>("checklist");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QList<int>>("lefts");
    QTest::newRow("entry") << false
                           << QStringList{"Transaction:", "Buy", "Date:", "Acme", "12.5", "Additional", "Comments",
                                          "1.", "Row1", "Note1", "10.", "Row10"}
                           << QList<int>{240, 1725, 3360, 4965, 1725, 240, 6240, 310, 1080, 6120, 240, 1080};
    QTest::newRow("checklist") << true
                               << QStringList{"Author:", "A.", "Copyright:", "2026", "Book", "Web",
                                              "example.org/growth", "Why", "It", "1.", "Row1", "10.", "Row10"}
                               << QList<int>{240, 1225, 4860, 6265, 240, 4860, 6265, 240, 240, 310, 1080, 240, 1080};
}

void TestPrintGeometry::margins_and_columns() {
    QFETCH(bool, checklist);
    QFETCH(QStringList, words);
    QFETCH(QList<int>, lefts);
    std::unique_ptr<EntryPrint> entry;
    std::unique_ptr<ChecklistPrint> list;
    QString pdf;
    if (checklist) {
        list = std::make_unique<ChecklistPrint>();
        set_control_text(list->editor, "name_text", "Columns");
        list->set_items(long_rows(30, 12));
        pdf = list->print();
    } else {
        entry = std::make_unique<EntryPrint>(QList<ChecklistDef>{{"Columns", long_rows(30, 8)}});
        entry->comment(0, "Note1 a short comment");
        pdf = entry->print();
    }
    const QList<PdfWord> all = pdf_words(pdf);
    for (qsizetype k = 0; k < words.size(); ++k) {
        const PdfWord* w = find_word(all, words[k]);
        QVERIFY2(w, qPrintable(words[k]));
        QVERIFY2(std::abs(w->box.left() - lefts[k] * kPointsPerTwip) <= 0.5,
                 qPrintable(words[k] + u' ' + QString::number(w->box.left())));
    }
    // The title is centred over the title box, 360 to 360 + 7935.
    const PdfWord* title = find_word(all, "Columns");
    QVERIFY(title);
    QVERIFY(std::abs(title->box.center().x() - (360 + 7935 / 2.0) * kPointsPerTwip) <= 0.5);

    // Every page keeps the left edge at 240 twips and an inch at the bottom; pages after
    // the first start their rows an inch below the top.
    const int pages = pdf_pages(pdf);
    QVERIFY(pages >= 3);
    for (int page = 1; page <= pages; ++page) {
        const QList<PdfWord> on = words_on(all, page);
        QVERIFY(!on.isEmpty());
        double left = 1e9, top = 1e9, bottom = 0;
        for (const PdfWord& w : on) {
            left = std::min(left, w.box.left());
            top = std::min(top, w.box.top());
            bottom = std::max(bottom, w.box.bottom());
        }
        QVERIFY2(std::abs(left - 240 * kPointsPerTwip) <= 0.5, qPrintable(QString::number(page)));
        QVERIFY2(bottom <= (15840 - 1440) * kPointsPerTwip, qPrintable(QString::number(page)));
        if (page > 1) QVERIFY2(top >= 72 && top <= 72 + 203 * kPointsPerTwip, qPrintable(QString::number(page)));
    }
}

void TestPrintGeometry::rules_lie_below_whole_items() {
    ChecklistPrint t;
    const QStringList items = long_rows(30, 9);
    t.set_items(items);
    const QString pdf = t.print();
    QVERIFY(t.fx.messages.boxes.isEmpty());
    const int pages = pdf_pages(pdf);
    QVERIFY(pages >= 2);

    // Read as text, every item's words come once and in order after the heading.
    QStringList printed;
    static const QRegularExpression number(QStringLiteral("^\\d+\\.$"));
    for (const QString& w : pdf_text(pdf).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (!number.match(w).hasMatch()) printed << w;
    printed = printed.mid(printed.indexOf("Row1"));
    QCOMPARE(printed, items.join(u' ').split(u' '));

    // On the page, each item's rule lies below its last line and above the next item, and
    // no rule runs through an item.
    const QList<PdfWord> all = pdf_words(pdf);
    int items_seen = 0;
    for (int page = 1; page <= pages; ++page) {
        const QList<PdfWord> on = words_on(all, page);
        // Rules run from 1080 to 7895 twips; the text column starts at 1080.
        const auto rules = pdf_rules(pdf, page, 1080 * kPointsPerTwip + 2, 7895 * kPointsPerTwip - 2);
        QList<double> starts;
        for (const PdfWord& w : on)
            if (w.text.startsWith("Row") && items.join(u' ').split(u' ').contains(w.text)) starts << w.box.top();
        std::sort(starts.begin(), starts.end());
        QCOMPARE(rules.size(), starts.size());
        for (qsizetype k = 0; k < starts.size(); ++k) {
            const double next = k + 1 < starts.size() ? starts[k + 1] : 1e9;
            double bottom = starts[k];
            for (const PdfWord& w : on)
                if (w.box.left() >= 1080 * kPointsPerTwip - 0.5 && w.box.top() >= starts[k] - 0.5 && w.box.top() < next - 0.5)
                    bottom = std::max(bottom, w.box.bottom());
            const auto& rule = rules[k];
            QVERIFY2(rule.first > bottom && rule.second < next,
                     qPrintable(QStringLiteral("page %1 item %2: text %3..%4, rule %5..%6")
                                    .arg(page).arg(items_seen + k + 1).arg(starts[k]).arg(bottom).arg(rule.first)
                                    .arg(rule.second)));
            if (k > 0) QVERIFY(rules[k - 1].second < starts[k]);
        }
        items_seen += int(starts.size());
    }
    QCOMPARE(items_seen, 30);
}

QTEST_MAIN(TestPrintGeometry)
#include "tst_print_geometry.moc"
