#include "core/library/commentlibrary.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "filelimits.h"
#include "programfolder.h"
#include "resultvalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QString libraryFile(const QString &name)
{
    return testDataFile(QStringLiteral("library/") + name);
}

Rating ratingOf(const QString &letter)
{
    return letter == u"好" ? Rating::Excellent : letter == u"中" ? Rating::Good : Rating::Lagging;
}

/// One change, named as in the data tables: op and its arguments (a rating as its letter).
Result<CommentLibrary::Written> apply(CommentLibrary &library, const QString &op, const QStringList &args)
{
    if (op == u"add")
        return library.addCategory(args.at(0));
    if (op == u"rename")
        return library.renameCategory(args.at(0), args.at(1));
    if (op == u"delete")
        return library.deleteCategory(args.at(0));
    if (op == u"addComments")
        return library.addComments(args.at(0), ratingOf(args.at(1)), args.mid(2));
    if (op == u"replace")
        return library.replaceComment(args.at(0), args.at(1));
    if (op == u"deleteComment")
        return library.deleteComment(args.at(0));
    qFatal("unknown change %s", qPrintable(op));
}

/// The same change on lines in memory.
QStringList applyToLines(const QStringList &lines, const QString &op, const QStringList &args)
{
    if (op == u"add")
        return CommentLibrary::withCategoryAdded(lines, args.at(0));
    if (op == u"rename")
        return CommentLibrary::withCategoryRenamed(lines, args.at(0), args.at(1));
    if (op == u"delete")
        return CommentLibrary::withCategoryDeleted(lines, args.at(0));
    if (op == u"addComments")
        return CommentLibrary::withCommentsAdded(lines, args.at(0), ratingOf(args.at(1)), args.mid(2));
    if (op == u"replace")
        return CommentLibrary::withCommentReplaced(lines, args.at(0), args.at(1));
    return CommentLibrary::withCommentDeleted(lines, args.at(0));
}

QStringList linesOf(const QByteArray &bytes)
{
    const QString text = TextFile::decode(bytes);
    QStringList lines;
    for (QStringView line : TextFile::splitLineViewsAnyBreak(text))
        lines.append(line.toString());
    return lines;
}

/// Every change, with arguments that match something in library.vxd.
QList<std::pair<QString, QStringList>> everyChange()
{
    return {
        {"add", {"班级活动"}},
        {"rename", {"学习", "学业"}},
        {"delete", {"学习"}},
        {"addComments", {"学习", "好", "新"}},
        {"replace", {"你乐于助人。", "新"}},
        {"deleteComment", {"你乐于助人。"}},
    };
}

} // namespace

class tst_CommentLibrary : public QObject
{
    Q_OBJECT

private slots:
    void categoryNames_data();
    void categoryNames();
    void comments_data();
    void comments();
    void entriesAreWhatTheWindowShows_data();
    void entriesAreWhatTheWindowShows();
    void search_data();
    void search();
    void changes_data();
    void changes();
    void markerInComment_data();
    void markerInComment();
    void paddedNameIsStoredStripped();
    void characterOutsideBmpRoundTrips();
    void unreadableFile_data();
    void unreadableFile();
    void writeFailureKeepsOldFile_data();
    void writeFailureKeepsOldFile();
    void tooLargeToReadBackKeepsOldFile_data();
    void tooLargeToReadBackKeepsOldFile();

private:
    /// A writable copy of a golden file.
    QString copyOf(const QString &name);
    QTemporaryDir m_dir;
};

QString tst_CommentLibrary::copyOf(const QString &name)
{
    return writableCopy(libraryFile(name), m_dir.path());
}

void tst_CommentLibrary::categoryNames_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("file order") << "library.vxd" << QStringList{"学习好习惯", "学习", "纪律"};
    QTest::newRow("duplicate, one padded") << "twice.vxd" << QStringList{"品德", "品德"};
    QTest::newRow("LF only") << "lf.vxd" << QStringList{"劳动"};
    QTest::newRow("empty file") << "empty.vxd" << QStringList{};
    QTest::newRow("no category lines") << "nocategory.vxd" << QStringList{};
    QTest::newRow("only blanks stripped") << "blanks.vxd" << QStringList{"\u3000学习", "纪律\t"};
}

