#include "classof.h"
#include "core/app/classdrafts.h"
#include "core/app/draftsboard.h"
#include "core/document/commentfile.h"
#include "core/document/documentlifecycle.h"
#include "core/document/recovery.h"
#include "core/document/roster.h"
#include "core/document/session.h"
#include "core/platform/textfile.h"
#include "scriptedplatform.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

class Host : public EditorHost
{
public:
    bool open = false;
    void showEditorWindow(const QString &) override { open = true; }
    void closeEditorWindow() override { open = false; }
    bool editorIsOpen() const override { return open; }
    void setEditorCaption(const QString &) override {}
    void RefreshViews() override {}
    void reopenStudentList(bool) override {}
    ItemFonts displayFonts() const override { return CommentDocument().ItemFonts; }
};

Drafts::Draft draftOf(const QString &text)
{
    Drafts::Draft draft;
    draft.text = text;
    return draft;
}

RatingsFile::Table tableOf(const QStringList &names, const QList<Rating> &first)
{
    RatingsFile::Table table;
    table.categories = {QStringLiteral("纪律"), QStringLiteral("寄语")};
    table.names = names;
    for (int i = 0; i < names.size(); ++i)
        table.grades << (i == 0 ? first : QList<Rating>{Rating::None, Rating::None});
    return table;
}

/// A library of two categories, one stock comment a rating (纪律 优秀 has two, for 换一句).
Drafts::Library boardLibrary()
{
    Drafts::Library library;
    library.categories = {QStringLiteral("纪律"), QStringLiteral("寄语")};
    library.comments.insert(QStringLiteral("纪律"), {QStringList{"守纪律。", "最守纪律。"}, QStringList{"纪律尚可。"},
                                                     QStringList{"纪律要加强。"}});
    library.comments.insert(QStringLiteral("寄语"), {QStringList{"望更上一层楼。"}, QStringList{"望再努力。"},
                                                     QStringList{"望奋起直追。"}});
    return library;
}

/// Five categories, two sentences a rating: enough for the shape to leave one out.
Drafts::Library shapedLibrary()
{
    Drafts::Library library;
    library.categories = {QStringLiteral("总评"), QStringLiteral("学习"), QStringLiteral("纪律"), QStringLiteral("劳动"),
                          QStringLiteral("寄语")};
    for (const QString &category : std::as_const(library.categories)) {
        std::array<QStringList, 3> sections;
        for (int grade = 0; grade < 3; ++grade) {
            for (int n = 1; n <= 2; ++n)
                sections[grade] << QStringLiteral("%1方面第%2句，等级%3。").arg(category).arg(n).arg(grade);
        }
        library.comments.insert(category, sections);
    }
    return library;
}

/// A board on `session`'s class with boardLibrary() and no scheme to fit.
void reloadBoard(DraftsBoard &board)
{
    board.reload(std::make_unique<ClassDrafts::Drafter>(boardLibrary(), std::nullopt, CommentDocument().ItemFonts[1]),
                 {});
}

} // namespace

class tst_ClassDrafts : public QObject
{
    Q_OBJECT

private slots:
    void applyChanges_data();
    void applyChanges();
    void ratingsFollowTheRoster_data();
    void ratingsFollowTheRoster();
    void keptBesideTheClass_data();
    void keptBesideTheClass();
    void keptInTheRecoveryCopy();
    void boardApplies_data();
    void boardApplies();
    void redrawHoldsWhileRatingsStay();
    void boardFollowsTheClassSettings_data();
    void boardFollowsTheClassSettings();
};

