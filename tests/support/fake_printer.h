#pragma once
// A printer that writes every document to its own PDF file, and the poppler tools that
// read the pages back.
#include "core/platform_api.h"

#include <QList>
#include <QPrinter>
#include <QRectF>
#include <QStringList>
#include <memory>
#include <vector>

namespace qb::test {

class FakePrinter : public Printer {
public:
    explicit FakePrinter(const QString& folder) : folder_(folder) {}
    bool choose_printer(const QString& title, const QString& file_name) override;
    // Every call starts a new document: print1.pdf, print2.pdf, ...
    QPrinter* printer() override;

    QStringList dialogs;        // "title|file name" of every dialog shown
    bool cancel = false;        // the user cancels the dialog
    bool fail = false;          // the document cannot be started
    QStringList documents;      // the PDF files asked for, in order

private:
    QString folder_;
    std::vector<std::unique_ptr<QPrinter>> printers_;
};

// pdftotext -layout of the whole file, or of one page (from 1).
QString pdf_text(const QString& path, int page = 0);
int pdf_pages(const QString& path);
// How many pixels of a page (from 1) print dark, at 40 dots per inch.
int pdf_ink(const QString& path, int page = 1);

// A word as pdftotext -bbox places it: its page (from 1) and its box in points from the
// page's top-left corner.
struct PdfWord {
    int page = 0;
    QString text;
    QRectF box;
};
QList<PdfWord> pdf_words(const QString& path);
// The horizontal rules of a page: bands [top, bottom] in points where a dark line runs
// across at least 90% of the span from `left` to `right` (points).
QList<std::pair<double, double>> pdf_rules(const QString& path, int page, double left, double right);

} // namespace qb::test
