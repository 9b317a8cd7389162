#include "core/app/draftcommand.h"

#include "core/app/classdrafts.h"
#include "core/app/commandline.h"
#include "core/document/commentdocument.h"
#include "core/document/commentfile.h"
#include "core/document/ratingsfile.h"
#include "core/document/writingprogress.h"
#include "core/library/commentlibrary.h"
#include "core/library/drafts.h"
#include "core/platform/textfile.h"

#include <QTextStream>

namespace DraftCommand {

namespace {

const QString ProblemNotice = QStringLiteral("注意：评价表中%1");
const QString DroppedNotice = QStringLiteral("注意：%1的草稿超出打印区域，略去了：%2");
const QString NoSchemeNotice = QStringLiteral("注意：没有可用的打印方案，草稿未按纸张裁短。");

void tellProblems(const RatingsFile::Problems &problems, QTextStream &err)
{
    for (const QString &line : RatingsFile::problemLines(problems, [](const QString &text) {
             return CommandLine::escapeField(text);
         }))
        err << ProblemNotice.arg(line) << '\n';
}

} // namespace

int run(const QString &in, const QString &ratings, const QString &outPath, const Options &options,
        const QString &programFolder, QTextStream &out, QTextStream &err)
{
    CommentDocument document;
    if (!CommandLine::readComments(in, document, err))
        return 2;
    const QString libraryPath =
        options.library.isEmpty() ? programFolder + CommentLibrary::FileName : options.library;
    const Result<QList<CommentLibrary::Entry>> entries = CommentLibrary(libraryPath).entries();
    if (!entries) {
        err << libraryPath << ": " << entries.error() << '\n';
        return 2;
    }
    const Drafts::Library library = Drafts::fromEntries(*entries);

    QStringList names;
    for (int k = 0; k < document.studentCount(); ++k)
        names << document.slot(k + 1).name;
    RatingsFile::Problems problems;
    const Result<RatingsFile::Table> table = RatingsFile::readFile(ratings, names, library.categories, &problems);
    if (!table) {
        err << table.error() << '\n';
        return 2;
    }
    tellProblems(problems, err);

    // Drafts are fitted to the comment box of the scheme the print window opens with.
    const ClassDrafts::Drafter drafter(library, programFolder, document.ItemFonts[std::size_t(Item::CommentText)]);
    if (!drafter.fitsPaper())
        err << NoSchemeNotice << '\n';
    QList<Drafts::Draft> drafts = drafter.draft(names, ClassDrafts::ratingsOf(*table), options.seed);
    QStringList comments;
    for (int k = 0; k < names.size(); ++k) {
        // Only the drafts that go in are measured.
        const bool goesIn = document.slot(k + 1).comment.isEmpty() || options.replace;
        drafts[k] = goesIn ? drafter.fitted(drafts[k]) : Drafts::Draft();
        comments << document.slot(k + 1).comment;
    }
    QStringList changed;
    const auto existing = options.replace ? ClassDrafts::Existing::Replace : ClassDrafts::Existing::Skip;
    for (const FindReplace::Change &change : ClassDrafts::changes(comments, drafts, existing)) {
        const Drafts::Draft &draft = drafts[change.student];
        const QString &name = names[change.student];
        document.slot(change.student + 1).comment = change.after;
        changed << CommandLine::escapeField(name) + u'\t' + QString::number(WritingProgress::readerCount(draft.text)) + u'\t' +
                       CommandLine::escapeFields(draft.categories);
        if (!draft.dropped.isEmpty())
            err << DroppedNotice.arg(CommandLine::escapeField(name), CommandLine::escapeFields(draft.dropped))
                << '\n';
    }

    const QByteArray bytes = TextFile::encode(CommentFile::compose(document, document.ItemFonts));
    if (!CommandLine::writeComments(outPath, bytes, err))
        return 1;
    for (const QString &line : changed)
        out << line << '\n';
    return 0;
}

} // namespace DraftCommand
