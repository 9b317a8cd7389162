#pragma once

#include "core/document/classsettings.h"
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

/// Drafts of the class's comments made from the stock comments: each a short passage in one
/// voice (opening, strengths, suggestions, closing), shaped by DraftShaper.
namespace Drafts {

/// What every draft starts with: the paragraph indent a stock comment inserted by hand gets.
inline const QString ParagraphIndent = QStringLiteral("    ");

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
    QStringList connectives; ///< the 好 section of 衔接语, which is no category to rate
};

/// The library from CommentLibrary's listing: categories in the order they come first, 衔接语
/// apart as the connectives.
Library fromEntries(const QList<CommentLibrary::Entry> &entries);

/// {姓名} -> name, {名} -> PersonName::givenName(name), in one pass; a placeholder the result still
/// holds (one in the name, or one made where the name meets the text) is taken out, so that
/// no result holds one.
QString fillPlaceholders(const QString &text, const QString &name);

/// The categories of a student's draft in order: library order, 总评 first and 寄语 last if
/// rated. A rated category without a stock comment for its rating has nothing to give and is
/// left out.
QStringList draftOrder(const Library &library, const Ratings &ratings);

/// How the class's drafts are made: the class's settings and the columns to draw from.
struct Options
{
    ClassSettings settings;
    /// The rating columns drafts use (the 评价表's visible ones); std::nullopt: every column.
    std::optional<QStringList> columns;
};

/// One student's draft.
struct Draft
{
    QString text;           ///< the indent, then connectives and sentences joined, placeholders filled
    QStringList categories; ///< used, in order
    QStringList dropped;    ///< left out to fit the paper, in the order dropped
    QStringList parts;      ///< connective and sentence for each used category, placeholders filled
    QStringList stock;      ///< the sentences as the library has them, without marks
    QString name;           ///< the student's, which fills the placeholders
    QStringList links;      ///< the connective before each sentence ("" for none)
    QStringList linkRoles;  ///< each connective's role (引入, 并列, 建议, 结尾; "" for none)
    QStringList leftOut;    ///< rated categories beyond the draft's shape, in library order
    QStringList required;   ///< 必写 categories in the draft, which fitting the paper keeps

    friend bool operator==(const Draft &, const Draft &) = default;
};

/// The length of a draft's text as the length window counts it: characters a reader counts.
int lengthOf(const QString &text);

/// The text of a draft from its parts: indent, then each connective and sentence, with a
/// 并列 connective left out where no strength stands before it; placeholders filled.
QString joined(const Draft &draft);

/// A sentence found in more than one draft of the class.
struct Repeat
{
    QString sentence;     ///< as the library has it, without marks
    QList<int> students;  ///< the drafts (indexes) that hold it, in order
};
/// The sentences shared between drafts, in the order they first appear.
QList<Repeat> repeats(const QList<Draft> &drafts);
/// "全班没有重复的句子", or the repeats listed with the students' names.
QString repeatReport(const QList<Draft> &drafts, const QStringList &names);

/// Drafts for a class: students (names, in roster order) with their ratings (a student with no
/// rating gets an empty Draft). Reproducible from `seed`; a sentence is drawn a second time only
/// when its pool has no unused one that fits; no two non-empty drafts are identical as far as
/// the library allows. Placeholders filled.
QList<Draft> draftClass(const Library &library, const QStringList &names, const QList<Ratings> &ratings,
                        quint32 seed, const Options &options = {});

/// 换一句: a new draft for student k, different from its current one where the library allows,
/// keeping the class's evenness as far as possible.
Draft redraw(const Library &library, const QStringList &names, const QList<Ratings> &ratings,
             const QList<Draft> &current, int k, quint32 seed, const Options &options = {});

/// Fits the paper: while `fits(text)` is false, drops the used category nearest the end other
/// than 寄语 and the 必写 ones, and rebuilds the text from the parts left; records the dropped ones.
Draft fitToBox(Draft draft, const std::function<bool(const QString &)> &fits);

/// Whether a comment fits in the printed comment box of `scheme` in `font`. The function keeps
/// a pointer to `measurer`, which must outlive it.
std::function<bool(const QString &)> fitsScheme(const LayoutScheme &scheme, const ItemFont &font,
                                                const TextMeasurer &measurer);

} // namespace Drafts
