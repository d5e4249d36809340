// The print commands of the parameter list: print with the print dialog (57607), print on the
// default printer (57608) and print preview (57609). Thin: the pages come from ParamPrinter.
#pragma once

#include "ParamPrinter.h"

#include <functional>

class QPrinter;
class QWidget;

namespace kvd {

class CQ770Doc;
class Prompter;

// Whether the system has a default printer. The commands take it as a parameter so that tests
// can run them on a machine without one.
bool hasDefaultPrinter();
using PrinterCheck = std::function<bool()>;

// The pages a printer was asked for: its page range when the user chose one, else all pages
// (toPage 0).
struct PageSpan {
    int fromPage = 1;
    int toPage = 0;
};
PageSpan requestedPages(const QPrinter& printer);

// 57607 with the print dialog, 57608 without it on the default printer (61529 when there is
// none). The date and time texts are taken now. True when pages were printed.
bool printProject(QWidget* parent, const CQ770Doc& doc, const PrintTexts& texts, Prompter& prompter,
                  bool withDialog, const PrinterCheck& hasPrinter = hasDefaultPrinter);

// 57609: 61529 without a default printer, 61705 when the preview cannot start. True when the
// preview was shown.
bool previewProject(QWidget* parent, const CQ770Doc& doc, const PrintTexts& texts,
                    Prompter& prompter, const PrinterCheck& hasPrinter = hasDefaultPrinter);

} // namespace kvd
