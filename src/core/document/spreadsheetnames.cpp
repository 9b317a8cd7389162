#include "core/document/spreadsheetnames.h"

#include <QRegularExpression>

#include <algorithm>

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
            // "姓  名": headings are often spaced out to the column's width.
            static const QRegularExpression blanks(QStringLiteral("\\s"));
            if (Headings.contains(QString(rows[r][c]).remove(blanks))) {
                headingRow = r;
                column = c;
                break;
            }
        }
    }
    // Without a heading, the names are the text (no numbers: those are the students' numbers)
    // of the column holding the most of it, the leftmost of equals; a title above stays out.
    const auto isText = [](const QString &cell) {
        const QString value = cell.trimmed();
        bool number = false;
        value.toDouble(&number);
        return !value.isEmpty() && !number;
    };
    const bool headed = column >= 0;
    if (!headed) {
        QList<int> texts;
        for (const QStringList &row : rows) {
            if (texts.size() < row.size())
                texts.resize(row.size());
            for (qsizetype c = 0; c < row.size(); ++c)
                texts[c] += isText(row[c]) ? 1 : 0;
        }
        const auto most = std::max_element(texts.begin(), texts.end());
        if (most == texts.end() || *most == 0)
            return {};
        column = most - texts.begin();
    }
    QStringList names;
    for (qsizetype r = headingRow + 1; r < rows.size(); ++r) {
        // A line break typed inside a cell is no second student.
        const QString name = rows[r].value(column).simplified();
        if (headed ? !name.isEmpty() : isText(name))
            names.append(name);
    }
    return names;
}

} // namespace SpreadsheetNames
