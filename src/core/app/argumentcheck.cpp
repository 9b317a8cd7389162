#include "core/app/argumentcheck.h"

#include "core/app/commandline.h"
#include "core/document/outputtarget.h"

#include <QHash>

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

// Every option the program knows: the actions first, then the options that go with them.
const QStringList Actions{u"--help"_qs,  u"--version"_qs,      u"--resave"_qs, u"--export-text"_qs,
                          u"--print-pdf"_qs, u"--check"_qs, u"--import-names"_qs, u"--draft"_qs,
                          u"--add-comments"_qs, u"--merge-library"_qs};
const QStringList ActionOptions{u"--scheme"_qs, u"--per-sheet"_qs, u"--sheet"_qs,   u"--each"_qs,   u"--png"_qs,
                                u"--all"_qs,    u"--repeat"_qs,    u"--replace"_qs, u"--seed"_qs, u"--library"_qs};

// Whether an argument reads as an option ("-" alone is standard output, "-h" the short help).
bool looksLikeOption(const QString &argument)
{
    return argument.startsWith(u"--");
}

// The options each action takes.
const QHash<QString, QStringList> OptionsOf{
    {u"--print-pdf"_qs, {u"--scheme"_qs, u"--per-sheet"_qs, u"--sheet"_qs, u"--each"_qs, u"--png"_qs, u"--all"_qs}},
    {u"--check"_qs, {u"--scheme"_qs, u"--repeat"_qs}},
    {u"--import-names"_qs, {u"--replace"_qs}},
    {u"--draft"_qs, {u"--replace"_qs, u"--seed"_qs, u"--library"_qs}}};

} // namespace

// Why an option left among an action's operands is wrong: it is unknown, or no option of this
// action. "" when the operands hold none (one of the action's own left there, as one without
// its value, is told by the action's own message).
QString strayOption(const QStringList &operands, const QString &action)
{
    for (const QString &operand : operands) {
        if (!looksLikeOption(operand) || OptionsOf.value(action).contains(operand))
            continue;
        const bool known = Actions.contains(operand) || ActionOptions.contains(operand);
        return known ? MisplacedOptionMessage.arg(operand, action) : UnknownOptionMessage.arg(operand);
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
        return Actions.contains(first) || ActionOptions.contains(first) ? OptionWithoutActionMessage.arg(first)
                                                                        : UnknownOptionMessage.arg(first);
    }
    for (const QString &argument : arguments) {
        if (looksLikeOption(argument) && !Actions.contains(argument) && !ActionOptions.contains(argument))
            return UnknownOptionMessage.arg(argument);
    }
    return QString();
}

// Why OUT must not be written: it is one of the action's inputs; or, for an action that writes
// no comment file, a comment file; or, for a PDF, a name without .pdf (as when OUT was left out
// and the last class stands in its place). "" when it may be written.
QString outputProblem(const CommandLine::Request &request)
{
    const QStringList &operands = request.operands;
    QString out;
    QStringList inputs;
    bool writesComments = true;
    switch (request.action) {
    case CommandLine::Action::Resave:
    case CommandLine::Action::ExportText:
        out = operands[1];
        inputs = {operands[0]};
        writesComments = request.action == CommandLine::Action::Resave;
        break;
    case CommandLine::Action::PrintPdf:
        if (request.each) // OUTDIR is a folder: its files are named after the students
            return QString();
        out = operands.last();
        inputs = operands.first(operands.size() - 1);
        writesComments = false;
        break;
    case CommandLine::Action::ImportNames:
    case CommandLine::Action::Draft:
        out = operands[2];
        inputs = {operands[0], operands[1]};
        if (!request.library.isEmpty())
            inputs << request.library;
        break;
    default:
        return QString();
    }
    // Standard output, for the actions that write there (a PDF is always a file).
    if (out == u"-" && request.action != CommandLine::Action::PrintPdf)
        return QString();
    if (const QString in = OutputTarget::inputNamed(out, inputs); !in.isEmpty())
        return OutputIsInputMessage.arg(CommandLine::escapeField(out), CommandLine::escapeField(in));
    if (!writesComments && OutputTarget::readsAsCommentFile(out))
        return OutputIsCommentFileMessage.arg(CommandLine::escapeField(out));
    if (request.action == CommandLine::Action::PrintPdf && !out.endsWith(u".pdf", Qt::CaseInsensitive))
        return OutputNotPdfMessage.arg(CommandLine::escapeField(out));
    return QString();
}

} // namespace ArgumentCheck
