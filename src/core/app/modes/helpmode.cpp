#include "core/app/commandline.h"
#include "core/app/commandmodes.h"

#include <QTextStream>

// qhsy --help: the usage of every mode. What follows the name is not looked at.
const CommandMode &CommandModes::help()
{
    static const CommandMode mode{
        .name = QStringLiteral("--help"),
        .aliases = {QStringLiteral("-h")},
        .readsArguments = false,
        .usage = {QStringLiteral("--help | --version")},
        .help = QStringLiteral("  --help                显示本帮助\n"),
        .run = [](const CommandLine::Request &, QTextStream &out, QTextStream &) {
            out << CommandLine::helpText();
            return 0;
        },
    };
    return mode;
}