// What goes into which comment, and the undo that takes the whole application back.
void tst_ClassDrafts::applyChanges_data()
{
    QTest::addColumn<int>("existing");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("changed");
    // Comments: "", "旧", "" (no draft: not rated), "旧2"; drafts for 0, 1 and 3. Appended, a
    // draft starts a line of its own.
    QTest::newRow("skip") << int(ClassDrafts::Existing::Skip) << QStringList{"甲", "旧", "", "旧2"} << 1;
    QTest::newRow("append") << int(ClassDrafts::Existing::Append) << QStringList{"甲", "旧\n乙", "", "旧2\n丁"} << 3;
    QTest::newRow("replace") << int(ClassDrafts::Existing::Replace) << QStringList{"甲", "乙", "", "丁"} << 3;
}

void tst_ClassDrafts::applyChanges()
{
    QFETCH(int, existing);
    QFETCH(QStringList, after);
    QFETCH(int, changed);
    const QStringList comments{"", "旧", "", "旧2"};
    const QList<Drafts::Draft> drafts{draftOf("甲"), draftOf("乙"), Drafts::Draft(), draftOf("丁")};
    QCOMPARE(ClassDrafts::withComment(comments, drafts), 2);
    const QList<FindReplace::Change> changes =
        ClassDrafts::changes(comments, drafts, ClassDrafts::Existing(existing));
    QCOMPARE(changes.size(), changed);
    CommentDocument before;
    for (int i = 0; i < comments.size(); ++i)
        before.slot(i + 1) = {QStringLiteral("学生%1").arg(i), comments[i]};
    Session session;
    session.replaceDocument(before);
    session.markSaved();
    session.changeComments(QStringLiteral("生成草稿"), changes);
    QCOMPARE(Roster::comments(session.Document()), after);
    QCOMPARE(session.Modified(), changed > 0);
    // One step back restores every comment, and the class is unchanged again.
    session.History().undo();
    QCOMPARE(session.Document(), before);
    QVERIFY(!session.Modified());
}

void tst_ClassDrafts::ratingsFollowTheRoster_data()
{
    QTest::addColumn<int>("change"); // 0 rename, 1 delete the first, 2 add one
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("ratedRow"); // where the first student's grades are now (-1: gone)
    QTest::newRow("renamed") << 0 << QStringList{"王芳", "学生2"} << 0;
    QTest::newRow("removed") << 1 << QStringList{"学生2"} << -1;
    QTest::newRow("added") << 2 << QStringList{"学生1", "学生2", "新生"} << 0;
}

void tst_ClassDrafts::ratingsFollowTheRoster()
{
    QFETCH(int, change);
    QFETCH(QStringList, names);
    QFETCH(int, ratedRow);
    Session session;
    session.replaceDocument(classOf(2));
    const QList<Rating> grades{Rating::Excellent, Rating::Lagging};
    session.setRatings(tableOf({"学生1", "学生2"}, grades));
    if (change == 0)
        session.renameStudent(0, QStringLiteral("王芳"));
    else if (change == 1)
        session.deleteStudent(0);
    else
        session.addStudent(QStringLiteral("新生"));
    QCOMPARE(session.Ratings().names, names);
    for (int row = 0; row < names.size(); ++row)
        QCOMPARE(session.Ratings().grades[row] == grades, row == ratedRow);
}

// Open reads the ratings beside the class (what it cannot read is told once, the rest kept);
// a save writes them beside the file it saves to.
void tst_ClassDrafts::keptBesideTheClass_data()
{
    QTest::addColumn<QByteArray>("sidecar");
    QTest::addColumn<int>("grade"); // 学生1's 纪律 after opening
    QTest::addColumn<bool>("told");
    QTest::newRow("read") << QByteArray("\xEF\xBB\xBF姓名,纪律,寄语\r\n学生1,优秀,\r\n")
                          << int(Rating::Excellent) << false;
    QTest::newRow("part unreadable") << QByteArray("姓名,纪律\r\n学生1,良\r\n学生9,优\r\n学生2,很棒\r\n")
                                     << int(Rating::Good) << true;
    QTest::newRow("no name column") << QByteArray("纪律\r\n优\r\n") << int(Rating::None) << true;
    QTest::newRow("none") << QByteArray() << int(Rating::None) << false;
}

