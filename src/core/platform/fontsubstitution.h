#pragma once

#include "core/platform/itemfont.h"

#include <QFont>
#include <QStringList>

/// Comment files name Windows font faces (宋体, 黑体, 楷体_GB2312, 微软雅黑, SimSun, ...). One table
/// maps them to the CJK fonts installed here, for the screen and the printer alike; the files
/// keep the names as written.
namespace FontSubstitution {

/// The installed families tried, in order, for a face name; empty when the face is not in the
/// table.
QStringList substitutesFor(const QString &face);

/// Registers the table with Qt's font substitution, once per process.
void install();

/// The QFont that shows an item font (sizes of 0 or less keep Qt's default size).
QFont toQFont(const ItemFont &font);

/// An item font from a font chosen in a dialog. When the chosen family is what the preset's
/// face is shown with, the preset's face name is kept, so that choosing only a new size does
/// not turn "宋体" into the installed family's name.
ItemFont fromQFont(const QFont &chosen, const ItemFont &preset);

} // namespace FontSubstitution
