#include "ParamPrinter.h"

#include "app/CQ770Doc.h"
#include "app/ResourceLibrary.h"
#include "resources/StringIds.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace kvd {

namespace {

// First-page header.
constexpr int kHeaderRuleY = 200;
constexpr int kTitleY = 120;
constexpr int kTitleUnitsPerByte = 20;
constexpr int kDepartmentX = 50;
constexpr int kSignatureY = 280;

// Rows and column headings, first page and further pages.
constexpr int kFirstRowsTop = 550;
constexpr int kRowsTop = 300;
constexpr int kFirstHeadingsBase = 400;
constexpr int kHeadingsBase = 150;
constexpr int kHeadingRaise = 70;
constexpr int kFirstPageLines = 40;
constexpr int kPageLines = 42;
constexpr int kPitchMargin = 50;
constexpr int kLeftX = 50;
constexpr int kItemX = 100;

// Footer: below the last row of either kind of page on A4 and Letter paper.
constexpr int kFooterRuleFromBottom = 200;
constexpr int kFooterTextFromBottom = 180;

// Rules 0.3 mm wide, visible on any printer resolution.
constexpr int kRuleWidth = 3;
// Space kept free between a row's columns.
constexpr int kColumnGap = 20;

QString twoDigits(int v) {
    return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0'));
}

// The date string carries a field for the year in some resource libraries and none in others;
// either way the year is printed once, before month and day.
QString makeDateText(const QDate& date) {
    const QString pattern = resText(ids::PrintDate);
    const QString year = QString::number(date.year()).rightJustified(4, u'0');
    const QString monthDay = twoDigits(date.month()) + u'-' + twoDigits(date.day());
    if (pattern.contains(u'%'))
        return formatPrintf(pattern, {year}) + monthDay;
    return pattern + year + u'-' + monthDay;
}

QString makeTimeText(const QTime& time) {
    return resText(ids::PrintTime) + twoDigits(time.hour()) + u':' + twoDigits(time.minute()) +
           u':' + twoDigits(time.second());
}

PrintItem text(PrintFont font, int x, int y, const QString& s, int width = 0) {
    return {PrintItem::Text, font, QPoint(x, y), QPoint(x, y), s, width};
}

PrintItem line(int x1, int y, int x2) {
    return {PrintItem::Line, PrintFont::Body, QPoint(x1, y), QPoint(x2, y), QString(), 0};
}

} // namespace

PrintTexts PrintTexts::initial() {
    return {resText(ids::PrintTitleDefault), QString(), QString()};
}

int printByteLength(const QString& text) {
    int bytes = 0;
    for (const char32_t c : text.toUcs4())
        bytes += c < 0x80 ? 1 : 2;
    return bytes;
}

int checkPrintTexts(const PrintTexts& texts) {
    if (printByteLength(texts.title) > kPrintTextLimit ||
        printByteLength(texts.name) > kPrintTextLimit)
        return ids::PrintTitleTooLong;
    return 0;
}

ParamPrinter::ParamPrinter(const CQ770Doc& doc, PrintTexts texts, const QDateTime& when)
    : texts_(std::move(texts)), dateText_(makeDateText(when.date())),
      timeText_(makeTimeText(when.time())) {
    for (const ParamGroup& group : doc.groups()) {
        rows_.push_back({true, QString::fromStdString(group.name), {}, {}});
        for (const ParamItem& item : group.items)
            rows_.push_back({false, QString::fromStdString(item.label),
                             QString::fromStdString(item.factoryValue),
                             QString::fromStdString(item.editValue)});
    }
}

int ParamPrinter::pageCountFor(int rows) {
    if (rows <= kFirstPageRows)
        return 1;
    return 1 + (rows - kFirstPageRows + kPageRows - 1) / kPageRows;
}

int ParamPrinter::firstRowOfPage(int page) {
    return page <= 1 ? 0 : kFirstPageRows + (page - 2) * kPageRows;
}

int ParamPrinter::rowsOfPage(int page) {
    return page <= 1 ? kFirstPageRows : kPageRows;
}

