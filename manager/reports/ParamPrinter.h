// The printout of a project's parameter list: every group of the document, whatever set the
// list shows, 30 rows on the first page and 35 on each further page, with a header on the
// first page and a footer on each. The layout is computed without a device, in units of
// 0.1 mm with y growing downwards from the top of the printable area, so it can be checked
// on its own; painting it onto a printer, a PDF file or a preview is one loop over it.
#pragma once

#include <QDateTime>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace kvd {

class CQ770Doc;

// Title, department and name at the head of the first page (dialog 161).
struct PrintTexts {
    QString title;
    QString department;
    QString name;
    // Title "Parameter Setting List", department and name empty.
    static PrintTexts initial();
};

// Title and name are limited to this many bytes.
inline constexpr int kPrintTextLimit = 20;

// The length of a text in bytes of the legacy double-byte code pages the limit was made for:
// one for an ASCII character, two for any other. A limit counted this way lets a title of
// ten Chinese characters fit, as it always did, and keeps the centring of the title right.
int printByteLength(const QString& text);

// Dialog 161's check: the string id of the message to show (61524) when the title or the
// name is longer than kPrintTextLimit bytes, else 0.
int checkPrintTexts(const PrintTexts& texts);

enum class PrintFont { Title, Heading, Body };

// One thing drawn on a page. A text's position is the top-left corner of its cell; a line
// runs from `from` to `to`.
struct PrintItem {
    enum Kind { Text, Line };
    Kind kind = Text;
    PrintFont font = PrintFont::Body;
    QPoint from;
    QPoint to;
    QString text;
    // A text wider than this is cut short with an ellipsis, so that a long description does
    // not run into the values beside it; 0 for no limit.
    int width = 0;
    bool operator==(const PrintItem&) const = default;
};

class ParamPrinter {
public:
    static constexpr int kFirstPageRows = 30;
    static constexpr int kPageRows = 35;

    // Takes the texts of every group and item at once, so the printout shows the values as
    // they were when printing began. `when` gives the date and time texts.
    ParamPrinter(const CQ770Doc& doc, PrintTexts texts, const QDateTime& when);

    // Pages for a number of rows (at least one, for the header).
    static int pageCountFor(int rows);
    // First row and the number of rows page `page` (from 1) can hold.
    static int firstRowOfPage(int page);
    static int rowsOfPage(int page);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    int pageCount() const { return pageCountFor(rowCount()); }
    const PrintTexts& texts() const { return texts_; }
    // "Date:" with the year, then month and day: "Date:2024-03-07".
    QString dateText() const { return dateText_; }
    // "Time:09:05:03".
    QString timeText() const { return timeText_; }

    // What page `page` (from 1) shows on a page of `pageSize` (0.1 mm).
    std::vector<PrintItem> layoutPage(int page, QSize pageSize) const;

    // The three fonts, sized in 0.1 mm: Courier New 4.8 mm bold for the title, Arial 3.6 mm
    // for headings, Courier New 3.0 mm for the rows; widths as close as the font allows.
    static QFont font(PrintFont which);

    // Paints page `page` with `painter` on a device of `pageSize` (0.1 mm); the painter's
    // origin is the top-left corner of the printable area.
    void paintPage(QPainter& painter, int page, QSize pageSize) const;

    // Prints pages `fromPage` to `toPage` (0: the last page) on `device`, which must not be
    // painted on yet. False when painting cannot begin.
    bool print(QPagedPaintDevice& device, int fromPage = 1, int toPage = 0) const;

private:
    struct Row {
        bool isGroup = false;
        QString label; // group name or code-and-description text
        QString factoryValue;
        QString editValue;
    };

    PrintTexts texts_;
    QString dateText_;
    QString timeText_;
    std::vector<Row> rows_;
};

// The size of a device's page in 0.1 mm, from the paper's full size.
QSize printPageSize(const QPagedPaintDevice& device);

} // namespace kvd
