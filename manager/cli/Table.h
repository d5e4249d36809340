// Plain-text and CSV tables for standard output.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace kvd::cli {

class Table {
public:
    void addRow(const QStringList& cells) { rows_.push_back({cells, false}); }
    // A line of its own between the rows (a group's title); it does not widen the columns.
    void addTitle(const QString& text) { rows_.push_back({{text}, true}); }

    // Columns padded to their widest cell and two blanks apart; the last column unpadded, so
    // long descriptions go last.
    QString text() const;
    // Comma-separated values, quoted where a cell holds a comma, a quote or a line break.
    // Titles are left out.
    QString csv() const;

private:
    struct Row {
        QStringList cells;
        bool title;
    };
    std::vector<Row> rows_;
};

} // namespace kvd::cli
