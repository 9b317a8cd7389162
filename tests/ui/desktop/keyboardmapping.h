#pragma once

#include <QString>
#include <QStringList>

/// Gives every character of the text a key of its own on the X server that DISPLAY names,
/// where the keyboard map has none yet, and returns the key names that type the text with
/// `xdotool key`; an empty list when there is no display or too few unused keys.
///
/// `xdotool type` changes the keyboard map for each such character and changes it back; a
/// program still busy with earlier keys then reads them with the wrong map, so that on a busy
/// machine characters come out doubled, missing or wrong. With the keys bound once, before
/// the program starts, the map never changes while it types.
QStringList bindKeysFor(const QString &text);
