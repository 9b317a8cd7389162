#include "core/app/argumentcheck.h"

#include "core/app/commandline.h"
#include "core/app/commandmodes.h"
#include "core/document/outputtarget.h"

#include <algorithm>
#include <limits>

namespace ArgumentCheck {

namespace {

// OUT that must not be written (OUT, and the input it is for the first).
const QString OutputIsInputMessage = QStringLiteral("输出文件“%1”就是输入文件“%2”，为免把它覆盖，没有写出。");
const QString OutputIsCommentFileMessage =
    QStringLiteral("输出文件“%1”是评语文件（或带有评语文件的扩展名 .py、.pyn），为免覆盖评语，没有写出。");
const QString OutputNotPdfMessage =
    QStringLiteral("输出文件“%1”不以 .pdf 结尾，没有写出。是不是漏写了输出文件？");

// An argument that looks like an option but is none (the argument).
const QString UnknownOptionMessage = QStringLiteral("未知的选项“%1”。");
// A known option given to an action that takes no such option (the option, the action).
const QString MisplacedOptionMessage = QStringLiteral("选项“%1”不能用于 %2。");
// An action's option given first, with no action before it (the option).
const QString OptionWithoutActionMessage = QStringLiteral("选项“%1”须跟在它所属的操作（如 --print-pdf）之后。");

// Whether an argument reads as an option ("-" alone is standard output, "-h" the short help).
bool looksLikeOption(const QString &argument)
{
    return argument.startsWith(u"--");
}

} // namespace

// Why an option left among an action's operands is wrong: it is unknown, or no option of this
// action. "" when the operands hold none (one of the action's own left there, as one without
// its value, is told by the action's own message).
QString strayOption(const QStringList &operands, const CommandMode &mode)
{
    for (const QString &operand : operands) {
        if (!looksLikeOption(operand) || mode.option(operand))
            continue;
        return CommandLine::isKnownOption(operand) ? MisplacedOptionMessage.arg(operand, mode.name)
                                                   : UnknownOptionMessage.arg(operand);
    }
    return QString();
}

// The seed's own message when it is a number past the largest one (--seed); "" otherwise.
QString seedProblem(const QString &seed)
{
    bool number = false;
    seed.toULongLong(&number);
    const bool digits = !seed.isEmpty() && std::all_of(seed.cbegin(), seed.cend(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    if (digits && (!number || seed.toULongLong() > std::numeric_limits<quint32>::max()))
        return QStringLiteral("--seed 的数不能大于 %1。").arg(std::numeric_limits<quint32>::max());
    return QString();
}

QString unknownOption(const QStringList &arguments)
{
    const QString first = arguments.value(0);
    if (looksLikeOption(first)) {
        return CommandLine::isKnownOption(first) ? OptionWithoutActionMessage.arg(first)
                                                 : UnknownOptionMessage.arg(first);
    }
    for (const QString &argument : arguments) {
        if (looksLikeOption(argument) && !CommandLine::isKnownOption(argument))
            return UnknownOptionMessage.arg(argument);
    }
    return QString();
}

// Why OUT must not be written: it is one of the run's inputs; or, for a mode that writes no
// comment file, a comment file; or, for a PDF, a name without .pdf (as when OUT was left out
// and the last class stands in its place). "" when it may be written.
QString outputProblem(const ModeOutput &output)
{
    const QString &out = output.out;
    // Standard output, for the modes that write there (a PDF is always a file).
    if (out == CommandLine::StandardOutputName && !output.pdf)
        return QString();
    if (const QString in = OutputTarget::inputNamed(out, output.inputs); !in.isEmpty())
        return OutputIsInputMessage.arg(CommandLine::escapeField(out), CommandLine::escapeField(in));
    if (!output.writesComments && OutputTarget::readsAsCommentFile(out))
        return OutputIsCommentFileMessage.arg(CommandLine::escapeField(out));
    if (output.pdf && !out.endsWith(u".pdf", Qt::CaseInsensitive))
        return OutputNotPdfMessage.arg(CommandLine::escapeField(out));
    return QString();
}

} // namespace ArgumentCheck
