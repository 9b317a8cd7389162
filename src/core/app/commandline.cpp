#include "core/app/commandline.h"

#include "core/app/argumentcheck.h"
#include "core/app/classcheck.h"
#include "core/app/draftcommand.h"
#include "core/app/librarycommand.h"
#include "core/app/eachcommand.h"
#include "core/app/nameimportcommand.h"
#include "core/app/programlocation.h"
#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/export/exporttext.h"
#include "core/platform/filesave.h"
#include "core/platform/textfile.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/pdfexport.h"
#include "core/printing/printrun.h"
#include "core/printing/standardpaper.h"
#include "core/printing/textmeasurer.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <optional>
#include <vector>

#include <unistd.h>

namespace CommandLine {

namespace {

const QString HelpText = QStringLiteral(
    "用法：qhsy [评语文件]\n"
    "      qhsy --resave 输入文件 输出文件|-\n"
    "      qhsy --export-text 输入文件 输出文件|-\n"
    "      qhsy --print-pdf 输入文件... 输出文件.pdf [--scheme 方案名] [--per-sheet 2|4] [--sheet 纸张]\n"
    "      qhsy --print-pdf 输入文件 输出文件夹 --each [--png] [--scheme 方案名] [--all]\n"
    "      qhsy --check 输入文件... [--scheme 方案名] [--repeat 人数]\n"
    "      qhsy --import-names 名单文件 输入文件|- 输出文件 [--replace]\n"
    "      qhsy --draft 输入文件 评价表 输出文件 [--seed 数] [--replace] [--library 评语库]\n"
    "      qhsy --add-comments 评语库 类别 优秀|良好|后进 文本文件|-\n"
    "      qhsy --merge-library 评语库 另一个评语库\n"
    "      qhsy --help | --version\n"
    "\n"
    "青禾书苑（Quillmark）：班主任期末评语的编写与打印。\n"
    "\n"
    "  评语文件              启动并打开这个评语文件（*.py）\n"
    "  --resave IN OUT       读入评语文件 IN，按当前格式写出到 OUT（无需显示器）\n"
    "  --export-text IN OUT  读入评语文件 IN，把全班评语导出为文本文件 OUT（无需显示器）\n"
    "                        （OUT 为 - 时写到标准输出；OUT 为设备或管道时直接写入，不会被文件替换）\n"
    "  --print-pdf IN... OUT 按打印方案排版 IN 的每个学生，每人一页写入 PDF 文件 OUT\n"
    "                        （无需显示器和打印机；--scheme 方案名，默认为第一个方案）；给出多个 IN 时\n"
    "                        按顺序一个班接一个班，每班从新的一页开始；有一个 IN 无法读取就不写 OUT；\n"
    "                        --per-sheet 2|4：每张纸排 2 或 4 名学生（--sheet 纸张，默认 A4），带裁切线\n"
    "  --print-pdf IN OUTDIR --each\n"
    "                        每个学生一份文件，写入已有的文件夹 OUTDIR，文件名为“序号 姓名.pdf”（--png：\n"
    "                        150 dpi 的 PNG 图片；--all：也包括未写评语的学生），同名文件被替换；每写一个\n"
    "                        文件输出一行\n"
    "  --check IN...         检查全班评语：空评语、提到其他学生、重复、超出打印区域，每行一项：\n"
    "                        姓名<TAB>类别<TAB>说明（--repeat 人数：同一句话出现在多于这么多人的\n"
    "                        评语中才算重复，默认 3）；给出多个 IN 时每行前加“文件名: ”\n"
    "  --import-names LIST IN OUT\n"
    "                        把名单文件 LIST（.txt、.csv、.xlsx、.ods、.xls）中的姓名添加到评语文件 IN\n"
    "                        的学生名单之后（--replace：替换原名单），写出到 OUT；IN 为 - 时用模板新建\n"
    "                        一个班。每导入一个姓名输出一行；略去的姓名（超过 100 人）、重名和过长的行\n"
    "                        在标准错误上说明\n"
    "  --draft IN RATINGS OUT\n"
    "                        按评价表 RATINGS（.csv、.xlsx、.ods：第一行为“姓名”和评语库的类别）从评语库\n"
    "                        为 IN 中已评价、评语为空的学生生成评语草稿（--replace：所有已评价的学生），\n"
    "                        按第一个打印方案裁短，写出到 OUT；每改一个学生输出一行：姓名<TAB>字数<TAB>\n"
    "                        所用类别。--seed 数：同一个数得到同样的草稿（默认 1）；--library：另用一个评语库\n"
    "  --add-comments LIBRARY CATEGORY RATING FILE\n"
    "                        把文本文件 FILE（- 为标准输入）的每一行作为一条评语，添加到评语库 LIBRARY\n"
    "                        中类别 CATEGORY、等级 RATING（优秀、良好或后进）的最前面，空行略去；没有这个\n"
    "                        类别就在最后新建。输出一行：添加的条数\n"
    "  --merge-library LIBRARY OTHER\n"
    "                        把评语库 OTHER 中有、LIBRARY 中没有的评语按类别和等级添加到 LIBRARY（文字相同\n"
    "                        即为同一条；新类别排在最后），再合并一次不会重复添加。输出一行：添加的条数。\n"
    "                        这两项都在评语库旁的锁文件下修改，几位老师同时修改同一个评语库也不会丢失内容\n"
    "  --help                显示本帮助\n"
    "  --version             显示版本\n"
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

// OUT "-" is standard output.
const QString StandardOutputName = QStringLiteral("-");
const QString WriteFailedMessage = QStringLiteral("无法写入文件“%1”：%2");
const QString StandardOutputFailedMessage = QStringLiteral("无法写入标准输出：%1");

// Writes OUT, standard output for "-", and tells why it could not. False on failure. A new OUT
// takes the permission bits of `privateLike` (the class it comes from) when one is given.
bool writeOutput(const QString &out, const QByteArray &bytes, QTextStream &err, const QString &privateLike = QString())
{
    const bool toStandardOutput = out == StandardOutputName;
    const Result<void> written = toStandardOutput ? FileSave::writeToDescriptor(STDOUT_FILENO, bytes)
                                                  : FileSave::saveLike(out, bytes, privateLike);
    if (written)
        return true;
    err << (toStandardOutput ? StandardOutputFailedMessage.arg(written.error())
                             : WriteFailedMessage.arg(out, written.error()))
        << '\n';
    return false;
}

// The rejection message in a console: one line break instead of CR LF.
QString consoleText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// IN is no comment file (or one of a version the program does not read).
const QString NotACommentFileMessage =
    QStringLiteral("这不是本程序的评语文件，或者是本程序读不了的旧版本评语文件。");

// After a resave of a file whose bytes were partly no text (IN, how many places, OUT).
const QString UnreadableBytesNotice = QStringLiteral(
    "注意：文件“%1”中有 %2 处无法识别的字节（不是 GBK 或 GB18030 编码的文字），在“%3”中已写成“�”。");

// Reads IN for a headless action. False (with the message written) when it was rejected or
// could not be read (a pipe or a device is refused without waiting on it). *unreadable (when
// given) receives the places that were no text.
bool readInput(const QString &in, CommentDocument &document, QTextStream &err,
               qsizetype *unreadable = nullptr)
{
    const Result<CommentFile::ReadDetails> read = CommentFile::read(in, document);
    if (!read) {
        // The dialog's rejection asks for another file; the console line names this one.
        if (read.error() == DocumentMessages::RejectionMessage)
            err << in << ": " << NotACommentFileMessage << '\n';
        else
            err << consoleText(read.error()) << '\n';
        return false;
    }
    // A class larger than the program holds is refused whole rather than cut short.
    if (read->students > CommentDocument::MaxStudents) {
        err << DocumentMessages::TooManyStudentsMessage.arg(in).arg(read->students) << '\n';
        return false;
    }
    if (unreadable)
        *unreadable = read->unreadableBytes;
    return true;
}

// Takes "option value" out of the arguments into *value. False when the option stands without a
// value; true when it is given properly or not at all.
bool takeOption(QStringList &arguments, const QString &option, QString *value)
{
    const qsizetype at = arguments.indexOf(option);
    if (at < 0)
        return true;
    if (at + 1 >= arguments.size())
        return false;
    *value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return true;
}

} // namespace

Request parse(const QStringList &arguments)
{
    Request request;
    const QString first = arguments.value(0);
    if (first == u"--help" || first == u"-h") {
        request.action = Action::Help;
    } else if (first == u"--version") {
        request.action = Action::Version;
    } else if (first == u"--resave") {
        request.action = Action::Resave;
        request.operands = arguments.mid(1);
        if (request.operands.size() != 2)
            request.error = QStringLiteral("--resave 需要两个参数：输入文件 输出文件");
    } else if (first == u"--export-text") {
        request.action = Action::ExportText;
        request.operands = arguments.mid(1);
        if (request.operands.size() != 2)
            request.error = QStringLiteral("--export-text 需要两个参数：输入文件 输出文件");
    } else if (first == u"--print-pdf") {
        request.action = Action::PrintPdf;
        QStringList rest = arguments.mid(1);
        const bool named = takeOption(rest, QStringLiteral("--scheme"), &request.scheme);
        request.each = rest.removeAll(QStringLiteral("--each")) > 0;
        request.png = rest.removeAll(QStringLiteral("--png")) > 0;
        request.all = rest.removeAll(QStringLiteral("--all")) > 0;
        QString perSheet = QStringLiteral("1");
        const bool sheets = takeOption(rest, QStringLiteral("--per-sheet"), &perSheet);
        const bool paper = takeOption(rest, QStringLiteral("--sheet"), &request.sheet);
        request.perSheet = QStringList{u"1"_qs, u"2"_qs, u"4"_qs}.contains(perSheet) ? perSheet.toInt() : 0;
        const bool sheetKnown = request.sheet.isEmpty() || standardPaperNamed(request.sheet).has_value();
        request.operands = rest;
        if (request.each && (!named || request.operands.size() != 2))
            request.error = QStringLiteral(
                "--print-pdf --each 需要两个参数：输入文件 输出文件夹 [--png] [--scheme 方案名] [--all]");
        else if (!request.each && (request.png || request.all))
            request.error = QStringLiteral("--png 和 --all 只能与 --each 一起使用");
        else if (!sheets || !paper || request.perSheet == 0 || (request.each && request.perSheet != 1))
            request.error = QStringLiteral("--per-sheet 只能是 1、2 或 4，且不能与 --each 一起使用");
        else if (!sheetKnown)
            request.error = QStringLiteral("--sheet 只能是以下纸张之一：%1").arg(standardPaperNames().join(u"、"_qs));
        else if (!named || request.operands.size() < 2)
            request.error =
                QStringLiteral("--print-pdf 需要至少两个参数：输入文件... 输出文件 [--scheme 方案名]");
    } else if (first == u"--check") {
        request.action = Action::Check;
        QStringList rest = arguments.mid(1);
        QString repeat = QString::number(request.repeatLimit);
        const bool named = takeOption(rest, QStringLiteral("--scheme"), &request.scheme);
        const bool counted = takeOption(rest, QStringLiteral("--repeat"), &repeat);
        bool number = false;
        request.repeatLimit = repeat.toInt(&number);
        request.operands = rest;
        if (!named || !counted || !number || request.repeatLimit < 1 || request.operands.isEmpty())
            request.error = QStringLiteral(
                "--check 需要至少一个参数：输入文件... [--scheme 方案名] [--repeat 人数（1 或更多）]");
    } else if (first == u"--import-names") {
        request.action = Action::ImportNames;
        QStringList rest = arguments.mid(1);
        request.replace = rest.removeAll(QStringLiteral("--replace")) > 0;
        request.operands = rest;
        // Standard output carries the names taken: OUT cannot go there as well.
        if (request.operands.size() != 3 || request.operands.at(2) == StandardOutputName)
            request.error = QStringLiteral("--import-names 需要三个参数：名单文件 输入文件|- 输出文件 [--replace]"
                                           "（输出文件不能是 -）");
    } else if (first == u"--draft") {
        request.action = Action::Draft;
        QStringList rest = arguments.mid(1);
        request.replace = rest.removeAll(QStringLiteral("--replace")) > 0;
        QString seed = QString::number(request.seed);
        const bool seeded = takeOption(rest, QStringLiteral("--seed"), &seed);
        const bool named = takeOption(rest, QStringLiteral("--library"), &request.library);
        bool number = false;
        request.seed = seed.toUInt(&number);
        request.operands = rest;
        if (const QString problem = ArgumentCheck::seedProblem(seed); !problem.isEmpty()) {
            request.error = problem;
            return request;
        }
        // Standard output carries the students changed: OUT cannot go there as well.
        if (!seeded || !named || !number || request.operands.size() != 3 ||
            request.operands.at(2) == StandardOutputName)
            request.error = QStringLiteral("--draft 需要三个参数：输入文件 评价表 输出文件 [--seed 数（0 或更大）] "
                                           "[--replace] [--library 评语库]（输出文件不能是 -）");
    } else if (first == u"--add-comments") {
        request.action = Action::AddComments;
        request.operands = arguments.mid(1);
        if (request.operands.size() != 4 || !LibraryCommand::ratingNamed(request.operands.at(2)))
            request.error = QStringLiteral("--add-comments 需要四个参数：评语库 类别 等级（优秀、良好或后进） 文本文件|-");
    } else if (first == u"--merge-library") {
        request.action = Action::MergeLibrary;
        request.operands = arguments.mid(1);
        if (request.operands.size() != 2)
            request.error = QStringLiteral("--merge-library 需要两个参数：评语库 另一个评语库");
    } else {
        request.fileToOpen = arguments.join(u' ');
        // A mistyped option is no file name to open: told on the console, no window opened.
        request.error = ArgumentCheck::unknownOption(arguments);
        return request;
    }
    // An option left among the operands, misspelt or of another action, says more than a count.
    if (const QString stray = ArgumentCheck::strayOption(request.operands, first); !stray.isEmpty())
        request.error = stray;
    return request;
}

int resave(const QString &in, const QString &out, QTextStream &err)
{
    CommentDocument document;
    qsizetype unreadable = 0;
    if (!readInput(in, document, err, &unreadable))
        return 2;
    QStringList escaped;
    const QByteArray bytes = TextFile::encode(CommentFile::compose(document, document.ItemFonts, &escaped));
    // A comment file the program could not read back is never written.
    if (const Result<void> fits = TextFile::fitsReadLimit(bytes.size()); !fits) {
        err << WriteFailedMessage.arg(out, fits.error()) << '\n';
        return 1;
    }
    if (!writeOutput(out, bytes, err))
        return 1;
    if (unreadable > 0)
        err << UnreadableBytesNotice.arg(in, QString::number(unreadable), out) << '\n';
    if (!escaped.isEmpty()) {
        err << QStringLiteral("注意：以下学生的评语中的“%1”已改写为“%2”：%3")
                   .arg(CommentFile::Marker, CommentFile::EscapedMarker, escapeFields(escaped))
            << '\n';
    }
    return 0;
}

int exportText(const QString &in, const QString &out, QTextStream &err)
{
    CommentDocument document;
    if (!readInput(in, document, err))
        return 2;
    return writeOutput(out, TextFile::encode(exportFileText(document)), err, in) ? 0 : 1;
}

std::optional<LayoutScheme> printScheme(const QString &programFolder, const QString &scheme, QTextStream &err)
{
    const Result<LayoutScheme> loaded =
        LayoutSchemeFile(programFolder + LayoutSchemeFile::FileName).loadOrFirst(scheme);
    if (!loaded) {
        err << loaded.error() << '\n';
        return std::nullopt;
    }
    if (const QString problem = loaded->paperSizeError(); !problem.isEmpty()) {
        err << problem << '\n';
        return std::nullopt;
    }
    return *loaded;
}

int printPdf(const QStringList &ins, const QString &out, const QString &scheme, const QString &programFolder,
             QTextStream &err, const SheetOptions &sheets)
{
    // Every class is read before anything is drawn: one that is rejected stops the run, and
    // each one rejected is named.
    std::vector<CommentDocument> documents(std::size_t(ins.size()));
    bool rejected = false;
    for (qsizetype i = 0; i < ins.size(); ++i) {
        if (!readInput(ins[i], documents[std::size_t(i)], err))
            rejected = true;
        else if (printableStudents(documents[std::size_t(i)]) == 0) {
            err << QStringLiteral("文件“%1”中没有学生，没有可打印的页。").arg(ins[i]) << '\n';
            rejected = true;
        }
    }
    if (rejected)
        return 2;
    const std::optional<LayoutScheme> loaded = printScheme(programFolder, scheme, err);
    if (!loaded)
        return 2;
    const LayoutScheme &layout = *loaded;
    QList<ClassPages> classes;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        const CommentDocument &document = documents[i];
        // A heading's {班级} is each file's name.
        classes.append({&document, printedStudents(document, PrintRunOptions{}),
                        QFileInfo(ins[qsizetype(i)]).completeBaseName()});
    }
    const QtTextMeasurer measurer;
    const Result<void> written = writeClassesPdf(out, classes, layout, measurer, sheets, ins.first());
    if (!written) {
        err << WriteFailedMessage.arg(out, written.error()) << '\n';
        return 1;
    }
    return 0;
}

int check(const QStringList &ins, const QString &scheme, int repeatLimit, const QString &programFolder,
          QTextStream &out, QTextStream &err)
{
    ClassCheck::Options options;
    options.repeatLimit = repeatLimit;
    const QtTextMeasurer measurer;
    const Result<LayoutScheme> layout =
        LayoutSchemeFile(programFolder + LayoutSchemeFile::FileName).loadOrFirst(scheme);
    if (layout) {
        options.scheme = &*layout;
        options.measurer = &measurer;
    } else if (layout.kind() == FailureKind::NotFound) {
        err << layout.error() << '\n'; // the scheme asked for is not there: a wrong argument
        return 64;
    } else if (!scheme.isEmpty()) {
        err << layout.error() << '\n'; // asked for, but the file cannot be read
        return 2;
    } else {
        if (layout.kind() != FailureKind::Empty)
            err << layout.error() << '\n';
        err << QStringLiteral("注意：没有可用的打印方案，未检查超出打印区域。") << '\n';
    }
    // A class that cannot be read is named and the others are checked all the same.
    bool rejected = false;
    bool found = false;
    for (const QString &in : ins) {
        CommentDocument document;
        if (!readInput(in, document, err)) {
            rejected = true;
            continue;
        }
        const QList<ClassCheck::Finding> findings = ClassCheck::check(document, options);
        found = found || !findings.isEmpty();
        // With several classes each line says whose it is.
        const QString prefix = ins.size() > 1 ? escapeField(in) + QStringLiteral(": ") : QString();
        for (const ClassCheck::Finding &finding : findings) {
            out << prefix << escapeField(document.slot(finding.student + 1).name) << '\t'
                << ClassCheck::kindName(finding.kind) << '\t' << escapeField(finding.detail) << '\n';
        }
    }
    return rejected ? 2 : found ? 3 : 0;
}

bool readComments(const QString &in, CommentDocument &document, QTextStream &err)
{
    return readInput(in, document, err);
}

bool writeComments(const QString &out, const QByteArray &bytes, QTextStream &err)
{
    // A comment file the program could not read back is never written.
    if (const Result<void> fits = TextFile::fitsReadLimit(bytes.size()); !fits) {
        err << WriteFailedMessage.arg(out, fits.error()) << '\n';
        return false;
    }
    return writeOutput(out, bytes, err);
}

QString escapeFields(const QStringList &texts)
{
    QStringList escaped;
    for (const QString &text : texts)
        escaped << escapeField(text);
    return escaped.join(QStringLiteral("、"));
}

QString escapeField(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        // A format character past the first plane (the tag characters) as one code point.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text[i + 1]);
            if (QChar::category(code) == QChar::Other_Format)
                escaped += QStringLiteral("\\U%1").arg(uint(code), 8, 16, QLatin1Char('0'));
            else
                escaped += text.mid(i, 2);
            ++i;
        } else if (u == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (u == u'\t')
            escaped += QStringLiteral("\\t");
        else if (u == u'\n')
            escaped += QStringLiteral("\\n");
        else if (u == u'\r')
            escaped += QStringLiteral("\\r");
        else if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            escaped += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else if (u == 0x2028 || u == 0x2029 || c.category() == QChar::Other_Format || c.isSurrogate())
            escaped += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

namespace {

const QString SessionNotice = QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set");
QtMessageHandler previousHandler = nullptr;

void withoutSessionNotice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(SessionNotice))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

void leaveOutSessionNotice()
{
    const QtMessageHandler previous = qInstallMessageHandler(withoutSessionNotice);
    if (previous != withoutSessionNotice)
        previousHandler = previous;
}

bool needsFonts(const Request &request)
{
    return (request.action == Action::PrintPdf || request.action == Action::Check ||
            request.action == Action::Draft) &&
           request.error.isEmpty();
}

namespace {

SheetOptions sheetOptions(const Request &request)
{
    SheetOptions sheets;
    sheets.perSheet = request.perSheet;
    if (const std::optional<StandardPaper> paper = standardPaperNamed(request.sheet)) {
        sheets.sheet = {qint64(std::lround(paper->millimetres.width() / 10 * UnitsPerCm)),
                        qint64(std::lround(paper->millimetres.height() / 10 * UnitsPerCm))};
    }
    return sheets;
}

} // namespace

int run(const Request &request, QTextStream &out, QTextStream &err)
{
    if (!request.error.isEmpty()) {
        err << request.error << '\n' << HelpText;
        return 64;
    }
    if (const QString problem = ArgumentCheck::outputProblem(request); !problem.isEmpty()) {
        err << problem << '\n';
        return 64;
    }
    switch (request.action) {
    case Action::Help:
        out << HelpText;
        return 0;
    case Action::Version:
        out << QStringLiteral("青禾书苑 Quillmark %1（标准版）").arg(QStringLiteral(QHSY_VERSION)) << '\n';
        return 0;
    case Action::Resave:
        return resave(request.operands[0], request.operands[1], err);
    case Action::ExportText:
        return exportText(request.operands[0], request.operands[1], err);
    case Action::PrintPdf:
        if (request.each)
            return EachCommand::run(request.operands[0], request.operands[1],
                                    {request.png, request.all, request.scheme}, ProgramLocation::resolve(), out,
                                    err);
        return printPdf(request.operands.first(request.operands.size() - 1), request.operands.last(),
                        request.scheme, ProgramLocation::resolve(), err, sheetOptions(request));
    case Action::Check:
        return check(request.operands, request.scheme, request.repeatLimit, ProgramLocation::resolve(), out,
                     err);
    case Action::ImportNames:
        return NameImportCommand::run(request.operands[0], request.operands[1], request.operands[2],
                                      request.replace, ProgramLocation::resolve(), out, err);
    case Action::Draft:
        return DraftCommand::run(request.operands[0], request.operands[1], request.operands[2],
                                 {request.seed, request.replace, request.library}, ProgramLocation::resolve(), out,
                                 err);
    case Action::AddComments:
        return LibraryCommand::addComments(request.operands[0], request.operands[1],
                                           *LibraryCommand::ratingNamed(request.operands[2]), request.operands[3], out,
                                           err);
    case Action::MergeLibrary:
        return LibraryCommand::mergeLibrary(request.operands[0], request.operands[1], out, err);
    case Action::OpenWindow:
        break;
    }
    return 0;
}

} // namespace CommandLine
