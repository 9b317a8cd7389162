// Several students on one sheet: where each page goes, and a print run on sheets.
#include "core/document/commentdocument.h"
#include "core/platform/programfiles.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/printrun.h"
#include "core/printing/sheetlayout.h"
#include "core/printing/textmeasurer.h"
#include "pageitems.h"
#include "resultvalue.h"
#include "scriptedplatform.h"

#include <QTest>

namespace {

LayoutScheme a4()
{
    return expectValue(LayoutSchemeFile(QStringLiteral(QHSY_DATA_DIR "/") + ProgramFiles::SchemesName)
                           .loadScheme(u"A4纵向"_qs));
}

} // namespace

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

    // A print run with several students a sheet: the sheet is what a page is otherwise.
    void printOnSheets_data()
    {
        QTest::addColumn<int>("perSheet");
        QTest::addColumn<int>("range"); // PrintRange
        QTest::addColumn<bool>("onlyWritten");
        QTest::addColumn<bool>("oneJob");
        QTest::addColumn<QString>("copies");
        QTest::addColumn<QList<int>>("pagesPerDocument");
        QTest::addColumn<int>("sheetPages");        // the run's result
        QTest::addColumn<QList<int>>("firstSheet"); // its students (1-based), cell by cell

        // Five students, 学生2 without a comment; 学生3 is the current one.
        QTest::newRow("2 a sheet, each sheet a document")
            << 2 << int(PrintRange::All) << false << false << u"1"_qs << QList<int>{2, 2, 1} << 3
            << QList<int>{1, 2};
        QTest::newRow("4 a sheet, one job, two copies")
            << 4 << int(PrintRange::All) << false << true << u"2"_qs << QList<int>{5} << 4
            << QList<int>{1, 2, 3, 4};
        // What the preview shows: 学生3 bottom-left on the sheet of 学生1 to 学生4.
        QTest::newRow("the current student's sheet")
            << 4 << int(PrintRange::Current) << false << false << u"1"_qs << QList<int>{4} << 1
            << QList<int>{1, 2, 3, 4};
        QTest::newRow("from 3 to 3: that student's sheet")
            << 2 << int(PrintRange::FromTo) << false << false << u"1"_qs << QList<int>{2} << 1
            << QList<int>{3, 4};
        QTest::newRow("from 3 to 4: those students") << 4 << int(PrintRange::FromTo) << false << false
                                                     << u"1"_qs << QList<int>{2} << 1 << QList<int>{3, 4};
        QTest::newRow("only the written, 2 a sheet") << 2 << int(PrintRange::All) << true << false << u"1"_qs
                                                     << QList<int>{2, 2} << 2 << QList<int>{1, 3};
    }
    void printOnSheets()
    {
        QFETCH(int, perSheet);
        QFETCH(int, range);
        QFETCH(bool, onlyWritten);
        QFETCH(bool, oneJob);
        QFETCH(QString, copies);
        QFETCH(QList<int>, pagesPerDocument);
        QFETCH(int, sheetPages);
        QFETCH(QList<int>, firstSheet);
        CommentDocument document;
        for (int i = 1; i <= 5; ++i)
            document.slot(i) = {u"学生%1"_qs.arg(i), i == 2 ? QString() : u"评语%1"_qs.arg(i)};
        const LayoutScheme scheme = a4();
        PrintRunOptions options;
        options.range = PrintRange(range);
        options.currentStudent = 2;
        options.from = 3;
        options.to = range == int(PrintRange::FromTo) && perSheet == 4 ? 4 : 3;
        options.onlyWritten = onlyWritten;
        options.oneJob = oneJob;
        options.copiesText = copies;
        options.perSheet = perSheet;
        options.pheightText = scheme.paperheight;
        options.pwidthText = scheme.paperwidth;
        RecordingPrinter printer;
        const PrintRunResult result =
            printRun(document, scheme, document.ItemFonts, options, QtTextMeasurer(), printer);
        QVERIFY2(printer.problems.isEmpty(), qPrintable(printer.problems.join(u'\n')));
        QCOMPARE(result.pages, sheetPages);
        QList<int> pages;
        for (const RecordingPrinter::Document &printed : printer.documents) {
            pages << int(printed.pages.size());
            QCOMPARE(printed.places.size(), printed.pages.size());
            QCOMPARE(printed.cutLines, printed.sheets * (perSheet == 4 ? 2 : 1));
        }
        QCOMPARE(pages, pagesPerDocument);
        // The sheet is what the printer was asked for: A4, turned for two A4 pages side by side.
        const SheetLayout layout = sheetLayout(QSizeF(11970, 16929), QSizeF(11970, 16929), perSheet);
        QCOMPARE(printer.pageSizeRequests.last(),
                 (QPair<qint64, qint64>(qint64(layout.sheet.width()), qint64(layout.sheet.height()))));
        // The first sheet's students, each in its cell.
        const RecordingPrinter::Document &first = printer.documents.first();
        QList<int> students;
        for (qsizetype cell = 0; cell < first.places.size() && cell < perSheet; ++cell) {
            students << firstOf(first.pages[cell], PageItemRole::StudentName)->text.mid(2, 1).toInt();
            QCOMPARE(first.places[cell], layout.pages[cell]);
        }
        QCOMPARE(students, firstSheet);
    }
};

QTEST_MAIN(SheetLayoutTest)
#include "tst_sheetlayout.moc"
