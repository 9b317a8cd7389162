#include "classof.h"
#include "core/document/commentfile.h"
#include "core/document/session.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdfcommand.h"
#include "core/printing/pdfexport.h"
#include "core/printing/printeditems.h"
#include "core/printing/schemestore.h"
#include "core/printing/standardpaper.h"
#include "core/printing/textmeasurer.h"
#include "fiforeader.h"
#include "programfolder.h"
#include "programrun.h"
#include "resultvalue.h"
#include "scriptedplatform.h"

#include <QFileInfo>
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
    const QString xml = popplerOutput(
        QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
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
    return expectValue(
        LayoutSchemeFile(QStringLiteral(QHSY_PROGRAM_DIR "/") + ProgramFiles::SchemesName).loadScheme(name));
}

/// Blanks as a text layer can give them back: none at the ends of a line, a run of them as one.
QString blanksAsRead(const QString &line)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    return QString(line).replace(blanks, QStringLiteral(" ")).trimmed();
}

/// The lines a page shows, top to bottom: every visual line of every item, empty ones left out.
/// Format characters (zero-width space, joiners) draw nothing, so nothing reads them back.
QStringList composedLines(const CommentDocument &document, int student, const LayoutScheme &scheme,
                          const TextMeasurer &measurer)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const ComposedPage page =
        composePage(document, student, document.ItemFonts, PageSetup::of(scheme), measurer);
    QStringList lines;
    for (const PageItem &item : page.items) {
        for (QString line : item.text.split(lineBreak)) {
            line.removeIf([](QChar c) { return c.category() == QChar::Other_Format; });
            if (!blanksAsRead(line).isEmpty())
                lines << blanksAsRead(line);
        }
    }
    return lines;
}

/// The text layer of every page, as pdftotext reads it in drawing order, one line a line.
QList<QStringList> pageTexts(const QString &pdf)
{
    const QString text =
        popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), QStringLiteral("-enc"),
                                                    QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QList<QStringList> pages;
    for (const QString &page : text.split(u'\f')) {
        QStringList lines;
        for (const QString &line : page.split(u'\n')) {
            if (!blanksAsRead(line).isEmpty())
                lines << blanksAsRead(line);
        }
        pages << lines;
    }
    while (!pages.isEmpty() && pages.last().isEmpty())
        pages.removeLast();
    return pages;
}

/// A class of 100 with the characters a text layer gets wrong most easily: ideographs that share
/// their glyph with a Kangxi radical (一 人 大 子 力 老 ...), characters beyond the BMP, blanks,
/// Latin that fonts set with ligatures, digits, full-width punctuation and line breaks.
CommentDocument hundredStudents()
{
    const QStringList surnames{QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"),
                               QStringLiteral("刘"), QStringLiteral("陈"), QStringLiteral("𠮷"),
                               QStringLiteral("黄"), QStringLiteral("马")};
    const QStringList given{QStringLiteral("子涵"), QStringLiteral("大力"), QStringLiteral("一鸣"),
                            QStringLiteral("立人"), QStringLiteral("小龙"), QStringLiteral("文山"),
                            QStringLiteral("心怡"), QStringLiteral("𩸽生"), QStringLiteral("月儿"),
                            QStringLiteral("子墨"), QStringLiteral("长风")};
    const QStringList phrases{
        QStringLiteral("你上课认真听讲，积极举手发言。"),
        QStringLiteral("老师希望你在新的学期里更加努力，争取更大的进步！"),
        QStringLiteral("你是一个懂事的孩子，力气大，乐于帮助同学；"),
        QStringLiteral("一二三四五六七八九十，日月山水木火土。"),
        QStringLiteral("𠮷野同学的书法工整，𩸽字也写得好。"),
        QStringLiteral("Good job, keep going: office, fifty, affluent."),
        QStringLiteral("数学 95 分，语文 98 分，英语 100 分。"),
        QStringLiteral("走路、说话、写字、做人，都要认真。"),
        QStringLiteral("（体育）长跑第一名！你的毛笔字“龙飞凤舞”。"),
        QStringLiteral("\r\n"),
    };
    CommentDocument document;
    document.TeacherSignature = QStringLiteral("班主任：王大力老师");
    document.ItemFonts = {ItemFont{QStringLiteral("黑体"), 12, true, false},
                          ItemFont{QStringLiteral("宋体"), 10.5, false, false},
                          ItemFont{QStringLiteral("楷体_GB2312"), 9, false, true}};
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i) {
        QString comment;
        for (int k = 0; k < 2 + i % 5; ++k)
            comment += phrases[(i * 7 + k * 3) % phrases.size()];
        document.slot(i) = {surnames[i % surnames.size()] + given[(i * 5) % given.size()], comment};
    }
    return document;
}

