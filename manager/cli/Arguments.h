// The command line of one kvd command: options from a table, the rest as operands. Kept
// apart from the commands so that every command reads its options the same way.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <span>

namespace kvd::cli {

struct OptionSpec {
    const char* name;      // without the leading "--"
    char shortName;        // 0 when the option has none
    const char* valueName; // nullptr for a switch
};

class Arguments {
public:
    // Takes "--name value", "--name=value", "-x value" and "-x"; "--" ends the options.
    // False, with error() set, for an unknown option or a missing value.
    bool parse(const QStringList& args, std::span<const OptionSpec> options);

    bool has(const QString& name) const { return values_.contains(name); }
    QString value(const QString& name, const QString& fallback = {}) const {
        return values_.value(name, fallback);
    }
    const QStringList& operands() const { return operands_; }
    const QString& error() const { return error_; }

private:
    QMap<QString, QString> values_;
    QStringList operands_;
    QString error_;
};

} // namespace kvd::cli
