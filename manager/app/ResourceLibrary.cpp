#include "ResourceLibrary.h"

#include "resources/kvdres.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QRegularExpression>

namespace kvd {

struct ResourceLibrary::Api {
    decltype(&kvdres_interface_version) version = nullptr;
    decltype(&kvdres_string) string = nullptr;
    decltype(&kvdres_menu) menu = nullptr;
    decltype(&kvdres_accelerators) accelerators = nullptr;
    decltype(&kvdres_toolbar) toolbar = nullptr;
    decltype(&kvdres_dialog) dialog = nullptr;
    decltype(&kvdres_image) image = nullptr;
};

ResourceLibrary::ResourceLibrary() = default;
ResourceLibrary::~ResourceLibrary() {
    unload();
}

ResourceLibrary& ResourceLibrary::instance() {
    static ResourceLibrary library;
    return library;
}

bool ResourceLibrary::load(const QString& programFolder) {
    unload();
    // The program folder first, then the installed library folder beside the program's.
    // No search of the system's library path: a stray copy elsewhere must not be picked up.
    const QString base = QStringLiteral("KVD_ResDll");
    const QStringList candidates{
        QDir(programFolder).filePath(base),
        QDir(programFolder).filePath(QStringLiteral("../lib/kvd-manager/") + base),
        QDir(programFolder).filePath(QStringLiteral("../lib64/kvd-manager/") + base),
    };
    for (const QString& c : candidates) {
        auto lib = std::make_unique<QLibrary>(QDir::cleanPath(c));
        if (!lib->load())
            continue;
        auto api = std::make_unique<Api>();
        api->version =
            reinterpret_cast<decltype(api->version)>(lib->resolve("kvdres_interface_version"));
        api->string = reinterpret_cast<decltype(api->string)>(lib->resolve("kvdres_string"));
        api->menu = reinterpret_cast<decltype(api->menu)>(lib->resolve("kvdres_menu"));
        api->accelerators =
            reinterpret_cast<decltype(api->accelerators)>(lib->resolve("kvdres_accelerators"));
        api->toolbar = reinterpret_cast<decltype(api->toolbar)>(lib->resolve("kvdres_toolbar"));
        api->dialog = reinterpret_cast<decltype(api->dialog)>(lib->resolve("kvdres_dialog"));
        api->image = reinterpret_cast<decltype(api->image)>(lib->resolve("kvdres_image"));
        if (!api->version || api->version() != KVDRES_INTERFACE_VERSION || !api->string ||
            !api->menu || !api->accelerators || !api->toolbar || !api->dialog || !api->image) {
            lib->unload();
            continue;
        }
        lib_ = std::move(lib);
        api_ = std::move(api);
        return true;
    }
    return false;
}

void ResourceLibrary::unload() {
    api_.reset();
    if (lib_) {
        lib_->unload();
        lib_.reset();
    }
}

bool ResourceLibrary::isLoaded() const {
    return api_ != nullptr;
}

QString ResourceLibrary::path() const {
    return lib_ ? lib_->fileName() : QString();
}

QString ResourceLibrary::string(int id) const {
    if (!api_ || id < 0)
        return {};
    const char* s = api_->string(static_cast<unsigned>(id));
    return s ? QString::fromUtf8(s) : QString();
}

QString ResourceLibrary::format(int id, const QStringList& args) const {
    return formatPrintf(string(id), args);
}

QList<MenuLine> ResourceLibrary::menu(int id) const {
    QList<MenuLine> out;
    const KvdMenuLine* lines = nullptr;
    const int n = api_ ? api_->menu(static_cast<unsigned>(id), &lines) : -1;
    for (int i = 0; i < n; ++i)
        out.append({lines[i].depth, lines[i].id,
                    lines[i].text ? QString::fromUtf8(lines[i].text) : QString()});
    return out;
}

QList<QPair<QString, unsigned>> ResourceLibrary::accelerators(int id) const {
    QList<QPair<QString, unsigned>> out;
    const KvdAccel* a = nullptr;
    const int n = api_ ? api_->accelerators(static_cast<unsigned>(id), &a) : -1;
    for (int i = 0; i < n; ++i)
        out.append({QString::fromUtf8(a[i].keys), a[i].command});
    return out;
}

QList<unsigned> ResourceLibrary::toolBar(int id) const {
    QList<unsigned> out;
    const unsigned* c = nullptr;
    const int n = api_ ? api_->toolbar(static_cast<unsigned>(id), &c) : -1;
    for (int i = 0; i < n; ++i)
        out.append(c[i]);
    return out;
}

QList<QPair<unsigned, QString>> ResourceLibrary::dialogTexts(int id) const {
    QList<QPair<unsigned, QString>> out;
    const KvdDialogText* t = nullptr;
    const int n = api_ ? api_->dialog(static_cast<unsigned>(id), &t) : -1;
    for (int i = 0; i < n; ++i)
        out.append({t[i].control, QString::fromUtf8(t[i].text ? t[i].text : "")});
    return out;
}

QString ResourceLibrary::dialogText(int dialogId, unsigned control) const {
    for (const auto& [c, text] : dialogTexts(dialogId))
        if (c == control)
            return text;
    return {};
}

QByteArray ResourceLibrary::image(int id) const {
    std::size_t size = 0;
    const unsigned char* data = api_ ? api_->image(static_cast<unsigned>(id), &size) : nullptr;
    return data ? QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
                : QByteArray();
}

QString formatPrintf(const QString& pattern, const QStringList& args) {
    // %[flags][width][.precision]conversion; "%%" is a percent sign.
    static const QRegularExpression field(
        QStringLiteral("%([-+ 0#]*)(\\d*)(?:\\.(\\d+))?(?:hh|h|ll|l)?([diouxXfFeEgGcs%])"));
    QString out;
    qsizetype pos = 0;
    int next = 0;
    auto it = field.globalMatch(pattern);
    while (it.hasNext()) {
        const auto m = it.next();
        out += pattern.mid(pos, m.capturedStart() - pos);
        pos = m.capturedEnd();
        const QChar conv = m.captured(4).at(0);
        if (conv == u'%') {
            out += u'%';
            continue;
        }
        const QString arg = next < args.size() ? args[next] : QString();
        ++next;
        const QString flags = m.captured(1);
        const int width = m.captured(2).toInt();
        const QChar pad = flags.contains(u'0') && !flags.contains(u'-') ? u'0' : u' ';
        QString value;
        if (conv == u'd' || conv == u'i' || conv == u'u') {
            value = QString::number(arg.trimmed().toLongLong());
        } else if (conv == u'x' || conv == u'X') {
            value = QString::number(arg.trimmed().toLongLong(), 16);
            if (conv == u'X')
                value = value.toUpper();
        } else if (conv == u'f' || conv == u'F' || conv == u'e' || conv == u'E' || conv == u'g' ||
                   conv == u'G') {
            const int prec = m.captured(3).isEmpty() ? 6 : m.captured(3).toInt();
            value = QString::number(arg.trimmed().toDouble(), conv.toLatin1(), prec);
        } else {
            value = arg;
        }
        if (value.size() < width) {
            if (flags.contains(u'-'))
                value = value.leftJustified(width, u' ');
            else if (pad == u'0' && value.startsWith(u'-'))
                value = u'-' + value.mid(1).rightJustified(width - 1, u'0');
            else
                value = value.rightJustified(width, pad);
        }
        out += value;
    }
    out += pattern.mid(pos);
    return out;
}

QString resText(int id) {
    return ResourceLibrary::instance().string(id);
}

} // namespace kvd
