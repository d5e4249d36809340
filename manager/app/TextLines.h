// Reading the small line-oriented settings files safely: bounded size, either line ending,
// and the C library's forgiving number conversion.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kvd {

// Lines of a text file without their line endings; nothing when it cannot be opened.
// Reads at most `maxBytes`, so a damaged file of any size cannot exhaust memory.
std::optional<QStringList> readTextLines(const QString& path, qint64 maxBytes = 1 << 20);

// The decimal integer at the start of `text` after blanks, as atoi() takes it: "12abc" is 12,
// "abc" is 0; values beyond int are clamped.
int leadingInt(const QString& text);

} // namespace kvd
