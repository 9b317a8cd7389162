#include "classof.h"
#include "core/document/roster.h"
#include "core/document/session.h"

#include <QTest>

namespace {

// The replace-all of these tests: comments 1 and 3 of 学生1..学生3 ("评语1" → "好评1").
QList<FindReplace::Change> replaceAllOf(const CommentDocument &document)
{
    QList<FindReplace::Change> changes;
    for (const int k : {0, 2})
        changes.append({k, 1, document.slot(k + 1).comment, QStringLiteral("好评%1").arg(k + 1)});
    return changes;
}

// Plays a script of what the teacher does on a saved class of three students.
void play(Session &session, const QStringList &script)
{
    for (const QString &action : script) {
        if (action == u"replace")
            session.changeComments(QStringLiteral("全部替换"), replaceAllOf(session.Document()));
        else if (action == u"type")
            session.setComment(2, session.Document().slot(2).comment + u'!');
        else if (action == u"typeReplaced")
            session.setComment(3, session.Document().slot(3).comment + u'!');
        else if (action == u"delete")
            session.deleteStudent(0);
        else if (action == u"save")
            session.markSaved();
        else if (action == u"undo")
            session.History().undo();
        else if (action == u"redo")
            session.History().redo();
        else if (action == u"open") {
            session.replaceDocument(classOf(3));
            session.markSaved();
        } else
            QFAIL(qPrintable(action));
    }
}

} // namespace

class tst_ClassHistory : public QObject
{
    Q_OBJECT

private slots:
    void modifiedFollowsTheFile_data();
    void modifiedFollowsTheFile();
    void undoKeepsLaterTyping_data();
    void undoKeepsLaterTyping();
    void rosterStepsKeepTyping_data();
    void rosterStepsKeepTyping();
};

// The class is modified exactly when it differs from its file, whichever way it got there.
void tst_ClassHistory::modifiedFollowsTheFile_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("canUndo");
    QTest::newRow("a step") << QStringList{"replace"} << true << true;
    QTest::newRow("a step undone") << QStringList{"replace", "undo"} << false << false;
    QTest::newRow("undo after a save") << QStringList{"replace", "save", "undo"} << true << false;
    QTest::newRow("redo back to the save") << QStringList{"replace", "save", "undo", "redo"} << false << true;
    QTest::newRow("typed, a step undone") << QStringList{"type", "replace", "undo"} << true << false;
    QTest::newRow("typed and saved, a step undone") << QStringList{"type", "save", "replace", "undo"} << false
                                                   << false;
    QTest::newRow("a roster step after a save") << QStringList{"save", "delete", "undo"} << false << false;
    QTest::newRow("another class read") << QStringList{"replace", "open"} << false << false;
}

void tst_ClassHistory::modifiedFollowsTheFile()
{
    QFETCH(QStringList, script);
    QFETCH(bool, modified);
    QFETCH(bool, canUndo);
    Session session;
    play(session, {"open"});
    play(session, script);
    QCOMPARE(session.Modified(), modified);
    QCOMPARE(session.History().canUndo(), canUndo);
}

// Undoing or redoing a whole-class step leaves a comment typed since it, and says so.
void tst_ClassHistory::undoKeepsLaterTyping_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("comments");
    QTest::addColumn<QString>("undoCaption");
    QTest::addColumn<QString>("redoCaption");
    QTest::newRow("untouched") << QStringList{"replace"} << QStringList{"好评1", "评语2", "好评3"}
                               << QStringLiteral("撤消全部替换") << QString();
    QTest::newRow("another comment typed")
        << QStringList{"replace", "type", "undo"} << QStringList{"评语1", "评语2!", "评语3"} << QString()
        << QStringLiteral("重做全部替换");
    QTest::newRow("a replaced comment typed")
        << QStringList{"replace", "typeReplaced"} << QStringList{"好评1", "评语2", "好评3!"}
        << QStringLiteral("撤消全部替换（保留改过的 1 条评语）") << QString();
    QTest::newRow("undone, the typed one kept")
        << QStringList{"replace", "typeReplaced", "undo"} << QStringList{"评语1", "评语2", "好评3!"} << QString()
        << QStringLiteral("重做全部替换（保留改过的 1 条评语）");
    QTest::newRow("redone, the typed one kept")
        << QStringList{"replace", "typeReplaced", "undo", "redo"} << QStringList{"好评1", "评语2", "好评3!"}
        << QStringLiteral("撤消全部替换（保留改过的 1 条评语）") << QString();
}

