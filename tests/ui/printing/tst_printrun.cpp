#include "core/document/commentdocument.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/printrun.h"
#include "core/printing/textmeasurer.h"
#include "resultvalue.h"
#include "scriptedplatform.h"
#include "ui/platform/qtplatform.h"
#include "ui/platform/qtprinttarget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace {

/// Every character is 100 twips wide and a line 200 twips high: short comments stay one line.
class NarrowMeasurer : public TextMeasurer
{
public:
    TextExtent measureText(const QString &text, const ItemFont &) const override
    {
        return {double(text.size()) * 100, 200};
    }
};

LayoutScheme shippedScheme(const QString &name = QStringLiteral("A4纵向"))
{
    return expectValue(LayoutSchemeFile(QStringLiteral(QHSY_DATA_DIR "/printsetup.vxd")).loadScheme(name));
}

/// A class whose slot i holds names[i - 1] and the comment "评语<i>".
CommentDocument classOf(const QStringList &names)
{
    CommentDocument document;
    for (int i = 1; i <= names.size(); ++i)
        document.slot(i) = {names[i - 1], QStringLiteral("评语%1").arg(i)};
    return document;
}

PrintRunResult run(const CommentDocument &document, RecordingPrinter &printer, const QString &copies,
                   bool wholeClass = true, int current = 0, const PrintProgress &stop = {},
                   const LayoutScheme &scheme = shippedScheme())
{
    PrintRunOptions options;
    options.range = wholeClass ? PrintRange::All : PrintRange::Current;
    options.copiesText = copies;
    options.currentStudent = current;
    options.pheightText = scheme.paperheight;
    options.pwidthText = scheme.paperwidth;
    return printRun(document, scheme, document.ItemFonts, options, NarrowMeasurer(), printer, stop);
}

QString output(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(30000);
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString randomLetters(int count)
{
    // No "f", "l" or "t": fonts join fi, fl, ff and the like into ligatures, which pdftotext
    // cannot always read back.
    static const QString letters = QStringLiteral("abcdeghijkmnopqrsuvwxyz");
    QString token;
    for (int i = 0; i < count; ++i)
        token += letters.at(QRandomGenerator::global()->bounded(int(letters.size())));
    return token;
}

} // namespace

class tst_PrintRun : public QObject
{
    Q_OBJECT

private slots:
    void copies_data();
    void copies();
    void documents_data();
    void documents();
    void pageSize_data();
    void pageSize();
    void failures_data();
    void failures();
    void paperSizeRefused_data();
    void paperSizeRefused();
    void chosenStudents_data();
    void chosenStudents();
    void oneJob_data();
    void oneJob();
    void cupsQueue();
    void cupsQueueOneJob();
};

void tst_PrintRun::copies_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("copies");
    QTest::newRow("fraction counts as its whole part") << QStringLiteral("2.9") << 2;
    QTest::newRow("below one") << QStringLiteral("0.9") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("blanks and a unit") << QStringLiteral(" 3份") << 3;
    QTest::newRow("huge") << QStringLiteral("99999999999") << std::numeric_limits<int>::max();
}

void tst_PrintRun::copies()
{
    QFETCH(QString, text);
    QFETCH(int, copies);
    QCOMPARE(copiesFrom(text), copies);
}

