#pragma once

#include <QStringView>

/// The decimal number at the start of a text, as the program's files store sizes and lengths:
/// blanks are skipped (also between digits), an optional sign, digits and at most one decimal
/// point are taken, and the rest is ignored. A text that does not start with a number gives 0.
double leadingNumber(QStringView text);
