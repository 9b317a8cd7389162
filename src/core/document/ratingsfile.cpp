#include "core/document/ratingsfile.h"

#include "core/document/namelist.h"
#include "core/document/spreadsheetfile.h"
#include "core/document/spreadsheetnames.h"

#include "core/platform/fileerrorreason.h"
#include "core/platform/filesave.h"
#include "core/platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RatingsFile {

namespace {

const QString NameHeading = QStringLiteral("姓名");
const QString UnreadableMessage = QStringLiteral("无法读取文件“%1”：%2");
const QString NoNameColumnMessage = QStringLiteral("文件“%1”中没有“姓名”一列，无法读取评价。");
const QString TooLargeMessage =
    QStringLiteral("文件“%1”有 %2 MB，不像是评价表（一个班的评价表不过几十 KB，最多读取 %3 MB），没有读取。");

/// The field as CSV writes it: in double quotes (inner quotes doubled) when it holds a comma, a
/// quote, a line break or blanks at its ends.
QString csvField(const QString &field)
{
    const bool quote = field.contains(u',') || field.contains(u'"') || field.contains(u'\r') ||
                       field.contains(u'\n') || field.contains(u'\t') ||
                       (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    if (!quote)
        return field;
    QString escaped = field;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

bool isSheet(const QString &path)
{
    for (const char *suffix : {".xlsx", ".xls", ".ods"}) {
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QString packed(QStringView text)
{
    // Spreadsheets pad two-character names to the width of three ("王  芳", often with an
    // ideographic space).
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace())
            result += c;
    }
    return result;
}

bool isNameHeading(const QString &cell)
{
    static const QStringList Headings{NameHeading, QStringLiteral("学生姓名"), QStringLiteral("名字")};
    return cell.contains(u'名') && Headings.contains(packed(cell));
}

std::optional<Rating> parseValue(const QString &text)
{
    QString value = text.trimmed();
    if (value.isEmpty())
        return Rating::None;
    // Ａ–Ｄ typed with a Chinese input method are the letters A–D.
    if (value.size() == 1 && value[0].unicode() >= 0xFF21 && value[0].unicode() <= 0xFF5A)
        value = value.normalized(QString::NormalizationForm_KC);
    static const QHash<QString, Rating> Values{
        {QStringLiteral("优秀"), Rating::Excellent}, {QStringLiteral("优"), Rating::Excellent},
        {QStringLiteral("好"), Rating::Excellent},   {QStringLiteral("A"), Rating::Excellent},
        {QStringLiteral("良好"), Rating::Good},      {QStringLiteral("良"), Rating::Good},
        {QStringLiteral("中"), Rating::Good},        {QStringLiteral("B"), Rating::Good},
        {QStringLiteral("后进"), Rating::Lagging},   {QStringLiteral("待提高"), Rating::Lagging},
        {QStringLiteral("差"), Rating::Lagging},     {QStringLiteral("C"), Rating::Lagging},
        {QStringLiteral("D"), Rating::Lagging},
    };
    const auto found = Values.constFind(value.size() == 1 ? value.toUpper() : value);
    if (found == Values.constEnd())
        return std::nullopt;
    return *found;
}

QString valueText(Rating grade)
{
    switch (grade) {
    case Rating::Excellent:
        return QStringLiteral("优秀");
    case Rating::Good:
        return QStringLiteral("良好");
    case Rating::Lagging:
        return QStringLiteral("后进");
    case Rating::None:
        break;
    }
    return {};
}

namespace {

/// What rows of a sheet give the class: per roster student and category the grade of a cell
/// that holds one (std::nullopt for an empty cell or a cell the file does not have).
struct Cells
{
    QList<QList<std::optional<Rating>>> grades;
};

/// Adds an item to one of the problem lists (by its index in Problems::counts), as long as the
/// list keeps items; counts it either way.
void note(Problems &found, int list, const QString &item)
{
    QStringList *lists[] = {&found.unknownNames, &found.unknownValues, &found.unknownCategories,
                            &found.duplicateNames, &found.duplicateCategories};
    if (lists[list]->size() < KeptProblems)
        lists[list]->append(problemItem(item));
    ++found.counts[std::size_t(list)];
}

enum ProblemList { UnknownNames, UnknownValues, UnknownCategories, DuplicateNames, DuplicateCategories };

Cells readCells(const QList<QStringList> &rows, const QStringList &roster, const QStringList &categories,
                Problems *problems)
{
    Problems found;
    Cells cells;
    cells.grades.fill(QList<std::optional<Rating>>(categories.size()), roster.size());

    // The heading row: the first that holds a 姓名 cell (a title may stand above it).
    qsizetype headingRow = -1;
    qsizetype nameColumn = -1;
    for (qsizetype r = 0; r < rows.size() && nameColumn < 0; ++r) {
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            if (isNameHeading(rows[r][c])) {
                headingRow = r;
                nameColumn = c;
                break;
            }
        }
    }
    if (nameColumn < 0) {
        found.missingNameColumn = true;
        if (problems)
            *problems = found;
        return cells;
    }

    // Which category each column holds (-1: none).
    QHash<QString, int> categoryIndex;
    for (int i = 0; i < categories.size(); ++i)
        categoryIndex.insert(packed(categories[i]), i);
    const QStringList &heading = rows[headingRow];
    QList<int> columnCategory(heading.size(), -1);
    QList<bool> categoryTaken(categories.size(), false);
    for (qsizetype c = 0; c < heading.size(); ++c) {
        const QString key = packed(heading[c]);
        // A second name column (a school's sheet often repeats 姓名 at the right) is no category.
        if (c == nameColumn || key.isEmpty() || isNameHeading(heading[c]))
            continue;
        const int index = categoryIndex.value(key, -1);
        if (index < 0) {
            note(found, UnknownCategories, heading[c].trimmed());
        } else if (categoryTaken[index]) {
            note(found, DuplicateCategories, categories[index]);
        } else {
            columnCategory[c] = index;
            categoryTaken[index] = true;
        }
    }

    // Roster students by name; a name twice in the class takes the file's rows in turn.
    QHash<QString, QList<int>> studentIndex;
    for (int i = 0; i < roster.size(); ++i)
        studentIndex[packed(roster[i])].append(i);
    QHash<QString, int> rowsSeen;
    for (qsizetype r = headingRow + 1; r < rows.size(); ++r) {
        const QStringList &row = rows[r];
        const QString name = nameColumn < row.size() ? row[nameColumn].trimmed() : QString();
        if (name.isEmpty()) {
            bool values = false;
            for (const QString &cell : row)
                values = values || !cell.trimmed().isEmpty();
            found.rowsWithoutName += values ? 1 : 0;
            continue;
        }
        const QString key = packed(name);
        const auto students = studentIndex.constFind(key);
        if (students == studentIndex.constEnd()) {
            note(found, UnknownNames, name);
            continue;
        }
        const int seen = rowsSeen[key]++;
        if (seen >= students->size()) {
            note(found, DuplicateNames, name);
            continue;
        }
        const int student = students->at(seen);
        for (qsizetype c = 0; c < row.size() && c < columnCategory.size(); ++c) {
            if (columnCategory[c] < 0 || row[c].trimmed().isEmpty())
                continue;
            const std::optional<Rating> grade = parseValue(row[c]);
            if (grade)
                cells.grades[student][columnCategory[c]] = *grade;
            else if (found.unknownValues.size() < KeptProblems)
                note(found, UnknownValues,
                     QStringLiteral("%1/%2: %3")
                         .arg(problemItem(name), problemItem(categories[columnCategory[c]]),
                              problemItem(row[c].trimmed())));
            else
                ++found.counts[UnknownValues]; // counted without making its text
        }
    }
    if (problems)
        *problems = found;
    return cells;
}

} // namespace

Table fromRows(const QList<QStringList> &rows, const QStringList &roster, const QStringList &categories,
               Problems *problems)
{
    const Cells cells = readCells(rows, roster, categories, problems);
    Table table;
    const auto heading = std::find_if(rows.cbegin(), rows.cend(), [](const QStringList &row) {
        return std::any_of(row.cbegin(), row.cend(), isNameHeading);
    });
    table.settings = ClassSettings::fromRows(rows.mid(0, heading - rows.cbegin()));
    table.categories = categories;
    table.names = roster;
    for (const QList<std::optional<Rating>> &student : cells.grades) {
        QList<Rating> grades;
        for (const std::optional<Rating> &grade : student)
            grades << grade.value_or(Rating::None);
        table.grades << grades;
    }
    return table;
}

Merged merge(const Table &current, const QList<QStringList> &rows, Problems *problems)
{
    const Cells cells = readCells(rows, current.names, current.categories, problems);
    Merged merged;
    merged.table = forRoster(current, current.names);
    QList<bool> categoryRated(current.categories.size(), false);
    for (qsizetype s = 0; s < cells.grades.size(); ++s) {
        bool studentRated = false;
        for (qsizetype c = 0; c < cells.grades[s].size(); ++c) {
            if (const std::optional<Rating> grade = cells.grades[s][c]) {
                merged.table.grades[s][c] = *grade;
                ++merged.cellsSet;
                studentRated = true;
                categoryRated[c] = true;
            }
        }
        if (!studentRated)
            merged.namesWithout << current.names[s];
    }
    for (qsizetype c = 0; c < current.categories.size(); ++c) {
        if (!categoryRated[c])
            merged.categoriesWithout << current.categories[c];
    }
    return merged;
}

namespace {

QString tooLarge(const QString &path, qint64 size)
{
    return TooLargeMessage.arg(path, QString::number(double(size) / (1024 * 1024), 'f', 1))
        .arg(MaxFileSize / (1024 * 1024));
}

Result<QList<QStringList>> rowsOfText(const QString &path, const QByteArray &bytes)
{
    const Result<QString> text = NameList::decodeFile(path, bytes);
    if (!text)
        return text.failure();
    return SpreadsheetNames::csvRows(*text);
}

Result<QList<QStringList>> rowsOf(const QString &path)
{
    if (const QFileInfo info(path); info.isFile() && info.size() > MaxFileSize)
        return Failure{tooLarge(path, info.size()), FailureKind::Unreadable};
    if (isSheet(path))
        return SpreadsheetFile::rows(path);
    const Result<QByteArray> bytes = TextFile::readAll(path);
    if (!bytes)
        return Failure{UnreadableMessage.arg(path, bytes.error()), FailureKind::Unreadable};
    return rowsOfText(path, *bytes);
}

/// The headings after 姓名 in the first row that holds one: the categories of a file of our own.
QStringList ownCategories(const QList<QStringList> &rows)
{
    for (const QStringList &row : rows) {
        const auto name = std::find_if(row.cbegin(), row.cend(), isNameHeading);
        if (name == row.cend())
            continue;
        QStringList categories;
        for (auto cell = row.cbegin(); cell != row.cend(); ++cell) {
            if (!isNameHeading(*cell) && !cell->trimmed().isEmpty() && !categories.contains(cell->trimmed()))
                categories << cell->trimmed();
        }
        return categories;
    }
    return {};
}

} // namespace

Table fromOwnRows(const QList<QStringList> &rows, const QStringList &roster, Problems *problems)
{
    return fromRows(rows, roster, ownCategories(rows), problems);
}

Table fromCsvBytes(const QByteArray &bytes, const QStringList &roster, Problems *problems)
{
    return fromOwnRows(SpreadsheetNames::csvRows(NameList::decode(bytes)), roster, problems);
}

namespace {

Result<Table> ownColumnsOfRows(const Result<QList<QStringList>> &rows, const QString &path,
                               const QStringList &roster, Problems *problems)
{
    if (!rows)
        return rows.failure();
    Problems found;
    Table table = fromOwnRows(*rows, roster, &found);
    if (problems)
        *problems = found;
    if (found.missingNameColumn)
        return Failure{NoNameColumnMessage.arg(path), FailureKind::Unreadable};
    return table;
}

} // namespace

Result<Table> readOwnColumns(const QString &path, const QStringList &roster, Problems *problems)
{
    return ownColumnsOfRows(rowsOf(path), path, roster, problems);
}

Result<Table> ownColumnsOf(const QByteArray &bytes, const QString &path, const QStringList &roster,
                           Problems *problems)
{
    return ownColumnsOfRows(rowsOfText(path, bytes), path, roster, problems);
}

Table forRoster(const Table &table, const QStringList &roster)
{
    Table result;
    result.categories = table.categories;
    result.names = roster;
    result.settings = table.settings;
    QHash<QString, QList<int>> rowsOf;
    for (int i = 0; i < table.names.size(); ++i)
        rowsOf[table.names[i]].append(i);
    for (const QString &name : roster) {
        QList<int> &rows = rowsOf[name];
        const int row = rows.isEmpty() ? -1 : rows.takeFirst();
        QList<Rating> grades = table.grades.value(row);
        grades.resize(table.categories.size(), Rating::None);
        result.grades.append(grades);
    }
    return result;
}

bool hasGrades(const Table &table)
{
    return std::any_of(table.grades.cbegin(), table.grades.cend(), [](const QList<Rating> &row) {
        return std::any_of(row.cbegin(), row.cend(), [](Rating g) { return g != Rating::None; });
    });
}

QString problemItem(const QString &text)
{
    if (text.size() <= ProblemItemLength)
        return text;
    qsizetype cut = ProblemItemLength;
    if (text.at(cut - 1).isHighSurrogate()) // a character outside the BMP stays whole
        --cut;
    return text.first(cut) + QStringLiteral("…");
}

QString listed(const QStringList &items, qsizetype total, const std::function<QString(const QString &)> &field)
{
    total = std::max(total, items.size());
    QStringList shown;
    for (qsizetype i = 0; i < items.size() && i < ShownProblems; ++i)
        shown << field(problemItem(items.at(i)));
    QString text = shown.join(QStringLiteral("、"));
    if (total > shown.size())
        text += QStringLiteral("等，另有 %1 项").arg(QLocale(QLocale::Chinese, QLocale::China).toString(total - shown.size()));
    return text;
}

QStringList problemLines(const Problems &problems, const std::function<QString(const QString &)> &field)
{
    QStringList lines;
    const auto list = [&](const QString &what, const QStringList &items, ProblemList which) {
        if (items.isEmpty())
            return;
        lines << what + listed(items, problems.counts[std::size_t(which)], field);
    };
    list(QStringLiteral("不在班上的姓名："), problems.unknownNames, UnknownNames);
    list(QStringLiteral("无法识别的评价："), problems.unknownValues, UnknownValues);
    list(QStringLiteral("评语库中没有的类别："), problems.unknownCategories, UnknownCategories);
    list(QStringLiteral("重复的学生（按第一行）："), problems.duplicateNames, DuplicateNames);
    list(QStringLiteral("重复的类别（按第一列）："), problems.duplicateCategories, DuplicateCategories);
    if (problems.rowsWithoutName > 0)
        lines << QStringLiteral("没有姓名的行：%1 行").arg(problems.rowsWithoutName);
    return lines;
}

Result<Table> readFile(const QString &path, const QStringList &roster, const QStringList &categories,
                       Problems *problems)
{
    Result<QList<QStringList>> rows = rowsOf(path);
    if (!rows)
        return rows.failure();
    Problems found;
    Table table = fromRows(*rows, roster, categories, &found);
    if (problems)
        *problems = found;
    if (found.missingNameColumn)
        return Failure{NoNameColumnMessage.arg(path), FailureKind::Unreadable};
    return table;
}

Result<Merged> mergeFile(const QString &path, const Table &current, Problems *problems)
{
    Result<QList<QStringList>> rows = rowsOf(path);
    if (!rows)
        return rows.failure();
    Problems found;
    Merged merged = merge(current, *rows, &found);
    if (problems)
        *problems = found;
    if (found.missingNameColumn)
        return Failure{NoNameColumnMessage.arg(path), FailureKind::Unreadable};
    return merged;
}

QString sidecarPath(const QString &classPath)
{
    static const QString ClassSuffix = QStringLiteral(".py");
    QString base = classPath;
    if (base.endsWith(ClassSuffix, Qt::CaseInsensitive))
        base.chop(ClassSuffix.size());
    return base + QStringLiteral(".评价.csv");
}

SidecarFile openSidecar(const QString &sidecar, const QString &classPath)
{
    SidecarFile file;
    const QByteArray name = QFile::encodeName(sidecar);
    // O_NOFOLLOW: a link is refused rather than read through; O_NONBLOCK: a FIFO planted there
    // cannot hold the opening up (it is refused below as no regular file).
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat found
    {
    };
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return file;
        if (::lstat(name.constData(), &found) != 0)
            return file;
        if (S_ISLNK(found.st_mode) || error == ELOOP) {
            file.state = Sidecar::Foreign;
            return file;
        }
        file.error = FileErrorReason::fromErrno(error);
    } else if (::fstat(fd, &found) != 0) {
        file.error = FileErrorReason::fromErrno(errno);
    }
    struct stat owner
    {
    };
    const bool classOwners =
        ::stat(QFile::encodeName(classPath).constData(), &owner) == 0 && found.st_uid == owner.st_uid;
    const bool ours = found.st_uid == ::geteuid();
    file.state = S_ISREG(found.st_mode) && (classOwners || ours) ? Sidecar::Trusted : Sidecar::Foreign;
    if (fd >= 0 && file.state == Sidecar::Trusted && file.error.isEmpty()) {
        QFile opened;
        if (found.st_size > MaxFileSize)
            file.error = tooLarge(sidecar, found.st_size);
        else
        if (!opened.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
            file.error = FileErrorReason::of(opened);
        } else if (const Result<QByteArray> bytes = TextFile::readAll(&opened); !bytes) {
            file.error = bytes.error();
        } else {
            file.bytes = *bytes;
        }
    }
    if (fd >= 0)
        ::close(fd);
    return file;
}

QByteArray csvBytes(const Table &table)
{
    static const QString LineEnd = QStringLiteral("\r\n");
    QString text;
    for (const QStringList &row : table.settings.rows()) {
        QStringList fields;
        // A settings cell read as a 姓名 heading would make its row the heading row.
        for (const QString &field : row) {
            if (!isNameHeading(field))
                fields << csvField(field);
        }
        text += fields.join(u',') + LineEnd;
    }
    text += NameHeading;
    for (const QString &category : table.categories)
        text += u',' + csvField(category);
    text += LineEnd;
    for (qsizetype i = 0; i < table.names.size(); ++i) {
        text += csvField(table.names[i]);
        for (qsizetype c = 0; c < table.categories.size(); ++c) {
            const Rating grade =
                i < table.grades.size() && c < table.grades[i].size() ? table.grades[i][c] : Rating::None;
            text += u',' + valueText(grade);
        }
        text += LineEnd;
    }
    // The byte-order mark tells Excel and WPS the file is UTF-8, not the system's code page.
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

Result<void> write(const QString &path, const Table &table, const QString &classPath)
{
    return FileSave::saveLike(path, csvBytes(table), classPath);
}

} // namespace RatingsFile