void tst_PrintRun::documents_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("copies");
    QTest::addColumn<bool>("wholeClass");
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("students"); // the students printed, in order

    const QStringList three{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")};
    QTest::newRow("whole class, two copies repeat the run")
        << three << QStringLiteral("2") << true << 0 << QList<int>{1, 2, 3, 1, 2, 3};
    QTest::newRow("2.9 copies are 2")
        << three << QStringLiteral("2.9") << true << 0 << QList<int>{1, 2, 3, 1, 2, 3};
    QTest::newRow("no copies") << three << QStringLiteral("0") << true << 0 << QList<int>{};
    QTest::newRow("copies not a number") << three << QStringLiteral("abc") << true << 0 << QList<int>{};
    QTest::newRow("negative copies") << three << QStringLiteral("-1") << true << 0 << QList<int>{};
    QTest::newRow("slot 1 without a name")
        << QStringList{QString(), QStringLiteral("李四")} << QStringLiteral("1") << true << 0 << QList<int>{};
    QTest::newRow("an empty name ends the run")
        << QStringList{QStringLiteral("张三"), QString(), QStringLiteral("王五")} << QStringLiteral("1")
        << true << 0 << QList<int>{1};
    QTest::newRow("same names, own comments") << QStringList{QStringLiteral("李明"), QStringLiteral("李明")}
                                              << QStringLiteral("1") << true << 0 << QList<int>{1, 2};
    QTest::newRow("current student") << three << QStringLiteral("1") << false << 1 << QList<int>{2};
    QTest::newRow("current student, three copies")
        << three << QStringLiteral("3") << false << 2 << QList<int>{3, 3, 3};
}

void tst_PrintRun::documents()
{
    QFETCH(QStringList, names);
    QFETCH(QString, copies);
    QFETCH(bool, wholeClass);
    QFETCH(int, current);
    QFETCH(QList<int>, students);

    const CommentDocument document = classOf(names);
    RecordingPrinter printer;
    const PrintRunResult result = run(document, printer, copies, wholeClass, current);

    QVERIFY2(printer.problems.isEmpty(), qPrintable(printer.problems.join(u'\n')));
    QCOMPARE(result.error, QString());
    QCOMPARE(result.documents, students.size());
    QCOMPARE(result.pages, students.size());
    QCOMPARE(printer.documents.size(), students.size());
    for (qsizetype i = 0; i < students.size(); ++i) {
        const RecordingPrinter::Document &printed = printer.documents[i];
        const QString name = names[students[i] - 1];
        QCOMPARE(printed.title, QStringLiteral("评语-") + name);
        QCOMPARE(printed.pages.size(), 1);
        QCOMPARE(printed.copies, 1); // copies repeat the run
        QCOMPARE(printed.texts(),
                 (QStringList{name + QStringLiteral("同学："), QStringLiteral("评语%1").arg(students[i]),
                              document.TeacherSignature}));
        // The colour setting is applied before every page of a whole-class run only.
        QCOMPARE(printed.setting, wholeClass ? 2 : -1);
    }
    QCOMPARE(printer.settings.size(), wholeClass ? students.size() : 0);
}

void tst_PrintRun::pageSize_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<qint64>("widthTwips");
    QTest::addColumn<qint64>("heightTwips");

    const LayoutScheme a4 = shippedScheme();
    QTest::newRow("A4纵向") << a4.paperwidth << a4.paperheight << qint64(11970) << qint64(16929);
    QTest::newRow("halves to even") << QStringLiteral("1.25") << QStringLiteral("3.75") << qint64(712)
                                    << qint64(2138);
}

void tst_PrintRun::pageSize()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(qint64, widthTwips);
    QFETCH(qint64, heightTwips);

    LayoutScheme scheme = shippedScheme();
    scheme.paperwidth = width;
    scheme.paperheight = height;
    const CommentDocument document = classOf({QStringLiteral("张三")});

    RecordingPrinter printer;
    run(document, printer, QStringLiteral("1"), true, 0, {}, scheme);
    QCOMPARE(printer.pageSizeRequests, (QList<QPair<qint64, qint64>>{{widthTwips, heightTwips}}));
    QCOMPARE(printer.documents.size(), 1);
    QCOMPARE(printer.documents[0].pageWidth, widthTwips);
    QCOMPARE(printer.documents[0].pageHeight, heightTwips);

    // Pages are drawn on the size the printer took, which may not be the one asked for.
    RecordingPrinter snapping;
    snapping.takenWidth = 11900;
    snapping.takenHeight = 16840;
    run(document, snapping, QStringLiteral("1"), true, 0, {}, scheme);
    QCOMPARE(snapping.documents.size(), 1);
    QCOMPARE(snapping.documents[0].pages[0].width, 11900.0);
    QCOMPARE(snapping.documents[0].pages[0].height, 16840.0);
}

