#pragma once

#include "core/library/commentlibrary.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class TextMeasurer;
struct ItemFont;
struct LayoutScheme;

/// Drafts of the class's comments made from the stock comments, one per rated category.
namespace Drafts {

/// The category that opens a draft when it is rated.
inline const QString OpeningCategory = QStringLiteral("总评");
/// The category that closes a draft when it is rated; fitting the paper never drops it.
inline const QString ClosingCategory = QStringLiteral("寄语");
/// Stand for the student's full name and given name in a stock comment.
inline const QString FullNamePlaceholder = QStringLiteral("{姓名}");
inline const QString GivenNamePlaceholder = QStringLiteral("{名}");

/// One student's ratings: category name -> rating (categories without a rating are absent).
using Ratings = QHash<QString, Rating>;

/// The stock comments by category and rating (indexed by Rating), in the library's category order.
struct Library
{
    QStringList categories;
    QHash<QString, std::array<QStringList, 3>> comments;
};

/// The library from CommentLibrary's listing: categories in the order they come first.
Library fromEntries(const QList<CommentLibrary::Entry> &entries);

/// {姓名} -> name, {名} -> PersonName::givenName(name), in one pass; a placeholder the result still
/// holds (one in the name, or one made where the name meets the text) is taken out, so that
/// no result holds one.
QString fillPlaceholders(const QString &text, const QString &name);

/// The categories of a student's draft in order: library order, 总评 first and 寄语 last if
/// rated. A rated category without a stock comment for its rating has nothing to give and is
/// left out.
QStringList draftOrder(const Library &library, const Ratings &ratings);

/// One student's draft.
struct Draft
{
    QString text;           ///< the stock comments joined, then placeholders filled
    QStringList categories; ///< used, in order
    QStringList dropped;    ///< left out to fit the paper, in the order dropped
    QStringList parts;      ///< the comment for each used category, placeholders filled
    QStringList stock;      ///< the same comments as the library has them
    QString name;           ///< the student's, which fills the placeholders

    friend bool operator==(const Draft &, const Draft &) = default;
};

/// Drafts for a class: students (names, in roster order) with their ratings (a student with no
/// rating gets an empty Draft). Reproducible from `seed`; within each category and rating the
/// stock comments are used as evenly as possible across the class (counts differ by at most one
/// while unused ones remain); no two non-empty drafts are identical (drawn again, with the
/// least-used comments, until they differ, as far as the library allows). Placeholders filled.
QList<Draft> draftClass(const Library &library, const QStringList &names, const QList<Ratings> &ratings,
                        quint32 seed);

/// 换一句: a new draft for student k, different from its current one where the library allows,
/// keeping the class's evenness as far as possible.
Draft redraw(const Library &library, const QStringList &names, const QList<Ratings> &ratings,
             const QList<Draft> &current, int k, quint32 seed);

/// Fits the paper: while `fits(text)` is false, drops the used category nearest the end other
/// than 寄语 and rebuilds the text from the stock comments left; records the dropped ones.
Draft fitToBox(Draft draft, const std::function<bool(const QString &)> &fits);

/// Whether a comment fits in the printed comment box of `scheme` in `font`. The function keeps
/// a pointer to `measurer`, which must outlive it.
std::function<bool(const QString &)> fitsScheme(const LayoutScheme &scheme, const ItemFont &font,
                                                const TextMeasurer &measurer);

} // namespace Drafts