void tst_ClassDrafts::keptBesideTheClass()
{
    QFETCH(QByteArray, sidecar);
    QFETCH(int, grade);
    QFETCH(bool, told);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("三年级二班.py"));
    QVERIFY(CommentFile::write(path, classOf(2), CommentDocument().ItemFonts).ok());
    if (!sidecar.isEmpty()) {
        QFile file(RatingsFile::sidecarPath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(sidecar);
    }
    ScriptedPlatform platform;
    Session session;
    Host host;
    DocumentLifecycle lifecycle(session, platform, host);
    if (told)
        platform.expectMessage();
    lifecycle.openPath(path);
    QVERIFY2(platform.finished(), qPrintable(platform.problems.join(u'\n')));
    QCOMPARE(session.Document().studentCount(), 2);
    const RatingsFile::Table &ratings = session.Ratings();
    const qsizetype column = ratings.categories.indexOf(QStringLiteral("纪律"));
    QCOMPARE(column < 0 ? int(Rating::None) : int(ratings.grades[0][column]), grade);
    if (told)
        QCOMPARE(platform.shown.last().icon, MsgIcon::Exclamation);

    // Renamed, then saved under another name: the ratings go along, under the new name.
    session.renameStudent(0, QStringLiteral("王芳"));
    platform.expectSaveFile(dir.filePath(QStringLiteral("新班.py")));
    QVERIFY(lifecycle.SaveDocumentAs());
    const QString moved = dir.filePath(QStringLiteral("新班.评价.csv"));
    QCOMPARE(QFile::exists(moved), grade != int(Rating::None));
    if (grade != int(Rating::None)) {
        RatingsFile::Problems problems;
        const Result<RatingsFile::Table> back = RatingsFile::readOwnColumns(moved, {"王芳", "学生2"}, &problems);
        QVERIFY(back.ok());
        QCOMPARE(back->grades[0][back->categories.indexOf(QStringLiteral("纪律"))], Rating(grade));
    }
}

// An unsaved class keeps its ratings in its recovery copy and gets them back with it.
void tst_ClassDrafts::keptInTheRecoveryCopy()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const RatingsFile::Table table = tableOf({"学生1", "学生2", "学生3"}, {Rating::Good, Rating::Excellent});
    {
        ScriptedPlatform platform;
        Session session;
        session.replaceDocument(classOf(3));
        session.setRatings(table);
        session.markModified();
        RecoveryStore crashed(folder);
        QVERIFY(crashed.open());
        Recovery recovery(session, crashed, platform);
        recovery.writeNow();
        recovery.waitForWrites();
    } // the run ends without cleaning up
    ScriptedPlatform platform;
    Session session;
    Host host;
    DocumentLifecycle lifecycle(session, platform, host);
    RecoveryStore store(folder);
    QVERIFY(store.open());
    platform.expectMessage(MsgAnswer::Yes);
    lifecycle.offerRecovery(store);
    QVERIFY2(platform.finished(), qPrintable(platform.problems.join(u'\n')));
    QCOMPARE(session.Document().studentCount(), 3);
    QCOMPARE(session.Ratings(), table);
    QVERIFY(store.leftOver().isEmpty());
}