void tst_CommentLibrary::categoryNames()
{
    QFETCH(QString, file);
    QFETCH(QStringList, names);
    QCOMPARE(expectValue(CommentLibrary(libraryFile(file)).categoryNames()), names);
}

void tst_CommentLibrary::comments_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("学习, not 学习好习惯") << "library.vxd"
                                          << "学习"
                                          << "好" << QStringList{"你学习认真，成绩优秀。", "你乐于助人。"};
    QTest::newRow("学习好习惯") << "library.vxd"
                                << "学习好习惯"
                                << "好"
                                << QStringList{"你养成了课前预习的好习惯。", "你的作业总是按时完成。"};
    QTest::newRow("section ends at category line") << "library.vxd"
                                                   << "学习好习惯"
                                                   << "差" << QStringList{"你常常忘记带作业本。"};
    QTest::newRow("section line is the last line") << "library.vxd"
                                                   << "纪律"
                                                   << "差" << QStringList{};
    QTest::newRow("prefix of a name") << "library.vxd"
                                      << "学"
                                      << "好" << QStringList{};
    QTest::newRow("missing category") << "library.vxd"
                                      << "体育"
                                      << "好" << QStringList{};
    QTest::newRow("first of duplicates") << "twice.vxd"
                                         << "品德"
                                         << "好" << QStringList{"第一个品德。"};
    QTest::newRow("LF only") << "lf.vxd"
                             << "劳动"
                             << "好" << QStringList{"你热爱劳动。", "你值日认真。"};
    QTest::newRow("LF only, no break at end") << "lf.vxd"
                                              << "劳动"
                                              << "差" << QStringList{"你不爱劳动。"};
    QTest::newRow("short lines give empty entries") << "short.vxd"
                                                    << "短"
                                                    << "好" << QStringList{"", "", "", "", "评"};
    QTest::newRow("padded section line, ends at any marker") << "short.vxd"
                                                             << "短"
                                                             << "中" << QStringList{"中评"};
    QTest::newRow("empty file") << "empty.vxd"
                                << "学习"
                                << "好" << QStringList{};
    QTest::newRow("full-width space in the name") << "blanks.vxd"
                                                  << "\u3000学习"
                                                  << "好" << QStringList{"\u3000你很好。"};
    QTest::newRow("full-width space is part of the name") << "blanks.vxd"
                                                          << "学习"
                                                          << "好" << QStringList{};
    QTest::newRow("TAB at the end of the name") << "blanks.vxd"
                                                << "纪律\t"
                                                << "好" << QStringList{"守纪", "守纪\t", "\u3000守纪"};
    QTest::newRow("TAB is part of the name") << "blanks.vxd"
                                             << "纪律"
                                             << "好" << QStringList{};
}

void tst_CommentLibrary::comments()
{
    QFETCH(QString, file);
    QFETCH(QString, category);
    QFETCH(QString, letter);
    QFETCH(QStringList, expected);
    QCOMPARE(expectValue(CommentLibrary(libraryFile(file)).comments(category, ratingOf(letter))), expected);
    QCOMPARE(CommentLibrary::commentsIn(linesOf(fileBytes(libraryFile(file))), category, ratingOf(letter)),
             expected);
}

