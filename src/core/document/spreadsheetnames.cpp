#include "core/document/spreadsheetnames.h"

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
        if (row.size() < MaxColumns)
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
    for (qsizetype i = 0; i < text.size() && rows.size() < MaxRows; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (row.size() < MaxColumns) {
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
            if (row.size() < MaxColumns)
                field += c;
            anything = true;
        }
    }
    if (rows.size() < MaxRows)
        endRow();
    return rows;
}

namespace {

/// The cell without the blanks around it, or an empty view when it is too long to be a name:
/// a long text is never copied, simplified or parsed.
QStringView nameCandidate(const QString &cell)
{
    const QStringView value = QStringView(cell).trimmed();
    return value.size() > MaxNameLength ? QStringView() : value;
}

/// A formula's error value, as Excel, WPS and LibreOffice show it.
bool isErrorValue(QStringView value)
{
    static const QStringList Errors{QStringLiteral("#N/A"),    QStringLiteral("#NAME?"),
                                    QStringLiteral("#NULL!"),  QStringLiteral("#DIV/0!"),
                                    QStringLiteral("#VALUE!"), QStringLiteral("#REF!"),
                                    QStringLiteral("#NUM!"),   QStringLiteral("#SPILL!"),
                                    QStringLiteral("#CALC!"),  QStringLiteral("#GETTING_DATA")};
    if (value.startsWith(u'#'))
        return Errors.contains(value.toString().toUpper());
    return value.startsWith(QStringLiteral("Err:")); // LibreOffice's "Err:502"
}

bool isHeading(QStringView cell)
{
    static const QStringList Headings{QStringLiteral("姓名"), QStringLiteral("学生姓名"),
                                      QStringLiteral("名字")};
    if (!cell.contains(u'名')) // in every heading; most cells are quickly done with
        return false;
    // "姓  名": headings are often spaced out to the column's width.
    QString packed;
    for (const QChar c : cell) {
        if (!c.isSpace())
            packed += c;
    }
    return Headings.contains(packed);
}

} // namespace

QStringList namesIn(const QList<QStringList> &rows)
{
    const qsizetype rowCount = std::min<qsizetype>(rows.size(), MaxRows);
    // The heading, in the first row that holds one.
    qsizetype headingRow = -1;
    qsizetype column = -1;
    for (qsizetype r = 0; r < rowCount && column < 0; ++r) {
        for (qsizetype c = 0; c < rows[r].size() && c < MaxColumns; ++c) {
            if (isHeading(nameCandidate(rows[r][c]))) {
                headingRow = r;
                column = c;
                break;
            }
        }
    }
    // Without a heading, the names are the text (no numbers: those are the students' numbers)
    // of the column holding the most of it, the leftmost of equals; a title above stays out.
    const auto isText = [](QStringView value) {
        if (value.isEmpty())
            return false;
        // A number starts with a digit, a sign, a point or "inf" / "nan": a name (Chinese, or a
        // Latin letter) is known without parsing it.
        const QChar first = value.front();
        if (first.unicode() >= 0x80 || (first.isLetter() && !QStringView(u"iInN").contains(first)))
            return true;
        bool number = false;
        (void)value.toDouble(&number);
        return !number;
    };
    const bool headed = column >= 0;
    if (!headed) {
        QList<int> texts;
        QStringList weighed; // the last row weighed, and the text cells it held
        QList<int> found;
        for (qsizetype r = 0; r < rowCount; ++r) {
            const QStringList &row = rows[r];
            // Copies of one row (a repeated row of an OpenDocument sheet) share their cells.
            if (row.isEmpty() || row.constData() != weighed.constData() || row.size() != weighed.size()) {
                weighed = row;
                found.clear();
                for (qsizetype c = 0; c < row.size() && c < MaxColumns; ++c) {
                    const QStringView value = nameCandidate(row[c]);
                    if (isText(value) && !isErrorValue(value))
                        found.append(int(c));
                }
            }
            for (const int c : std::as_const(found)) {
                if (texts.size() <= c)
                    texts.resize(c + 1);
                ++texts[c];
            }
        }
        const auto most = std::max_element(texts.begin(), texts.end());
        if (most == texts.end() || *most == 0)
            return {};
        column = most - texts.begin();
    }
    QStringList names;
    for (qsizetype r = headingRow + 1; r < rowCount; ++r) {
        const QStringView value = column < rows[r].size() ? nameCandidate(rows[r][column]) : QStringView();
        if (value.isEmpty() || isErrorValue(value) || (!headed && !isText(value)))
            continue;
        // A line break typed inside a cell is no second student.
        names.append(value.toString().simplified());
    }
    return names;
}

} // namespace SpreadsheetNames
