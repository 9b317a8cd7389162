#pragma once

#include "core/platform/itemfont.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/selectedobject.h"

#include <QString>

#include <optional>

/// What the boxes of the print window do to their texts and to the scheme being edited. A box
/// holds text as typed; Enter stores the text as it stands into the scheme field the box edits.
/// The arrows beside a box read the number its text starts with (leadingNumber), step it and
/// write it back with numberText, then store it as Enter would.
class SchemeEditing
{
public:
    /// The boxes of the page-setup panel that hold a length.
    /// The boxes of the page-setup panel that hold a length, and the selected item's text box.
    enum class Box { PaperHeight, PaperWidth, Spacing, ItemHeight, ItemWidth, ItemTop, ItemLeft, ItemText };

    /// One click of a length box's arrows, in centimetres.
    static constexpr double Step = 0.1;

    /// A number as the panel writes it into a box: 15 significant digits, no trailing zeros,
    /// no zero before the point of a number below 1 (".5", "-.05"), never an exponent.
    static QString numberText(double value);

    /// The field a box stores into while `selected` is selected: the paper boxes and the spacing
    /// box always their own; the top and left boxes those of the selected item (none while
    /// nothing is); the width box the item's box width and the text box the item's text, for
    /// the items that have them (the comment; the heading and the date). The height box stores
    /// nothing: the comment's height does not shape the page.
    static std::optional<SchemeField> fieldOf(Box box, SelectedObject selected);

    /// Enter in a box: its text, as it stands, goes into the field it edits, if it edits one.
    static void apply(LayoutScheme &scheme, Box box, SelectedObject selected, const QString &text);

    /// One click on the arrows of any box but the height box: the text the box shows next, which
    /// is applied as Enter applies it. Up adds a step. Down takes a step off a number above 0; at
    /// 0 or below the box shows its number again ("abc" becomes "0", "-3cm" "-3"), except the
    /// spacing box, which keeps its text: then none is returned and the kept text is applied.
    static std::optional<QString> spin(LayoutScheme &scheme, Box box, SelectedObject selected,
                                       const QString &text, bool up);

    /// One click on the height box's arrows: its number a step up or down, below 0 too. The text
    /// is not stored.
    static QString heightStepped(const QString &text, bool up);

    /// What else the height box's down arrow does: a step off the scheme's line spacing while
    /// the spacing is above 0. The spacing box is left showing what it showed.
    static void lowerSpacing(LayoutScheme &scheme);

    /// The texts of the item boxes.
    struct ItemTexts
    {
        QString height;
        QString width;
        QString top;
        QString left;
        QString text;
        friend bool operator==(const ItemTexts &, const ItemTexts &) = default;
    };
    /// What the item boxes show for the selected item: the comment's height and width (empty
    /// for the others), the item's top and left and the text a scheme keeps for it (the
    /// heading's, the date's; empty for the others). None when nothing is selected: the boxes
    /// then keep what they show.
    static std::optional<ItemTexts> itemTexts(const LayoutScheme &scheme, SelectedObject selected);

    /// Enter in the text box: stores the text for the selected item, when it has one, unless the
    /// scheme file could not keep it; then nothing changes and the reason is returned.
    static QString applyText(LayoutScheme &scheme, SelectedObject selected, const QString &text);

    /// A font chosen for an item whose font the scheme keeps (the heading, the date).
    static void setSchemeFont(LayoutScheme &scheme, SelectedObject selected, const ItemFont &font);

    /// One click on the copies box's arrows (print panel): up a whole copy, without limit; down
    /// a copy while the number is above 1, else the number shown again ("abc" becomes "0").
    static QString copiesStepped(const QString &text, bool up);
};
