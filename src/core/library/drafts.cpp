#include "core/library/drafts.h"

#include "core/document/commentdocument.h"
#include "core/document/personname.h"
#include "core/printing/fitcheck.h"
#include "core/printing/layoutscheme.h"

#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>

namespace Drafts {

namespace {

/// How often each stock comment is used across the class, by category and rating.
using Counts = QHash<QString, std::array<QList<int>, 3>>;

const QStringList &poolOf(const Library &library, const QString &category, Rating rating)
{
    static const QStringList none;
    const auto it = library.comments.constFind(category);
    return it == library.comments.cend() ? none : it->at(std::size_t(rating));
}

QList<int> &countsOf(Counts &counts, const Library &library, const QString &category, Rating rating)
{
    QList<int> &list = counts[category][std::size_t(rating)];
    if (list.isEmpty())
        list.resize(poolOf(library, category, rating).size());
    return list;
}

/// A student's place in the choice: name, ratings and the categories to draw.
struct Student
{
    QString name;
    Ratings ratings;
    QStringList order;
};

/// The stock comments to try for one category, best first: the least used in a shuffled order,
/// those within `level` uses of the least used, the one to avoid (the current choice) last.
QList<int> candidates(const QList<int> &order, const QList<int> &counts, int level, int avoid)
{
    const int least = *std::min_element(counts.cbegin(), counts.cend());
    QList<int> result;
    for (int index : order) {
        if (counts.at(index) <= least + level)
            result.append(index);
    }
    std::stable_sort(result.begin(), result.end(), [&](int a, int b) { return counts.at(a) < counts.at(b); });
    if (const qsizetype at = result.indexOf(avoid); at >= 0 && result.size() > 1)
        result.move(at, result.size() - 1);
    return result;
}

Draft assemble(const Library &library, const Student &student, const QList<QList<int>> &lists,
               const QList<int> &odometer)
{
    Draft draft;
    for (qsizetype i = 0; i < student.order.size(); ++i) {
        const QString &category = student.order.at(i);
        const QString &stock =
            poolOf(library, category, student.ratings.value(category)).at(lists.at(i).at(odometer.at(i)));
        draft.categories.append(category);
        draft.stock.append(stock);
        draft.parts.append(fillPlaceholders(stock, student.name));
    }
    draft.name = student.name;
    // Filled once joined: a placeholder may be split between two stock comments.
    draft.text = fillPlaceholders(draft.stock.join(QString()), draft.name);
    return draft;
}

/// Draws one draft whose text is not in `taken`: first from the least-used comments of every
/// category, then from ever more used ones; where every combination is taken, the first one.
/// `avoid` holds, per category, the index of the comment to try last (-1 for none).
Draft draw(const Library &library, const Student &student, Counts &counts, const QSet<QString> &taken,
           const QHash<QString, int> &avoid, QRandomGenerator &rng)
{
    if (student.order.isEmpty())
        return {};
    QList<QList<int>> shuffled;
    int widest = 0;
    for (const QString &category : student.order) {
        const QList<int> &used = countsOf(counts, library, category, student.ratings.value(category));
        QList<int> order(used.size());
        std::iota(order.begin(), order.end(), 0);
        for (qsizetype i = order.size() - 1; i > 0; --i)
            std::swap(order[i], order[qsizetype(rng.bounded(quint32(i + 1)))]);
        shuffled.append(order);
        const auto [least, most] = std::minmax_element(used.cbegin(), used.cend());
        widest = std::max(widest, *most - *least);
    }

    std::optional<Draft> first;
    QList<int> picks(student.order.size()); // the comment chosen in each category
    qsizetype previousChoices = -1;
    for (int level = 0; level <= widest; ++level) {
        QList<QList<int>> lists;
        qsizetype choices = 0;
        qsizetype combinations = 1;
        for (qsizetype i = 0; i < student.order.size(); ++i) {
            const QString &category = student.order.at(i);
            lists.append(candidates(shuffled.at(i),
                                    countsOf(counts, library, category, student.ratings.value(category)),
                                    level, avoid.value(category, -1)));
            choices += lists.last().size();
            combinations = std::min<qsizetype>(combinations * lists.last().size(), taken.size() + 1);
        }
        if (choices == previousChoices)
            continue; // nothing new at this level
        previousChoices = choices;
        // At most one more combination than there are taken texts: one of them is free, if the
        // combinations give different texts.
        QList<int> odometer(student.order.size(), 0);
        for (qsizetype tried = 0; tried < combinations; ++tried) {
            Draft draft = assemble(library, student, lists, odometer);
            const bool free = !taken.contains(draft.text);
            if (free || (level == 0 && tried == 0)) { // the first is kept in case every one is taken
                first = std::move(draft);
                for (qsizetype i = 0; i < odometer.size(); ++i)
                    picks[i] = lists.at(i).at(odometer.at(i));
            }
            if (free)
                break;
            for (qsizetype i = 0; i < odometer.size(); ++i) {
                if (++odometer[i] < lists.at(i).size())
                    break;
                odometer[i] = 0;
            }
        }
        if (first && !taken.contains(first->text))
            break;
    }
    for (qsizetype i = 0; i < student.order.size(); ++i) {
        const QString &category = student.order.at(i);
        countsOf(counts, library, category, student.ratings.value(category))[picks.at(i)]++;
    }
    return *first;
}

/// A seed for one student's redraw, which changes with the draft it replaces (FNV-1a).
quint32 redrawSeed(quint32 seed, int k, const QString &text)
{
    quint32 hash = 2166136261u ^ seed;
    hash = (hash ^ quint32(k)) * 16777619u;
    for (QChar c : text)
        hash = (hash ^ c.unicode()) * 16777619u;
    return hash;
}

} // namespace

Library fromEntries(const QList<CommentLibrary::Entry> &entries)
{
    Library library;
    for (const CommentLibrary::Entry &entry : entries) {
        if (!library.comments.contains(entry.category))
            library.categories.append(entry.category);
        library.comments[entry.category][std::size_t(entry.rating)].append(entry.text);
    }
    return library;
}

QString fillPlaceholders(const QString &text, const QString &name)
{
    if (!text.contains(u'{'))
        return text;
    // One pass, so that a name is never read for placeholders itself.
    QString result;
    result.reserve(text.size() + name.size());
    qsizetype at = 0;
    while (at < text.size()) {
        if (QStringView(text).sliced(at).startsWith(FullNamePlaceholder)) {
            result += name;
            at += FullNamePlaceholder.size();
        } else if (QStringView(text).sliced(at).startsWith(GivenNamePlaceholder)) {
            result += PersonName::givenName(name);
            at += GivenNamePlaceholder.size();
        } else {
            result += text.at(at++);
        }
    }
    // What is left of a placeholder would be printed as it stands; each removal shortens the
    // text, so this ends.
    while (result.contains(FullNamePlaceholder) || result.contains(GivenNamePlaceholder)) {
        result.remove(FullNamePlaceholder);
        result.remove(GivenNamePlaceholder);
    }
    return result;
}

QStringList draftOrder(const Library &library, const Ratings &ratings)
{
    QStringList order;
    for (const QString &category : library.categories) {
        const auto rating = ratings.constFind(category);
        if (rating == ratings.cend() || poolOf(library, category, *rating).isEmpty())
            continue;
        if (category == OpeningCategory)
            order.prepend(category);
        else if (category != ClosingCategory)
            order.append(category);
    }
    if (const auto rating = ratings.constFind(ClosingCategory);
        rating != ratings.cend() && !poolOf(library, ClosingCategory, *rating).isEmpty())
        order.append(ClosingCategory);
    return order;
}

QList<Draft> draftClass(const Library &library, const QStringList &names, const QList<Ratings> &ratings,
                        quint32 seed)
{
    QRandomGenerator rng(seed);
    Counts counts;
    QSet<QString> taken;
    QList<Draft> drafts;
    drafts.reserve(names.size());
    for (qsizetype k = 0; k < names.size(); ++k) {
        const Ratings rated = ratings.value(k);
        const Student student{names.at(k), rated, draftOrder(library, rated)};
        drafts.append(draw(library, student, counts, taken, {}, rng));
        if (!drafts.last().text.isEmpty())
            taken.insert(drafts.last().text);
    }
    return drafts;
}

Draft redraw(const Library &library, const QStringList &names, const QList<Ratings> &ratings,
             const QList<Draft> &current, int k, quint32 seed)
{
    if (k < 0 || k >= names.size())
        return {};
    // The class's uses and texts without student k's draft, which is only avoided.
    Counts counts;
    QSet<QString> taken;
    for (qsizetype j = 0; j < current.size() && j < names.size(); ++j) {
        const Draft &draft = current.at(j);
        if (j == k)
            continue;
        const Ratings rated = ratings.value(j);
        if (!draft.text.isEmpty())
            taken.insert(draft.text);
        for (qsizetype i = 0; i < draft.categories.size() && i < draft.stock.size(); ++i) {
            const QString &category = draft.categories.at(i);
            const auto rating = rated.constFind(category);
            if (rating == rated.cend())
                continue;
            const qsizetype index = poolOf(library, category, *rating).indexOf(draft.stock.at(i));
            if (index >= 0)
                countsOf(counts, library, category, *rating)[index]++;
        }
    }
    const Ratings rated = ratings.value(k);
    const Student student{names.at(k), rated, draftOrder(library, rated)};
    QHash<QString, int> avoid;
    if (k < current.size()) {
        const Draft &old = current.at(k);
        taken.insert(old.text);
        for (qsizetype i = 0; i < old.categories.size() && i < old.stock.size(); ++i) {
            const QString &category = old.categories.at(i);
            if (rated.contains(category))
                avoid.insert(category,
                             int(poolOf(library, category, rated.value(category)).indexOf(old.stock.at(i))));
        }
    }
    QRandomGenerator rng(redrawSeed(seed, k, k < current.size() ? current.at(k).text : QString()));
    return draw(library, student, counts, taken, avoid, rng);
}

Draft fitToBox(Draft draft, const std::function<bool(const QString &)> &fits)
{
    while (!fits(draft.text)) {
        qsizetype last = draft.categories.size() - 1;
        while (last >= 0 && draft.categories.at(last) == ClosingCategory)
            --last;
        if (last < 0)
            break;
        draft.dropped.append(draft.categories.takeAt(last));
        if (last < draft.parts.size())
            draft.parts.removeAt(last);
        if (last < draft.stock.size())
            draft.stock.removeAt(last);
        draft.text = fillPlaceholders(draft.stock.join(QString()), draft.name);
    }
    return draft;
}

std::function<bool(const QString &)> fitsScheme(const LayoutScheme &scheme, const ItemFont &font,
                                                const TextMeasurer &measurer)
{
    // One document for every call: the check reads a comment from a document's slot.
    auto document = std::make_shared<CommentDocument>();
    document->ItemFonts[std::size_t(Item::CommentText)] = font;
    return [document, scheme, measurer = &measurer](const QString &text) {
        document->slot(1).comment = text;
        return FitCheck::linesPastBox(*document, 0, scheme, *measurer) == 0;
    };
}

} // namespace Drafts
