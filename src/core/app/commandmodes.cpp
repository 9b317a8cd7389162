#include "core/app/commandmodes.h"

const ModeOption *CommandMode::option(const QString &optionName) const
{
    for (const ModeOption &candidate : options) {
        if (candidate.name == optionName)
            return &candidate;
    }
    return nullptr;
}

namespace CommandLine {

namespace {

const QString UsageStart = QStringLiteral("用法：qhsy [评语文件]\n");
const QString UsageLine = QStringLiteral("      qhsy %1\n");
const QString Introduction = QStringLiteral(
    "\n"
    "青禾书苑（Quillmark）：班主任期末评语的编写与打印。\n"
    "\n"
    "  评语文件              启动并打开这个评语文件（*.py）\n");
const QString Closing = QStringLiteral(
    "\n"
    "不会写到输入文件上：输出文件是某个输入文件（包括经由链接）时拒绝写出；--export-text 和 --print-pdf\n"
    "也不写到评语文件（.py、.pyn 或内容是评语文件）上，--print-pdf 的输出文件须以 .pdf 结尾。\n"
    "超过 100 名学生的评语文件一律不读入（不会只取前 100 名）。\n"
    "\n"
    "退出码：0 成功；1 写出失败；2 输入文件无法读取或不是评语文件、学生多于 100 名，或打印方案不存在、\n"
    "      纸张大小无效、没有学生（--print-pdf），或名单文件无法读取、没有姓名（--import-names），\n"
    "      或评价表、评语库无法读取（--draft），或评语库、文本文件无法读取（--add-comments、\n"
    "      --merge-library；等别的老师修改评语库超过 30 秒仍未完成时为 1）；\n"
    "      3 检查发现了问题（--check）；64 参数错误（包括未知的选项、被拒绝的输出文件）。\n");

} // namespace

const QList<const CommandMode *> &modes()
{
    static const QList<const CommandMode *> all{
        &CommandModes::resave(), &CommandModes::exportText(),  &CommandModes::printPdf(),
        &CommandModes::check(),  &CommandModes::importNames(), &CommandModes::draft(),
        &CommandModes::addComments(), &CommandModes::mergeLibrary(),
        &CommandModes::help(),   &CommandModes::version(),
    };
    return all;
}

const CommandMode *modeNamed(const QString &name)
{
    for (const CommandMode *mode : modes()) {
        if (mode->name == name || mode->aliases.contains(name))
            return mode;
    }
    return nullptr;
}

bool isKnownOption(const QString &name)
{
    for (const CommandMode *mode : modes()) {
        if (mode->name == name || mode->option(name))
            return true;
    }
    return false;
}

QString helpText()
{
    QString text = UsageStart;
    for (const CommandMode *mode : modes()) {
        for (const QString &line : mode->usage)
            text += UsageLine.arg(line);
    }
    text += Introduction;
    for (const CommandMode *mode : modes())
        text += mode->help;
    return text + Closing;
}

} // namespace CommandLine
