#pragma once

#include "core/document/findreplace.h"
#include "core/document/ratingsfile.h"
#include "core/library/drafts.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/textmeasurer.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

struct ItemFont;

/// Drafts for the class from its ratings, fitted to the paper, and how they go into the
/// comments: shared by `qhsy --draft` and the ratings window.
namespace ClassDrafts {

/// Each student's ratings as the drafts take them (rows of the table, in its order).
QList<Drafts::Ratings> ratingsOf(const RatingsFile::Table &table);

/// What becomes of a comment the teacher has written already.
enum class Existing { Skip, Append, Replace };

/// Rated students (a non-empty draft) whose comment is not empty.
int withComment(const QStringList &comments, const QList<Drafts::Draft> &drafts);

/// The comments that change when the drafts go in: empty comments get their draft, written
/// ones are left, extended (the draft on a line of its own after the old text) or replaced;
/// in student order.
QList<FindReplace::Change> changes(const QStringList &comments, const QList<Drafts::Draft> &drafts,
                                   Existing existing);

/// Makes drafts for a class with the library, fitted to the comment box of the given scheme (when
/// there is one) in the class's comment font.
class Drafter
{
public:
    Drafter(Drafts::Library library, std::optional<LayoutScheme> scheme, const ItemFont &commentFont);
    // The fit check holds on to the measurer.
    Drafter(const Drafter &) = delete;
    Drafter &operator=(const Drafter &) = delete;

    const Drafts::Library &library() const { return m_library; }
    /// The class's settings and the columns drafts use; every draft after this follows them.
    void setOptions(Drafts::Options options) { m_options = std::move(options); }
    const Drafts::Options &options() const { return m_options; }
    /// Whether there is a scheme to fit the paper to.
    bool fitsPaper() const { return bool(m_fits); }

    /// The class's drafts as drawn, not yet fitted.
    QList<Drafts::Draft> draft(const QStringList &names, const QList<Drafts::Ratings> &ratings,
                               quint32 seed) const;
    /// A draft cut to the paper (as it is when there is no scheme).
    Drafts::Draft fitted(const Drafts::Draft &draft) const;
    /// 换一句 for student k with the drafter's options.
    Drafts::Draft redraw(const QStringList &names, const QList<Drafts::Ratings> &ratings,
                         const QList<Drafts::Draft> &current, int k, quint32 seed) const;

private:
    Drafts::Library m_library;
    Drafts::Options m_options;
    std::optional<LayoutScheme> m_scheme;
    QtTextMeasurer m_measurer;
    std::function<bool(const QString &)> m_fits;
};

} // namespace ClassDrafts