/// The page contents of a PDF as Qt wrote it, inflated: what is drawn where, byte for byte.
QList<QByteArray> pageContents(const QByteArray &pdf)
{
    QList<QByteArray> contents;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
        const qsizetype end = pdf.indexOf("endstream", at);
        if (pdf.mid(at + 7, 1) != "\x78")
            continue; // not deflated: no page of Qt's
        // qUncompress wants a size hint before zlib's bytes; it grows past a small one.
        const QByteArray inflated = qUncompress(QByteArray("\0\1\0\0", 4) + pdf.mid(at + 7, end - at - 7));
        if (inflated.contains(" Tj\n"))
            contents.append(inflated);
    }
    return contents;
}

} // namespace

class tst_PrintPdf : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pagesAndPlaces_data();
    void pagesAndPlaces();
    void standardPaper_data();
    void standardPaper();
    void refusals_data();
    void refusals();
    void textLayer_data();
    void textLayer();
    void textLayerOfAClass();
    void measuredGlyphsDrawn_data();
    void measuredGlyphsDrawn();
    void subsetNames_data();
    void subsetNames();
    void chosenStudents_data();
    void chosenStudents();
    void pdfIntoPipe();
    void exportCommand_data();
    void exportCommand();
    void chosenScheme_data();
    void chosenScheme();

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
    QTest::newRow("heading and date") << QStringLiteral("A4纵向标题日期");
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

    const LayoutScheme layout = shippedScheme(scheme.isEmpty() ? QStringLiteral("A4纵向") : scheme);
    CommentDocument document;
    QVERIFY(CommentFile::read(testDataFile(QStringLiteral("basic.py")), document).ok());
    const QString info = popplerOutput(QStringLiteral("pdfinfo"), {out});
    QVERIFY2(
        info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(document.studentCount()))),
        qPrintable(info));
    // The page is the standard paper the scheme's is close to (A4, B5), in whole points.
    const QRegularExpression size(QStringLiteral(R"re(Page size:\s+([\d.]+) x ([\d.]+) pts)re"));
    const QRegularExpressionMatch m = size.match(info);
    QVERIFY(m.hasMatch());
    const std::optional<StandardPaper> paper = standardPaperFor(
        qRound64(layout.number(SchemeField::PaperWidth) * 570), qRound64(layout.number(SchemeField::PaperHeight) * 570));
    QVERIFY(paper);
    QVERIFY(qAbs(m.captured(1).toDouble() - paper->millimetres.width() / 25.4 * 72) <= 0.5001);
    QVERIFY(qAbs(m.captured(2).toDouble() - paper->millimetres.height() / 25.4 * 72) <= 0.5001);

    // Every item lands at the scheme's place within 0.2 mm (0.57 pt), on every page.
    const double tolerance = 0.2 / 25.4 * 72;
    const auto points = [&](SchemeField field) { return layout.number(field) * 570 / 20; };
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
        QVERIFY(qAbs(nameWord.left - points(SchemeField::StudentLeft)) < tolerance);
        QVERIFY(qAbs(nameWord.top - points(SchemeField::StudentTop)) < tolerance);
        Word signature;
        for (const Word &w : found) {
            if (w.text == document.TeacherSignature)
                signature = w;
        }
        QVERIFY(!signature.text.isEmpty());
        QVERIFY(qAbs(signature.left - points(SchemeField::TeacherLeft)) < tolerance);
        QVERIFY2(qAbs(signature.top - points(SchemeField::TeacherTop)) < tolerance,
                 qPrintable(QString::number(signature.top)));
        const QString comment = document.slot(page).comment;
        if (!comment.isEmpty()) {
            const Word first = wordStarting(comment.left(2));
            QVERIFY2(!first.text.isEmpty(), qPrintable(comment));
            QVERIFY(qAbs(first.left - points(SchemeField::PyTextLeft)) < tolerance);
            QVERIFY(qAbs(first.top - points(SchemeField::PyTextTop)) < tolerance);
        }
        // The heading names the class by its file; the date is the day of printing.
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy年M月d日"));
        const std::pair<QString, std::pair<SchemeField, SchemeField>> extras[] = {
            {layout.printsTitle ? QStringLiteral("basic 学生评语") : QString(),
             {SchemeField::TitleLeft, SchemeField::TitleTop}},
            {layout.printsDate ? today : QString(), {SchemeField::DateLeft, SchemeField::DateTop}},
        };
        for (const auto &[text, place] : extras) {
            if (text.isEmpty())
                continue;
            const Word word = wordStarting(text.section(u' ', 0, 0));
            QVERIFY2(!word.text.isEmpty(), qPrintable(text));
            QVERIFY2(qAbs(word.left - points(place.first)) < tolerance, qPrintable(text));
            QVERIFY2(qAbs(word.top - points(place.second)) < tolerance, qPrintable(text));
        }
    }
}