// 生成 from the 评价表: the ratings' drafts go into the comments as one step of the class's
// history, and the ratings become the class's.
void tst_ClassDrafts::boardApplies_data()
{
    QTest::addColumn<QStringList>("rated"); // "student,category,grade": 1 优秀, 2 良好, 3 后进
    QTest::addColumn<int>("existing");
    QTest::addColumn<int>("withComment");
    QTest::addColumn<QStringList>("after");
    // Comments before: "", "旧", "".
    // A draft starts with the paragraph indent; 追加 puts it on a line of its own.
    const QString indent = Drafts::ParagraphIndent;
    QTest::newRow("skip") << QStringList{"0,0,2", "1,0,3"} << int(ClassDrafts::Existing::Skip) << 1
                          << QStringList{indent + "纪律尚可。", "旧", ""};
    QTest::newRow("append") << QStringList{"0,0,2", "1,0,3"} << int(ClassDrafts::Existing::Append) << 1
                            << QStringList{indent + "纪律尚可。", "旧\n" + indent + "纪律要加强。", ""};
    QTest::newRow("replace") << QStringList{"0,0,2", "1,0,3", "1,1,3"} << int(ClassDrafts::Existing::Replace) << 1
                             << QStringList{indent + "纪律尚可。", indent + "纪律要加强。望奋起直追。", ""};
    QTest::newRow("a rating undone writes nothing")
        << QStringList{"2,0,3", "undo"} << int(ClassDrafts::Existing::Skip) << 0 << QStringList{"", "旧", ""};
}

void tst_ClassDrafts::boardApplies()
{
    QFETCH(QStringList, rated);
    QFETCH(int, existing);
    QFETCH(int, withComment);
    QFETCH(QStringList, after);
    QTemporaryDir dir;
    Session session;
    CommentDocument before = classOf(3, QString());
    for (int slot = 1; slot <= 3; ++slot)
        before.slot(slot).comment = slot == 2 ? QStringLiteral("旧") : QString();
    session.replaceDocument(before);
    session.markSaved();
    DraftsBoard board(session);
    reloadBoard(board);
    RatingsModel &ratings = board.ratings();
    for (const QString &step : rated) {
        if (step == QLatin1String("undo")) {
            ratings.undoStack()->undo();
            continue;
        }
        const QStringList at = step.split(u',');
        ratings.setGrades({ratings.index(at[0].toInt(), at[1].toInt())}, Rating(at[2].toInt() - 1), {});
    }
    QCOMPARE(board.withComment(), withComment);
    const bool changed = after != Roster::comments(before);
    QCOMPARE(board.apply(ClassDrafts::Existing(existing)), changed);
    QCOMPARE(Roster::comments(session.Document()), after);
    QCOMPARE(session.Modified(), changed);
    QVERIFY(board.keepRatings().ok());
    QCOMPARE(session.Ratings(), ratings.table());
    QVERIFY(!ratings.edited());
    if (changed) {
        QCOMPARE(session.undoCaption(), QStringLiteral("撤消生成草稿"));
        session.History().undo();
        QCOMPARE(session.Document(), before);
    }
}

// 换一句 gives the student another draft, which 生成 takes, until the student's ratings change.
void tst_ClassDrafts::redrawHoldsWhileRatingsStay()
{
    QTemporaryDir dir;
    Session session;
    CommentDocument uncommented = classOf(2, QString());
    for (int slot = 1; slot <= 2; ++slot)
        uncommented.slot(slot).comment.clear();
    session.replaceDocument(uncommented);
    DraftsBoard board(session);
    reloadBoard(board);
    RatingsModel &ratings = board.ratings();
    QVERIFY(!board.redraw(0));
    QCOMPARE(board.previewText(0), QStringLiteral("（选中的学生还没有评价，没有草稿。）"));
    ratings.setGrades({ratings.index(0, 0)}, Rating::Excellent, {});
    const QString first = board.draft(0).text;
    QVERIFY(board.redraw(0));
    const QString second = board.draft(0).text;
    QCOMPARE(QStringList({first, second}).filter(QStringLiteral("守纪律。")).size(), 2);
    QVERIFY(first != second);
    QCOMPARE(board.previewText(0), QStringLiteral("学生1：") + second);
    // Another student's rating leaves it; a change of its own ratings draws afresh.
    ratings.setGrades({ratings.index(1, 0)}, Rating::Good, {});
    QCOMPARE(board.draft(0).text, second);
    ratings.setGrades({ratings.index(0, 1)}, Rating::Good, {});
    ratings.undoStack()->undo();
    QCOMPARE(board.draft(0).text, first);
    QVERIFY(board.apply(ClassDrafts::Existing::Skip));
    QCOMPARE(Roster::comments(session.Document()), (QStringList{first, Drafts::ParagraphIndent + "纪律尚可。"}));
}

