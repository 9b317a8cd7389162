#include "core/document/findreplace.h"

#include <QTest>

#include <numeric>

using namespace FindReplace;

class tst_FindReplace : public QObject
{
    Q_OBJECT

private slots:
    void positions_data();
    void positions();
    void nextPlace_data();
    void nextPlace();
    void replaceAllChanges_data();
    void replaceAllChanges();
};

void tst_FindReplace::positions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QList<int>>("places");
    QTest::newRow("two") << "认真认真"
                         << "认真" << true << QList<int>{0, 2};
    QTest::newRow("not overlapping") << "aaaa"
                                     << "aa" << true << QList<int>{0, 2};
    QTest::newRow("either case") << "Ok ok OK"
                                 << "ok" << false << QList<int>{0, 3, 6};
    QTest::newRow("this case") << "Ok ok OK"
                               << "ok" << true << QList<int>{3};
    QTest::newRow("empty needle") << "abc"
                                  << "" << true << QList<int>{};
    QTest::newRow("past a surrogate pair") << "𠀀好𠀀好"
                                           << "好" << true << QList<int>{2, 5};
}

void tst_FindReplace::positions()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, caseSensitive);
    QFETCH(QList<int>, places);
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QCOMPARE(positionsIn(text, needle, cs), places);
}

void tst_FindReplace::nextPlace_data()
{
    QTest::addColumn<int>("student");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QString>("found"); // "student:position", "" none

    // The texts: 0 "好好学习", 1 "", 2 "要好好休息".
    QTest::newRow("from the start") << 0 << -1 << false << "0:0";
    QTest::newRow("past the selected one") << 0 << 0 << false << "0:1";
    QTest::newRow("on to a later student") << 0 << 1 << false << "2:1";
    QTest::newRow("round to the start") << 2 << 2 << false << "0:0";
    QTest::newRow("backwards in the same text") << 2 << 2 << true << "2:1";
    QTest::newRow("backwards to an earlier student") << 2 << 1 << true << "0:1";
    QTest::newRow("backwards round to the end") << 0 << 0 << true << "2:2";
}

void tst_FindReplace::nextPlace()
{
    QFETCH(int, student);
    QFETCH(int, position);
    QFETCH(bool, backwards);
    QFETCH(QString, found);
    const QStringList texts{QStringLiteral("好好学习"), QString(), QStringLiteral("要好好休息")};
    const std::optional<Match> match = next(texts, u"好", Qt::CaseSensitive, student, position, backwards);
    QCOMPARE(match ? QStringLiteral("%1:%2").arg(match->student).arg(match->position) : QString(), found);
    QCOMPARE(next(texts, u"无", Qt::CaseSensitive, 0, 0, false), std::nullopt);
}

QTEST_APPLESS_MAIN(tst_FindReplace)
#include "tst_findreplace.moc"

void tst_FindReplace::replaceAllChanges_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QList<Change>>("changes");
    QTest::newRow("only the texts that change")
        << QStringList{"认真认真", "活泼", "认真"} << "认真"
        << "勤奋" << QList<Change>{{0, 2, "认真认真", "勤奋勤奋"}, {2, 1, "认真", "勤奋"}};
    QTest::newRow("the replacement holds the needle") << QStringList{"好好"} << "好"
                                                      << "好好" << QList<Change>{{0, 2, "好好", "好好好好"}};
    QTest::newRow("replaced by nothing") << QStringList{"a,b,"} << ","
                                         << "" << QList<Change>{{0, 2, "a,b,", "ab"}};
    QTest::newRow("nowhere") << QStringList{"甲", "乙"} << "丙"
                             << "丁" << QList<Change>{};
}

void tst_FindReplace::replaceAllChanges()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, needle);
    QFETCH(QString, replacement);
    QFETCH(QList<Change>, changes);
    QCOMPARE(replaceAll(texts, needle, replacement, Qt::CaseSensitive), changes);
    if (!changes.isEmpty())
        QCOMPARE(replaceAllQuestion(changes, needle, replacement).section(u'\n', 0, 0),
                 QStringLiteral("将把 %1 名学生评语中的 %2 处“%3”替换为“%4”。")
                     .arg(changes.size())
                     .arg(std::accumulate(changes.cbegin(), changes.cend(), 0,
                                          [](int sum, const Change &c) { return sum + c.places; }))
                     .arg(needle, replacement));
}

