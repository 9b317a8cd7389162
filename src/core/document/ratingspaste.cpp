#include "core/document/ratingspaste.h"

#include <QHash>

#include <algorithm>

namespace RatingsPaste {

namespace {

/// The pasted text as rows of cells: a spreadsheet puts a TAB between cells and a line break
/// (CR LF on Windows) after every row.
QList<QStringList> cellsOf(const QString &text)
{
    QStringList lines = text.split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    QList<QStringList> rows;
    for (const QString &line : lines) {
        QStringList cells = line.split(u'\t');
        for (QString &cell : cells)
            cell = cell.trimmed();
        rows << cells;
    }
    return rows;
}

} // namespace

Pasted paste(const RatingsFile::Table &current, const QString &text, int row, const QList<int> &columns,
             const QList<int> &hidden)
{
    Pasted pasted;
    pasted.table = RatingsFile::forRoster(current, current.names);
    QList<QStringList> rows = cellsOf(text);
    if (rows.isEmpty())
        return pasted;

    QHash<QString, int> categoryIndex;
    for (int c = 0; c < current.categories.size(); ++c)
        categoryIndex.insert(RatingsFile::packed(current.categories[c]), c);
    QHash<QString, QList<int>> studentIndex;
    for (int s = 0; s < current.names.size(); ++s)
        studentIndex[RatingsFile::packed(current.names[s])].append(s);

    // A heading row names a category or the name column somewhere.
    const QStringList first = rows.first();
    const bool headed = std::any_of(first.cbegin(), first.cend(), [&](const QString &cell) {
        return categoryIndex.contains(RatingsFile::packed(cell)) || RatingsFile::isNameHeading(cell);
    });
    QStringList heading;
    if (headed)
        heading = rows.takeFirst();

    qsizetype nameColumn = -1;
    for (qsizetype c = 0; c < heading.size() && nameColumn < 0; ++c) {
        if (RatingsFile::isNameHeading(heading[c]))
            nameColumn = c;
    }
    if (nameColumn < 0) {
        for (const QStringList &line : std::as_const(rows)) {
            if (studentIndex.contains(RatingsFile::packed(line.value(0))) && !line.value(0).isEmpty()) {
                nameColumn = 0;
                break;
            }
        }
    }

    // The category of each pasted column: by its heading, else the next of `columns`.
    // NoPlace: its values have nowhere to go; Unknown: its heading is no category (told once).
    constexpr int NoPlace = -1, Unknown = -2;
    qsizetype width = heading.size();
    for (const QStringList &line : std::as_const(rows))
        width = std::max(width, line.size());
    QList<int> columnCategory(width, NoPlace);
    int next = 0;
    for (qsizetype c = 0; c < width; ++c) {
        if (c == nameColumn)
            continue;
        if (headed) {
            const QString name = heading.value(c);
            if (name.isEmpty())
                continue;
            columnCategory[c] = categoryIndex.value(RatingsFile::packed(name), Unknown);
            if (columnCategory[c] == Unknown)
                pasted.unknownCategories << name;
            else if (hidden.contains(columnCategory[c]))
                columnCategory[c] = NoPlace;
        } else if (next < columns.size()) {
            columnCategory[c] = columns[next++];
        }
    }

    QHash<QString, int> namesSeen;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList &line = rows[i];
        int student = row + int(i);
        if (nameColumn >= 0) {
            // A name twice in the class takes the pasted lines in turn.
            const QString name = RatingsFile::packed(line.value(nameColumn));
            const QList<int> students = studentIndex.value(name);
            const int seen = namesSeen[name]++;
            student = name.isEmpty() || seen >= students.size() ? -1 : students[seen];
            if (!name.isEmpty() && students.isEmpty()) {
                pasted.unknownNames << line.value(nameColumn);
                continue;
            }
        }
        for (qsizetype c = 0; c < line.size(); ++c) {
            if (c == nameColumn || line[c].isEmpty() || columnCategory[c] == Unknown)
                continue;
            if (columnCategory[c] == NoPlace || student < 0 || student >= current.names.size()) {
                ++pasted.outside;
                continue;
            }
            const std::optional<Rating> grade = RatingsFile::parseValue(line[c]);
            if (!grade) {
                pasted.unknownValues << line[c];
                continue;
            }
            pasted.table.grades[student][columnCategory[c]] = *grade;
            ++pasted.cellsSet;
        }
    }
    return pasted;
}

} // namespace RatingsPaste
