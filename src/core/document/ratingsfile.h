#pragma once

#include "core/document/classsettings.h"
#include "core/document/rating.h"
#include "core/platform/result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

#include <optional>

/// The class's ratings (评价表): one row a student, one column a library category. Read from any
/// spreadsheet the name import reads, and kept beside the class file as a CSV file.
namespace RatingsFile {

/// A value as a teacher or a school system writes it -> a grade; std::nullopt for an unknown one.
/// 优秀/良好/后进, 好/中/差, 优/良/中/差, A/B/C/D (A, 优, 好 → 优秀; B, 良, 中 → 良好; C, D, 差,
/// 后进, 待提高 → 后进); blanks around it ignored, A–D in either case and width; "" → Rating::None.
std::optional<Rating> parseValue(const QString &text);

/// "优秀" / "良好" / "后进"; "" for Rating::None.
QString valueText(Rating grade);

/// A name or heading as names and headings are compared: without any blanks ("王  芳" is 王芳).
QString packed(QStringView text);
/// Whether a cell is the heading of a name column (姓名, 学生姓名, 名字; blanks ignored).
bool isNameHeading(const QString &cell);

/// The table: categories (columns, in order) and per student name a grade per category.
struct Table
{
    QStringList categories;
    QList<QString> names;
    QList<QList<Rating>> grades; ///< one list per name, one grade per category
    ClassSettings settings;      ///< kept in the file beside the class, above its 姓名 row

    bool operator==(const Table &) const = default;
};

/// A problem list keeps its first KeptProblems items, each cut to ProblemItemLength characters,
/// and counts the rest: a hostile file of many long cells costs little memory.
inline constexpr int KeptProblems = 100;
inline constexpr int ProblemItemLength = 30;
/// A message names this many items of a list, then says how many more there are.
inline constexpr int ShownProblems = 10;

/// What reading found that it could not take; nothing is dropped without being named here.
struct Problems
{
    QStringList unknownNames;      ///< names not in the class, as written
    QStringList unknownValues;     ///< "name/category: value"
    QStringList unknownCategories; ///< headings that are no category of the library
    QStringList duplicateNames;    ///< a student's second row (the first one counts)
    QStringList duplicateCategories; ///< a category's second column (the first one counts)
    int rowsWithoutName = 0;       ///< rows holding values but no name
    bool missingNameColumn = false; ///< no row holds a 姓名 heading: nothing could be read
    /// How many items the lists above had before they were cut to KeptProblems, in their order;
    /// a list longer than its count (one built by hand) counts its own size.
    std::array<qsizetype, 5> counts = {};
};

/// A long cell as a problem list keeps it: at most ProblemItemLength characters, then "…".
QString problemItem(const QString &text);

/// Items joined with "、" as a message shows them: the first ShownProblems (each a problemItem,
/// then passed through `field`), and "等，另有 9,990 项" for the rest of `total`.
QString listed(const QStringList &items, qsizetype total,
               const std::function<QString(const QString &)> &field = [](const QString &text) { return text; });

/// Reads a table from spreadsheet rows (first row 姓名 and category names; title rows above
/// it are passed over, except the class's settings as csvBytes writes them), keeping only the
/// class's students (`roster`, in roster order, every one
/// of them) and the library's categories (in the library's order, every one of them); cells
/// the file does not fill are Rating::None. Everything else is listed in problems.
/// Names and headings are compared without their blanks ("王  芳" is 王芳).
Table fromRows(const QList<QStringList> &rows, const QStringList &roster, const QStringList &categories,
               Problems *problems);

/// A class's ratings take a few KB; a file larger than this is no ratings table and is refused
/// before it is read.
inline constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

/// Reads any ratings spreadsheet (.csv, .xlsx, .xls, .ods; any other name is read as CSV text)
/// through the name import's reader. Fails when the file cannot be read, is larger than
/// MaxFileSize or has no 姓名 column.
Result<Table> readFile(const QString &path, const QStringList &roster, const QStringList &categories,
                       Problems *problems);

/// A file read into the class's ratings: the table after it, and what it left as it was.
struct Merged
{
    Table table;                   ///< the ratings with the file's grades in
    int cellsSet = 0;              ///< cells the file gave a grade (an empty cell gives none)
    QStringList namesWithout;      ///< students the file gives no grade, in table order
    QStringList categoriesWithout; ///< categories the file gives no grade, in table order
};

/// Reads spreadsheet rows as fromRows does into `current`: a cell the rows give a grade takes it,
/// every other cell keeps its own (an empty cell in the sheet too), so that importing part of
/// the class or of the categories never clears the rest.
Merged merge(const Table &current, const QList<QStringList> &rows, Problems *problems);
/// The same from any ratings spreadsheet; fails as readFile does.
Result<Merged> mergeFile(const QString &path, const Table &current, Problems *problems);

/// Reads a table whose categories are its own headings (the file kept beside a class, which
/// keeps every column it has), for the class's students.
Table fromOwnRows(const QList<QStringList> &rows, const QStringList &roster, Problems *problems);
/// The same from CSV bytes (a recovery copy's ratings).
Table fromCsvBytes(const QByteArray &bytes, const QStringList &roster, Problems *problems);
/// The file kept beside a class read as fromOwnRows; fails only when it cannot be read or has no
/// 姓名 column.
Result<Table> readOwnColumns(const QString &path, const QStringList &roster, Problems *problems);

/// The table for another roster: a name's grades follow it (a name twice takes the rows in
/// turn); new names get none, names no longer there are dropped.
Table forRoster(const Table &table, const QStringList &roster);
/// Whether any student has a grade.
bool hasGrades(const Table &table);
/// Everything the problems name, one line each; empty when there is nothing. `field` makes each
/// name or value fit where the lines go (a console escapes control characters).
QStringList problemLines(const Problems &problems,
                         const std::function<QString(const QString &)> &field = [](const QString &text) { return text; });

/// The ratings file kept beside a class: 三年级二班.py -> 三年级二班.评价.csv in the same folder.
QString sidecarPath(const QString &classPath);

/// What stands at a class's ratings file name.
enum class Sidecar { Missing, Trusted, Foreign };
/// The ratings file beside a class as it was opened: what stands there and, for a trusted file,
/// its bytes or why they could not be read.
struct SidecarFile
{
    Sidecar state = Sidecar::Missing;
    QByteArray bytes;
    QString error; ///< a trusted file that could not be read: the reason
};
/// Opens the ratings file beside `classPath` if it may be read: only a regular file (no link, no
/// FIFO) owned by the class file's owner or by the user. Anything else may have been put there by
/// another user of a shared folder, to slip ratings in or to have another file read and shown.
/// The file is opened without following a link and judged on the open file itself, so that
/// nothing can be put in its place between the look and the read.
SidecarFile openSidecar(const QString &sidecar, const QString &classPath);
/// The table of a ratings file of our own read into `bytes` (see readOwnColumns).
Result<Table> ownColumnsOf(const QByteArray &bytes, const QString &path, const QStringList &roster,
                           Problems *problems);

/// The table as CSV bytes: UTF-8 with a byte-order mark, CR LF, the class's settings (one row
/// each, none when the class set nothing), a row 姓名 + categories, one row a student, fields
/// quoted where needed. Older copies of the program pass over the settings rows as a title.
QByteArray csvBytes(const Table &table);

/// Writes csvBytes(table) atomically, with the permission bits of the class file beside it (a
/// private class keeps private ratings); the error text on failure.
Result<void> write(const QString &path, const Table &table, const QString &classPath);

} // namespace RatingsFile
