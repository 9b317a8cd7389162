#include "core/app/commandline.h"
#include "core/app/commandmodes.h"

#include <QTextStream>

// qhsy --resave IN OUT: the comment file again, in the current format.
const CommandMode &CommandModes::resave()
{
    static const CommandMode mode{
        .name = QStringLiteral("--resave"),
        .usage = {QStringLiteral("--resave 输入文件 输出文件|-")},
        .help = QStringLiteral("  --resave IN OUT       读入评语文件 IN，按当前格式写出到 OUT（无需显示器）\n"),
        .problem = [](const CommandLine::Request &request) {
            return request.operands.size() == 2 ? QString() : QStringLiteral("--resave 需要两个参数：输入文件 输出文件");
        },
        .output = [](const CommandLine::Request &request) -> std::optional<ModeOutput> {
            return ModeOutput{request.operands[1], {request.operands[0]}};
        },
        .run = [](const CommandLine::Request &request, QTextStream &, QTextStream &err) {
            return CommandLine::resave(request.operands[0], request.operands[1], err);
        },
    };
    return mode;
}
