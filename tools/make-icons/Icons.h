// The pictures of the resource library, each drawn from simple vector shapes.
#pragma once

#include <QImage>

#include <span>

class QPainter;

namespace kvd::icons {

struct IconDef {
    unsigned id; // image id; a tool bar button shows the image with its command's id
    int width;
    int height;
    const char* name;
    void (*draw)(QPainter&);
};

// Every picture, in ascending id order.
std::span<const IconDef> iconDefs();

// The picture on a transparent background, antialiased.
QImage render(const IconDef& def);

// All pictures side by side, each enlarged `scale` times without smoothing, on a light and a
// dark row, with a row at their real size below: for looking at them.
QImage contactSheet(std::span<const IconDef> defs, int scale);

} // namespace kvd::icons