void tst_PrintRun::failures_data()
{
    QTest::addColumn<bool>("refusePageSize");
    QTest::addColumn<int>("failBeginAt");
    QTest::addColumn<int>("failEndAt");
    QTest::addColumn<int>("stopAfter"); // stop once this many documents are printed; 0: never
    QTest::addColumn<int>("documents");
    QTest::addColumn<bool>("failed");

    QTest::newRow("page size refused") << true << 0 << 0 << 0 << 0 << true;
    QTest::newRow("second document cannot begin") << false << 2 << 0 << 0 << 1 << true;
    QTest::newRow("fourth document cannot end") << false << 0 << 4 << 0 << 3 << true;
    QTest::newRow("stopped after the second document") << false << 0 << 0 << 2 << 2 << false;
    QTest::newRow("stopped between copies") << false << 0 << 0 << 3 << 3 << false;
}

void tst_PrintRun::failures()
{
    QFETCH(bool, refusePageSize);
    QFETCH(int, failBeginAt);
    QFETCH(int, failEndAt);
    QFETCH(int, stopAfter);
    QFETCH(int, documents);
    QFETCH(bool, failed);

    RecordingPrinter printer;
    printer.refusePageSize = refusePageSize;
    printer.failBeginAt = failBeginAt;
    printer.failEndAt = failEndAt;
    int stopQuestions = 0;
    const auto stop = [&](int, int) {
        ++stopQuestions;
        return stopAfter > 0 && printer.documents.size() >= stopAfter;
    };
    const PrintRunResult result =
        run(classOf({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")}), printer,
            QStringLiteral("2"), true, 0, stop);

    QCOMPARE(result.documents, documents);
    QCOMPARE(printer.documents.size(), documents);
    QCOMPARE(result.error, failed ? printer.failure : QString());
    QCOMPARE(result.stopped, stopAfter > 0);
    // Nothing is tried after a failure or a stop.
    if (failBeginAt > 0)
        QCOMPARE(stopQuestions, failBeginAt);
    if (stopAfter > 0)
        QCOMPARE(stopQuestions, stopAfter + 1);
    QVERIFY2(printer.problems.isEmpty(), qPrintable(printer.problems.join(u'\n')));
}

void tst_PrintRun::paperSizeRefused_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("width 0") << QStringLiteral("0") << QStringLiteral("29.7");
    QTest::newRow("height not a number") << QStringLiteral("21") << QStringLiteral("高");
    QTest::newRow("height huge") << QStringLiteral("21") << QStringLiteral("1000000000000000000000");
}

// A paper the scheme cannot print on is reported before the printer is asked for anything.
void tst_PrintRun::paperSizeRefused()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    LayoutScheme scheme = shippedScheme();
    scheme.paperwidth = width;
    scheme.paperheight = height;
    RecordingPrinter printer;
    const PrintRunResult result =
        run(classOf({QStringLiteral("张三")}), printer, QStringLiteral("1"), true, 0, {}, scheme);
    QCOMPARE(result.error, scheme.paperSizeError());
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(result.documents, 0);
    QVERIFY(printer.pageSizeRequests.isEmpty());
}

