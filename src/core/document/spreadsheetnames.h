#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// Class lists from spreadsheets: the rows of a sheet, and the names in them.
namespace SpreadsheetNames {

/// The rows of a CSV text: fields split at commas (or at TABs when a line holds TABs and no
/// comma), a field in double quotes may hold commas, line breaks and doubled quotes ("").
QList<QStringList> csvRows(QStringView text);

/// The names of a sheet: the column headed 姓名, 学生姓名 or 名字 (blanks around the heading
/// ignored), below its heading; else the leftmost column holding text that is no number, every
/// row. Cells are trimmed of blanks; empty cells are left out.
QStringList namesIn(const QList<QStringList> &rows);

} // namespace SpreadsheetNames
