#include "TextLines.h"

#include <QFile>

#include <climits>

namespace kvd {

std::optional<QStringList> readTextLines(const QString& path, qint64 maxBytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = f.read(maxBytes);
    QStringList lines = QString::fromUtf8(data).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the newline that ends the last line opens no new one
    for (QString& l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    return lines;
}

int leadingInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    long long v = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
        v = v * 10 + (text[i].unicode() - u'0');
        if (v > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -v : v);
}

} // namespace kvd