void tst_ClassHistory::undoKeepsLaterTyping()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, comments);
    QFETCH(QString, undoCaption);
    QFETCH(QString, redoCaption);
    Session session;
    play(session, {"open"});
    play(session, script);
    QCOMPARE(Roster::comments(session.Document()), comments);
    QCOMPARE(session.undoCaption(), undoCaption);
    QCOMPARE(session.redoCaption(), redoCaption);
}

// A roster step undone brings its students back with their comments and ratings, and keeps
// what was typed since into the students it did not touch; redone, it keeps it too.
void tst_ClassHistory::rosterStepsKeepTyping_data()
{
    QTest::addColumn<int>("change"); // 0 delete 学生2, 1 rename 学生2, 2 add, 3 delete all
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<QStringList>("commentsUndone");
    QTest::addColumn<QStringList>("commentsRedone");
    QTest::newRow("delete") << 0 << QStringList{"学生1", "学生3"} << QStringList{"评语1", "评语2", "评语3!"}
                            << QStringList{"评语1", "评语3!"};
    QTest::newRow("rename") << 1 << QStringList{"学生1", "王芳", "学生3"}
                            << QStringList{"评语1", "评语2", "评语3!"} << QStringList{"评语1", "评语2", "评语3!"};
    QTest::newRow("add") << 2 << QStringList{"学生1", "学生2", "学生3", "新生"}
                         << QStringList{"评语1", "评语2", "评语3!"}
                         << QStringList{"评语1", "评语2", "评语3!", "新生的评语"};
    QTest::newRow("delete all") << 3 << QStringList{} << QStringList{"评语1", "评语2", "评语3"} << QStringList{};
}

void tst_ClassHistory::rosterStepsKeepTyping()
{
    QFETCH(int, change);
    QFETCH(QStringList, namesAfter);
    QFETCH(QStringList, commentsUndone);
    QFETCH(QStringList, commentsRedone);
    Session session;
    play(session, {"open"});
    RatingsFile::Table ratings;
    ratings.categories = {QStringLiteral("纪律")};
    ratings.names = Roster::names(session.Document());
    ratings.grades = {{Rating::Good}, {Rating::Excellent}, {Rating::Lagging}};
    session.setRatings(ratings);
    switch (change) {
    case 0:
        session.deleteStudent(1);
        break;
    case 1:
        session.renameStudent(1, QStringLiteral("王芳"));
        break;
    case 2:
        QCOMPARE(session.addStudent(QStringLiteral("新生")), 3);
        break;
    default:
        session.deleteAll();
    }
    QCOMPARE(Roster::names(session.Document()), namesAfter);
    // Typed after the step: into 学生3, and into the new student.
    if (const int k = Roster::indexOf(session.Document(), QStringLiteral("学生3")); k >= 0)
        session.setComment(k + 1, QStringLiteral("评语3!"));
    if (change == 2)
        session.setComment(4, QStringLiteral("新生的评语"));
    session.History().undo();
    QCOMPARE(Roster::names(session.Document()), (QStringList{"学生1", "学生2", "学生3"}));
    QCOMPARE(Roster::comments(session.Document()), commentsUndone);
    QCOMPARE(session.Ratings().grades, ratings.grades);
    session.History().redo();
    QCOMPARE(Roster::names(session.Document()), namesAfter);
    QCOMPARE(Roster::comments(session.Document()), commentsRedone);
}

QTEST_APPLESS_MAIN(tst_ClassHistory)
#include "tst_classhistory.moc"
