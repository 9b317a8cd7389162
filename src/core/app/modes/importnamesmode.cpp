#include "core/app/commandline.h"
#include "core/app/commandmodes.h"
#include "core/app/nameimportcommand.h"
#include "core/app/programlocation.h"

#include <QTextStream>

namespace {

const QString Replace = QStringLiteral("--replace");

} // namespace

// qhsy --import-names LIST IN|- OUT: names added to a class (or a new one) without a window.
const CommandMode &CommandModes::importNames()
{
    static const CommandMode mode{
        .name = QStringLiteral("--import-names"),
        .options = {{Replace}},
        .usage = {QStringLiteral("--import-names 名单文件 输入文件|- 输出文件 [--replace]")},
        .help = QStringLiteral(
            "  --import-names LIST IN OUT\n"
            "                        把名单文件 LIST（.txt、.csv、.xlsx、.ods、.xls）中的姓名添加到评语文件 IN\n"
            "                        的学生名单之后（--replace：替换原名单），写出到 OUT；IN 为 - 时用模板新建\n"
            "                        一个班。每导入一个姓名输出一行；略去的姓名（超过 100 人）、重名和过长的行\n"
            "                        在标准错误上说明\n"),
        .problem = [](const CommandLine::Request &request) {
            // Standard output carries the names taken: OUT cannot go there as well.
            if (request.operands.size() != 3 || request.operands.at(2) == CommandLine::StandardOutputName)
                return QStringLiteral("--import-names 需要三个参数：名单文件 输入文件|- 输出文件 [--replace]"
                                      "（输出文件不能是 -）");
            return QString();
        },
        .output = [](const CommandLine::Request &request) -> std::optional<ModeOutput> {
            return ModeOutput{request.operands[2], {request.operands[0], request.operands[1]}};
        },
        .run = [](const CommandLine::Request &request, QTextStream &out, QTextStream &err) {
            return NameImportCommand::run(request.operands[0], request.operands[1], request.operands[2],
                                          request.flag(Replace), ProgramLocation::resolve(), out, err);
        },
    };
    return mode;
}
