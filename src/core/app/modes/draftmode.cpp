#include "core/app/argumentcheck.h"
#include "core/app/commandline.h"
#include "core/app/commandmodes.h"
#include "core/app/draftcommand.h"
#include "core/app/programlocation.h"
#include "core/document/classsettings.h"

#include <QTextStream>

namespace {

const QString Replace = QStringLiteral("--replace");
const QString Seed = QStringLiteral("--seed");
const QString Library = QStringLiteral("--library");
const QString StageOption = QStringLiteral("--stage");
const QString TermOption = QStringLiteral("--term");
const QString LengthOption = QStringLiteral("--length");

QString stageProblem(const QString &stage)
{
    if (ClassSettings::parseStage(stage))
        return {};
    return QStringLiteral("无法识别的学段“%1”：请写 小学、小学低年级、小学高年级、初中 或 高中。")
        .arg(CommandLine::escapeField(stage));
}

QString termProblem(const QString &term)
{
    if (ClassSettings::parseTerm(term))
        return {};
    return QStringLiteral("无法识别的学期“%1”：请写 上 或 下（上学期、下学期也可以）。")
        .arg(CommandLine::escapeField(term));
}

QString lengthProblem(const QString &length)
{
    if (ClassSettings::parseLength(length))
        return {};
    return QStringLiteral("无法识别的字数“%1”：请写成“最少-最多”，例如 100-180（10 到 1000 字，最少不大于最多）。")
        .arg(CommandLine::escapeField(length));
}

/// --stage, --term and --length as given (each already read by its own check); unset when not given.
ClassSettings draftSettings(const CommandLine::Request &request)
{
    ClassSettings settings;
    if (const QString stage = request.value(StageOption); !stage.isNull())
        settings.stage = ClassSettings::parseStage(stage);
    if (const QString term = request.value(TermOption); !term.isNull())
        settings.term = ClassSettings::parseTerm(term);
    if (const auto window = ClassSettings::parseLength(request.value(LengthOption))) {
        settings.minLength = window->first;
        settings.maxLength = window->second;
    }
    return settings;
}

} // namespace

// qhsy --draft IN RATINGS OUT: drafts of the rated students' comments without a window.
const CommandMode &CommandModes::draft()
{
    static const CommandMode mode{
        .name = QStringLiteral("--draft"),
        .options = {{Replace},
                    {Seed, true, ArgumentCheck::seedProblem},
                    {Library, true},
                    {StageOption, true, stageProblem},
                    {TermOption, true, termProblem},
                    {LengthOption, true, lengthProblem}},
        .needsFonts = true,
        .usage = {QStringLiteral("--draft 输入文件 评价表 输出文件 [--seed 数] [--replace] [--library 评语库]"),
                  QStringLiteral("             [--stage 学段] [--term 上|下] [--length 最少-最多]")},
        .help = QStringLiteral(
            "  --draft IN RATINGS OUT\n"
            "                        按评价表 RATINGS（.csv、.xlsx、.ods：第一行为“姓名”和评语库的类别）从评语库\n"
            "                        为 IN 中已评价、评语为空的学生生成评语草稿（--replace：所有已评价的学生），\n"
            "                        按第一个打印方案裁短，写出到 OUT；每改一个学生输出一行：姓名<TAB>字数<TAB>\n"
            "                        所用类别。--seed 数：同一个数得到同样的草稿（默认 1）；--library：另用一个评语库；\n"
            "                        --stage 小学|小学低年级|小学高年级|初中|高中、--term 上|下：只用适合这个学段、\n"
            "                        学期的句子；--length 最少-最多：草稿的字数（默认小学 100-180，初中、高中\n"
            "                        120-220）；不给时按评价表中保存的设置\n"),
        .problem = [](const CommandLine::Request &request) {
            bool number = false;
            request.value(Seed, QStringLiteral("1")).toUInt(&number);
            // Standard output carries the students changed: OUT cannot go there as well.
            if (request.lacksValue(StageOption) || request.lacksValue(TermOption) || request.lacksValue(LengthOption))
                return QStringLiteral(
                    "--stage、--term 或 --length 后面要跟一个值，例如 --stage 初中 --term 下 --length 120-220。");
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
                                                request.flag(Replace), request.value(Library),
                                                draftSettings(request)};
            return DraftCommand::run(request.operands[0], request.operands[1], request.operands[2], options,
                                     ProgramLocation::resolve(), out, err);
        },
    };
    return mode;
}
