#include "Table.h"

#include <algorithm>

namespace kvd::cli {

QString Table::text() const {
    std::vector<qsizetype> widths;
    for (const Row& r : rows_) {
        if (r.title)
            continue;
        if (widths.size() < static_cast<std::size_t>(r.cells.size()))
            widths.resize(static_cast<std::size_t>(r.cells.size()), 0);
        for (qsizetype i = 0; i < r.cells.size(); ++i)
            widths[static_cast<std::size_t>(i)] =
                std::max(widths[static_cast<std::size_t>(i)], r.cells[i].size());
    }
    QString out;
    for (const Row& r : rows_) {
        if (r.title) {
            out += r.cells.value(0) + u'\n';
            continue;
        }
        QString line;
        for (qsizetype i = 0; i < r.cells.size(); ++i) {
            if (i + 1 < r.cells.size())
                line += r.cells[i].leftJustified(widths[static_cast<std::size_t>(i)]) +
                        QStringLiteral("  ");
            else
                line += r.cells[i];
        }
        // A last cell left empty leaves only padding behind.
        while (line.endsWith(u' '))
            line.chop(1);
        out += line + u'\n';
    }
    return out;
}

QString Table::csv() const {
    QString out;
    for (const Row& r : rows_) {
        if (r.title)
            continue;
        QStringList cells;
        for (QString cell : r.cells) {
            if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') ||
                cell.contains(u'\r')) {
                cell.replace(QStringLiteral("\""), QStringLiteral("\"\""));
                cell = u'"' + cell + u'"';
            }
            cells.append(cell);
        }
        out += cells.join(u',') + u'\n';
    }
    return out;
}

} // namespace kvd::cli
