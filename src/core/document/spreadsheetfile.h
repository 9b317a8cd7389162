#pragma once

#include "core/platform/result.h"

#include <QList>
#include <QString>
#include <QStringList>

/// The first sheet of an Office Open XML (.xlsx) or OpenDocument (.ods) spreadsheet, as rows of
/// cell texts. Both are ZIP archives of XML files: libzip opens the archive, QXmlStreamReader
/// reads the XML.
namespace SpreadsheetFile {

/// A cell's text is cut to this many characters: no cell of a class list or a ratings table is
/// near it, and a hostile file's long text then costs little wherever a cell is copied.
inline constexpr int MaxCellLength = 1000;

/// The rows of the first sheet (cells by their column, empty cells as "", each cut to
/// MaxCellLength characters), or why the file
/// cannot be read: not a spreadsheet of that kind, damaged, or protected by a password. An old
/// Excel file (.xls) is converted to .xlsx by LibreOffice (soffice) in a private folder first;
/// without LibreOffice Calc that is said.
Result<QList<QStringList>> rows(const QString &path);

} // namespace SpreadsheetFile