void tst_PrintRun::chosenStudents_data()
{
    QTest::addColumn<int>("range"); // PrintRange
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("onlyWritten");
    QTest::addColumn<QList<int>>("students"); // 0-based
    QTest::addColumn<int>("empty");           // of those, with an empty comment

    const int all = int(PrintRange::All);
    const int fromTo = int(PrintRange::FromTo);
    const int current = int(PrintRange::Current);
    // The class below: 5 named students, 2 and 4 (1-based) without a comment, then a gap.
    QTest::newRow("all") << all << 0 << 0 << false << QList<int>{0, 1, 2, 3, 4} << 2;
    QTest::newRow("all written") << all << 0 << 0 << true << QList<int>{0, 2, 4} << 0;
    QTest::newRow("2 to 4") << fromTo << 2 << 4 << false << QList<int>{1, 2, 3} << 2;
    QTest::newRow("2 to 4 written") << fromTo << 2 << 4 << true << QList<int>{2} << 0;
    QTest::newRow("past the last name") << fromTo << 4 << 99 << false << QList<int>{3, 4} << 1;
    QTest::newRow("backwards") << fromTo << 4 << 2 << false << QList<int>{} << 0;
    QTest::newRow("below 1") << fromTo << -3 << 1 << false << QList<int>{0} << 0;
    QTest::newRow("current, even empty") << current << 0 << 0 << true << QList<int>{1} << 1;
}

void tst_PrintRun::chosenStudents()
{
    QFETCH(int, range);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, onlyWritten);
    QFETCH(QList<int>, students);
    QFETCH(int, empty);
    CommentDocument document = classOf({"甲", "乙", "丙", "丁", "戊", QString(), "己"});
    document.slot(2).comment.clear();
    document.slot(4).comment = QStringLiteral(" \u3000\r\n"); // blanks print nothing either
    PrintRunOptions options;
    options.range = PrintRange(range);
    options.from = from;
    options.to = to;
    options.onlyWritten = onlyWritten;
    options.currentStudent = 1;
    QCOMPARE(printedStudents(document, options), students);
    QCOMPARE(emptyComments(document, students), empty);
}

void tst_PrintRun::oneJob_data()
{
    QTest::addColumn<QString>("copies");
    QTest::addColumn<int>("stopBefore"); // the page before which the run is stopped; -1: never
    QTest::addColumn<int>("documents");
    QTest::addColumn<int>("pages");

    QTest::newRow("three students, two copies by the printer") << "2" << -1 << 1 << 6;
    QTest::newRow("one copy") << "1" << -1 << 1 << 3;
    QTest::newRow("stopped before the last page: nothing sent") << "1" << 2 << 0 << 0;
    QTest::newRow("no copies") << "0" << -1 << 0 << 0;
}

void tst_PrintRun::oneJob()
{
    QFETCH(QString, copies);
    QFETCH(int, stopBefore);
    QFETCH(int, documents);
    QFETCH(int, pages);
    const CommentDocument document = classOf({"张三", "李四", "王五"});
    const LayoutScheme scheme = shippedScheme();
    PrintRunOptions options;
    options.oneJob = true;
    options.copiesText = copies;
    options.pheightText = scheme.paperheight;
    options.pwidthText = scheme.paperwidth;
    QList<QPair<int, int>> told;
    RecordingPrinter printer;
    const PrintRunResult result = printRun(document, scheme, document.ItemFonts, options, NarrowMeasurer(),
                                           printer, [&](int done, int total) {
                                               told.append({done, total});
                                               return done == stopBefore;
                                           });

    QVERIFY2(printer.problems.isEmpty(), qPrintable(printer.problems.join(u'\n')));
    QCOMPARE(result.documents, documents);
    QCOMPARE(result.pages, pages);
    QCOMPARE(result.stopped, stopBefore >= 0);
    QCOMPARE(printer.documents.size(), documents);
    QCOMPARE(printer.abandoned, stopBefore >= 0 ? 1 : 0);
    if (documents == 1) {
        const RecordingPrinter::Document &job = printer.documents[0];
        QCOMPARE(job.title, QStringLiteral("评语-全班")); // no file name yet
        QCOMPARE(job.copies, copiesFrom(copies));
        QCOMPARE(job.texts(),
                 (QStringList{"张三同学：", "评语1", document.TeacherSignature, "李四同学：", "评语2",
                              document.TeacherSignature, "王五同学：", "评语3", document.TeacherSignature}));
        QCOMPARE(told, (QList<QPair<int, int>>{{0, 3}, {1, 3}, {2, 3}}));
    }
}

