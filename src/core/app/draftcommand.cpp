#include "core/app/draftcommand.h"

#include "core/app/commandline.h"
#include "core/document/commentdocument.h"
#include "core/document/commentfile.h"
#include "core/document/ratingsfile.h"
#include "core/document/writingprogress.h"
#include "core/library/commentlibrary.h"
#include "core/library/drafts.h"
#include "core/platform/textfile.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/textmeasurer.h"

#include <QTextStream>

namespace DraftCommand {

namespace {

const QString ProblemNotice = QStringLiteral("注意：评价表中%1：%2");
const QString DroppedNotice = QStringLiteral("注意：%1的草稿超出打印区域，略去了：%2");
const QString NoSchemeNotice = QStringLiteral("注意：没有可用的打印方案，草稿未按纸张裁短。");

std::optional<Rating> ratingOf(Grade grade)
{
    switch (grade) {
    case Grade::Excellent:
        return Rating::Excellent;
    case Grade::Good:
        return Rating::Good;
    case Grade::Lagging:
        return Rating::Lagging;
    case Grade::None:
        break;
    }
    return std::nullopt;
}

void tellProblems(const RatingsFile::Problems &problems, QTextStream &err)
{
    const auto tell = [&err](const QString &what, const QStringList &items) {
        if (items.isEmpty())
            return;
        QStringList escaped;
        for (const QString &item : items)
            escaped << CommandLine::escapeField(item);
        err << ProblemNotice.arg(what, escaped.join(QStringLiteral("、"))) << '\n';
    };
    tell(QStringLiteral("不在班上的姓名"), problems.unknownNames);
    tell(QStringLiteral("无法识别的评价"), problems.unknownValues);
    tell(QStringLiteral("评语库中没有的类别"), problems.unknownCategories);
    tell(QStringLiteral("重复的学生（按第一行）"), problems.duplicateNames);
    tell(QStringLiteral("重复的类别（按第一列）"), problems.duplicateCategories);
    if (problems.rowsWithoutName > 0)
        err << ProblemNotice.arg(QStringLiteral("没有姓名的行"), QString::number(problems.rowsWithoutName)) << '\n';
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

    QList<Drafts::Ratings> rated;
    for (int k = 0; k < names.size(); ++k) {
        Drafts::Ratings student;
        for (int c = 0; c < table->categories.size(); ++c) {
            if (const std::optional<Rating> rating = ratingOf(table->grades.value(k).value(c, Grade::None)))
                student.insert(table->categories[c], *rating);
        }
        rated << student;
    }

    // Drafts are fitted to the comment box of the scheme the print window opens with.
    const QtTextMeasurer measurer;
    const std::optional<LayoutScheme> scheme = activeScheme(programFolder, QString());
    if (!scheme)
        err << NoSchemeNotice << '\n';
    const auto fits = scheme ? Drafts::fitsScheme(*scheme, document.ItemFonts[std::size_t(Item::CommentText)], measurer)
                             : std::function<bool(const QString &)>();

    const QList<Drafts::Draft> drafts = Drafts::draftClass(library, names, rated, options.seed);
    QStringList changed;
    for (int k = 0; k < names.size(); ++k) {
        Drafts::Draft draft = drafts.value(k);
        QString &comment = document.slot(k + 1).comment;
        if (draft.text.isEmpty() || (!comment.isEmpty() && !options.replace))
            continue;
        if (fits)
            draft = Drafts::fitToBox(draft, fits);
        comment = draft.text;
        changed << CommandLine::escapeField(names[k]) + u'\t' + QString::number(WritingProgress::readerCount(draft.text)) + u'\t' +
                       draft.categories.join(QStringLiteral("、"));
        if (!draft.dropped.isEmpty())
            err << DroppedNotice.arg(CommandLine::escapeField(names[k]), draft.dropped.join(QStringLiteral("、")))
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