void tst_CommentLibrary::changes_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("after");

    QTest::newRow("add padded name") << "library.vxd"
                                     << "add" << QStringList{"  班级活动 "} << "library_add_category.vxd";
    QTest::newRow("add to empty file") << "empty.vxd"
                                       << "add" << QStringList{"学习"} << "empty_add_category.vxd";
    QTest::newRow("rename 学习, not 学习好习惯")
        << "library.vxd"
        << "rename" << QStringList{"学习", "学业"} << "library_rename.vxd";
    QTest::newRow("rename both duplicates, new name stripped")
        << "twice.vxd"
        << "rename" << QStringList{"品德", " 德育 "} << "twice_rename.vxd";
    QTest::newRow("delete 学习, not 学习好习惯") << "library.vxd"
                                                 << "delete" << QStringList{"学习"} << "library_delete.vxd";
    QTest::newRow("delete last category") << "library.vxd"
                                          << "delete" << QStringList{"纪律"} << "library_delete_last.vxd";
    QTest::newRow("delete drops empty lines only before")
        << "gaps.vxd"
        << "delete" << QStringList{"乙"} << "gaps_delete.vxd";
    QTest::newRow("delete first duplicate") << "twice.vxd"
                                            << "delete" << QStringList{"品德"} << "twice_delete.vxd";
    QTest::newRow("delete missing keeps empty lines") << "gaps.vxd"
                                                      << "delete" << QStringList{"戊"} << "gaps.vxd";
    QTest::newRow("delete missing keeps LF") << "lf.vxd"
                                             << "delete" << QStringList{"学习"} << "lf.vxd";
    QTest::newRow("add comments first, in order, breaks made blanks")
        << "library.vxd"
        << "addComments"
        << QStringList{"学习", "好", "新评语：你的字写得真漂亮，连“𠮷”字都不错。", "第二条\n换行\r也在一行。"}
        << "library_add_comments.vxd";
    QTest::newRow("add comments to first duplicate")
        << "twice.vxd"
        << "addComments" << QStringList{"品德", "中", "甲", "乙", "丙"} << "twice_add_comments.vxd";
    QTest::newRow("add comments without categories appends")
        << "nocategory.vxd"
        << "addComments" << QStringList{"学习", "中", "新评语一", "新评语二"}
        << "nocategory_add_comments.vxd";
    QTest::newRow("replace in two categories")
        << "library.vxd"
        << "replace" << QStringList{"你乐于助人。", "你热心助人。"} << "library_replace.vxd";
    QTest::newRow("replace only inside sections")
        << "short.vxd"
        << "replace" << QStringList{"不属于任何一段", "新"} << "short.vxd";
    QTest::newRow("replace in LF file writes CR LF")
        << "lf.vxd"
        << "replace" << QStringList{"你值日认真。", "你做值日一丝不苟。"} << "lf_replace.vxd";
    QTest::newRow("delete comment in two categories, padded")
        << "library.vxd"
        << "deleteComment" << QStringList{" 你乐于助人。 "} << "library_delete_comment.vxd";
    QTest::newRow("bytes of kept lines kept, even unreadable ones")
        << "odd_bytes.vxd"
        << "add" << QStringList{"新"} << "odd_bytes_add_category.vxd";
    QTest::newRow("add: only blanks stripped from the name")
        << "blanks.vxd"
        << "add" << QStringList{" \u3000班级\t  "} << "blanks_add_category.vxd";
    QTest::newRow("rename a name ending in a TAB")
        << "blanks.vxd"
        << "rename" << QStringList{"纪律\t", " 品行 "} << "blanks_rename.vxd";
    QTest::newRow("delete comment: only blanks stripped")
        << "blanks.vxd"
        << "deleteComment" << QStringList{" 守纪 "} << "blanks_delete_comment.vxd";
    QTest::newRow("delete comment drops every empty line")
        << "gaps.vxd"
        << "deleteComment" << QStringList{"甲评一"} << "gaps_delete_comment.vxd";
}

void tst_CommentLibrary::changes()
{
    QFETCH(QString, before);
    QFETCH(QString, op);
    QFETCH(QStringList, args);
    QFETCH(QString, after);
    const QString path = copyOf(before);
    CommentLibrary library(path);
    const Result<CommentLibrary::Written> status = apply(library, op, args);
    QVERIFY2(status.ok(), qPrintable(status.error()));
    const QByteArray expected = fileBytes(libraryFile(after));
    QCOMPARE(fileBytes(path), expected);

    // The rules on lines in memory give the same lines.
    QCOMPARE(applyToLines(linesOf(fileBytes(libraryFile(before))), op, args), linesOf(expected));
}

