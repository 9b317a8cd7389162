#pragma once

#include <QString>

/// Turns a filter of description and pattern pairs joined by "|", as "评语文件|*.py|所有文件|*.*",
/// into Qt's form "评语文件 (*.py);;所有文件 (*)". Patterns joined by ";" stay alternatives, and
/// "*.*" (meant as every file) becomes "*", since names without a dot must match too.
QString toQtFileFilter(const QString &pipeFilter);

/// A name chosen without a suffix takes the first suffix of the file type chosen with it (one
/// of toQtFileFilter's entries, "OpenDocument 文本 (*.odt)"); any other name stays as it is.
QString withSuffixOf(const QString &path, const QString &chosenType);
