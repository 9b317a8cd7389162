#pragma once

#include "core/platform/itemfont.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/selectedobject.h"

#include <QDate>
#include <QString>

#include <optional>
#include <span>

class CommentDocument;
struct PageSetup;

/// What an item's text is made from: the student's card, the document and the page's setup.
struct ItemTextSource
{
    const CommentDocument &document;
    int student = -1; ///< 0-based; outside the class the name and the comment are empty
    const PageSetup &setup;
};

/// One item a page can carry, described once for every part that handles items: composition
/// and the painter (role, place, font, text), the scheme file (the keys of its values), the fit
/// check and the print window (its object on the sample page and the controls it enables).
struct PrintedItem
{
    PageItemRole role = PageItemRole::CommentLine;
    SelectedObject object = SelectedObject::None;
    const char16_t *caption = nullptr; ///< the print window's name for it when selected
    SchemeField left = SchemeField::PaperWidth;
    SchemeField top = SchemeField::PaperHeight;
    std::optional<SchemeField> width = {};  ///< a box the text is broken into lines in
    std::optional<SchemeField> height = {}; ///< the box's height, shown but not printed with
    std::optional<SchemeField> gap = {};    ///< extra space between the box's lines
    std::optional<Item> documentFont = {};  ///< one of the comment file's three fonts ...
    std::optional<SchemeField> font = {};   ///< ... or a font kept in the scheme
    std::optional<SchemeField> text = {};   ///< a text kept in the scheme
    bool LayoutScheme::*printed = nullptr;  ///< an optional item's switch; nullptr: always printed
    const char16_t *checkCaption = nullptr; ///< the check box of an optional item
    const char16_t *checkName = nullptr;    ///< and its object name
    QString (*textOf)(const ItemTextSource &source) = nullptr;
    /// What a scheme starts with when it first prints the item: its text and font, then its
    /// place taken from another item's, `below` centimetres lower (never above the paper).
    const char16_t *startText = nullptr;
    const char16_t *startFont = nullptr;
    SchemeField leftFrom = SchemeField::PaperWidth;
    SchemeField topFrom = SchemeField::PaperHeight;
    double below = 0;
};

namespace PrintedItems {

/// Every item, in the order a page is composed and painted.
std::span<const PrintedItem> all();
/// The item of a sample-page object or a page item's role; nullptr for none.
const PrintedItem *of(SelectedObject object);
const PrintedItem *of(PageItemRole role);

/// Whether a scheme prints the item.
bool isPrinted(const PrintedItem &item, const LayoutScheme &scheme);
/// Turns an optional item on or off in a scheme; one turned on without values of its own gets
/// the item's starting text, font and place.
void setPrinted(const PrintedItem &item, LayoutScheme &scheme, bool on);
/// The item's font at full size: the document's, or the scheme's read with fontOf.
ItemFont fontOf(const PrintedItem &item, const LayoutScheme &scheme, const ItemFonts &documentFonts);

/// A scheme's font text "face,size,bold,italic" (黑体,16,true,false). A size that is not a
/// number above 0 and an empty face keep the default font's; bold and italic are "true" or not.
ItemFont fontFromText(const QString &text);
QString fontText(const ItemFont &font);

/// The heading's text: "{班级}" is the class file's name without its suffix.
QString titleText(const QString &text, const QString &className);
/// The date's text: "{年}", "{月}", "{日}" are the date's year, month and day.
QString dateText(const QString &text, QDate date);

/// Why a text cannot be kept in the scheme file; "" when it can. A value line holding a key of
/// the eleven, "name=" or "*!*" would be misread by every reader of the file.
QString schemeTextProblem(const QString &text);

} // namespace PrintedItems
