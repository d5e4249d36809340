#include "PrintCommands.h"

#include "app/Prompter.h"
#include "resources/StringIds.h"

#include <QDateTime>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace kvd {

bool hasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

PageSpan requestedPages(const QPrinter& printer) {
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0)
        return {printer.fromPage(), printer.toPage()};
    return {};
}

bool printProject(QWidget* parent, const CQ770Doc& doc, const PrintTexts& texts, Prompter& prompter,
                  bool withDialog, const PrinterCheck& hasPrinter) {
    const ParamPrinter pages(doc, texts, QDateTime::currentDateTime());
    QPrinter printer(QPrinter::HighResolution);
    if (withDialog) {
        // The dialog also offers printing to a file, so it runs without a printer too.
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, pages.pageCount());
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    } else if (!hasPrinter()) {
        prompter.message(ids::InstallPrinter);
        return false;
    }
    const PageSpan span = requestedPages(printer);
    if (!printer.isValid() || !pages.print(printer, span.fromPage, span.toPage)) {
        prompter.message(ids::InstallPrinter);
        return false;
    }
    return true;
}

bool previewProject(QWidget* parent, const CQ770Doc& doc, const PrintTexts& texts,
                    Prompter& prompter, const PrinterCheck& hasPrinter) {
    if (!hasPrinter()) {
        prompter.message(ids::InstallPrinter);
        return false;
    }
    const ParamPrinter pages(doc, texts, QDateTime::currentDateTime());
    QPrinter printer(QPrinter::HighResolution);
    if (!printer.isValid()) {
        prompter.message(ids::PreviewFailed);
        return false;
    }
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&pages](QPrinter* target) {
                         const PageSpan span = requestedPages(*target);
                         pages.print(*target, span.fromPage, span.toPage);
                     });
    dialog.exec();
    return true;
}

} // namespace kvd