/// The test queue, which writes every job as a PDF file into the user's ~/PDF, with
/// "job_<id>-" and the job's title in the file name.
class TestQueue
{
public:
    /// Skips the test when the queue or the poppler tools are missing.
    static bool available()
    {
        int status = -1;
        output(QStringLiteral("lpstat"), {QStringLiteral("-p"), QStringLiteral("qhsy-test")}, &status);
        return status == 0 && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
    }

    TestQueue()
        : m_token(QStringLiteral("qhsy") + randomLetters(8))
        , m_folder(QString::fromLocal8Bit(getpwuid(getuid())->pw_dir) + QStringLiteral("/PDF"))
    {
        qputenv("PRINTER", "qhsy-test");
    }
    ~TestQueue()
    {
        for (const QFileInfo &file : files())
            QFile::remove(file.filePath());
    }

    /// Names carry a token of Latin letters: the queue keeps only those of a title in a file name.
    const QString &token() const { return m_token; }

    /// The files of this test's jobs, in job order.
    QFileInfoList files() const
    {
        QFileInfoList found = QDir(m_folder).entryInfoList(
            {QStringLiteral("*") + m_token + QStringLiteral("*.pdf")}, QDir::Files);
        static const QRegularExpression jobId(QStringLiteral("^job_(\\d+)-"));
        std::sort(found.begin(), found.end(), [](const QFileInfo &a, const QFileInfo &b) {
            return jobId.match(a.fileName()).captured(1).toInt() <
                   jobId.match(b.fileName()).captured(1).toInt();
        });
        return found;
    }

    /// Whether `count` complete files are there.
    bool hasFiles(qsizetype count) const
    {
        const QFileInfoList found = files();
        if (found.size() < count)
            return false;
        for (const QFileInfo &file : found) {
            int code = -1;
            output(QStringLiteral("pdfinfo"), {file.filePath()}, &code);
            if (code != 0)
                return false;
        }
        return true;
    }

private:
    QString m_token;
    QString m_folder;
};

/// The page size and page count pdfinfo reports.
struct PdfInfo
{
    double width = 0;
    double height = 0;
    int pages = 0;
};

