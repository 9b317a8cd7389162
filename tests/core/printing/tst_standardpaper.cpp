#include "core/printing/standardpaper.h"

#include <QTest>

class tst_StandardPaper : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
};

void tst_StandardPaper::matches_data()
{
    // A scheme's paper in cm, as the print run asks for it: 570 units to the cm, 20 to the point.
    QTest::addColumn<double>("widthCm");
    QTest::addColumn<double>("heightCm");
    QTest::addColumn<QString>("name"); // "" none
    QTest::addColumn<bool>("landscape");

    QTest::newRow("A4 of a scheme (598.5 × 846.45 pt)") << 21.0 << 29.7 << "A4" << false;
    QTest::newRow("A4 turned") << 29.7 << 21.0 << "A4" << true;
    QTest::newRow("A5") << 14.8 << 21.0 << "A5" << false;
    QTest::newRow("A3") << 29.7 << 42.0 << "A3" << false;
    QTest::newRow("B5 of the shipped scheme") << 18.2 << 25.7 << "B5 (JIS)" << false;
    QTest::newRow("ISO B5") << 17.6 << 25.0 << "B5" << false;
    QTest::newRow("16K") << 18.4 << 26.0 << "16K" << false;
    QTest::newRow("Letter") << 21.59 << 27.94 << "Letter" << false;
    QTest::newRow("under 1 % off A4 is A4") << 21.0 << 29.7 * 1.004 << "A4" << false;
    QTest::newRow("2 % off A4 is not") << 21.0 << 29.7 * 1.02 << "" << false;
    QTest::newRow("10 × 10 cm") << 10.0 << 10.0 << "" << false;
    QTest::newRow("A4 width, A5 height") << 21.0 << 21.0 << "" << false;
}

void tst_StandardPaper::matches()
{
    QFETCH(double, widthCm);
    QFETCH(double, heightCm);
    QFETCH(QString, name);
    QFETCH(bool, landscape);
    const std::optional<StandardPaper> paper =
        standardPaperFor(qRound64(widthCm * 570), qRound64(heightCm * 570));
    QCOMPARE(paper.has_value(), !name.isEmpty());
    if (paper) {
        QCOMPARE(paper->name, name);
        QCOMPARE(paper->landscape, landscape);
        QVERIFY(!paper->media.isEmpty());
    }
}

QTEST_APPLESS_MAIN(tst_StandardPaper)
#include "tst_standardpaper.moc"
