#include "core/library/draftshaper.h"

#include "core/library/drafts.h"

#include <algorithm>
#include <numeric>

namespace {

const QString Hope = QStringLiteral("希望");
const QChar You = u'你';
constexpr int MostHopes = 2;
/// Skipped candidates tried per slot when a draft comes out the same as a classmate's.
constexpr int SkipRadix = 4;
constexpr int MostRounds = 64;
constexpr int TakenPenalty = 100000;

bool isHan(QChar c)
{
    return c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF;
}

/// Every run of four Chinese characters in the text.
QSet<QString> phrasesOf(const QString &text)
{
    QSet<QString> phrases;
    for (qsizetype i = 0; i + 4 <= text.size(); ++i) {
        if (isHan(text[i]) && isHan(text[i + 1]) && isHan(text[i + 2]) && isHan(text[i + 3]))
            phrases.insert(text.sliced(i, 4));
    }
    return phrases;
}

/// Whether a four-character phrase stands twice in the text itself.
bool phraseTwiceIn(const QString &text)
{
    QSet<QString> seen;
    for (qsizetype i = 0; i + 4 <= text.size(); ++i) {
        const QString phrase = text.sliced(i, 4);
        if (!std::all_of(phrase.cbegin(), phrase.cend(), isHan))
            continue;
        if (seen.contains(phrase))
            return true;
        seen.insert(phrase);
    }
    return false;
}

bool holdsPlaceholder(const QString &text)
{
    return text.contains(Drafts::FullNamePlaceholder) || text.contains(Drafts::GivenNamePlaceholder);
}

/// A name may stand only at the very start of the opening; nowhere else in a draft.
bool nameRuleKept(const QString &text, bool opening)
{
    QString rest = text;
    for (const QString &placeholder : {Drafts::FullNamePlaceholder, Drafts::GivenNamePlaceholder}) {
        if (opening && rest.startsWith(placeholder))
            rest = rest.sliced(placeholder.size());
    }
    return !holdsPlaceholder(rest);
}

int ratingIndex(Rating rating)
{
    return int(rating);
}

} // namespace

QString DraftShaper::keyOf(const QString &category, Rating rating, const QString &text)
{
    return category + u'\x1f' + QString::number(ratingIndex(rating)) + u'\x1f' + text;
}

DraftShaper::DraftShaper(const Drafts::Library &library, const Drafts::Options &options, quint32 seed)
    : m_library(library)
    , m_options(options)
{
    QRandomGenerator rng(seed);
    bool anySuggestion = false;
    for (const QString &category : library.categories) {
        const auto &sections = library.comments.value(category);
        auto &pools = m_pools[category];
        for (int r = 0; r < 3; ++r) {
            for (const QString &line : sections[std::size_t(r)]) {
                StockComment comment = StockComment::parse(line);
                anySuggestion = anySuggestion || comment.suggestion;
                pools[std::size_t(r)].append(comment);
            }
            // A seeded order within the pool: who gets which unused sentence changes with the seed.
            QList<int> order(pools[std::size_t(r)].size());
            std::iota(order.begin(), order.end(), 0);
            for (qsizetype i = order.size() - 1; i > 0; --i)
                std::swap(order[i], order[qsizetype(rng.bounded(quint32(i + 1)))]);
            for (qsizetype i = 0; i < order.size(); ++i)
                m_rank.insert(keyOf(category, Rating(r), pools[std::size_t(r)].at(order[i]).text), int(i));
        }
    }
    // A library written before marks: its 差 sentences are what it has to suggest.
    if (!anySuggestion) {
        for (auto &pools : m_pools) {
            for (StockComment &comment : pools[std::size_t(Rating::Lagging)])
                comment.suggestion = true;
        }
    }
    for (const QString &line : library.connectives) {
        const StockComment comment = StockComment::parse(line);
        if (!comment.role.isEmpty() && comment.fits(options.settings) && !comment.unverifiable)
            m_connectives.append(comment);
    }
}

const QList<StockComment> &DraftShaper::pool(const QString &category, Rating rating) const
{
    static const QList<StockComment> none;
    const auto it = m_pools.constFind(category);
    return it == m_pools.cend() ? none : it->at(std::size_t(rating));
}

