#pragma once

#include "core/document/classsettings.h"
#include "core/library/stockcomment.h"

#include <QHash>
#include <QList>
#include <QRandomGenerator>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

enum class Rating;

namespace Drafts {
struct Library;
struct Draft;
struct Options;
using Ratings = QHash<QString, Rating>;
} // namespace Drafts

/// Shapes one student's draft after another from the library: an opening (总评), one or two
/// strengths from the best-rated categories, suggestions from the lowest-rated ones, a closing
/// (寄语), joined by the connectives of 衔接语 and kept to one voice. Counts what the class has
/// used, so that a sentence is drawn a second time only when the library has no unused one left.
class DraftShaper
{
public:
    DraftShaper(const Drafts::Library &library, const Drafts::Options &options, quint32 seed);

    /// The next student's draft; `taken` holds the texts of drafts made already, which this
    /// one does not repeat where the library allows; `avoid` the sentences to draw last.
    Drafts::Draft shape(const QString &name, const Drafts::Ratings &ratings, const QSet<QString> &taken,
                        const QSet<QString> &avoid = {});
    /// Counts a draft made elsewhere as used (a redraw starts from the rest of the class).
    void countUsed(const Drafts::Draft &draft, const Drafts::Ratings &ratings);

    /// The key of one library sentence: category, rating and its text without marks.
    static QString keyOf(const QString &category, Rating rating, const QString &text);

private:
    enum class Slot { Opening, Strength, Suggestion, Closing };
    struct Choice
    {
        Slot slot;
        QString category;
        friend bool operator==(const Choice &, const Choice &) = default;
    };
    struct Part
    {
        Slot slot;
        QString category;
        QString link;     ///< the connective before the sentence
        QString linkRole; ///< its role: 引入, 并列, 建议, 结尾 ("" for none)
        QString sentence; ///< without marks, placeholders unfilled
        QStringList topics;
    };

    const QList<StockComment> &pool(const QString &category, Rating rating) const;
    /// The sentences of a section drafting may draw for this student: neither 〔待核实〕 nor of
    /// another stage or term, speaking of no category rated otherwise; with `suggestion`, only
    /// suggestions (true) or only the others (false).
    QList<StockComment> eligible(const QString &category, Rating rating, const Drafts::Ratings &ratings,
                                 std::optional<bool> suggestion) const;
    /// The shapes to try for a student, fullest first.
    QList<QList<Choice>> plans(const Drafts::Ratings &ratings) const;
    std::optional<Part> pick(const Choice &choice, const Drafts::Ratings &ratings, const QList<Part> &before,
                             int mode, int skip, const QSet<QString> &avoid, int student) const;
    QString connective(const QString &role, const QList<Part> &before, const QString &sentence,
                       int student) const;
    Drafts::Draft assemble(const QString &name, const QList<Part> &parts, const Drafts::Ratings &ratings) const;

    const Drafts::Library &m_library;
    const Drafts::Options &m_options;
    QHash<QString, std::array<QList<StockComment>, 3>> m_pools; ///< marks read, in library order
    QList<StockComment> m_connectives;                          ///< stage and term filtered
    QHash<QString, int> m_uses;                                 ///< per keyOf
    QHash<QString, int> m_rank;                                 ///< a seeded order within each pool
    int m_students = 0;
};
