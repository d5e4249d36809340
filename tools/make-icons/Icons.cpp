// Each picture is drawn in pixel coordinates of its own size. Outlines are one pixel wide and
// run along pixel centres (x.5), so straight edges stay sharp; only curves and slants are
// antialiased. Text and fonts are never used, so no display or font set is needed.
#include "Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvd::icons {
namespace {

// One small palette for every picture.
namespace pal {
const QColor ink(0x2b, 0x3a, 0x4a);        // outlines, needles
const QColor paper(0xff, 0xff, 0xff);      // pages
const QColor paperShade(0xd5, 0xdd, 0xe6); // folded corners
const QColor textLine(0x9a, 0xa8, 0xb6);   // lines of text on a page
const QColor blue(0x2f, 0x7b, 0xd8);
const QColor blueLight(0xcf, 0xe3, 0xfa);
const QColor blueDark(0x1d, 0x52, 0x9a);
const QColor green(0x2e, 0xa0, 0x5a);
const QColor orange(0xe8, 0x7d, 0x2a);
const QColor red(0xd6, 0x45, 0x45);
const QColor amber(0xf5, 0xc4, 0x4e);
const QColor amberDark(0xd9, 0x96, 0x2a);
const QColor steel(0x5d, 0x6d, 0x7e);
const QColor steelLight(0xc9, 0xd1, 0xda);
const QColor screen(0x1d, 0x2b, 0x36);
const QColor glow(0x5c, 0xe0, 0x8a);
} // namespace pal

// Fills `path` and outlines it with a sharp-cornered pen.
void shape(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& line = pal::ink,
           qreal width = 1.0) {
    p.setPen(QPen(line, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath rect(qreal left, qreal top, qreal right, qreal bottom) {
    QPainterPath path;
    path.addRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
    return path;
}

QPainterPath rounded(qreal left, qreal top, qreal right, qreal bottom, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(left, top), QPointF(right, bottom)), radius, radius);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Pixel-exact filled block: pixels [x, x + w) x [y, y + h).
void block(QPainter& p, int x, int y, int w, int h, const QColor& color) {
    p.fillRect(QRectF(x, y, w, h), color);
}

// A sheet of paper with its top right corner folded over, outline through pixel centres,
// and a line of text every second pixel row from `firstLine` (0: blank).
void page(QPainter& p, qreal left, qreal top, qreal right, qreal bottom, qreal fold,
          qreal firstLine = 0) {
    shape(p,
          polygon({{left, top},
                   {right - fold, top},
                   {right, top + fold},
                   {right, bottom},
                   {left, bottom}}),
          pal::paper);
    shape(p, polygon({{right - fold, top}, {right - fold, top + fold}, {right, top + fold}}),
          pal::paperShade);
    if (firstLine <= 0)
        return;
    const int x0 = static_cast<int>(left + 2.5);
    for (int y = static_cast<int>(firstLine); y + 2 <= bottom; y += 2) {
        // Lines under the fold stop short of it.
        const int x1 = static_cast<int>(y < top + fold + 1 ? right - fold - 1.5 : right - 1.5);
        block(p, x0, y, std::max(0, x1 - x0), 1, pal::textLine);
    }
}

// A drive: a dark box with a lit display and a dial.
void drive(QPainter& p, qreal left, qreal top, qreal right, qreal bottom) {
    shape(p, rounded(left, top, right, bottom, 1.0), pal::steel);
    const int x = static_cast<int>(left + 1.5);
    const int w = static_cast<int>(right - left) - 2;
    block(p, x, static_cast<int>(top + 1.5), w, 3, pal::glow);
    const QPointF dial((left + right) / 2, bottom - (bottom - top) * 0.3);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::steelLight);
    p.drawEllipse(dial, 1.7, 1.7);
}

// A solid block arrow from `tail` to `tip` (no outline: at this size it would blur the head).
void arrow(QPainter& p, QPointF tail, QPointF tip, const QColor& fill, qreal shaft = 2,
           qreal head = 8, qreal headLength = 5) {
    const QLineF line(tail, tip);
    const qreal len = line.length();
    const qreal s = shaft / 2;
    const qreal h = head / 2;
    const QPainterPath local = polygon({{0, -s},
                                        {len - headLength, -s},
                                        {len - headLength, -h},
                                        {len, 0},
                                        {len - headLength, h},
                                        {len - headLength, s},
                                        {0, s}});
    QTransform t;
    t.translate(tail.x(), tail.y());
    t.rotate(-line.angle());
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(t.map(local));
}

// --- The pictures -------------------------------------------------------------------------

void drawNew(QPainter& p) {
    page(p, 3.5, 1.5, 17.5, 20.5, 5);
}

void drawOpen(QPainter& p) {
    // Back of the folder with its tab, a sheet standing in it, the front flap tilted open.
    shape(p, polygon({{1.5, 4.5}, {7.5, 4.5}, {9.5, 6.5}, {16.5, 6.5}, {16.5, 18.5}, {1.5, 18.5}}),
          pal::amberDark);
    page(p, 4.5, 2.5, 14.5, 12.5, 3);
    shape(p, polygon({{5.5, 10.5}, {19.5, 10.5}, {16.5, 18.5}, {1.5, 18.5}}), pal::amber);
}

void drawSave(QPainter& p) {
    // A diskette: body with a cut corner, metal shutter, paper label.
    shape(p, polygon({{2.5, 2.5}, {16.5, 2.5}, {18.5, 4.5}, {18.5, 19.5}, {2.5, 19.5}}), pal::blue);
    shape(p, rect(6.5, 2.5, 14.5, 8.5), pal::steelLight);
    block(p, 11, 4, 2, 3, pal::blueDark);
    shape(p, rect(5.5, 11.5, 15.5, 19.5), pal::paper);
    block(p, 7, 14, 7, 1, pal::textLine);
    block(p, 7, 16, 7, 1, pal::textLine);
}

void drawPrint(QPainter& p) {
    page(p, 5.5, 1.5, 15.5, 9.5, 0);
    shape(p, rounded(1.5, 7.5, 19.5, 15.5, 2), pal::steelLight);
    block(p, 4, 12, 13, 1, pal::ink); // paper slot
    page(p, 5.5, 12.5, 15.5, 20.5, 0, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::green);
    p.drawEllipse(QPointF(16.5, 10), 1.1, 1.1);
}

void drawPrintPreview(QPainter& p) {
    page(p, 2.5, 1.5, 14.5, 19.5, 4, 4);
    // Magnifier over the lower right of the page.
    p.setPen(QPen(pal::ink, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16.2, 16.2), QPointF(19.3, 19.3));
    QColor lens = pal::blueLight;
    lens.setAlpha(210);
    p.setPen(QPen(pal::ink, 1.5));
    p.setBrush(lens);
    p.drawEllipse(QPointF(13, 13), 4.3, 4.3);
}

void drawConnect(QPainter& p) {
    // A plug with its cord (lower left) going into a socket with its cord (upper right),
    // drawn along the diagonal.
    p.save();
    p.translate(10.5, 11);
    p.rotate(-45);
    p.setPen(QPen(pal::ink, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(-15, 0), QPointF(-9, 0));
    p.drawLine(QPointF(9, 0), QPointF(15, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(pal::steel); // prongs
    p.drawRect(QRectF(-2, -3.2, 5, 1.8));
    p.drawRect(QRectF(-2, 1.4, 5, 1.8));
    shape(p, rounded(-9, -4.5, -2, 4.5, 1.5), pal::blue);
    shape(p, rounded(2, -5.5, 9, 5.5, 1.5), pal::steelLight);
    p.restore();
}

// Drive on the left, page on the right, and an arrow below showing which way data goes.
void transfer(QPainter& p, bool toDrive) {
    drive(p, 1.5, 1.5, 8.5, 13.5);
    page(p, 12.5, 1.5, 19.5, 13.5, 3, 7);
    if (toDrive)
        arrow(p, QPointF(20, 18), QPointF(1, 18), pal::orange);
    else
        arrow(p, QPointF(1, 18), QPointF(20, 18), pal::green);
}

void drawRead(QPainter& p) {
    transfer(p, false);
}

void drawWrite(QPainter& p) {
    transfer(p, true);
}

void drawCompare(QPainter& p) {
    page(p, 0.5, 2.5, 6.5, 19.5, 2, 6);
    page(p, 14.5, 2.5, 20.5, 19.5, 2, 6);
    block(p, 8, 8, 5, 2, pal::red);
    block(p, 8, 12, 5, 2, pal::red);
    p.setPen(QPen(pal::red, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(12.3, 5.5), QPointF(8.7, 16.5));
}

void drawGraphWatch(QPainter& p) {
    // An oscilloscope: bezel, screen with a grid and a wave, two knobs and a lamp.
    shape(p, rounded(0.5, 1.5, 20.5, 20.5, 2), pal::steelLight);
    shape(p, rect(2.5, 3.5, 18.5, 15.5), pal::screen);
    QColor grid = pal::glow;
    grid.setAlpha(70);
    for (int x : {6, 10, 14})
        block(p, x, 4, 1, 11, grid);
    block(p, 3, 9, 15, 1, grid);
    QPainterPath wave;
    for (int i = 0; i <= 60; ++i) {
        const qreal x = 3 + 15.0 * i / 60;
        const qreal y = 9.5 - 3.6 * std::sin((x - 3) / 15.0 * 3 * std::numbers::pi);
        i == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
    }
    p.save();
    p.setClipRect(QRectF(3, 4, 15, 11));
    p.setPen(QPen(pal::glow, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::steel);
    p.drawEllipse(QPointF(5, 18), 1.4, 1.4);
    p.drawEllipse(QPointF(9, 18), 1.4, 1.4);
    p.setBrush(pal::green);
    p.drawEllipse(QPointF(16, 18), 1.1, 1.1);
}

void drawKeyPad(QPainter& p) {
    shape(p, rounded(2.5, 0.5, 18.5, 21.5, 2), pal::steelLight);
    shape(p, rect(4.5, 2.5, 16.5, 6.5), pal::screen);
    block(p, 11, 4, 4, 1, pal::glow);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            block(p, 5 + 4 * col, 8 + 4 * row, 3, 3,
                  row == 2 && col == 2 ? pal::green : pal::steel);
}

void drawControl(QPainter& p) {
    shape(p, polygon({{1.5, 4.5}, {10.5, 11}, {1.5, 17.5}}), pal::green);
    shape(p, rect(12.5, 6.5, 19.5, 15.5), pal::red);
}

void drawStatus(QPainter& p) {
    // A dial: coloured scale over three quarters of a turn, needle, hub.
    const QPointF c(10.5, 11);
    p.setPen(QPen(pal::ink, 1));
    p.setBrush(pal::paper);
    p.drawEllipse(c, 9.5, 9.5);
    const QRectF arc(c.x() - 6.2, c.y() - 6.2, 12.4, 12.4);
    const struct {
        qreal from, span;
        QColor color;
    } bands[] = {{225, -135, pal::green}, {90, -60, pal::amber}, {30, -75, pal::red}};
    p.setBrush(Qt::NoBrush);
    for (const auto& b : bands) {
        p.setPen(QPen(b.color, 2.4, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(arc, static_cast<int>(b.from * 16), static_cast<int>(b.span * 16));
    }
    const qreal a = 55 * std::numbers::pi / 180;
    p.setPen(QPen(pal::ink, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(7 * std::cos(a), -7 * std::sin(a)));
    p.setPen(Qt::NoPen);
    p.setBrush(pal::ink);
    p.drawEllipse(c, 1.8, 1.8);
}

void drawAbout(QPainter& p) {
    const QPointF c(10.5, 11);
    p.setPen(QPen(pal::blueDark, 1));
    p.setBrush(pal::blue);
    p.drawEllipse(c, 9.5, 9.5);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawEllipse(QPointF(10.5, 6), 1.6, 1.6);
    block(p, 9, 9, 3, 8, pal::paper);
    block(p, 8, 9, 1, 1, pal::paper); // serifs
    block(p, 8, 16, 5, 1, pal::paper);
}

void drawRowMarker(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(pal::ink);
    p.drawPath(polygon({{5, 3}, {11, 8}, {5, 13}}));
}

constexpr int kButtonWidth = 21;
constexpr int kButtonHeight = 22;

const IconDef kIcons[] = {
    {152, 16, 16, "row marker", drawRowMarker},
    {32772, kButtonWidth, kButtonHeight, "connect", drawConnect},
    {32788, kButtonWidth, kButtonHeight, "read", drawRead},
    {32789, kButtonWidth, kButtonHeight, "write", drawWrite},
    {32790, kButtonWidth, kButtonHeight, "status", drawStatus},
    {32791, kButtonWidth, kButtonHeight, "control", drawControl},
    {32792, kButtonWidth, kButtonHeight, "graph watch", drawGraphWatch},
    {32793, kButtonWidth, kButtonHeight, "keypad", drawKeyPad},
    {32821, kButtonWidth, kButtonHeight, "compare", drawCompare},
    {57600, kButtonWidth, kButtonHeight, "new", drawNew},
    {57601, kButtonWidth, kButtonHeight, "open", drawOpen},
    {57603, kButtonWidth, kButtonHeight, "save", drawSave},
    {57607, kButtonWidth, kButtonHeight, "print", drawPrint},
    {57609, kButtonWidth, kButtonHeight, "print preview", drawPrintPreview},
    {57664, kButtonWidth, kButtonHeight, "about", drawAbout},
};

} // namespace

std::span<const IconDef> iconDefs() {
    return kIcons;
}

QImage render(const IconDef& def) {
    QImage image(def.width, def.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        def.draw(p);
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage contactSheet(std::span<const IconDef> defs, int scale) {
    constexpr int pad = 6;
    int maxW = 1;
    int maxH = 1;
    for (const auto& s : defs) {
        maxW = std::max(maxW, s.width);
        maxH = std::max(maxH, s.height);
    }
    const int cellW = maxW * scale + 2 * pad;
    const int bigH = maxH * scale + 2 * pad;
    const int smallH = maxH + 2 * pad;
    const int columns = static_cast<int>(defs.size());
    QImage sheet(std::max(1, columns) * cellW, 2 * bigH + 2 * smallH, QImage::Format_ARGB32);
    const QColor light(0xf0, 0xf0, 0xf0);
    const QColor dark(0x3c, 0x3f, 0x41);
    QPainter p(&sheet);
    p.fillRect(0, 0, sheet.width(), bigH, light);
    p.fillRect(0, bigH, sheet.width(), bigH, dark);
    p.fillRect(0, 2 * bigH, sheet.width(), smallH, light);
    p.fillRect(0, 2 * bigH + smallH, sheet.width(), smallH, dark);
    for (int i = 0; i < columns; ++i) {
        const QImage icon = render(defs[i]);
        const QImage big =
            icon.scaled(icon.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const int x = i * cellW;
        p.drawImage(x + pad, pad, big);
        p.drawImage(x + pad, bigH + pad, big);
        p.drawImage(x + pad, 2 * bigH + pad, icon);
        p.drawImage(x + pad, 2 * bigH + smallH + pad, icon);
        // Thin frame of the icon's own size, to judge margins.
        p.setPen(QColor(0xb0, 0x60, 0x60));
        p.setBrush(Qt::NoBrush);
        p.drawRect(x + pad - 1, pad - 1, big.width() + 1, big.height() + 1);
    }
    return sheet;
}

} // namespace kvd::icons
