#include "DocumentHost.h"

namespace kvd {

QStringList qtNameFilters(const QString& filterText) {
    QStringList filters;
    const QStringList parts = filterText.split(QLatin1Char('|'));
    // Pairs of description and patterns; the empty pieces of the closing "||" end the list.
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        const QString description = parts[k].trimmed();
        if (description.isEmpty())
            break;
        QString patterns = parts[k + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << description + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return filters;
}

} // namespace kvd
