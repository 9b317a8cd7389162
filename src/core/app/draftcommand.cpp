#include "core/app/draftcommand.h"

#include "core/app/classdrafts.h"
#include "core/app/commandline.h"
#include "core/document/commentdocument.h"
#include "core/document/commentfile.h"
#include "core/document/ratingsfile.h"
#include "core/document/writingprogress.h"
#include "core/library/commentlibrary.h"
#include "core/library/drafts.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "core/printing/schemestore.h"

#include <QTextStream>

namespace DraftCommand {

namespace {

const QString ProblemNotice = QStringLiteral("注意：评价表中%1");
const QString DroppedNotice = QStringLiteral("注意：%1的草稿超出打印区域，略去了：%2");
const QString RepeatsNotice = QStringLiteral("注意：%1");
const QString NoSchemeNotice = QStringLiteral("注意：没有可用的打印方案，草稿未按纸张裁短。");
const QString NothingChangedNotice = QStringLiteral("注意：没有改动任何学生的评语：%1。");
const QString NoStudentsReason = QStringLiteral("班上没有学生");
const QString UnratedReason = QStringLiteral("%1 名学生在评价表中没有评语库用得上的评价");
const QString KeptReason = QStringLiteral("%1 名学生已有评语（要替换，请加 --replace）");
const QString TooLongReason = QStringLiteral("%1 名学生的草稿放不进打印区域（评语库中的评语太长）");
const QString SameReason = QStringLiteral("%1 名学生的草稿与原有评语相同");

/// Why no student of the class was changed, student by student.
struct Unchanged
{
    int unrated = 0; ///< no rating the library has a comment for
    int kept = 0;    ///< a comment of their own, kept without --replace
    int tooLong = 0; ///< the draft left nothing once fitted to the paper
    int same = 0;    ///< the draft is the comment already there

    QString reasons(int students) const
    {
        if (students == 0)
            return NoStudentsReason;
        QStringList reasons;
        for (const auto &[count, reason] : {std::pair{unrated, UnratedReason}, std::pair{kept, KeptReason},
                                            std::pair{tooLong, TooLongReason}, std::pair{same, SameReason}}) {
            if (count > 0)
                reasons << reason.arg(count);
        }
        return reasons.join(QStringLiteral("；"));
    }
};

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
        options.library.isEmpty() ? ProgramFiles(programFolder).library() : options.library;
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

    // Drafts are fitted to the comment box of the first scheme, which a class printed from the
    // command line is printed with.
    ClassDrafts::Drafter drafter(library, SchemeStore(ProgramFiles(programFolder).schemes()).activeOrNone(),
                                 document.ItemFonts[std::size_t(Item::CommentText)]);
    // The command line's stage, term and length win over what the ratings file keeps.
    Drafts::Options draftOptions;
    draftOptions.settings = table->settings;
    if (options.settings.stage)
        draftOptions.settings.stage = options.settings.stage;
    if (options.settings.term)
        draftOptions.settings.term = options.settings.term;
    if (options.settings.minLength > 0) {
        draftOptions.settings.minLength = options.settings.minLength;
        draftOptions.settings.maxLength = options.settings.maxLength;
    }
    drafter.setOptions(draftOptions);
    if (!drafter.fitsPaper())
        err << NoSchemeNotice << '\n';
    QList<Drafts::Draft> drafts = drafter.draft(names, ClassDrafts::ratingsOf(*table), options.seed);
    QStringList comments;
    Unchanged unchanged;
    for (int k = 0; k < names.size(); ++k) {
        const QString &comment = document.slot(k + 1).comment;
        // Only the drafts that go in are measured.
        const bool goesIn = comment.isEmpty() || options.replace;
        if (drafts[k].text.isEmpty())
            ++unchanged.unrated;
        else if (!goesIn)
            ++unchanged.kept;
        drafts[k] = goesIn ? drafter.fitted(drafts[k]) : Drafts::Draft();
        if (goesIn && drafts[k].text.isEmpty() && !drafts[k].dropped.isEmpty())
            ++unchanged.tooLong;
        else if (goesIn && !drafts[k].text.isEmpty() && drafts[k].text == comment)
            ++unchanged.same;
        comments << comment;
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

    if (!Drafts::repeats(drafts).isEmpty()) {
        for (const QString &line : Drafts::repeatReport(drafts, names).split(u'\n'))
            err << RepeatsNotice.arg(CommandLine::escapeField(line)) << '\n';
    }
    if (changed.isEmpty())
        err << NothingChangedNotice.arg(unchanged.reasons(int(names.size()))) << '\n';

    const QByteArray bytes = TextFile::encode(CommentFile::compose(document, document.ItemFonts));
    if (!CommandLine::writeComments(outPath, bytes, err))
        return 1;
    for (const QString &line : changed)
        out << line << '\n';
    return 0;
}

} // namespace DraftCommand
