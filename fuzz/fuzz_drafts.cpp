// Feeds arbitrary bytes to the ratings reader and the drafting, as `qhsy --draft` uses them: the
// input is a comment library, then two NUL bytes, then a ratings file (without the NULs, the
// whole input is both). The class is the names of the ratings file's first column. Besides not
// crashing, the problems must be told in short lines, every student must get a draft, no draft
// may hold a name placeholder, a draft without categories must be empty, and fitting a draft to
// a box must keep only what fits (or 寄语 alone).
#include "core/app/classdrafts.h"
#include "core/document/namelist.h"
#include "core/document/ratingsfile.h"
#include "core/document/spreadsheetnames.h"
#include "core/library/commentlibrary.h"
#include "core/library/drafts.h"
#include "core/platform/textfile.h"

#include "fuzzcheck.h"

#include <cstdint>
#include <cstdlib>

namespace {

void checkDraft(const Drafts::Draft &draft)
{
    check(!draft.text.contains(Drafts::FullNamePlaceholder) && !draft.text.contains(Drafts::GivenNamePlaceholder));
    check(!draft.categories.isEmpty() || draft.text.isEmpty());
    check(draft.categories.size() == draft.stock.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf(QByteArrayView("\0\0", 2));
    const QByteArray libraryBytes = split < 0 ? bytes : bytes.first(split);
    const QByteArray ratingsBytes = split < 0 ? bytes : bytes.sliced(split + 2);

    const QStringList lines = toList(TextFile::splitLineViewsAnyBreak(TextFile::decode(libraryBytes)));
    const Drafts::Library library = Drafts::fromEntries(CommentLibrary::entriesIn(lines));

    const QList<QStringList> rows = SpreadsheetNames::csvRows(NameList::decode(ratingsBytes));
    QStringList roster;
    for (const QStringList &row : rows) {
        if (!row.isEmpty() && roster.size() < 100)
            roster << row.first().left(SpreadsheetNames::MaxNameLength);
    }

    RatingsFile::Problems problems;
    const RatingsFile::Table table = RatingsFile::fromRows(rows, roster, library.categories, &problems);
    check(table.names == roster && table.grades.size() == roster.size());
    for (const QString &line : RatingsFile::problemLines(problems))
        check(line.size() < 1500);
    RatingsFile::Problems own;
    RatingsFile::fromOwnRows(rows, roster, &own);
    for (const QString &line : RatingsFile::problemLines(own))
        check(line.size() < 1500);

    const QList<Drafts::Ratings> ratings = ClassDrafts::ratingsOf(table);
    const QList<Drafts::Draft> drafts = Drafts::draftClass(library, roster, ratings, quint32(size));
    check(drafts.size() == roster.size());
    for (qsizetype k = 0; k < drafts.size(); ++k) {
        checkDraft(drafts[k]);
        check(drafts[k].categories == Drafts::draftOrder(library, ratings[k]));
    }
    if (!roster.isEmpty()) {
        checkDraft(Drafts::redraw(library, roster, ratings, drafts, 0, quint32(size)));
        const auto fits = [](const QString &text) { return text.size() <= 60; };
        const Drafts::Draft fitted = Drafts::fitToBox(drafts.first(), fits);
        checkDraft(fitted);
        check(fits(fitted.text) || fitted.categories == QStringList{Drafts::ClosingCategory});
    }
    return 0;
}
