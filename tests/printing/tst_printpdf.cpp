#include "document/commentfile.h"
#include "platform/textfile.h"
#include "printing/layoutscheme.h"
#include "printing/layoutschemefile.h"
#include "programfolder.h"
#include "programrun.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString popplerOutput(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The word boxes of one page, as pdftotext reports them, in points.
struct Word
{
    QString text;
    double left = 0;
    double top = 0;
};

QList<Word> words(const QString &pdf, int page)
{
    const QString xml = popplerOutput(QStringLiteral("pdftotext"),
                                      {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                       QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" [^>]*>([^<]*)</word>)re"));
    QList<Word> result;
    for (const QRegularExpressionMatch &m : word.globalMatch(xml))
        result.append({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    return result;
}

LayoutScheme shippedScheme(const QString &name)
{
    return LayoutSchemeFile(QStringLiteral(QHSY_PROGRAM_DIR "/") + LayoutSchemeFile::FileName).loadScheme(name);
}

} // namespace

class tst_PrintPdf : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pagesAndPlaces_data();
    void pagesAndPlaces();
    void refusals_data();
    void refusals();

private:
    QTemporaryDir m_dir;
};

void tst_PrintPdf::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
}

void tst_PrintPdf::pagesAndPlaces_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::newRow("first scheme by default") << QString();
    QTest::newRow("B5") << QStringLiteral("B5");
}

void tst_PrintPdf::pagesAndPlaces()
{
    QFETCH(QString, scheme);
    const QString out = m_dir.filePath(QStringLiteral("班级.pdf"));
    QStringList arguments{QStringLiteral("--print-pdf"), testDataFile(QStringLiteral("basic.py")), out};
    if (!scheme.isEmpty())
        arguments << QStringLiteral("--scheme") << scheme;
    const ProgramRun run = runBuiltProgram(arguments);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    const LayoutScheme layout =
        shippedScheme(scheme.isEmpty() ? QStringLiteral("A4纵向") : scheme);
    CommentDocument document;
    QVERIFY(CommentFile::read(testDataFile(QStringLiteral("basic.py")), document).status
            == CommentFile::ReadStatus::Accepted);
    const QString info = popplerOutput(QStringLiteral("pdfinfo"), {out});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(document.studentCount()))),
             qPrintable(info));
    // The page is the scheme's paper: centimetres × 570 twips, 20 twips a point. PDF pages
    // come in whole points, so a page may be up to half a point (0.18 mm) off.
    const QRegularExpression size(QStringLiteral(R"re(Page size:\s+([\d.]+) x ([\d.]+) pts)re"));
    const QRegularExpressionMatch m = size.match(info);
    QVERIFY(m.hasMatch());
    QVERIFY(qAbs(m.captured(1).toDouble() - layout.number(QStringLiteral("paperwidth")) * 570 / 20) <= 0.5001);
    QVERIFY(qAbs(m.captured(2).toDouble() - layout.number(QStringLiteral("paperheight")) * 570 / 20) <= 0.5001);

    // Every item lands at the scheme's place within 0.2 mm (0.57 pt), on every page.
    const double tolerance = 0.2 / 25.4 * 72;
    const auto points = [&](const char *key) { return layout.number(QString::fromLatin1(key)) * 570 / 20; };
    for (int page = 1; page <= document.studentCount(); ++page) {
        const QList<Word> found = words(out, page);
        const QString name = document.slot(page).name;
        const auto wordStarting = [&](const QString &start) {
            for (const Word &w : found) {
                if (w.text.startsWith(start))
                    return w;
            }
            return Word{};
        };
        const Word nameWord = wordStarting(name.left(1));
        QVERIFY2(!nameWord.text.isEmpty(), qPrintable(name));
        QVERIFY(qAbs(nameWord.left - points("studentleft")) < tolerance);
        QVERIFY(qAbs(nameWord.top - points("studenttop")) < tolerance);
        Word signature;
        for (const Word &w : found) {
            if (w.text == document.TeacherSignature)
                signature = w;
        }
        QVERIFY(!signature.text.isEmpty());
        QVERIFY(qAbs(signature.left - points("teacherleft")) < tolerance);
        QVERIFY2(qAbs(signature.top - points("teachertop")) < tolerance, qPrintable(QString::number(signature.top)));
        const QString comment = document.slot(page).comment;
        if (!comment.isEmpty()) {
            const Word first = wordStarting(comment.left(2));
            QVERIFY2(!first.text.isEmpty(), qPrintable(comment));
            QVERIFY(qAbs(first.left - points("pytextleft")) < tolerance);
            QVERIFY(qAbs(first.top - points("pytexttop")) < tolerance);
        }
    }
}

void tst_PrintPdf::refusals_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a comment file") << "wrong_header.py" << "out.pdf" << "" << 2 << "非法的文件类型";
    QTest::newRow("unknown scheme") << "basic.py" << "out.pdf" << "没有这个" << 2 << "没有名为“没有这个”的打印方案";
    QTest::newRow("no students") << "" << "out.pdf" << "" << 2 << "没有学生";
    QTest::newRow("output is a folder") << "basic.py" << "folder" << "" << 1 << "无法写入文件";
}

void tst_PrintPdf::refusals()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QString, scheme);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QString in = testDataFile(input);
    if (input.isEmpty()) {
        CommentDocument empty;
        in = m_dir.filePath(QStringLiteral("empty.py"));
        QVERIFY(CommentFile::write(in, empty, empty.ItemFonts).ok());
    }
    const QString out = m_dir.filePath(output);
    if (output == u"folder")
        QVERIFY(QDir(m_dir.path()).mkpath(output));
    QStringList arguments{QStringLiteral("--print-pdf"), in, out};
    if (!scheme.isEmpty())
        arguments << QStringLiteral("--scheme") << scheme;
    const ProgramRun run = runBuiltProgram(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    if (output != u"folder")
        QVERIFY(!QFile::exists(out));
}

QTEST_APPLESS_MAIN(tst_PrintPdf)
#include "tst_printpdf.moc"
