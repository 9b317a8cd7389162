#include "core/app/argumentcheck.h"
#include "core/app/commandline.h"
#include "core/app/commandmodes.h"
#include "core/app/draftcommand.h"
#include "core/app/programlocation.h"

#include <QTextStream>

namespace {

const QString Replace = QStringLiteral("--replace");
const QString Seed = QStringLiteral("--seed");
const QString Library = QStringLiteral("--library");

} // namespace

// qhsy --draft IN RATINGS OUT: drafts of the rated students' comments without a window.
const CommandMode &CommandModes::draft()
{
    static const CommandMode mode{
        .name = QStringLiteral("--draft"),
        .options = {{Replace}, {Seed, true, ArgumentCheck::seedProblem}, {Library, true}},
        .needsFonts = true,
        .usage = {QStringLiteral("--draft 输入文件 评价表 输出文件 [--seed 数] [--replace] [--library 评语库]")},
        .help = QStringLiteral(
            "  --draft IN RATINGS OUT\n"
            "                        按评价表 RATINGS（.csv、.xlsx、.ods：第一行为“姓名”和评语库的类别）从评语库\n"
            "                        为 IN 中已评价、评语为空的学生生成评语草稿（--replace：所有已评价的学生），\n"
            "                        按第一个打印方案裁短，写出到 OUT；每改一个学生输出一行：姓名<TAB>字数<TAB>\n"
            "                        所用类别。--seed 数：同一个数得到同样的草稿（默认 1）；--library：另用一个评语库\n"),
        .problem = [](const CommandLine::Request &request) {
            bool number = false;
            request.value(Seed, QStringLiteral("1")).toUInt(&number);
            // Standard output carries the students changed: OUT cannot go there as well.
            if (request.lacksValue(Seed) || request.lacksValue(Library) || !number || request.operands.size() != 3 ||
                request.operands.at(2) == CommandLine::StandardOutputName)
                return QStringLiteral("--draft 需要三个参数：输入文件 评价表 输出文件 [--seed 数（0 或更大）] "
                                      "[--replace] [--library 评语库]（输出文件不能是 -）");
            return QString();
        },
        .output = [](const CommandLine::Request &request) -> std::optional<ModeOutput> {
            QStringList inputs{request.operands[0], request.operands[1]};
            if (const QString library = request.value(Library); !library.isEmpty())
                inputs << library;
            return ModeOutput{request.operands[2], inputs};
        },
        .run = [](const CommandLine::Request &request, QTextStream &out, QTextStream &err) {
            const DraftCommand::Options options{request.value(Seed, QStringLiteral("1")).toUInt(),
                                                request.flag(Replace), request.value(Library)};
            return DraftCommand::run(request.operands[0], request.operands[1], request.operands[2], options,
                                     ProgramLocation::resolve(), out, err);
        },
    };
    return mode;
}
