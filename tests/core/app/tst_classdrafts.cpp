#include "classof.h"
#include "core/app/classdrafts.h"
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

RatingsFile::Table tableOf(const QStringList &names, const QList<Grade> &first)
{
    RatingsFile::Table table;
    table.categories = {QStringLiteral("纪律"), QStringLiteral("寄语")};
    table.names = names;
    for (int i = 0; i < names.size(); ++i)
        table.grades << (i == 0 ? first : QList<Grade>{Grade::None, Grade::None});
    return table;
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
    const QList<Grade> grades{Grade::Excellent, Grade::Lagging};
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
    QTest::newRow("read") << QByteArray("\xEF\xBB\xBF姓名,纪律,寄语\r\n学生1,优秀,\r\n") << int(Grade::Excellent) << false;
    QTest::newRow("part unreadable") << QByteArray("姓名,纪律\r\n学生1,良\r\n学生9,优\r\n学生2,很棒\r\n")
                                     << int(Grade::Good) << true;
    QTest::newRow("no name column") << QByteArray("纪律\r\n优\r\n") << int(Grade::None) << true;
    QTest::newRow("none") << QByteArray() << int(Grade::None) << false;
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
    QCOMPARE(column < 0 ? int(Grade::None) : int(ratings.grades[0][column]), grade);
    if (told)
        QCOMPARE(platform.shown.last().icon, MsgIcon::Exclamation);

    // Renamed, then saved under another name: the ratings go along, under the new name.
    session.renameStudent(0, QStringLiteral("王芳"));
    platform.expectSaveFile(dir.filePath(QStringLiteral("新班.py")));
    QVERIFY(lifecycle.SaveDocumentAs());
    const QString moved = dir.filePath(QStringLiteral("新班.评价.csv"));
    QCOMPARE(QFile::exists(moved), grade != int(Grade::None));
    if (grade != int(Grade::None)) {
        RatingsFile::Problems problems;
        const Result<RatingsFile::Table> back = RatingsFile::readOwnColumns(moved, {"王芳", "学生2"}, &problems);
        QVERIFY(back.ok());
        QCOMPARE(back->grades[0][back->categories.indexOf(QStringLiteral("纪律"))], Grade(grade));
    }
}

// An unsaved class keeps its ratings in its recovery copy and gets them back with it.
void tst_ClassDrafts::keptInTheRecoveryCopy()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const RatingsFile::Table table = tableOf({"学生1", "学生2", "学生3"}, {Grade::Good, Grade::Excellent});
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

QTEST_GUILESS_MAIN(tst_ClassDrafts)
#include "tst_classdrafts.moc"
