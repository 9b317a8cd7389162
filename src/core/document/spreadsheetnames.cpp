#include "core/document/spreadsheetnames.h"

namespace SpreadsheetNames {

QList<QStringList> csvRows(QStringView text)
{
    // One separator for the whole text: a list exported with TABs has no commas to split at.
    const qsizetype firstBreak = text.indexOf(u'\n');
    const QStringView firstLine = firstBreak < 0 ? text : text.first(firstBreak);
    const QChar separator = firstLine.contains(u'\t') && !firstLine.contains(u',') ? u'\t' : u',';

    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool anything = false; // the current row has a field or a character
    const auto endField = [&] {
        row.append(field);
        field.clear();
    };
    const auto endRow = [&] {
        if (anything || !field.isEmpty()) {
            endField();
            rows.append(row);
        }
        row.clear();
        field.clear();
        anything = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            anything = true;
        } else if (c == separator) {
            endField();
            anything = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRow();
        } else {
            field += c;
            anything = true;
        }
    }
    endRow();
    return rows;
}

QStringList namesIn(const QList<QStringList> &rows)
{
    static const QStringList Headings{QStringLiteral("姓名"), QStringLiteral("学生姓名"),
                                      QStringLiteral("名字")};
    // The heading, in the first row that holds one.
    qsizetype headingRow = -1;
    qsizetype column = -1;
    for (qsizetype r = 0; r < rows.size() && column < 0; ++r) {
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            if (Headings.contains(rows[r][c].trimmed())) {
                headingRow = r;
                column = c;
                break;
            }
        }
    }
    if (column < 0) {
        // No heading: the leftmost column holding text, a cell that is no number (a column of
        // numbers is the students' numbers).
        const auto isText = [](const QString &cell) {
            const QString value = cell.trimmed();
            bool number = false;
            value.toDouble(&number);
            return !value.isEmpty() && !number;
        };
        for (const QStringList &row : rows) {
            for (qsizetype c = 0; c < row.size(); ++c) {
                if (isText(row[c]) && (column < 0 || c < column)) {
                    column = c;
                    break;
                }
            }
        }
    }
    QStringList names;
    if (column < 0)
        return names;
    for (qsizetype r = headingRow + 1; r < rows.size(); ++r) {
        const QString name = rows[r].value(column).trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

} // namespace SpreadsheetNames