PdfInfo pdfInfo(const QString &path)
{
    const QString info = output(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return {size.captured(1).toDouble(), size.captured(2).toDouble(), pages.captured(1).toInt()};
}

// The whole way to paper: the printer a print run finds (PRINTER selects the test queue). Every
// student a job of its own; a scheme of A4 paper asks the queue for A4.
void tst_PrintRun::cupsQueue()
{
    if (!TestQueue::available())
        QSKIP("no CUPS queue qhsy-test (scripts/test-printer.sh sets it up) or no poppler tools");
    TestQueue queue;
    QtPlatform platform;
    auto *printer = dynamic_cast<QtPrintTarget *>(platform.printer());
    QVERIFY(printer);
    QCOMPARE(printer->printerName(), QStringLiteral("qhsy-test"));

    // 子, 大 and 力 share their glyphs with Kangxi radicals, which the PDF's text must not give.
    const QStringList suffixes{QStringLiteral("a王子涵"), QStringLiteral("b李大力"), QStringLiteral("c王五")};
    QStringList names;
    for (const QString &suffix : suffixes)
        names << queue.token() + suffix;
    const CommentDocument document = classOf(names);
    const LayoutScheme scheme = shippedScheme();
    QtTextMeasurer measurer;

    // An abandoned document never reaches the queue; jobs run in order, so by the time the run's
    // files are there it would be too.
    QVERIFY(printer->setPageSize(11970, 16929));
    QVERIFY(printer->beginDocument(QStringLiteral("评语-") + queue.token() + QStringLiteral("x")));
    printer->abandon();

    QElapsedTimer timer;
    timer.start();
    PrintRunOptions options;
    options.copiesText = QStringLiteral("2");
    options.pheightText = scheme.paperheight;
    options.pwidthText = scheme.paperwidth;
    const PrintRunResult result = printRun(document, scheme, document.ItemFonts, options, measurer, *printer);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.documents, 6);
    const qint64 submitted = timer.elapsed();
    QTRY_VERIFY_WITH_TIMEOUT(queue.hasFiles(6), 60000);
    qInfo("6 jobs submitted in %lld ms, on paper after %lld ms", submitted, qint64(timer.elapsed()));

    const QFileInfoList files = queue.files();
    QCOMPARE(files.size(), 6);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const int student = int(i % 3);
        const QString path = files[i].filePath();
        QVERIFY2(files[i].fileName().contains(queue.token() + QChar(u'a' + student)),
                 qPrintable(files[i].fileName()));
        // The scheme's 21 × 29.7 cm (598.5 × 846.45 pt) went out as A4.
        const PdfInfo info = pdfInfo(path);
        QVERIFY2(qAbs(info.width - 595) <= 1 && qAbs(info.height - 842) <= 1, qPrintable(path));

        QString text = output(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        text.remove(QRegularExpression(QStringLiteral("\\s")));
        QVERIFY2(text.contains(names[student]), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("评语%1").arg(student + 1)), qPrintable(text));
    }
}

// The class as one job: one file with every page, on the scheme's own paper when no standard
// size is near it.
void tst_PrintRun::cupsQueueOneJob()
{
    if (!TestQueue::available())
        QSKIP("no CUPS queue qhsy-test (scripts/test-printer.sh sets it up) or no poppler tools");
    TestQueue queue;
    QtPlatform platform;
    PrintTarget *printer = platform.printer(QStringLiteral("qhsy-test"));
    QVERIFY(printer);

    const CommentDocument document = classOf({"张三", "李四", "王五", "赵六"});
    LayoutScheme scheme = shippedScheme();
    scheme.paperwidth = QStringLiteral("10");
    scheme.paperheight = QStringLiteral("10");
    PrintRunOptions options;
    options.oneJob = true;
    options.range = PrintRange::FromTo;
    options.from = 2;
    options.to = 4;
    options.pheightText = scheme.paperheight;
    options.pwidthText = scheme.paperwidth;
    options.className = queue.token(); // the job's title, and so the queue's file name, carries it
    const PrintRunResult result =
        printRun(document, scheme, document.ItemFonts, options, QtTextMeasurer(), *printer);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.documents, 1);
    QCOMPARE(result.pages, 3);

    QTRY_VERIFY_WITH_TIMEOUT(queue.hasFiles(1), 60000);
    QTest::qWait(500); // no second file follows
    const QFileInfoList files = queue.files();
    QCOMPARE(files.size(), 1);
    const PdfInfo info = pdfInfo(files[0].filePath());
    QCOMPARE(info.pages, 3);
    // 10 cm at 570 units a cm: 5700 twips, 285 pt, as no standard paper is near it.
    QVERIFY2(qAbs(info.width - 285) <= 1 && qAbs(info.height - 285) <= 1,
             qPrintable(QStringLiteral("%1 × %2").arg(info.width).arg(info.height)));
    QString text = output(QStringLiteral("pdftotext"), {files[0].filePath(), QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    const qsizetype second = text.indexOf(u"李四");
    QVERIFY2(second >= 0 && second < text.indexOf(u"王五") && text.indexOf(u"王五") < text.indexOf(u"赵六") &&
                 !text.contains(u"张三"),
             qPrintable(text));
}

QTEST_MAIN(tst_PrintRun)
#include "tst_printrun.moc"