void tst_CommentLibrary::markerInComment_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("section"); // 学习, 好 afterwards
    QTest::addColumn<bool>("rewritten");

    const QString a = QStringLiteral("你学习认真，成绩优秀。");
    const QString b = QStringLiteral("你乐于助人。");
    QTest::newRow("add") << "addComments" << QStringList{"学习", "好", "bad*!*x"}
                         << QStringList{"bad*！*x", a, b} << true;
    QTest::newRow("add: markers sharing a star")
        << "addComments" << QStringList{"学习", "好", "*!*!*"} << QStringList{"*！*！*", a, b} << true;
    QTest::newRow("add: looks like a category line")
        << "addComments" << QStringList{"学习", "好", "*!*类别之体育"} << QStringList{"*！*类别之体育", a, b}
        << true;
    QTest::newRow("add: looks like a section line")
        << "addComments" << QStringList{"学习", "好", "\t*!*学习好"} << QStringList{"\t*！*学习好", a, b}
        << true;
    QTest::newRow("add: one of two") << "addComments" << QStringList{"学习", "好", "甲", "乙*!*"}
                                     << QStringList{"甲", "乙*！*", a, b} << true;
    QTest::newRow("add: no marker") << "addComments" << QStringList{"学习", "好", "*！*!"}
                                    << QStringList{"*！*!", a, b} << false;
    QTest::newRow("replace") << "replace" << QStringList{b, "乐于*!*助人"} << QStringList{a, "乐于*！*助人"}
                             << true;
    QTest::newRow("replace: nothing to replace")
        << "replace" << QStringList{"没有这条", "乐于*!*助人"} << QStringList{a, b} << false;
}

// A comment holding the section marker would end its section when read: every comment after
// it, and the section's later changes, would be lost from sight.
void tst_CommentLibrary::markerInComment()
{
    QFETCH(QString, op);
    QFETCH(QStringList, args);
    QFETCH(QStringList, section);
    QFETCH(bool, rewritten);
    const QString path = copyOf(QStringLiteral("library.vxd"));
    CommentLibrary library(path);
    const QStringList names = expectValue(library.categoryNames());
    const QStringList good = expectValue(library.comments(QStringLiteral("学习"), Rating::Good));

    const Result<CommentLibrary::Written> status = apply(library, op, args);
    QVERIFY2(status.ok(), qPrintable(status.error()));
    QCOMPARE(expectValue(library.comments(QStringLiteral("学习"), Rating::Excellent)), section);
    QCOMPARE(expectValue(library.comments(QStringLiteral("学习"), Rating::Good)), good);
    QCOMPARE(expectValue(library.categoryNames()), names);
    QCOMPARE(status->markerRewritten, rewritten);
    // The rules on lines in memory write the same.
    QCOMPARE(applyToLines(linesOf(fileBytes(libraryFile(QStringLiteral("library.vxd")))), op, args),
             linesOf(fileBytes(path)));
}

void tst_CommentLibrary::paddedNameIsStoredStripped()
{
    const QString path = copyOf(QStringLiteral("library.vxd"));
    CommentLibrary library(path);
    QVERIFY(library.addCategory(QStringLiteral("  班级活动   ")).ok());
    QCOMPARE(expectValue(library.categoryNames()).last(), QStringLiteral("班级活动"));
    QVERIFY(
        library.addComments(QStringLiteral("班级活动"), Rating::Good, {QStringLiteral("  留着空格 ")}).ok());
    QCOMPARE(expectValue(library.comments(QStringLiteral("班级活动"), Rating::Good)),
             QStringList{"  留着空格 "});
    QVERIFY(library.deleteCategory(QStringLiteral("班级活动")).ok());
    QCOMPARE(fileBytes(path), fileBytes(libraryFile(QStringLiteral("library.vxd"))));
}

void tst_CommentLibrary::characterOutsideBmpRoundTrips()
{
    const QString path = copyOf(QStringLiteral("empty.vxd"));
    CommentLibrary library(path);
    const QString name = QStringLiteral("𠮷字班");
    const QStringList texts{QStringLiteral("𠮷𠮷，写得好。")};
    QVERIFY(library.addCategory(name).ok());
    QVERIFY(library.addComments(name, Rating::Lagging, texts).ok());
    QCOMPARE(expectValue(library.categoryNames()), QStringList{name});
    QCOMPARE(expectValue(library.comments(name, Rating::Lagging)), texts);
    QVERIFY(fileBytes(path).contains(QByteArray::fromHex("9534b235")));
}

