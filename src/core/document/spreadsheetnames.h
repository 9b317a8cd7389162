#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// Class lists from spreadsheets: the rows of a sheet, and the names in them.
namespace SpreadsheetNames {

/// Only the first rows and columns of a sheet, where a class list is, are looked at: a hostile
/// file cannot make the reading slow or large.
inline constexpr int MaxRows = 10000;
inline constexpr int MaxColumns = 256;

/// A cell holding more characters than this (blanks around it left out) is never a name:
/// 50 holds the longest transliterated and foreign names.
inline constexpr int MaxNameLength = 50;

/// The rows of a CSV text: fields split at commas (or at TABs when a line holds TABs and no
/// comma), a field in double quotes may hold commas, line breaks and doubled quotes ("").
/// Only the first MaxRows rows and the first MaxColumns fields of a row are kept.
QList<QStringList> csvRows(QStringView text);

/// The names of a sheet: the column headed 姓名, 学生姓名 or 名字 (blanks around the heading
/// ignored), below its heading; else the leftmost column holding text that is no number, every
/// row. Cells are trimmed of blanks; empty cells, cells longer than MaxNameLength and error
/// values ("#N/A", "#NAME?") are left out.
QStringList namesIn(const QList<QStringList> &rows);

} // namespace SpreadsheetNames
