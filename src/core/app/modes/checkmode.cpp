#include "core/app/commandline.h"
#include "core/app/commandmodes.h"
#include "core/app/programlocation.h"

#include <QTextStream>

namespace {

const QString Scheme = QStringLiteral("--scheme");
const QString Repeat = QStringLiteral("--repeat");

// --repeat's number, 3 when it is not given; 0 when it is no number.
int repeatLimit(const CommandLine::Request &request)
{
    return request.value(Repeat, QStringLiteral("3")).toInt();
}

} // namespace

// qhsy --check IN...: the class check, one finding a line.
const CommandMode &CommandModes::check()
{
    static const CommandMode mode{
        .name = QStringLiteral("--check"),
        .options = {{Scheme, true}, {Repeat, true}},
        .needsFonts = true,
        .usage = {QStringLiteral("--check 输入文件... [--scheme 方案名] [--repeat 人数]")},
        .help = QStringLiteral(
            "  --check IN...         检查全班评语：空评语、提到其他学生、重复、超出打印区域，每行一项：\n"
            "                        姓名<TAB>类别<TAB>说明（--repeat 人数：同一句话出现在多于这么多人的\n"
            "                        评语中才算重复，默认 3）；给出多个 IN 时每行前加“文件名: ”\n"),
        .problem = [](const CommandLine::Request &request) {
            if (request.lacksValue(Scheme) || request.lacksValue(Repeat) || repeatLimit(request) < 1 ||
                request.operands.isEmpty())
                return QStringLiteral(
                    "--check 需要至少一个参数：输入文件... [--scheme 方案名] [--repeat 人数（1 或更多）]");
            return QString();
        },
        .run = [](const CommandLine::Request &request, QTextStream &out, QTextStream &err) {
            return CommandLine::check(request.operands, request.value(Scheme), repeatLimit(request),
                                      ProgramLocation::resolve(), out, err);
        },
    };
    return mode;
}
