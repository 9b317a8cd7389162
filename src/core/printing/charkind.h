#pragma once

#include <QChar>

/// How a character or cluster behaves when it is appended to a line, for measuring a growing
/// line without laying it out again after every character.
enum class CharKind {
    /// Widens the line by its own advance, give or take kerning with the character before:
    /// Latin, general punctuation, half-width forms.
    Spacing,
    /// A full-width character of the CJK blocks: Chinese fonts set these on a fixed pitch.
    FullWidth,
    /// Marks, controls, format characters, surrogates, clusters of several characters and the
    /// scripts that shape across characters: the line has to be measured.
    Shaped,
    /// A Shaped character or cluster with no advance of its own: it leaves the line as wide as
    /// it was (a zero-width space, a joiner, marks with no base before them).
    ZeroAdvance,
};

/// The kind of a single character (never ZeroAdvance: that takes measuring).
CharKind charKind(QChar c);

/// A character a layout sets as a line of its own kind: never a line or paragraph separator.
bool isPlainChar(QChar c);

/// Whether the character has a script of its own (not Common or Inherited).
bool hasOwnScript(QChar c);
