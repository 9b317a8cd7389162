#include "classof.h"
#include "core/document/writingprogress.h"

#include <QTest>

using namespace WritingProgress;

class tst_WritingProgress : public QObject
{
    Q_OBJECT

private slots:
    void characters_data();
    void characters();
    void readerCounts_data();
    void readerCounts();
    void written_data();
    void written();
    void writtenInTheRoster();
};

void tst_WritingProgress::characters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("CJK and punctuation") << QStringLiteral("你很棒，继续努力！") << 9;
    QTest::newRow("letters and digits") << QStringLiteral("Tom 100分") << 8;
    QTest::newRow("surrogate pair") << QStringLiteral("𠀀𪚥好") << 3;
    QTest::newRow("combining marks") << QStringLiteral("e\u0301a\u0300\u0323") << 2;
    QTest::newRow("CR LF is one") << QStringLiteral("一\r\n二") << 3;
    QTest::newRow("flag of two regional indicators") << QStringLiteral("🇨🇳") << 1;
    QTest::newRow("emoji with modifier and joiner") << QStringLiteral("👍🏽👨‍👩‍👧") << 2;
    QTest::newRow("variation selector") << QStringLiteral("❤\uFE0F") << 1;
    QTest::newRow("kana with a voicing mark") << QStringLiteral("か\u3099") << 1;
    QTest::newRow("Hangul jamo") << QStringLiteral("\u1100\u1161\u11A8") << 1;
}

void tst_WritingProgress::characters()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(characterCount(text), count);
}

// What the status bar's "本条评语 n 字" counts: what a reader sees, not the blanks between.
void tst_WritingProgress::readerCounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("CJK and punctuation") << QStringLiteral("你很棒，继续努力！") << 9;
    QTest::newRow("line breaks of every kind") << QStringLiteral("一\r\n二\n三\r四\u2029五") << 5;
    QTest::newRow("tabs and spaces at the ends of lines")
        << QStringLiteral("\t一 \u3000\r\n    二\t\r\n") << 2;
    QTest::newRow("spaces inside a line") << QStringLiteral("很好。\u3000继续 努力 Tom") << 10;
    QTest::newRow("blanks only") << QStringLiteral(" \u3000\t\r\n") << 0;
    QTest::newRow("surrogate pair between line breaks") << QStringLiteral("\r\n𠮷\r\n") << 1;
    QTest::newRow("emoji with modifier, then a break") << QStringLiteral("棒👍🏽\r\n") << 2;
    QTest::newRow("combining marks") << QStringLiteral("e\u0301 a\u0300") << 2;
}

void tst_WritingProgress::readerCounts()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(readerCount(text), count);
}

void tst_WritingProgress::written_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("written");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("the paragraph indent alone") << QStringLiteral("    ") << false;
    QTest::newRow("full-width spaces and line breaks") << QStringLiteral("\u3000\r\n\t") << false;
    QTest::newRow("one character") << QStringLiteral("  好") << true;
    QTest::newRow("a full stop") << QStringLiteral("。") << true;
}

void tst_WritingProgress::written()
{
    QFETCH(QString, comment);
    QFETCH(bool, written);
    QCOMPARE(isWritten(comment), written);
}

void tst_WritingProgress::writtenInTheRoster()
{
    CommentDocument document = classOf(5);
    document.slot(2).comment.clear();
    document.slot(4).comment = QStringLiteral("  ");
    document.slot(7) = {QStringLiteral("名单外"), QStringLiteral("不算")}; // after the first empty name
    QCOMPARE(writtenCount(document), 3);
    QCOMPARE(writtenText(writtenCount(document), document.studentCount()), QStringLiteral("已写 3/5"));
    QCOMPARE(lengthText(123), QStringLiteral("本条评语 123 字"));
}

QTEST_APPLESS_MAIN(tst_WritingProgress)
#include "tst_writingprogress.moc"
