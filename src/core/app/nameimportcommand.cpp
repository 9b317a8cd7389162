#include "core/app/nameimportcommand.h"

#include "core/app/commandline.h"
#include "core/document/commentdocument.h"
#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/document/namelist.h"
#include "core/document/spreadsheetnames.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"

#include <QSet>
#include <QTextStream>

namespace NameImportCommand {

namespace {

// IN "-" is a new class: the template of the program folder.
const QString NewClassName = QStringLiteral("-");

const QString LongLinesNotice =
    QStringLiteral("注意：名单中有 %1 行多于 %2 个字符，可能不是学生姓名，已照样导入，请核对。");
const QString DuplicatesNotice = QStringLiteral("注意：以下姓名在班上不止一个学生（已照样导入）：%1");
const QString DroppedNotice = QStringLiteral("（略去 %1 个）");
const QString CutShortDroppedNotice = QStringLiteral("（在读入的行中略去 %1 个）");
const QString CutShortNotice = QStringLiteral("注意：名单文件只读到第 %1 行，其后的行没有读入。");
const QString MarkerNotice = QStringLiteral("注意：以下学生的评语中的“%1”已改写为“%2”：%3");

// The names taken that now stand more than once in the class, each once, in roster order.
QStringList repeatedNames(const CommentDocument &document, const QStringList &taken)
{
    const QSet<QString> new_(taken.cbegin(), taken.cend());
    QSet<QString> seen;
    QSet<QString> told;
    QStringList repeated;
    for (int k = 0; k < document.studentCount(); ++k) {
        const QString &name = document.slot(k + 1).name;
        if (seen.contains(name) && new_.contains(name) && !told.contains(name)) {
            told.insert(name);
            repeated.append(CommandLine::escapeField(name));
        }
        seen.insert(name);
    }
    return repeated;
}

} // namespace

int run(const QString &list, const QString &in, const QString &outPath, bool replace,
        const QString &programFolder, QTextStream &out, QTextStream &err)
{
    CommentDocument document;
    if (!CommandLine::readComments(in == NewClassName ? ProgramFiles(programFolder).templateFile() : in,
                                   document, err))
        return 2;

    // Nobody is there to answer the dialog's question at a long line: the import goes on and
    // says how many there were.
    qsizetype longLines = 0;
    bool cutShort = false;
    const Result<QString> text = NameList::readFile(
        list,
        [&longLines] {
            ++longLines;
            return false;
        },
        &cutShort);
    if (!text) {
        err << text.error() << '\n';
        return 2;
    }
    const Result<NameList::Imported> imported =
        NameList::importText(document, *text, replace ? NameList::Mode::Replace : NameList::Mode::Add);
    if (!imported) {
        err << list << ": " << imported.error() << '\n';
        return 2;
    }

    QStringList escaped;
    const QByteArray bytes = TextFile::encode(CommentFile::compose(document, document.ItemFonts, &escaped));
    if (!CommandLine::writeComments(outPath, bytes, err))
        return 1;

    for (const QString &name : imported->taken)
        out << CommandLine::escapeField(name) << '\n';
    if (longLines > 0)
        err << LongLinesNotice.arg(longLines).arg(NameList::NameLengthLimit) << '\n';
    // Of a list read only in part, what was left out is counted in the part read.
    if (imported->dropped)
        err << DocumentMessages::DroppedMessage
            << (cutShort ? CutShortDroppedNotice : DroppedNotice).arg(imported->droppedCount) << '\n';
    if (cutShort)
        err << CutShortNotice.arg(SpreadsheetNames::MaxRows) << '\n';
    if (const QStringList repeated = repeatedNames(document, imported->taken); !repeated.isEmpty())
        err << DuplicatesNotice.arg(repeated.join(QStringLiteral("、"))) << '\n';
    if (!escaped.isEmpty()) {
        err << MarkerNotice.arg(CommentFile::Marker, CommentFile::EscapedMarker, CommandLine::escapeFields(escaped))
            << '\n';
    }
    return 0;
}

} // namespace NameImportCommand
