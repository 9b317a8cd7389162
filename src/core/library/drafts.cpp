#include "core/library/drafts.h"

#include "core/document/commentdocument.h"
#include "core/document/personname.h"
#include "core/document/writingprogress.h"
#include "core/library/draftshaper.h"
#include "core/library/stockcomment.h"
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

const QStringList &poolOf(const Library &library, const QString &category, Rating rating)
{
    static const QStringList none;
    const auto it = library.comments.constFind(category);
    return it == library.comments.cend() ? none : it->at(std::size_t(rating));
}

const QString NoRepeatsText = QStringLiteral("全班没有重复的句子。");
const QString RepeatsHeading = QStringLiteral("有 %1 句话出现在不止一份草稿里：");
const QString RepeatLine = QStringLiteral("“%1”：%2");

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
        if (entry.category == StockComment::ConnectiveCategory) {
            if (entry.rating == Rating::Excellent)
                library.connectives.append(entry.text);
            continue;
        }
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
                        quint32 seed, const Options &options)
{
    DraftShaper shaper(library, options, seed);
    QSet<QString> taken;
    QList<Draft> drafts;
    drafts.reserve(names.size());
    for (qsizetype k = 0; k < names.size(); ++k) {
        drafts.append(shaper.shape(names.at(k), ratings.value(k), taken));
        if (!drafts.last().text.isEmpty())
            taken.insert(drafts.last().text);
    }
    return drafts;
}

Draft redraw(const Library &library, const QStringList &names, const QList<Ratings> &ratings,
             const QList<Draft> &current, int k, quint32 seed, const Options &options)
{
    if (k < 0 || k >= names.size())
        return {};
    const QString oldText = k < current.size() ? current.at(k).text : QString();
    DraftShaper shaper(library, options, redrawSeed(seed, k, oldText));
    // The rest of the class's sentences count as used; student k's own are drawn last.
    QSet<QString> taken;
    for (qsizetype j = 0; j < current.size() && j < names.size(); ++j) {
        if (j == k)
            continue;
        shaper.countUsed(current.at(j), ratings.value(j));
        if (!current.at(j).text.isEmpty())
            taken.insert(current.at(j).text);
    }
    const Ratings rated = ratings.value(k);
    QSet<QString> avoid;
    if (k < current.size()) {
        taken.insert(oldText);
        const Draft &old = current.at(k);
        for (qsizetype i = 0; i < old.categories.size() && i < old.stock.size(); ++i) {
            if (rated.contains(old.categories.at(i)))
                avoid.insert(DraftShaper::keyOf(old.categories.at(i), rated.value(old.categories.at(i)), old.stock.at(i)));
        }
    }
    return shaper.shape(names.at(k), rated, taken, avoid);
}

int lengthOf(const QString &text)
{
    return WritingProgress::readerCount(text);
}

QString joined(const Draft &draft)
{
    QString text;
    bool strengthBefore = false;
    for (qsizetype i = 0; i < draft.stock.size(); ++i) {
        const QString role = draft.linkRoles.value(i);
        // "同时，" joins a second strength to a first; with the first gone it would dangle.
        if (role != QStringLiteral("并列") || strengthBefore)
            text += draft.links.value(i);
        text += draft.stock.at(i);
        strengthBefore = strengthBefore || role == QStringLiteral("引入") || role == QStringLiteral("并列");
    }
    // Filled once joined: a placeholder may be split between two sentences.
    return text.isEmpty() ? QString() : ParagraphIndent + fillPlaceholders(text, draft.name);
}

QList<Repeat> repeats(const QList<Draft> &drafts)
{
    QList<Repeat> found;
    QHash<QString, qsizetype> at;
    for (qsizetype k = 0; k < drafts.size(); ++k) {
        QSet<QString> seen; // a sentence twice in one draft is one student
        for (const QString &sentence : drafts.at(k).stock) {
            if (seen.contains(sentence))
                continue;
            seen.insert(sentence);
            auto it = at.find(sentence);
            if (it == at.end())
                it = at.insert(sentence, found.size()), found.append({sentence, {}});
            found[*it].students.append(int(k));
        }
    }
    QList<Repeat> result;
    for (const Repeat &repeat : std::as_const(found)) {
        if (repeat.students.size() > 1)
            result.append(repeat);
    }
    return result;
}

QString repeatReport(const QList<Draft> &drafts, const QStringList &names)
{
    const QList<Repeat> found = repeats(drafts);
    if (found.isEmpty())
        return NoRepeatsText;
    QStringList lines{RepeatsHeading.arg(found.size())};
    for (const Repeat &repeat : found) {
        QStringList who;
        for (int k : repeat.students)
            who << names.value(k);
        lines << RepeatLine.arg(repeat.sentence, who.join(QStringLiteral("、")));
    }
    return lines.join(u'\n');
}

Draft fitToBox(Draft draft, const std::function<bool(const QString &)> &fits)
{
    while (!fits(draft.text)) {
        qsizetype last = draft.categories.size() - 1;
        while (last >= 0 && (draft.categories.at(last) == ClosingCategory ||
                             draft.required.contains(draft.categories.at(last))))
            --last;
        if (last < 0)
            break;
        draft.dropped.append(draft.categories.takeAt(last));
        for (QStringList *list : {&draft.parts, &draft.stock, &draft.links, &draft.linkRoles}) {
            if (last < list->size())
                list->removeAt(last);
        }
        draft.text = joined(draft);
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