QList<StockComment> DraftShaper::eligible(const QString &category, Rating rating, const Drafts::Ratings &ratings,
                                          std::optional<bool> suggestion) const
{
    QList<StockComment> result;
    for (const StockComment &comment : pool(category, rating)) {
        if (comment.unverifiable || !comment.fits(m_options.settings) || comment.text.isEmpty())
            continue;
        if (!comment.concerns.isEmpty() &&
            (!ratings.contains(comment.concerns) || ratings.value(comment.concerns) != rating))
            continue;
        if (suggestion && comment.suggestion != *suggestion)
            continue;
        result.append(comment);
    }
    return result;
}

QList<QList<DraftShaper::Choice>> DraftShaper::plans(const Drafts::Ratings &ratings) const
{
    const QStringList order = Drafts::draftOrder(m_library, ratings);
    const QStringList &required = m_options.settings.required;
    bool opening = false;
    bool closing = false;
    QStringList middle;
    int lagging = 0;
    for (const QString &category : order) {
        lagging += ratings.value(category) == Rating::Lagging ? 1 : 0;
        if (category == Drafts::OpeningCategory)
            opening = !eligible(category, ratings.value(category), ratings, std::nullopt).isEmpty();
        else if (category == Drafts::ClosingCategory)
            closing = !eligible(category, ratings.value(category), ratings, std::nullopt).isEmpty();
        else
            middle.append(category);
    }
    const bool mostlyLagging = lagging * 2 > order.size();
    const auto uses = [&](const QString &category) {
        int total = 0;
        for (const StockComment &comment : pool(category, ratings.value(category)))
            total += m_uses.value(keyOf(category, ratings.value(category), comment.text));
        return total;
    };
    // Strengths from the best-rated categories, suggestions from the lowest-rated; among equals
    // the least used first, so that the class's drafts speak of different things.
    QStringList best = middle;
    std::stable_sort(best.begin(), best.end(), [&](const QString &a, const QString &b) {
        const int ra = ratingIndex(ratings.value(a)), rb = ratingIndex(ratings.value(b));
        return ra != rb ? ra < rb : uses(a) < uses(b);
    });
    QStringList worst = middle;
    std::stable_sort(worst.begin(), worst.end(), [&](const QString &a, const QString &b) {
        const int ra = ratingIndex(ratings.value(a)), rb = ratingIndex(ratings.value(b));
        return ra != rb ? ra > rb : uses(a) < uses(b);
    });

    QList<QList<Choice>> result;
    const int wanted = mostlyLagging ? 2 : 1;
    for (const auto &[strengthCount, suggestionCount] :
         {std::pair{2, wanted}, std::pair{1, wanted}, std::pair{2, wanted - 1}, std::pair{1, wanted - 1}}) {
        QStringList suggestions;
        for (const QString &category : worst) {
            if (suggestions.size() < suggestionCount &&
                !eligible(category, ratings.value(category), ratings, true).isEmpty())
                suggestions.append(category);
        }
        QStringList strengths;
        for (const QString &category : best) {
            if (strengths.size() < strengthCount && !suggestions.contains(category) &&
                !eligible(category, ratings.value(category), ratings, false).isEmpty())
                strengths.append(category);
        }
        // A 必写 column always gets its sentence: a suggestion where it is the child's weak
        // point and the library has one, otherwise what the library says of its rating.
        for (const QString &category : middle) {
            if (!required.contains(category) || strengths.contains(category) || suggestions.contains(category))
                continue;
            const Rating rating = ratings.value(category);
            const bool weak = rating == Rating::Lagging || eligible(category, rating, ratings, false).isEmpty();
            if (weak && !eligible(category, rating, ratings, true).isEmpty())
                suggestions.append(category);
            else
                strengths.append(category);
        }
        QList<Choice> plan;
        if (opening)
            plan.append({Slot::Opening, Drafts::OpeningCategory});
        for (const QString &category : std::as_const(strengths))
            plan.append({Slot::Strength, category});
        for (const QString &category : std::as_const(suggestions))
            plan.append({Slot::Suggestion, category});
        if (closing)
            plan.append({Slot::Closing, Drafts::ClosingCategory});
        if (!result.contains(plan))
            result.append(plan);
    }
    return result;
}

