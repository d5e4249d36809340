// kvd: scripted drive work on the logic of the windows: probe a line, read a drive into a
// project, show it, write it to many stations, get and set single parameters.
#include "Commands.h"
#include "ConsolePrompter.h"
#include "Session.h"
#include "app/ResourceLibrary.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <unistd.h>

using namespace kvd;
using namespace kvd::cli;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvd"));

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    ConsolePrompter prompter(stderr, ::isatty(STDERR_FILENO) == 1);

    if (args.isEmpty()) {
        std::fputs(overviewText().toUtf8().constData(), stderr);
        return ExitUsage;
    }
    if (args.front() == QLatin1String("--help") || args.front() == QLatin1String("-h") ||
        args.front() == QLatin1String("help")) {
        printOut(overviewText());
        return ExitOk;
    }
    const QString name = args.takeFirst();
    const Command* command = findCommand(name);
    if (!command) {
        prompter.line(QStringLiteral("kvd: unknown command %1\nTry 'kvd --help'.").arg(name));
        return ExitUsage;
    }

    Arguments parsed;
    Context context{name, QCoreApplication::applicationDirPath() + u'/', prompter, parsed};
    if (!parsed.parse(args, command->options))
        return context.usage(parsed.error());
    if (parsed.has(QStringLiteral("help"))) {
        printOut(commandHelpText(*command));
        return ExitOk;
    }

    // Every message is a text of the resource library; without it the tool has nothing to say.
    ResourceLibrary& resources = ResourceLibrary::instance();
    if (!resources.load(context.programFolder)) {
        prompter.line(QStringLiteral("kvd: no resource library in %1")
                          .arg(QDir::toNativeSeparators(context.programFolder)));
        return ExitFailed;
    }
    const int rc = command->run(context);
    resources.unload();
    return rc;
}
