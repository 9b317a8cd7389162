#include "core/app/commandline.h"

#include "core/app/argumentcheck.h"
#include "core/app/classcheck.h"
#include "core/app/commandmodes.h"
#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/export/exporttext.h"
#include "core/library/commentlibrary.h"
#include "core/platform/filesave.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/pdfexport.h"
#include "core/printing/printrun.h"
#include "core/printing/schemestore.h"
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

} // namespace

Request parse(const QStringList &arguments)
{
    Request request;
    const QString first = arguments.value(0);
    request.mode = modeNamed(first);
    if (!request.mode) {
        request.fileToOpen = arguments.join(u' ');
        // A mistyped option is no file name to open: told on the console, no window opened.
        request.error = ArgumentCheck::unknownOption(arguments);
        return request;
    }
    const CommandMode &mode = *request.mode;
    if (!mode.readsArguments)
        return request;
    // Each option is taken out where it first stands: a switch wherever it stands, an option
    // with the argument after it as its value (one standing last has none and stays).
    QStringList rest = arguments.mid(1);
    for (const ModeOption &option : mode.options) {
        if (!option.takesValue) {
            if (rest.removeAll(option.name) > 0)
                request.switches << option.name;
            continue;
        }
        const qsizetype at = rest.indexOf(option.name);
        if (at < 0)
            continue;
        if (at + 1 >= rest.size()) {
            request.withoutValue << option.name;
            continue;
        }
        request.values.insert(option.name, rest.at(at + 1));
        rest.remove(at, 2);
    }
    request.operands = rest;
    // A value with a problem of its own is told before anything else.
    for (const ModeOption &option : mode.options) {
        if (option.valueProblem && request.values.contains(option.name)) {
            request.error = option.valueProblem(request.values.value(option.name));
            if (!request.error.isEmpty())
                return request;
        }
    }
    if (mode.problem)
        request.error = mode.problem(request);
    // An option left among the operands, misspelt or of another mode, says more than a count.
    if (const QString stray = ArgumentCheck::strayOption(request.operands, mode); !stray.isEmpty())
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
        SchemeStore(ProgramFiles(programFolder).schemes()).loadOrFirst(scheme);
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

/// The stock comments of the program's library, marks and all; none when it cannot be read (the
/// check then has no 〔待核实〕 sentences to look for).
static QStringList libraryLines(const QString &programFolder)
{
    QStringList lines;
    for (const CommentLibrary::Entry &entry : CommentLibrary(ProgramFiles(programFolder).library()).entries().valueOr({}))
        lines << entry.text;
    return lines;
}

int check(const QStringList &ins, const QString &scheme, int repeatLimit, const QString &programFolder,
          QTextStream &out, QTextStream &err)
{
    ClassCheck::Options options;
    options.repeatLimit = repeatLimit;
    options.unverifiable = ClassCheck::unverifiableSentences(libraryLines(programFolder));
    const QtTextMeasurer measurer;
    const Result<LayoutScheme> layout =
        SchemeStore(ProgramFiles(programFolder).schemes()).loadOrFirst(scheme);
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
    return request.mode && request.mode->needsFonts && request.error.isEmpty();
}

int run(const Request &request, QTextStream &out, QTextStream &err)
{
    if (!request.error.isEmpty()) {
        err << request.error << '\n' << helpText();
        return 64;
    }
    if (!request.mode)
        return 0;
    if (request.mode->output) {
        if (const std::optional<ModeOutput> output = request.mode->output(request)) {
            if (const QString problem = ArgumentCheck::outputProblem(*output); !problem.isEmpty()) {
                err << problem << '\n';
                return 64;
            }
        }
    }
    return request.mode->run(request, out, err);
}

} // namespace CommandLine
