#include "Arguments.h"

namespace kvd::cli {

bool Arguments::parse(const QStringList& args, std::span<const OptionSpec> options) {
    values_.clear();
    operands_.clear();
    error_.clear();
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(u'-')) {
            operands_.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name;
        QString inlineValue;
        bool hasInline = false;
        const OptionSpec* entry = nullptr;
        if (arg.startsWith(QLatin1String("--"))) {
            name = arg.mid(2);
            if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
                inlineValue = name.mid(eq + 1);
                name.truncate(eq);
                hasInline = true;
            }
            for (const OptionSpec& o : options)
                if (name == QLatin1String(o.name))
                    entry = &o;
        } else if (arg.size() == 2) {
            for (const OptionSpec& o : options)
                if (o.shortName != 0 && arg[1] == QLatin1Char(o.shortName))
                    entry = &o;
        }
        if (!entry) {
            error_ = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
        name = QLatin1String(entry->name);
        if (!entry->valueName) {
            if (hasInline) {
                error_ = QStringLiteral("--%1 takes no value").arg(name);
                return false;
            }
            values_.insert(name, QString());
            continue;
        }
        if (!hasInline) {
            if (i + 1 >= args.size()) {
                error_ = QStringLiteral("--%1 needs a value (%2)").arg(name, entry->valueName);
                return false;
            }
            inlineValue = args[++i];
        }
        values_.insert(name, inlineValue);
    }
    return true;
}

} // namespace kvd::cli