void tst_PrintPdf::standardPaper_data()
{
    QTest::addColumn<double>("widthCm");
    QTest::addColumn<double>("heightCm");
    QTest::addColumn<QSizeF>("points"); // the PDF's page

    // A scheme's centimetres at 570 twips each are 0.5 % larger than the paper's.
    QTest::newRow("A4: 598.5 × 846.45 pt") << 21.0 << 29.7 << QSizeF(595, 842);
    QTest::newRow("A4 turned") << 29.7 << 21.0 << QSizeF(842, 595);
    QTest::newRow("B5 of the shipped scheme") << 18.2 << 25.7 << QSizeF(516, 729);
    QTest::newRow("A3") << 29.7 << 42.0 << QSizeF(842, 1191);
    QTest::newRow("20 × 20 cm, near no paper: as it is") << 20.0 << 20.0 << QSizeF(570, 570);
}

// Near a standard paper the PDF is that paper exactly; the items stay where the scheme puts
// them, from the top-left corner (the signature, low and right, shows any stretch).
void tst_PrintPdf::standardPaper()
{
    QFETCH(double, widthCm);
    QFETCH(double, heightCm);
    QFETCH(QSizeF, points);
    LayoutScheme scheme = shippedScheme(QStringLiteral("A4纵向"));
    scheme.paperwidth = QString::number(widthCm);
    scheme.paperheight = QString::number(heightCm);
    CommentDocument document;
    document.slot(1) = {QStringLiteral("张三"), QStringLiteral("上课认真。")};
    const QString out = m_dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    QCOMPARE(writeClassPdf(out, document, scheme, QtTextMeasurer()).error(), QString());

    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral(R"re(Page size:\s+([\d.]+) x ([\d.]+) pts)re"))
                                             .match(popplerOutput(QStringLiteral("pdfinfo"), {out}));
    QCOMPARE(QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble()), points);
    const QList<Word> found = words(out, 1);
    const auto signature = std::find_if(found.cbegin(), found.cend(),
                                        [&](const Word &w) { return w.text == document.TeacherSignature; });
    QVERIFY(signature != found.cend());
    QVERIFY(qAbs(signature->left - 14.5 * 570 / 20) < 0.57); // 0.2 mm
    QVERIFY(qAbs(signature->top - 17.8 * 570 / 20) < 0.57);
}

void tst_PrintPdf::refusals_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a comment file") << "wrong_header.py"
                                        << "out.pdf"
                                        << "" << 2 << "这不是本程序的评语文件";
    QTest::newRow("unknown scheme") << "basic.py"
                                    << "out.pdf"
                                    << "没有这个" << 2 << "没有名为“没有这个”的打印方案";
    QTest::newRow("no students") << ""
                                 << "out.pdf"
                                 << "" << 2 << "没有学生";
    QTest::newRow("output is a folder") << "basic.py"
                                        << "folder.pdf"
                                        << "" << 1 << "无法写入文件";
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
    if (output == u"folder.pdf")
        QVERIFY(QDir(m_dir.path()).mkpath(output));
    QStringList arguments{QStringLiteral("--print-pdf"), in, out};
    if (!scheme.isEmpty())
        arguments << QStringLiteral("--scheme") << scheme;
    const ProgramRun run = runBuiltProgram(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    if (output != u"folder.pdf")
        QVERIFY(!QFile::exists(out));
}

