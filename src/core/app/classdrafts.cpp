#include "core/app/classdrafts.h"

#include "core/platform/itemfont.h"
#include "core/printing/layoutschemefile.h"

namespace ClassDrafts {

QList<Drafts::Ratings> ratingsOf(const RatingsFile::Table &table)
{
    QList<Drafts::Ratings> rated;
    for (qsizetype k = 0; k < table.names.size(); ++k) {
        Drafts::Ratings student;
        for (qsizetype c = 0; c < table.categories.size(); ++c) {
            if (const Rating rating = table.grades.value(k).value(c, Rating::None); rating != Rating::None)
                student.insert(table.categories[c], rating);
        }
        rated << student;
    }
    return rated;
}

int withComment(const QStringList &comments, const QList<Drafts::Draft> &drafts)
{
    int count = 0;
    for (qsizetype k = 0; k < comments.size() && k < drafts.size(); ++k)
        count += !drafts[k].text.isEmpty() && !comments[k].isEmpty() ? 1 : 0;
    return count;
}

QList<FindReplace::Change> changes(const QStringList &comments, const QList<Drafts::Draft> &drafts,
                                   Existing existing)
{
    QList<FindReplace::Change> result;
    for (qsizetype k = 0; k < comments.size() && k < drafts.size(); ++k) {
        const QString &draft = drafts[k].text;
        const QString &before = comments[k];
        if (draft.isEmpty() || (!before.isEmpty() && existing == Existing::Skip))
            continue;
        const QString after = before.isEmpty() || existing == Existing::Replace ? draft : before + u'\n' + draft;
        if (after != before)
            result.append({int(k), 1, before, after});
    }
    return result;
}

Drafter::Drafter(Drafts::Library library, std::optional<LayoutScheme> scheme, const ItemFont &commentFont)
    : m_library(std::move(library))
    , m_scheme(std::move(scheme))
{
    if (m_scheme)
        m_fits = Drafts::fitsScheme(*m_scheme, commentFont, m_measurer);
}

QList<Drafts::Draft> Drafter::draft(const QStringList &names, const QList<Drafts::Ratings> &ratings,
                                    quint32 seed) const
{
    return Drafts::draftClass(m_library, names, ratings, seed, m_options);
}

Drafts::Draft Drafter::redraw(const QStringList &names, const QList<Drafts::Ratings> &ratings,
                              const QList<Drafts::Draft> &current, int k, quint32 seed) const
{
    return Drafts::redraw(m_library, names, ratings, current, k, seed, m_options);
}

Drafts::Draft Drafter::fitted(const Drafts::Draft &draft) const
{
    return m_fits && !draft.text.isEmpty() ? Drafts::fitToBox(draft, m_fits) : draft;
}

} // namespace ClassDrafts
