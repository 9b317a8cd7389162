#include "core/app/commandline.h"
#include "core/app/commandmodes.h"

#include <QTextStream>

// qhsy --export-text IN OUT: the class's comments as the exported text file.
const CommandMode &CommandModes::exportText()
{
    static const CommandMode mode{
        .name = QStringLiteral("--export-text"),
        .usage = {QStringLiteral("--export-text 输入文件 输出文件|-")},
        .help = QStringLiteral(
            "  --export-text IN OUT  读入评语文件 IN，把全班评语导出为文本文件 OUT（无需显示器）\n"
            "                        （OUT 为 - 时写到标准输出；OUT 为设备或管道时直接写入，不会被文件替换）\n"),
        .problem = [](const CommandLine::Request &request) {
            return request.operands.size() == 2 ? QString()
                                                : QStringLiteral("--export-text 需要两个参数：输入文件 输出文件");
        },
        .output = [](const CommandLine::Request &request) -> std::optional<ModeOutput> {
            return ModeOutput{request.operands[1], {request.operands[0]}, false};
        },
        .run = [](const CommandLine::Request &request, QTextStream &, QTextStream &err) {
            return CommandLine::exportText(request.operands[0], request.operands[1], err);
        },
    };
    return mode;
}
