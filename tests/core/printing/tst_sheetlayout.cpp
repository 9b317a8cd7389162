// Several students on one sheet, and the names of one file per student.
#include "core/printing/studentfiles.h"
#include "core/printing/sheetlayout.h"

#include <QTest>

class SheetLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void fitting_data()
    {
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<int>("perSheet");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("columns");
        QTest::addColumn<double>("scale");

        // The sheet is A4 (cm). The papers are those of the supplied schemes and their halves.
        QTest::newRow("A5 portrait, 2: A4 turned, side by side") << QSizeF(14.8, 21) << 2 << true << 2 << 1.0;
        QTest::newRow("A5 landscape, 2: one above the other") << QSizeF(21, 14.8) << 2 << false << 1 << 1.0;
        QTest::newRow("A6, 4: two by two at full size") << QSizeF(10.5, 14.8) << 4 << false << 2 << 1.0;
        QTest::newRow("A4 portrait, 2: halved") << QSizeF(21, 29.7) << 2 << true << 2 << 21 / 29.7;
        QTest::newRow("A4 portrait, 4: halved") << QSizeF(21, 29.7) << 4 << false << 2 << 0.5;
        QTest::newRow("A4 landscape, 2: stacked") << QSizeF(29.7, 21) << 2 << false << 1 << 21 / 29.7;
        QTest::newRow("16K, 2") << QSizeF(18.4, 26) << 2 << true << 2 << 14.85 / 18.4;
        QTest::newRow("B5 landscape, 4: sheet turned") << QSizeF(25, 17.6) << 4 << true << 2 << 14.85 / 25;
        QTest::newRow("larger than the sheet, 1: its own size") << QSizeF(42, 29.7) << 1 << false << 1 << 1.0;
    }
    void fitting()
    {
        QFETCH(QSizeF, page);
        QFETCH(int, perSheet);
        QFETCH(bool, landscape);
        QFETCH(int, columns);
        QFETCH(double, scale);

        const SheetLayout layout = sheetLayout(QSizeF(21, 29.7), page, perSheet);
        QCOMPARE(layout.perSheet(), perSheet);
        QCOMPARE(layout.landscape, landscape);
        QCOMPARE(layout.columns, columns);
        QVERIFY(qAbs(layout.scale - scale) < 1e-9);
        const QRectF sheet(QPointF(), layout.sheet);
        for (int cell = 0; cell < perSheet; ++cell) {
            const QRectF placed = layout.pages.at(cell);
            // Proportions kept, inside its own cell, centred there; reading order.
            QVERIFY(qAbs(placed.width() / placed.height() - page.width() / page.height()) < 1e-9);
            QVERIFY(layout.cells.at(cell).adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(placed));
            QVERIFY(QLineF(placed.center(), layout.cells.at(cell).center()).length() < 1e-9);
            QVERIFY(sheet.contains(layout.cells.at(cell)));
        }
        if (perSheet == 4)
            QVERIFY(layout.cells.at(1).left() > layout.cells.at(0).left() && layout.cells.at(2).top() > 0);
        QCOMPARE(layout.cutLines.size(), perSheet == 4 ? 2 : perSheet - 1);
    }

    void fileNames_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("classSize");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("two digits") << 1 << 45 << u"李思彤"_qs << u"01 李思彤.pdf"_qs;
        QTest::newRow("three from 100 students") << 7 << 100 << u"李思彤"_qs << u"007 李思彤.pdf"_qs;
        QTest::newRow("refused characters")
            << 12 << 40 << u"a/b\\c:d*e?f\"g<h>i|j\tk"_qs << u"12 a_b_c_d_e_f_g_h_i_j_k.pdf"_qs;
        QTest::newRow("dots stay a name") << 3 << 40 << u".."_qs << u"03 ...pdf"_qs;
        QTest::newRow("outside the BMP kept whole") << 5 << 40 << u"𠮷𠮷"_qs << u"05 𠮷𠮷.pdf"_qs;
        // 255 bytes: "01 " and ".pdf" leave 248, 82 characters of three bytes and a surrogate pair
        // that would need 4 more bytes than the 2 left is cut whole.
        QTest::newRow("long name shortened by whole characters")
            << 1 << 40 << QString(QString(82, u'张') + u"𠮷"_qs + QString(10, u'张'))
            << QString(u"01 "_qs + QString(82, u'张') + u".pdf"_qs);
    }
    void fileNames()
    {
        QFETCH(int, position);
        QFETCH(int, classSize);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString fileName = StudentFiles::fileName(position, classSize, name, QStringLiteral("pdf"));
        QCOMPARE(fileName, expected);
        QVERIFY(fileName.toUtf8().size() <= StudentFiles::MaxNameBytes);
    }
};

QTEST_GUILESS_MAIN(SheetLayoutTest)
#include "tst_sheetlayout.moc"