QString DraftShaper::connective(const QString &role, const QList<Part> &before, const QString &sentence,
                                int student) const
{
    QList<const StockComment *> found;
    for (const StockComment &comment : m_connectives) {
        if (comment.role == role)
            found.append(&comment);
    }
    if (found.isEmpty())
        return {};
    QString text;
    for (const Part &part : before)
        text += part.link + part.sentence;
    const QSet<QString> used = phrasesOf(text);
    // A connective never says again what the sentence after it opens with ("说到劳动，" before
    // "劳动时……", "作业方面，" before "作业里……"): better none than that.
    const auto echoes = [&](const QString &candidate) {
        return sentence.size() >= 2 && candidate.contains(sentence.first(2));
    };
    // Each student starts at another connective, so that the class does not read alike.
    QString fallback;
    for (qsizetype i = 0; i < found.size(); ++i) {
        const QString &candidate = found.at((student + i) % found.size())->text;
        if (echoes(candidate))
            continue;
        if (!phrasesOf(candidate + sentence).intersects(used))
            return candidate;
        if (fallback.isEmpty())
            fallback = candidate;
    }
    return fallback;
}

std::optional<DraftShaper::Part> DraftShaper::pick(const Choice &choice, const Drafts::Ratings &ratings,
                                                   const QList<Part> &before, int mode, int skip,
                                                   const QSet<QString> &avoid, int student) const
{
    const Rating rating = ratings.value(choice.category);
    std::optional<bool> suggestion;
    if (choice.slot == Slot::Strength)
        suggestion = false;
    else if (choice.slot == Slot::Suggestion)
        suggestion = true;
    QList<StockComment> candidates = eligible(choice.category, rating, ratings, suggestion);
    if (choice.slot == Slot::Opening) {
        // An opening that praises or describes comes before one that asks for something.
        QList<StockComment> praise;
        for (const StockComment &comment : std::as_const(candidates)) {
            if (!comment.suggestion)
                praise.append(comment);
        }
        if (!praise.isEmpty())
            candidates = praise;
    }
    if (candidates.isEmpty())
        return std::nullopt;
    const auto usesOf = [&](const StockComment &comment) {
        const QString key = keyOf(choice.category, rating, comment.text);
        return m_uses.value(key) + (avoid.contains(key) ? 1000 : 0);
    };
    std::stable_sort(candidates.begin(), candidates.end(), [&](const StockComment &a, const StockComment &b) {
        if (const int ua = usesOf(a), ub = usesOf(b); ua != ub)
            return ua < ub;
        if (mode == 1 && a.text.size() != b.text.size())
            return a.text.size() < b.text.size();
        if (mode == 2 && a.text.size() != b.text.size())
            return a.text.size() > b.text.size();
        return m_rank.value(keyOf(choice.category, rating, a.text)) < m_rank.value(keyOf(choice.category, rating, b.text));
    });

    QSet<QString> topics;
    QString text;
    for (const Part &part : before) {
        for (const QString &topic : part.topics)
            topics.insert(topic);
        text += part.link + part.sentence;
    }
    const qsizetype hopes = text.count(Hope);
    const bool youBefore = !before.isEmpty() && before.last().sentence.startsWith(You);
    const auto earlier = [&](Slot slot) {
        return std::any_of(before.cbegin(), before.cend(), [slot](const Part &p) { return p.slot == slot; });
    };
    QString role;
    if (choice.slot == Slot::Strength)
        role = earlier(Slot::Strength) ? QStringLiteral("并列") : QStringLiteral("引入：") + choice.category;
    else if (choice.slot == Slot::Suggestion)
        role = earlier(Slot::Suggestion) ? QStringLiteral("引入：") + choice.category : QStringLiteral("建议");
    else if (choice.slot == Slot::Closing)
        role = QStringLiteral("结尾");

    // The one-topic rule holds whenever any sentence allows it; the voice rules and the name
    // rule as far as the library allows: where no sentence keeps them all, the one that breaks
    // the fewest.
    std::optional<Part> fewest;
    int fewestBroken = 0;
    int passed = 0;
    for (const StockComment &comment : std::as_const(candidates)) {
        Part part{choice.slot, choice.category, QString(), QString(), comment.text, comment.topics};
        if (!role.isEmpty())
            part.link = connective(role, before, comment.text, student);
        part.linkRole = part.link.isEmpty() ? QString() : role.section(u'：', 0, 0);
        const bool topicFree = std::none_of(comment.topics.cbegin(), comment.topics.cend(),
                                            [&](const QString &topic) { return topics.contains(topic); });
        const bool nameOk = nameRuleKept(comment.text, choice.slot == Slot::Opening);
        const bool youOk = !(youBefore && comment.text.startsWith(You));
        const bool hopeOk = hopes + comment.text.count(Hope) + part.link.count(Hope) <= MostHopes;
        const bool phraseOk = !phrasesOf(part.link + comment.text).intersects(phrasesOf(text)) &&
                              !phraseTwiceIn(part.link + comment.text);
        const int broken = (topicFree ? 0 : 100) + (nameOk ? 0 : 10) + (youOk ? 0 : 1) + (hopeOk ? 0 : 1) +
                           (phraseOk ? 0 : 1);
        if (broken == 0 && passed++ == skip)
            return part;
        if (!fewest || broken < fewestBroken) {
            fewest = part;
            fewestBroken = broken;
        }
    }
    // A strength or a suggestion the shape can do without is left out rather than said of a
    // topic twice; the opening, the closing and a 必写 column always get their sentence.
    const bool optional = (choice.slot == Slot::Strength || choice.slot == Slot::Suggestion) &&
                          !m_options.settings.required.contains(choice.category);
    if (optional && fewestBroken >= 100)
        return std::nullopt;
    return fewest;
}