std::vector<PrintItem> ParamPrinter::layoutPage(int page, QSize pageSize) const {
    std::vector<PrintItem> items;
    if (page < 1 || page > pageCount())
        return items;
    const int w = pageSize.width();
    const int h = pageSize.height();
    const bool first = page == 1;

    if (first) {
        items.push_back(line(0, kHeaderRuleY, w));
        const int titleX = (w - kTitleUnitsPerByte * printByteLength(texts_.title)) / 2;
        items.push_back(text(PrintFont::Title, titleX, kTitleY, texts_.title));
        items.push_back(text(PrintFont::Heading, kDepartmentX, kSignatureY,
                             resText(ids::PrintDepartment) + texts_.department));
        items.push_back(text(PrintFont::Heading, w / 5 * 3, kSignatureY,
                             resText(ids::PrintName) + texts_.name));
    }

    const int pitch = (h - kPitchMargin) / (first ? kFirstPageLines : kPageLines);
    const int top = first ? kFirstRowsTop : kRowsTop;
    const int base = first ? kFirstHeadingsBase : kHeadingsBase;
    items.push_back(line(0, base + pitch, w));
    const int headingY = pitch + base - kHeadingRaise;
    items.push_back(text(PrintFont::Heading, kLeftX, headingY, resText(ids::ColumnDescription)));
    items.push_back(
        text(PrintFont::Heading, w / 10 * 6 + 25, headingY, resText(ids::ColumnFactory)));
    items.push_back(text(PrintFont::Heading, w / 20 * 16, headingY, resText(ids::ColumnCurrent)));

    const int factoryX = w / 10 * 7;
    const int editX = w / 20 * 17 + 20;
    const int firstRow = firstRowOfPage(page);
    const int lastRow = std::min(rowCount(), firstRow + rowsOfPage(page));
    for (int r = firstRow; r < lastRow; ++r) {
        const Row& row = rows_[static_cast<std::size_t>(r)];
        const int y = top + (r - firstRow) * pitch;
        if (row.isGroup) {
            items.push_back(text(PrintFont::Body, kLeftX, y, u'[' + row.label + u']'));
        } else {
            items.push_back(
                text(PrintFont::Body, kItemX, y, row.label, factoryX - kColumnGap - kItemX));
            items.push_back(text(PrintFont::Body, factoryX, y, row.factoryValue,
                                 editX - kColumnGap - factoryX));
            items.push_back(text(PrintFont::Body, editX, y, row.editValue, w - editX));
        }
    }

    const int footerY = h - kFooterTextFromBottom;
    items.push_back(line(0, h - kFooterRuleFromBottom, w));
    items.push_back(text(PrintFont::Body, kLeftX, footerY, dateText_));
    items.push_back(text(PrintFont::Body, w / 10 * 3, footerY, timeText_));
    items.push_back(text(PrintFont::Body, w / 10 * 6 + 25, footerY,
                         resText(ids::PrintPage) + QString::number(page)));
    items.push_back(text(PrintFont::Body, w / 20 * 16, footerY, resText(ids::AppName)));
    return items;
}

QFont ParamPrinter::font(PrintFont which) {
    struct Face {
        const char* family;
        QFont::StyleHint hint;
        int height;
        int width;
        QFont::Weight weight;
    };
    static const Face faces[] = {
        {"Courier New", QFont::TypeWriter, 48, 39, QFont::Bold},
        {"Arial", QFont::SansSerif, 36, 20, QFont::Medium},
        {"Courier New", QFont::TypeWriter, 30, 16, QFont::Normal},
    };
    const Face& s = faces[static_cast<int>(which)];
    QFont f(QString::fromLatin1(s.family));
    f.setStyleHint(s.hint);
    f.setWeight(s.weight);
    // The heights are cell heights (ascent and descent), the widths average character widths;
    // scale the font until its metrics match, whatever family stands in for the named one.
    constexpr int probe = 100;
    f.setPixelSize(probe);
    const QFontMetricsF probeMetrics(f);
    if (probeMetrics.height() > 0)
        f.setPixelSize(
            std::max(1, static_cast<int>(std::lround(s.height * probe / probeMetrics.height()))));
    const qreal average = QFontMetricsF(f).averageCharWidth();
    if (average > 0) {
        const int stretch = static_cast<int>(std::lround(100.0 * s.width / average));
        f.setStretch(std::clamp(stretch, 1, 4000));
    }
    return f;
}

void ParamPrinter::paintPage(QPainter& painter, int page, QSize pageSize) const {
    painter.save();
    const QPaintDevice* device = painter.device();
    // Device pixels per 0.1 mm.
    painter.scale(device->logicalDpiX() / 254.0, device->logicalDpiY() / 254.0);
    painter.setPen(QPen(Qt::black, kRuleWidth));
    const QFont fonts[] = {font(PrintFont::Title), font(PrintFont::Heading), font(PrintFont::Body)};
    for (const PrintItem& item : layoutPage(page, pageSize)) {
        if (item.kind == PrintItem::Line) {
            painter.drawLine(item.from, item.to);
            continue;
        }
        const QFont& f = fonts[static_cast<int>(item.font)];
        painter.setFont(f);
        const QString shown =
            item.width > 0 ? QFontMetricsF(f).elidedText(item.text, Qt::ElideRight, item.width)
                           : item.text;
        const QRectF cell(item.from, QSizeF(pageSize.width() * 2, pageSize.height()));
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                         shown);
    }
    painter.restore();
}

bool ParamPrinter::print(QPagedPaintDevice& device, int fromPage, int toPage) const {
    const int last = toPage <= 0 ? pageCount() : std::min(toPage, pageCount());
    const int first = std::max(1, fromPage);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QSize size = printPageSize(device);
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage())
            return false;
        paintPage(painter, page, size);
    }
    return painter.end();
}

QSize printPageSize(const QPagedPaintDevice& device) {
    const QSizeF mm = device.pageLayout().fullRect(QPageLayout::Millimeter).size();
    return {static_cast<int>(std::lround(mm.width() * 10)),
            static_cast<int>(std::lround(mm.height() * 10))};
}

} // namespace kvd
