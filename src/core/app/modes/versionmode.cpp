#include "core/app/commandline.h"
#include "core/app/commandmodes.h"

#include <QTextStream>

// qhsy --version (its usage stands in --help's line). What follows the name is not looked at.
const CommandMode &CommandModes::version()
{
    static const CommandMode mode{
        .name = QStringLiteral("--version"),
        .readsArguments = false,
        .help = QStringLiteral("  --version             显示版本\n"),
        .run = [](const CommandLine::Request &, QTextStream &out, QTextStream &) {
            out << QStringLiteral("青禾书苑 Quillmark %1（标准版）").arg(QStringLiteral(QHSY_VERSION)) << '\n';
            return 0;
        },
    };
    return mode;
}
