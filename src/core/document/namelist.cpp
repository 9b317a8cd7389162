#include "core/document/namelist.h"

#include "core/document/messages.h"
#include "core/document/session.h"
#include "core/document/spreadsheetfile.h"
#include "core/document/spreadsheetnames.h"
#include "core/platform/scratchfile.h"
#include "core/platform/textfile.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace {

/// Characters as the teacher counts them: a character outside the BMP (a surrogate pair)
/// is one character, not two.
qsizetype characterCount(QStringView text)
{
    qsizetype count = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            --count;
            ++i;
        }
    }
    return count;
}

} // namespace

namespace NameList {

QString longLineQuestion()
{
    return QStringLiteral(
               "系统检测到该文件中的某一行字符数大于 %1个，这可能不是合法的学生姓名文件，要停止导入吗？")
        .arg(NameLengthLimit);
}

QString decode(const QByteArray &bytes)
{
    // Excel's "Unicode text" and Windows Notepad's "Unicode" are UTF-16 with its mark.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith('\xFF') ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        return utf16(QByteArrayView(bytes).sliced(2));
    }
    static const QByteArray Bom("\xEF\xBB\xBF");
    if (bytes.startsWith(Bom)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return utf8(QByteArrayView(bytes).sliced(Bom.size()));
    }
    // Stateless: a sequence cut off at the end of the file counts as an error instead of
    // being held back, unseen, for more bytes that never come.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return TextFile::decode(bytes);
}

Result<QString> decodeFile(const QString &path, const QByteArray &bytes)
{
    QString text = decode(bytes);
    if (text.contains(QChar(0)))
        return Failure{QStringLiteral("文件“%1”的编码不受支持（不支持的编码），无法读取。请在记事本或表格软件中"
                                      "把它另存为 UTF-8 或 GBK 编码的文本后再试。")
                           .arg(path),
                       FailureKind::Unreadable};
    return text;
}

bool hasNames(QStringView listText)
{
    for (const QChar c : listText) {
        if (c != u'\r' && c != u'\n')
            return true;
    }
    return false;
}

Result<Imported> importList(Session &session, const QString &listText, Mode mode)
{
    if (!hasNames(listText))
        return Failure{DocumentMessages::EmptyListMessage, FailureKind::Empty};

    // The list goes through the scratch file in the program's file encoding, so that the
    // names come back exactly as a file read would give them.
    const Result<QStringList> roundTrip = ScratchFile::roundTrip(session.Files().scratch(), listText);
    if (!roundTrip)
        return roundTrip.failure();
    const QStringList &lines = *roundTrip;

    Imported result;
    session.changeRoster([&](CommentDocument &document) { result = fillRoster(document, lines, mode); },
                         mode == Mode::Replace ? QStringLiteral("替换名单") : QStringLiteral("导入名单"));
    return result;
}

Imported fillRoster(CommentDocument &document, const QStringList &lines, Mode mode)
{
    Imported result;
    constexpr int Max = CommentDocument::MaxStudents;
    int slot = mode == Mode::Replace ? 1 : document.studentCount() + 1;
    qsizetype next = 0;
    while (slot <= Max && next < lines.size()) {
        const QString &line = lines[next++];
        if (line.isEmpty())
            continue;
        document.slot(slot) = StudentSlot{line, QString()};
        result.taken.append(line);
        ++slot;
    }
    // Only names count as left out: empty lines after the 100th name drop nothing.
    for (qsizetype i = next; i < lines.size(); ++i)
        result.droppedCount += lines[i].isEmpty() ? 0 : 1;
    result.dropped = result.droppedCount > 0;
    for (int i = slot; i <= Max; ++i)
        document.slot(i) = StudentSlot{};
    return result;
}

Result<Imported> importText(CommentDocument &document, const QString &listText, Mode mode)
{
    if (!hasNames(listText))
        return Failure{DocumentMessages::EmptyListMessage, FailureKind::Empty};
    return fillRoster(document, ScratchFile::lines(listText), mode);
}

namespace {

/// The names one a line, every line followed by CR LF, asking at each long one whether to
/// stop (then the text is empty); a line too long to be a name refuses the list.
template<class Lines>
Result<QString> listText(const QString &path, Lines next, qsizetype reserve,
                         const std::function<bool()> &stopAtLongLine)
{
    QString result;
    result.reserve(reserve);
    qsizetype row = 0;
    for (QStringView line; next(&line);) {
        ++row;
        const qsizetype characters = characterCount(line);
        if (characters > SpreadsheetNames::MaxNameLength)
            return Failure{tooLongMessage(path, row, characters), FailureKind::Unreadable};
        if (characters > NameLengthLimit && stopAtLongLine())
            return QString();
        result += line;
        result += TextFile::CrLf;
    }
    return result;
}

/// The names of a sheet, one at a time.
auto namesOf(const QStringList &names)
{
    return [&names, i = qsizetype(0)](QStringView *name) mutable {
        if (i >= names.size())
            return false;
        *name = names[i++];
        return true;
    };
}

} // namespace

QString tooLongMessage(const QString &path, qsizetype row, qsizetype characters)
{
    return QStringLiteral("名单文件“%1”第 %2 行有 %3 个字符，一个姓名最多 %4 个字符，这不像学生名单，没有导入。")
        .arg(path)
        .arg(row)
        .arg(characters)
        .arg(SpreadsheetNames::MaxNameLength);
}

Result<QString> readFile(const QString &path, const std::function<bool()> &stopAtLongLine, bool *cutShort)
{
    if (cutShort)
        *cutShort = false;
    // A spreadsheet gives its column of names; they then go on as a text list.
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) ||
        path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive) ||
        path.endsWith(QStringLiteral(".ods"), Qt::CaseInsensitive)) {
        const Result<QList<QStringList>> rows = SpreadsheetFile::rows(path);
        if (!rows)
            return rows.failure();
        const QStringList names = SpreadsheetNames::namesIn(*rows);
        return listText(path, namesOf(names), 0, stopAtLongLine);
    }
    const Result<QByteArray> read = TextFile::readAll(path);
    if (!read)
        return Failure{QStringLiteral("无法读取文件“%1”：%2").arg(path, read.error()),
                       FailureKind::Unreadable};
    const Result<QString> decoded = decodeFile(path, *read);
    if (!decoded)
        return decoded.failure();
    const QString &text = *decoded;
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        const QStringList names = SpreadsheetNames::namesIn(SpreadsheetNames::csvRows(text));
        return listText(path, namesOf(names), 0, stopAtLongLine);
    }
    // As in a sheet, only the lines that can hold a class are looked at: a huge file costs
    // its own size, not a string a line.
    TextFile::LineReader lines(text, TextFile::LineReader::AnyBreaks);
    qsizetype looked = 0;
    Result<QString> names =
        listText(path, [&](QStringView *line) { return looked++ < SpreadsheetNames::MaxRows && lines.next(line); },
                 std::min<qsizetype>(text.size(), SpreadsheetNames::MaxRows * 16) + 2, stopAtLongLine);
    if (cutShort && names) {
        QStringView rest;
        *cutShort = looked > SpreadsheetNames::MaxRows && lines.next(&rest);
    }
    return names;
}

} // namespace NameList
