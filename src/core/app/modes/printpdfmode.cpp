#include "core/app/commandline.h"
#include "core/app/commandmodes.h"
#include "core/app/eachcommand.h"
#include "core/app/programlocation.h"
#include "core/printing/standardpaper.h"
#include "core/platform/twips.h"

#include <QTextStream>

#include <cmath>

namespace {

const QString Scheme = QStringLiteral("--scheme");
const QString Each = QStringLiteral("--each");
const QString Png = QStringLiteral("--png");
const QString All = QStringLiteral("--all");
const QString PerSheet = QStringLiteral("--per-sheet");
const QString Sheet = QStringLiteral("--sheet");

// Students a sheet (1, 2 or 4); 0 for any other value.
int perSheet(const CommandLine::Request &request)
{
    const QString value = request.value(PerSheet, QStringLiteral("1"));
    return QStringList{u"1"_qs, u"2"_qs, u"4"_qs}.contains(value) ? value.toInt() : 0;
}

QString problem(const CommandLine::Request &request)
{
    const bool each = request.flag(Each);
    const QString sheet = request.value(Sheet);
    if (each && (request.lacksValue(Scheme) || request.operands.size() != 2))
        return QStringLiteral("--print-pdf --each 需要两个参数：输入文件 输出文件夹 [--png] [--scheme 方案名] [--all]");
    if (!each && (request.flag(Png) || request.flag(All)))
        return QStringLiteral("--png 和 --all 只能与 --each 一起使用");
    if (request.lacksValue(PerSheet) || request.lacksValue(Sheet) || perSheet(request) == 0 ||
        (each && perSheet(request) != 1))
        return QStringLiteral("--per-sheet 只能是 1、2 或 4，且不能与 --each 一起使用");
    if (!sheet.isEmpty() && !standardPaperNamed(sheet))
        return QStringLiteral("--sheet 只能是以下纸张之一：%1").arg(standardPaperNames().join(u"、"_qs));
    if (request.lacksValue(Scheme) || request.operands.size() < 2)
        return QStringLiteral("--print-pdf 需要至少两个参数：输入文件... 输出文件 [--scheme 方案名]");
    return QString();
}

SheetOptions sheetOptions(const CommandLine::Request &request)
{
    SheetOptions sheets;
    sheets.perSheet = perSheet(request);
    if (const std::optional<StandardPaper> paper = standardPaperNamed(request.value(Sheet))) {
        sheets.sheet = {qint64(std::lround(paper->millimetres.width() / 10 * UnitsPerCm)),
                        qint64(std::lround(paper->millimetres.height() / 10 * UnitsPerCm))};
    }
    return sheets;
}

int run(const CommandLine::Request &request, QTextStream &out, QTextStream &err)
{
    const QStringList &operands = request.operands;
    if (request.flag(Each))
        return EachCommand::run(operands[0], operands[1], {request.flag(Png), request.flag(All), request.value(Scheme)},
                                ProgramLocation::resolve(), out, err);
    return CommandLine::printPdf(operands.first(operands.size() - 1), operands.last(), request.value(Scheme),
                                 ProgramLocation::resolve(), err, sheetOptions(request));
}

} // namespace

// qhsy --print-pdf IN... OUT.pdf, or IN OUTDIR --each: the class's pages without a window.
const CommandMode &CommandModes::printPdf()
{
    static const CommandMode mode{
        .name = QStringLiteral("--print-pdf"),
        .options = {{Scheme, true}, {Each}, {Png}, {All}, {PerSheet, true}, {Sheet, true}},
        .needsFonts = true,
        .usage = {QStringLiteral("--print-pdf 输入文件... 输出文件.pdf [--scheme 方案名] [--per-sheet 2|4] [--sheet 纸张]"),
                  QStringLiteral("--print-pdf 输入文件 输出文件夹 --each [--png] [--scheme 方案名] [--all]")},
        .help = QStringLiteral(
            "  --print-pdf IN... OUT 按打印方案排版 IN 的每个学生，每人一页写入 PDF 文件 OUT\n"
            "                        （无需显示器和打印机；--scheme 方案名，默认为第一个方案）；给出多个 IN 时\n"
            "                        按顺序一个班接一个班，每班从新的一页开始；有一个 IN 无法读取就不写 OUT；\n"
            "                        --per-sheet 2|4：每张纸排 2 或 4 名学生（--sheet 纸张，默认 A4），带裁切线\n"
            "  --print-pdf IN OUTDIR --each\n"
            "                        每个学生一份文件，写入已有的文件夹 OUTDIR，文件名为“序号 姓名.pdf”（--png：\n"
            "                        150 dpi 的 PNG 图片；--all：也包括未写评语的学生），同名文件被替换；每写一个\n"
            "                        文件输出一行\n"),
        .problem = problem,
        .output = [](const CommandLine::Request &request) -> std::optional<ModeOutput> {
            // OUTDIR is a folder: its files are named after the students.
            if (request.flag(Each))
                return std::nullopt;
            const QStringList &operands = request.operands;
            return ModeOutput{operands.last(), operands.first(operands.size() - 1), false, true};
        },
        .run = run,
    };
    return mode;
}
