#pragma once

#include <QString>

class QTextStream;

/// `qhsy --import-names LIST IN OUT [--replace]`: the name import without a window.
namespace NameImportCommand {

/// Reads the names of LIST as the import dialog does (.txt, .csv, .xlsx, .ods, .xls), adds them
/// to the roster of the comment file IN (IN "-": a new class from the template of the program
/// folder) as the dialog's 添加 does, or replaces the roster as its 替换 does, and writes OUT.
/// Prints every name taken, one a line, on `out`; names left out past the 100th student, lines
/// too long to be a name and names that now stand twice in the class are told on `err`.
/// 0 on success; 2 when IN or LIST was rejected or holds no name (OUT is not written); 1 when OUT
/// could not be written.
int run(const QString &list, const QString &in, const QString &outPath, bool replace,
        const QString &programFolder, QTextStream &out, QTextStream &err);

} // namespace NameImportCommand
