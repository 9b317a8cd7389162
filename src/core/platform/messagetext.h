#pragma once

#include <QString>

/// The text a message box shows, kept to what a box on the screen can hold.
namespace MessageText {

/// A message shows at most this many lines, each of at most this many characters, and starts
/// no line past MaxLength characters.
inline constexpr int MaxLines = 30;
inline constexpr int MaxLineLength = 300;
inline constexpr int MaxLength = 2000;
/// Marks where a line or the text was cut.
inline const QString Cut = QStringLiteral("……");

/// The text with each line past MaxLineLength characters cut, and the lines past MaxLines (or
/// past MaxLength characters) left out, each cut marked with Cut; a text within the limits comes back as it is. Lines end at
/// LF, CR LF or CR; the line breaks kept are the text's own. Only the text that is kept is
/// looked at, so a text of megabytes costs no more than a short one.
QString bounded(const QString &text);

} // namespace MessageText