Drafts::Draft DraftShaper::assemble(const QString &name, const QList<Part> &parts, const Drafts::Ratings &ratings) const
{
    Drafts::Draft draft;
    draft.name = name;
    for (const Part &part : parts) {
        draft.categories.append(part.category);
        draft.stock.append(part.sentence);
        draft.links.append(part.link);
        draft.linkRoles.append(part.linkRole);
        draft.parts.append(Drafts::fillPlaceholders(part.link + part.sentence, name));
        if (m_options.settings.required.contains(part.category))
            draft.required.append(part.category);
    }
    for (const QString &category : m_library.categories) {
        if (ratings.contains(category) && category != StockComment::ConnectiveCategory &&
            !draft.categories.contains(category))
            draft.leftOut.append(category);
    }
    draft.text = Drafts::joined(draft);
    return draft;
}

Drafts::Draft DraftShaper::shape(const QString &name, const Drafts::Ratings &given, const QSet<QString> &taken,
                                 const QSet<QString> &avoid)
{
    const int student = m_students++;
    Drafts::Ratings ratings;
    for (auto it = given.cbegin(); it != given.cend(); ++it) {
        if (it.key() != StockComment::ConnectiveCategory &&
            (!m_options.columns || m_options.columns->contains(it.key())))
            ratings.insert(it.key(), it.value());
    }
    const QList<QList<Choice>> shapes = plans(ratings);
    if (shapes.first().isEmpty())
        return {};
    const int low = m_options.settings.minimum();
    const int high = m_options.settings.maximum();

    std::optional<Drafts::Draft> best;
    int bestScore = 0;
    // Lengths inside the window score 0; a text a classmate has already scores worst of all.
    const auto consider = [&](Drafts::Draft draft) {
        const int length = Drafts::lengthOf(draft.text);
        const int score = (length < low ? low - length : (length > high ? length - high : 0)) +
                          (taken.contains(draft.text) ? TakenPenalty : 0);
        if (!best || score < bestScore) {
            best = std::move(draft);
            bestScore = score;
        }
        return score == 0;
    };
    // The fullest shape first, then shorter ones; sentences in the order of use, then the
    // shortest or the longest first when the length is off. Further rounds skip sentences,
    // only while the draft reads the same as a classmate's.
    for (int round = 0; round < MostRounds; ++round) {
        for (const QList<Choice> &plan : shapes) {
            for (int mode = 0; mode < 3; ++mode) {
                QList<Part> parts;
                int digits = round;
                for (const Choice &choice : plan) {
                    const int skip = digits % SkipRadix;
                    digits /= SkipRadix;
                    if (std::optional<Part> part = pick(choice, ratings, parts, mode, skip, avoid, student))
                        parts.append(*part);
                }
                if (consider(assemble(name, parts, ratings)))
                    break;
            }
            if (bestScore == 0)
                break;
        }
        if (bestScore < TakenPenalty)
            break;
    }
    countUsed(*best, ratings);
    return *best;
}

void DraftShaper::countUsed(const Drafts::Draft &draft, const Drafts::Ratings &ratings)
{
    for (qsizetype i = 0; i < draft.categories.size() && i < draft.stock.size(); ++i) {
        const auto rating = ratings.constFind(draft.categories.at(i));
        if (rating != ratings.cend())
            m_uses[keyOf(draft.categories.at(i), *rating, draft.stock.at(i))]++;
    }
}