void tst_CommentLibrary::unreadableFile_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("folder");
    for (const auto &[op, args] : everyChange()) {
        QTest::addRow("%s, missing", qPrintable(op)) << op << args << false;
        QTest::addRow("%s, folder", qPrintable(op)) << op << args << true;
    }
}

void tst_CommentLibrary::unreadableFile()
{
    QFETCH(QString, op);
    QFETCH(QStringList, args);
    QFETCH(bool, folder);
    QTemporaryDir dir;
    const QString path = dir.filePath(ProgramFiles::LibraryName);
    if (folder)
        QVERIFY(QDir().mkdir(path));
    CommentLibrary library(path);

    const Result<CommentLibrary::Written> status = apply(library, op, args);
    QCOMPARE(status.kind(), FailureKind::Unreadable);
    QVERIFY(status.error().startsWith(QStringLiteral("无法读取评语库文件“%1”：").arg(path)));
    QCOMPARE(QFileInfo(path).isDir(), folder);
    QCOMPARE(QFileInfo::exists(path), folder);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), folder ? 1 : 0);

    QCOMPARE(library.categoryNames().kind(), FailureKind::Unreadable);
    QCOMPARE(library.comments(QStringLiteral("学习"), Rating::Excellent).kind(), FailureKind::Unreadable);
}

void tst_CommentLibrary::writeFailureKeepsOldFile_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("fullDisk");
    for (const auto &[op, args] : everyChange()) {
        // The replacement is made beside the file under a longer name, which cannot be made
        // when the name already has the longest length allowed: fails for root too.
        QTest::addRow("%s, longest name", qPrintable(op)) << op << args << false;
        // A write that fails part-way, as on a full disk.
        QTest::addRow("%s, full disk", qPrintable(op)) << op << args << true;
    }
}

void tst_CommentLibrary::writeFailureKeepsOldFile()
{
    QFETCH(QString, op);
    QFETCH(QStringList, args);
    QFETCH(bool, fullDisk);
    QTemporaryDir dir;
    const QString path = dir.filePath(fullDisk ? ProgramFiles::LibraryName : QString(250, u'k'));
    const QByteArray old = fileBytes(libraryFile(QStringLiteral("library.vxd")));
    QVERIFY(TextFile::saveAtomically(path, old).ok());
    CommentLibrary library(path);
    const Result<CommentLibrary::Written> status =
        fullDisk ? withFileSizeLimit(16, [&] { return apply(library, op, args); }) : apply(library, op, args);

    QCOMPARE(status.kind(), FailureKind::WriteFailed);
    QVERIFY(status.error().startsWith(QStringLiteral("无法写入评语库文件“%1”：").arg(path)));
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void tst_CommentLibrary::tooLargeToReadBackKeepsOldFile_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("over"); // how far beyond the read limit the change takes the file
    const QStringList comment{"学习", "好", "新"};
    QTest::newRow("comment added up to the limit") << "addComments" << comment << 0;
    QTest::newRow("comment added one byte beyond") << "addComments" << comment << 1;
    QTest::newRow("category added beyond") << "add" << QStringList{"班级活动"} << 1;
}

