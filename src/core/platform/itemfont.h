#pragma once

#include <QString>

#include <array>

/// Display and print font of one printed item (student name, comment text or signature).
struct ItemFont
{
    QString fontName = QStringLiteral("宋体");
    double fontSize = 9;
    bool bold = false;
    bool italic = false;

    friend bool operator==(const ItemFont &, const ItemFont &) = default;
};

/// The three item fonts: index 0 = student name, 1 = comment text, 2 = teacher signature.
using ItemFonts = std::array<ItemFont, 3>;

/// Takes a font chooser's answer into an item font: a chooser closed without a face keeps the
/// face name, and a size of 0 or less (which would print nothing) keeps the size; bold and
/// italic are taken as chosen.
inline void takeChosenFont(ItemFont &font, const ItemFont &chosen)
{
    if (!chosen.fontName.isEmpty())
        font.fontName = chosen.fontName;
    if (chosen.fontSize > 0)
        font.fontSize = chosen.fontSize;
    font.bold = chosen.bold;
    font.italic = chosen.italic;
}

/// Index into ItemFonts for each printed item.
enum class Item { StudentName = 0, CommentText = 1, Signature = 2 };