void tst_PrintPdf::textLayer_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("read"); // whether the page's contents are read to find some glyph
    QTest::newRow("ideographs sharing a glyph with a Kangxi radical")
        << QStringLiteral("王子涵") << QStringLiteral("一人大子力老，日月山水木火。") << false;
    QTest::newRow("characters beyond the BMP")
        << QStringLiteral("刘𠮷") << QStringLiteral("𠮷野家的𩸽。") << true;
    QTest::newRow("only characters beyond the BMP")
        << QStringLiteral("𡈽𠮷") << QStringLiteral("𡈽𠮷𩸽𡈽\r\n𠮷𠮷") << true;
    QTest::newRow("blanks") << QStringLiteral("李四") << QStringLiteral("Keep going, 加油 2024") << false;
    QTest::newRow("ligatures") << QStringLiteral("张三") << QStringLiteral("office fifty affluent") << true;
    QTest::newRow("combining mark") << QStringLiteral("张三") << QStringLiteral("cafe\u0301 au lait") << true;
    QTest::newRow("line breaks") << QStringLiteral("王五") << QStringLiteral("第一行\r\n第二行大子\r\n\r\n一")
                                 << false;
    QTest::newRow("zero-width characters")
        << QStringLiteral("王五") << QStringLiteral("ab\u200bcd ef，你\u200b好 世\u200d界\u2060。") << true;
}

// The text a PDF gives back is the text drawn: copying or searching finds what is on the paper.
void tst_PrintPdf::textLayer()
{
    QFETCH(QString, name);
    QFETCH(QString, comment);
    QFETCH(bool, read);
    CommentDocument document;
    document.TeacherSignature = QStringLiteral("大力老师");
    document.slot(1) = {name, comment};
    const LayoutScheme scheme = shippedScheme(QStringLiteral("A4纵向"));
    const QtTextMeasurer measurer;
    const QString out = m_dir.filePath(QStringLiteral("一人.pdf"));
    QCOMPARE(writeClassPdf(out, document, scheme, measurer).error(), QString());
    QCOMPARE(pageTexts(out), QList<QStringList>{composedLines(document, 0, scheme, measurer)});
    // Glyphs that Qt's map names a character for are found without reading the page.
    const DrawnPdf drawn = drawClassPdf(document, scheme, measurer);
    const PdfTextLayer::Rewritten rewritten = *drawn.textLayer.rewrite(drawn.pdf);
    QCOMPARE(rewritten.pagesRead, read ? 1 : 0);
    // The file as Qt drew it is kept byte for byte, the new maps and names added as an update.
    QVERIFY(rewritten.pdf.startsWith(drawn.pdf));
    QCOMPARE(rewritten.pdf.count("startxref"), drawn.pdf.count("startxref") + 1);
}

// The whole class through the command line: every page reads back as composed, character for
// character (blanks as pdftotext gives them).
void tst_PrintPdf::textLayerOfAClass()
{
    const CommentDocument document = hundredStudents();
    const QString in = m_dir.filePath(QStringLiteral("百人班.py"));
    QVERIFY(CommentFile::write(in, document, document.ItemFonts).ok());
    const QString out = m_dir.filePath(QStringLiteral("百人班.pdf"));
    const ProgramRun run = runBuiltProgram({QStringLiteral("--print-pdf"), in, out});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    CommentDocument read;
    QVERIFY(CommentFile::read(in, read).ok());
    const LayoutScheme scheme = shippedScheme(QStringLiteral("A4纵向"));
    const QtTextMeasurer measurer;
    const QList<QStringList> pages = pageTexts(out);
    QCOMPARE(pages.size(), CommentDocument::MaxStudents);
    for (int student = 0; student < CommentDocument::MaxStudents; ++student)
        QCOMPARE(pages[student], composedLines(read, student, scheme, measurer));
    // The search that found nothing before.
    QVERIFY(std::any_of(pages.cbegin(), pages.cend(), [](const QStringList &page) {
        return page.first() == QStringLiteral("王子涵同学：");
    }));
}