// The library is read whole and refused above the read limit: a change that would take it
// beyond is not written, so that the library can still be opened.
void tst_CommentLibrary::tooLargeToReadBackKeepsOldFile()
{
    QFETCH(QString, op);
    QFETCH(QStringList, args);
    QFETCH(int, over);
    QTemporaryDir dir;
    // How much the change adds, found on the small library.
    const QByteArray small = fileBytes(libraryFile(QStringLiteral("library.vxd")));
    const QString probe = dir.filePath(QStringLiteral("probe.vxd"));
    QVERIFY(TextFile::saveAtomically(probe, small).ok());
    CommentLibrary probeLibrary(probe);
    QVERIFY(apply(probeLibrary, op, args).ok());
    const qint64 growth = QFileInfo(probe).size() - small.size();
    QVERIFY(growth > 0);

    // The same library with one long comment at its end.
    const qint64 padding = TextFile::MaxFileSize + over - growth - small.size() - 4;
    const QByteArray old = small + "\t\t" + QByteArray(padding, 'x') + "\r\n";
    const QString path = dir.filePath(ProgramFiles::LibraryName);
    QVERIFY(TextFile::saveAtomically(path, old).ok());
    CommentLibrary library(path);
    const Result<CommentLibrary::Written> status = apply(library, op, args);
    if (over <= 0) {
        QVERIFY2(status.ok(), qPrintable(status.error()));
        QCOMPARE(QFileInfo(path).size(), TextFile::MaxFileSize);
        return;
    }
    QCOMPARE(status.kind(), FailureKind::WriteFailed);
    QVERIFY2(status.error().startsWith(QStringLiteral("无法写入评语库文件“%1”：文件将有").arg(path)),
             qPrintable(status.error()));
    QVERIFY(status.error().contains(QStringLiteral("上限 64 MB")));
    QCOMPARE(QFileInfo(path).size(), old.size());
    QCOMPARE(fileBytes(path), old);
}

void tst_CommentLibrary::entriesAreWhatTheWindowShows_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files = QDir(libraryFile(QString())).entryList({QStringLiteral("*.vxd")}, QDir::Files);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << file;
    QTest::newRow("shipped") << QStringLiteral(QHSY_PROGRAM_DIR "/pyk.vxd");
}

// Read at once, the entries are the category × rating lookups the window makes, in its order.
void tst_CommentLibrary::entriesAreWhatTheWindowShows()
{
    QFETCH(QString, file);
    const QString path = QFileInfo(file).isAbsolute() ? file : libraryFile(file);
    const CommentLibrary library(path);
    QList<CommentLibrary::Entry> expected;
    QStringList seen;
    for (const QString &name : expectValue(library.categoryNames())) {
        if (seen.contains(name))
            continue;
        seen << name;
        for (Rating rating : {Rating::Excellent, Rating::Good, Rating::Lagging}) {
            for (const QString &text : expectValue(library.comments(name, rating)))
                expected.append({name, rating, text});
        }
    }
    QCOMPARE(expectValue(library.entries()), expected);
}

void tst_CommentLibrary::search_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("found"); // category/letter/text

    QTest::newRow("across categories and ratings")
        << "认真" << 10 << QStringList{"学习/好/上课认真", "纪律/差/做事不认真"};
    QTest::newRow("every word, in any order") << "认真 上课" << 10 << QStringList{"学习/好/上课认真"};
    QTest::newRow("full-width space between words")
        << "认真\u3000做事" << 10 << QStringList{"纪律/差/做事不认真"};
    QTest::newRow("Latin in either case") << "ok" << 10 << QStringList{"纪律/中/OK 了"};
    QTest::newRow("the limit") << "真" << 1 << QStringList{"学习/好/上课认真"};
    QTest::newRow("blanks only") << "  " << 10 << QStringList{};
    QTest::newRow("nothing found") << "跑步" << 10 << QStringList{};
}

void tst_CommentLibrary::search()
{
    QFETCH(QString, query);
    QFETCH(int, limit);
    QFETCH(QStringList, found);
    const QList<CommentLibrary::Entry> entries{{"学习", Rating::Excellent, "上课认真"},
                                               {"学习", Rating::Good, "字迹工整"},
                                               {"纪律", Rating::Good, "OK 了"},
                                               {"纪律", Rating::Lagging, "做事不认真"}};
    QStringList got;
    for (const CommentLibrary::Entry &entry : CommentLibrary::search(entries, query, limit))
        got << entry.category + u'/' + CommentLibrary::letter(entry.rating) + u'/' + entry.text;
    QCOMPARE(got, found);
}

QTEST_APPLESS_MAIN(tst_CommentLibrary)
#include "tst_commentlibrary.moc"