// The drafts follow the class's settings and the shown columns, 换一句 too; the settings come in
// with the kept ratings and go back with them; the preview names what the shape left out.
void tst_ClassDrafts::boardFollowsTheClassSettings_data()
{
    QTest::addColumn<QStringList>("script"); // "hide C", "require C", "kept require C", "redraw"
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("absent");
    // 学习 and 纪律 优秀, 劳动 良好: the shape takes the two best as strengths.
    QTest::newRow("the shape leaves one out") << QStringList{} << "纪律" << "劳动";
    QTest::newRow("a hidden column is not drafted") << QStringList{"hide 纪律"} << "劳动" << "纪律";
    QTest::newRow("换一句 keeps it out") << QStringList{"hide 纪律", "redraw"} << "劳动" << "纪律";
    QTest::newRow("必写 is written") << QStringList{"require 劳动"} << "劳动" << "";
    QTest::newRow("必写 kept with the class") << QStringList{"kept require 劳动"} << "劳动" << "";
}

void tst_ClassDrafts::boardFollowsTheClassSettings()
{
    QFETCH(QStringList, script);
    QFETCH(QString, present);
    QFETCH(QString, absent);
    Session session;
    session.replaceDocument(classOf(2, QString()));
    RatingsFile::Table kept;
    kept.categories = {QStringLiteral("学习"), QStringLiteral("纪律"), QStringLiteral("劳动"), QStringLiteral("寄语")};
    kept.names = Roster::names(session.Document());
    kept.grades = {{Rating::Excellent, Rating::Excellent, Rating::Good, Rating::Excellent}, {}};
    if (script.contains(QStringLiteral("kept require 劳动")))
        kept.settings.required = {QStringLiteral("劳动")};
    session.setRatings(kept);
    DraftsBoard board(session);
    board.reload(std::make_unique<ClassDrafts::Drafter>(shapedLibrary(), std::nullopt, CommentDocument().ItemFonts[1]),
                 {});
    RatingsModel &ratings = board.ratings();
    const auto column = [&](const QString &step) { return int(ratings.table().categories.indexOf(step.section(u' ', -1))); };
    for (const QString &step : script) {
        if (step.startsWith(QLatin1String("hide")))
            ratings.setColumnHidden(column(step), true);
        else if (step.startsWith(QLatin1String("require")))
            ratings.setRequired(column(step), true);
        else if (step == QLatin1String("redraw"))
            QVERIFY(board.redraw(0));
    }
    const Drafts::Draft draft = board.draft(0);
    QVERIFY2(draft.categories.contains(present), qPrintable(draft.text));
    QVERIFY2(absent.isEmpty() || !draft.categories.contains(absent), qPrintable(draft.text));
    // A hidden column is not "left out" either: the teacher set it aside.
    QVERIFY(!script.contains(QStringLiteral("hide 纪律")) || !draft.leftOut.contains(QStringLiteral("纪律")));
    const QString preview = board.previewText(0);
    QCOMPARE(preview.contains(QStringLiteral("\n未写入：") + draft.leftOut.join(QStringLiteral("、"))),
             !draft.leftOut.isEmpty());
    QCOMPARE(board.repeatReport(), QStringLiteral("全班没有重复的句子。"));
    ratings.setGrades({ratings.index(1, 0)}, Rating::Good, {});
    QVERIFY(board.keepRatings().ok());
    QCOMPARE(session.Ratings().settings.required, ratings.settings().required);
    QCOMPARE(session.Ratings().settings.required.contains(QStringLiteral("劳动")),
             present == QStringLiteral("劳动") && absent.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ClassDrafts)
#include "tst_classdrafts.moc"
