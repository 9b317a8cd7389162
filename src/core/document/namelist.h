#pragma once

#include "core/platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class CommentDocument;
class Session;

/// Student-name lists: one name per line, typed into the import dialog or loaded from a text
/// file, and imported into the roster.
namespace NameList {

/// Lines longer than this many characters are probably not names.
inline constexpr int NameLengthLimit = 5;

/// "系统检测到该文件中的某一行字符数大于 5个，这可能不是合法的学生姓名文件，要停止导入吗？"
QString longLineQuestion();

/// Text of a name-list file: UTF-16 when the bytes start with its byte-order mark (either byte
/// order), UTF-8 when they are valid UTF-8 (with or without a byte-order mark, which is
/// dropped), otherwise GB18030 (which reads every GBK file).
QString decode(const QByteArray &bytes);

/// decode(bytes) of the file at `path`, refused (FailureKind::Unreadable, "不支持的编码") when
/// the text holds a NUL character: no list a teacher writes has one, but UTF-16 without its
/// byte-order mark, UTF-32 or a binary file read as text does, and it must never make a name.
Result<QString> decodeFile(const QString &path, const QByteArray &bytes);

/// Where an import puts its names.
enum class Mode { Add, Replace };

/// What an import did besides filling the roster.
struct Imported
{
    bool dropped = false; ///< names were left out because the roster reached 100
    QStringList taken;    ///< the names put into the roster, in order
    qsizetype droppedCount = 0; ///< how many names were left out
};

/// Whether the list holds a name: a line (between LF, CR LF or CR) that is not empty.
bool hasNames(QStringView listText);

/// Imports a name list (lines separated by LF, CR LF or CR): writes it to the scratch file,
/// reads it back and puts every non-empty line, as typed, into the slots from the first slot
/// (Replace) or after the last student (Add), each with an empty comment, up to slot 100;
/// the slots after the last imported name are cleared. A list without a name is refused
/// (FailureKind::Empty): replacing the class by nothing would wipe every student and comment.
/// Nothing changes when the scratch file cannot be written or read back.
Result<Imported> importList(Session &session, const QString &listText, Mode mode);

/// The roster change of an import: puts every non-empty line, as it stands, into the slots from
/// the first slot (Replace) or after the last student (Add), each with an empty comment, up to
/// slot 100; the slots after the last imported name are cleared.
Imported fillRoster(CommentDocument &document, const QStringList &lines, Mode mode);

/// Imports a name list into a document as importList does, but splits the list in memory (the
/// same encoding and line rules as the scratch file), for a run without a program folder to
/// write into. A list without a name is refused (FailureKind::Empty).
Result<Imported> importText(CommentDocument &document, const QString &listText, Mode mode);

/// "名单文件“…”第 12 行有 60000 个字符……": a line of a text list too long to be a name.
QString tooLongMessage(const QString &path, qsizetype row, qsizetype characters);

/// Reads a student-name file into one text, every line followed by CR LF; of a text list only
/// the first SpreadsheetNames::MaxRows lines, as of a sheet. At each line longer than the
/// limit, stopAtLongLine decides whether to stop (true: the text is empty). A text line longer
/// than SpreadsheetNames::MaxNameLength characters refuses the file (FailureKind::Unreadable,
/// tooLongMessage); a sheet's longer cells are no names and left out. *cutShort (when given)
/// tells whether a text list had lines past those, which were not read.
Result<QString> readFile(const QString &path, const std::function<bool()> &stopAtLongLine,
                         bool *cutShort = nullptr);

} // namespace NameList