void tst_PrintPdf::measuredGlyphsDrawn_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("perSheet");
    const QString chinese = QStringLiteral("你上课认真听讲，积极举手发言；作业书写工整。").repeated(8);
    const QString mixed =
        QStringLiteral("数学95分，语文（98）分“很好”！学号：20260101，班级 3(2) abc def hij，");
    QTest::newRow("Chinese") << QStringLiteral("宋体") << chinese << 1;
    QTest::newRow("scripts changing within a line") << QStringLiteral("黑体") << mixed.repeated(6) << 1;
    QTest::newRow("a Latin face, Chinese from another font")
        << QStringLiteral("Times New Roman") << QStringLiteral("abc def hij ") + chinese << 1;
    QTest::newRow("four on a sheet, scaled") << QStringLiteral("宋体") << chinese + mixed << 4;
}

// The glyphs measuring laid out are drawn exactly where laying each line out again would put
// them: the pages Qt writes are the same byte for byte.
void tst_PrintPdf::measuredGlyphsDrawn()
{
    QFETCH(QString, face);
    QFETCH(QString, comment);
    QFETCH(int, perSheet);
    CommentDocument document;
    document.TeacherSignature = QStringLiteral("大力老师");
    document.ItemFonts[1] = ItemFont{face, 10.5, false, false};
    for (int i = 1; i <= 4; ++i)
        document.slot(i) = {QStringLiteral("学生%1").arg(i), comment.mid(i)};
    const LayoutScheme scheme = shippedScheme(QStringLiteral("A4纵向"));
    const QList<ClassPages> classes{{&document, {0, 1, 2, 3}, QString()}};
    const QtTextMeasurer measured;
    // A measurer that measures each line whole keeps no glyphs: every line is laid out to draw.
    const QtTextMeasurer shaped(QtTextMeasurer::Lines::MeasuredWhole);
    const ComposedPage page = composePage(document, 0, document.ItemFonts, PageSetup::of(scheme), measured);
    QVERIFY(std::any_of(page.items.cbegin(), page.items.cend(),
                        [](const PageItem &item) { return item.laidOut.value(0).text != nullptr; }));
    const SheetOptions sheets{perSheet, {}, true};
    const QList<QByteArray> drawn = pageContents(drawClassesPdf(classes, scheme, measured, sheets).pdf);
    QCOMPARE(drawn.size(), 4 / perSheet);
    QCOMPARE(drawn, pageContents(drawClassesPdf(classes, scheme, shaped, sheets).pdf));
}

void tst_PrintPdf::subsetNames_data()
{
    QTest::addColumn<QString>("font"); // every item's font; "" for 黑体, 宋体 and 楷体_GB2312
    QTest::addColumn<int>("fonts");
    QTest::newRow("one font") << QStringLiteral("宋体") << 1;
    QTest::newRow("three fonts") << QString() << 3;
}

