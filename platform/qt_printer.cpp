#include "platform/qt_platform.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace qb {

QtPrinter::QtPrinter() = default;
QtPrinter::~QtPrinter() = default;

QPrinter* QtPrinter::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageSize(QPageSize(QPageSize::Letter));
    }
    return printer_.get();
}

bool QtPrinter::choose_printer(const QString& title, const QString& file_name) {
    QPrinter* p = printer();
    // Only without a printer does the dialog offer the file at once; with one, a preset
    // name would turn every print into a file.
    if (QPrinterInfo::availablePrinters().isEmpty() && !file_name.isEmpty()) p->setOutputFileName(file_name);
    QPrintDialog dialog(p, QApplication::activeWindow());
    if (!title.isEmpty()) dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace qb