// Every embedded font is named as the subset it is, "ABCDEF+Name", and a subset of other glyphs
// of the same font gets another tag.
void tst_PrintPdf::subsetNames()
{
    QFETCH(QString, font);
    QFETCH(int, fonts);
    const LayoutScheme scheme = shippedScheme(QStringLiteral("A4纵向"));
    const QtTextMeasurer measurer;
    // The names pdffonts lists, by name without the tag, and whether it calls each a subset.
    const auto fontNames = [&](const QString &comment) {
        CommentDocument document;
        // Each item draws other glyphs for another text.
        document.TeacherSignature = comment.right(4);
        document.slot(1) = {comment.left(3), comment};
        document.ItemFonts = {
            ItemFont{font.isEmpty() ? QStringLiteral("黑体") : font, 12, false, false},
            ItemFont{font.isEmpty() ? QStringLiteral("宋体") : font, 10, false, false},
            ItemFont{font.isEmpty() ? QStringLiteral("楷体_GB2312") : font, 9, false, false}};
        const QString out = m_dir.filePath(QStringLiteral("子集.pdf"));
        [&] { QCOMPARE(writeClassPdf(out, document, scheme, measurer).error(), QString()); }();
        QMap<QString, QString> names;
        static const QRegularExpression line(QStringLiteral(R"(^(\S+)\s+CID TrueType\s+\S+\s+yes\s+(\S+))"),
                                             QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch &m :
             line.globalMatch(popplerOutput(QStringLiteral("pdffonts"), {out})))
            names.insert(m.captured(1).mid(7), m.captured(1) + u' ' + m.captured(2));
        return names;
    };
    const QMap<QString, QString> first = fontNames(QStringLiteral("一人大子力老，日月山水木火。"));
    const QMap<QString, QString> second = fontNames(QStringLiteral("你上课认真听讲。"));
    QCOMPARE(first.size(), fonts);
    QCOMPARE(first.keys(), second.keys());
    static const QRegularExpression tagged(QStringLiteral("^[A-Z]{6}\\+\\S+ yes$"));
    for (const QString &name : first.keys()) {
        QVERIFY2(tagged.match(first[name]).hasMatch(), qPrintable(first[name]));
        QVERIFY2(tagged.match(second[name]).hasMatch(), qPrintable(second[name]));
        QVERIFY2(first[name] != second[name], qPrintable(first[name]));
    }
}

void tst_PrintPdf::chosenStudents_data()
{
    QTest::addColumn<QList<int>>("students");
    QTest::addColumn<QList<int>>("nextClass"); // students of a second class after the first
    QTest::newRow("one") << QList<int>{1} << QList<int>{};
    QTest::newRow("some, in the order given") << QList<int>{2, 0} << QList<int>{};
    QTest::newRow("the whole class") << QList<int>{0, 1, 2} << QList<int>{};
    QTest::newRow("two classes, one after the other") << QList<int>{2, 0} << QList<int>{1, 0};
}

// The pages of the students asked for, each once and in that order: what a print run of the same
// range prints.
void tst_PrintPdf::chosenStudents()
{
    QFETCH(QList<int>, students);
    QFETCH(QList<int>, nextClass);
    const CommentDocument document = classOf(3);
    CommentDocument next = classOf(2);
    next.TeacherSignature = QStringLiteral("𡈽老师");
    next.slot(1).name = QStringLiteral("刘𡈽");
    const LayoutScheme scheme = shippedScheme(QStringLiteral("A4纵向"));
    const QtTextMeasurer measurer;
    const QString out = m_dir.filePath(QStringLiteral("部分.pdf"));
    if (nextClass.isEmpty())
        QCOMPARE(writeClassPdf(out, document, students, scheme, measurer).error(), QString());
    else
        QCOMPARE(writeClassesPdf(out, {{&document, students, {}}, {&next, nextClass, {}}}, scheme, measurer).error(),
                 QString());
    QList<QStringList> expected;
    for (const int student : students)
        expected << composedLines(document, student, scheme, measurer);
    for (const int student : nextClass)
        expected << composedLines(next, student, scheme, measurer);
    QCOMPARE(pageTexts(out), expected);
}

// The PDF is saved the way every other file is: a pipe gets the bytes and stays a pipe.
void tst_PrintPdf::pdfIntoPipe()
{
    CommentDocument document;
    QVERIFY(CommentFile::read(testDataFile(QStringLiteral("basic.py")), document).ok());
    const QString out = m_dir.filePath(QStringLiteral("管道.pdf"));
    FifoReader reader(out);
    QVERIFY(reader.isValid());
    QCOMPARE(writeClassPdf(out, document, shippedScheme(QStringLiteral("A4纵向")), QtTextMeasurer()).error(),
             QString());
    QVERIFY(reader.bytes().startsWith("%PDF"));
    QVERIFY(!QFileInfo(out).isFile());
}

void tst_PrintPdf::exportCommand_data()
{
    QTest::addColumn<QByteArray>("schemes"); // the scheme file's bytes; empty: the shipped one
    QTest::addColumn<bool>("chosen");        // a file name was chosen in the save dialog
    QTest::addColumn<QString>("said");       // how the message starts ("" none)
    QTest::addColumn<bool>("written");

    QTest::newRow("the first scheme") << QByteArray() << true << "已生成PDF文件" << true;
    QTest::newRow("dialog cancelled") << QByteArray() << false << "" << false;
    QTest::newRow("no scheme in the file")
        << QByteArray("\r\n") << true << "打印方案文件中没有任何方案" << false;
    QTest::newRow("a scheme of no paper")
        << QByteArray("name=空\r\n*!*\r\n") << true << "生成PDF文件失败！" << false;
}

// 文件 → 导出为PDF文件...: the whole class with the scheme the print window opens with; no
// printer is asked for.
void tst_PrintPdf::exportCommand()
{
    QFETCH(QByteArray, schemes);
    QFETCH(bool, chosen);
    QFETCH(QString, said);
    QFETCH(bool, written);
    ProgramFolder folder;
    if (!schemes.isEmpty())
        QVERIFY(TextFile::saveAtomically(folder.file(ProgramFiles::SchemesName), schemes).ok());
    Session session;
    session.reset(folder.path());
    session.replaceDocument(classOf(3));
    session.setCurrentFile(m_dir.filePath(QStringLiteral("三年级二班.py")), true);
    ScriptedPlatform platform;
    platform.printerAvailable = false;
    const QString path = m_dir.filePath(QStringLiteral("class-%1.pdf").arg(QTest::currentDataTag()));
    if (schemes != "\r\n")
        platform.expectSaveFile(chosen ? path : QString());
    if (!said.isEmpty())
        platform.expectMessage();

    PdfCommand::exportClassPdf(session, QtTextMeasurer(), platform);
    QHSY_VERIFY_DIALOGS(platform);
    if (schemes != "\r\n") // the dialog opens on the class's name
        QCOMPARE(platform.shown.first().proposedPath, m_dir.filePath(QStringLiteral("三年级二班.pdf")));
    if (!said.isEmpty())
        QVERIFY2(platform.shown.last().text.startsWith(said), qPrintable(platform.shown.last().text));
    QCOMPARE(QFileInfo::exists(path), written);
    if (written) // one page a student
        QVERIFY(
            popplerOutput(QStringLiteral("pdfinfo"), {path}).contains(QRegularExpression("Pages:\\s+3\\n")));
}

void tst_PrintPdf::chosenScheme_data()
{
    QTest::addColumn<QString>("chosen");     // the session's chosen scheme
    QTest::addColumn<QString>("paperWidth"); // of the scheme every use is given
    QTest::addColumn<QString>("pageSize");   // of the exported PDF, in points

    QTest::newRow("none chosen: the first") << QString() << "21"
                                            << "595 x 842";
    QTest::newRow("B5 chosen") << QStringLiteral("B5") << "18.2"
                               << "516 x 729";
    QTest::newRow("chosen one gone since: the first") << QStringLiteral("旧方案") << "21"
                                                      << "595 x 842";
}

// The scheme chosen in the session is the one the editor's fit check, the drafts and the class
// PDF are made with: all of them take the store's active scheme.
void tst_PrintPdf::chosenScheme()
{
    QFETCH(QString, chosen);
    QFETCH(QString, paperWidth);
    QFETCH(QString, pageSize);
    ProgramFolder folder;
    Session session;
    session.reset(folder.path());
    session.setActiveScheme(chosen);
    const std::optional<LayoutScheme> active = SchemeStore(session).activeOrNone();
    QVERIFY(active);
    QCOMPARE(active->paperwidth, paperWidth);

    session.replaceDocument(classOf(1));
    ScriptedPlatform platform;
    const QString path = m_dir.filePath(QStringLiteral("chosen-%1.pdf").arg(QTest::currentDataTag()));
    platform.expectSaveFile(path);
    platform.expectMessage();
    PdfCommand::exportClassPdf(session, QtTextMeasurer(), platform);
    QHSY_VERIFY_DIALOGS(platform);
    const QString info = popplerOutput(QStringLiteral("pdfinfo"), {path});
    QVERIFY2(info.contains(QStringLiteral("Page size:       ") + pageSize), qPrintable(info));
}

QTEST_MAIN(tst_PrintPdf)
#include "tst_printpdf.moc"
