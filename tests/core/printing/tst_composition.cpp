#include "core/document/commentdocument.h"
#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/pagesetup.h"
#include "core/printing/textmeasurer.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextBoundaryFinder>

namespace {

/// The grapheme clusters of a text.
qsizetype clusterCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() >= 0)
        ++count;
    return count;
}

/// Every character (grapheme cluster) other than CR and LF is 20 twips per point wide (180 at
/// 9 points) and a line is 200 twips high at 9 points; CR LF starts a visual line.
class FakeMeasurer : public TextMeasurer
{
public:
    TextExtent measureText(const QString &text, const ItemFont &font) const override
    {
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        qsizetype widest = 0;
        for (const QString &line : lines)
            widest = std::max(widest, clusterCount(line) - line.count(u'\r') - line.count(u'\n'));
        return {double(widest) * 20 * font.fontSize, double(lines.size()) * 200 * font.fontSize / 9};
    }
};

ItemFont font9(const QString &name = QStringLiteral("宋体"))
{
    return {name, 9, false, false};
}

QString cjk(int count)
{
    const QString pool = QStringLiteral("你上课认真听讲积极举手发言作业书写工整乐于帮助同学希望继续努力");
    QString text;
    for (int i = 0; i < count; ++i)
        text += pool[i % pool.size()];
    return text;
}

QStringList texts(const QList<PageItem> &items)
{
    QStringList result;
    for (const PageItem &item : items)
        result << item.text;
    return result;
}

const QString CrLf = QStringLiteral("\r\n");

/// Why the line boxes do not cut `text` between whole characters (grapheme clusters), or "".
QString wholeCharacterProblem(const QString &text, const QList<PageItem> &lines)
{
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i].text;
        if (line.isEmpty())
            return QStringLiteral("line %1 is empty").arg(i + 1);
        clusters.setPosition(start);
        if (!clusters.isAtBoundary())
            return QStringLiteral("line %1 starts inside a character").arg(i + 1);
        if (!QStringView(text).sliced(start).startsWith(line))
            return QStringLiteral("line %1 is not the text that follows line %2").arg(i + 1).arg(i);
        start += line.size();
    }
    return start == text.size() ? QString() : QStringLiteral("the lines end before the text");
}

} // namespace

class tst_Composition : public QObject
{
    Q_OBJECT

private slots:
    void lineBreaks_data();
    void lineBreaks();
    void lineGeometry_data();
    void lineGeometry();
    void composePage_data();
    void composePage();
    void qtMeasureText();
    void workedExampleWithRealFont_data();
    void workedExampleWithRealFont();
    void incrementalEqualsFullMeasurement_data();
    void incrementalEqualsFullMeasurement();
    void plainTextIsLaidOutOnce_data();
    void plainTextIsLaidOutOnce();
    void measuringFollowsTheText_data();
    void measuringFollowsTheText();
    void paperBottomEndsTheComment_data();
    void paperBottomEndsTheComment();
    void hiddenPastThePaperEdge_data();
    void hiddenPastThePaperEdge();
    void composePageStopsAtThePaper_data();
    void composePageStopsAtThePaper();
    void longHeadingMeasuredAsFarAsItShows_data();
    void longHeadingMeasuredAsFarAsItShows();
};

void tst_Composition::lineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("boxWidthCm");
    QTest::addColumn<QStringList>("lines");

    const QString forty = cjk(40);
    QTest::newRow("32 characters fill 10 cm") << forty << 10.0 << QStringList{cjk(32), forty.mid(32)};
    const QString comma = cjk(32) + QStringLiteral("，") + cjk(40).mid(32);
    QTest::newRow("33rd character hangs") << comma << 10.0 << QStringList{comma.left(33), comma.mid(33)};
    const QString run = cjk(32) + QStringLiteral("。！？；：,.;") + QStringLiteral("后");
    QTest::newRow("run of hanging marks") << run << 10.0 << QStringList{run.left(40), QStringLiteral("后")};
    // 570 × 10.10526315 is just below 5760 in double precision and 5760 in single precision.
    QTest::newRow("limit in single precision")
        << forty << 10.10526315 << QStringList{forty.left(33), forty.mid(33)};
    QTest::newRow("enumeration comma does not hang")
        << cjk(32) + QStringLiteral("、") << 10.0 << QStringList{cjk(32), QStringLiteral("、")};
    QTest::newRow("empty comment") << QString() << 10.0 << QStringList{};
    QTest::newRow("a tab is a space")
        << cjk(5) + QStringLiteral("\t") + cjk(5) << 10.0 << QStringList{cjk(5) + QStringLiteral(" ") + cjk(5)};
    const QString marks = QStringLiteral("，。；：,.;？！，。；：,.;？！");
    QTest::newRow("only punctuation") << marks << 0.5 << QStringList{marks};
    const QString afterFive = cjk(5) + CrLf + cjk(40);
    QTest::newRow("CR LF after 5 characters")
        << afterFive << 10.0 << QStringList{afterFive.left(39), afterFive.mid(39)};
    const QString fullBeforeBreak = cjk(32) + CrLf + cjk(3);
    QTest::newRow("line full just before CR LF")
        << fullBeforeBreak << 10.0 << QStringList{cjk(32), CrLf + cjk(3)};
    QTest::newRow("width 0: one ordinary character per line")
        << QStringLiteral("一二，。 三") << 0.0
        << QStringList{QStringLiteral("一"), QStringLiteral("二，。"), QStringLiteral(" "),
                       QStringLiteral("三")};
    QTest::newRow("negative width does not stall")
        << QStringLiteral("一二三") << -3.0
        << QStringList{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")};
    QTest::newRow("comment beginning with a mark")
        << QStringLiteral("，一二") << 0.0
        << QStringList{QStringLiteral("，"), QStringLiteral("一"), QStringLiteral("二")};

    // A character beyond the BMP, a character with combining marks and an emoji sequence each
    // count as one character and stay whole at the end of a full line.
    const QString ext = QStringLiteral("𠮷");
    QTest::newRow("surrogate pair as the 32nd character")
        << cjk(31) + ext + cjk(5) << 10.0 << QStringList{cjk(31) + ext, cjk(5)};
    QTest::newRow("surrogate pair as the 33rd character")
        << cjk(32) + ext + cjk(5) << 10.0 << QStringList{cjk(32), ext + cjk(5)};
    const QString marked = QStringLiteral("a\u0301\u0323");
    QTest::newRow("combining marks stay with their letter")
        << cjk(31) + marked + cjk(5) << 10.0 << QStringList{cjk(31) + marked, cjk(5)};
    const QString family = QStringLiteral("👨\u200d👩\u200d👧");
    QTest::newRow("emoji sequence") << cjk(31) + family + cjk(5) << 10.0
                                    << QStringList{cjk(31) + family, cjk(5)};
    const QString flag = QStringLiteral("🇨🇳");
    QTest::newRow("flag") << cjk(31) + flag + flag << 10.0 << QStringList{cjk(31) + flag, flag};
    QTest::newRow("mark hangs after a surrogate pair")
        << cjk(31) + ext + QStringLiteral("，") + cjk(2) << 10.0
        << QStringList{cjk(31) + ext + QStringLiteral("，"), cjk(2)};
    // Longer than the stretch in which clusters are looked for, and cut there inside a pair.
    const QString modifiers = QStringLiteral("？") + QStringLiteral("🏽").repeated(3000);
    QTest::newRow("mark with 3,000 modifiers")
        << cjk(1) + modifiers + cjk(2) << 0.0
        << QStringList{cjk(1) + modifiers, cjk(2).left(1), cjk(2).mid(1)};
    // Marks after a Latin letter and a mark of punctuation stay in its script's run, even
    // where the clusters are looked for again.
    const QString viramas = QStringLiteral("！") + QString(1500, QChar(0x094d));
    QTest::newRow("Devanagari marks in a Latin run")
        << QStringLiteral("a") + viramas + QStringLiteral("b") << 0.0
        << QStringList{QStringLiteral("a") + viramas, QStringLiteral("b")};
    QTest::newRow("Devanagari marks after 1,500 letters")
        << QStringLiteral("a").repeated(1500) + viramas + QStringLiteral("b") << 0.0
        << QStringList(1499, QStringLiteral("a")) +
               QStringList{QStringLiteral("a") + viramas, QStringLiteral("b")};
    QTest::newRow("width 0: one whole character per line")
        << ext + marked + QStringLiteral("，") + family << 0.0
        << QStringList{ext, marked + QStringLiteral("，"), family};
}

void tst_Composition::lineBreaks()
{
    QFETCH(QString, text);
    QFETCH(double, boxWidthCm);
    QFETCH(QStringList, lines);

    const auto items = breakCommentLines(text, boxWidthCm, 0.5, 1, 1, font9(), FakeMeasurer());
    QCOMPARE(texts(items), lines);
}

void tst_Composition::lineGeometry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("gapCm");
    QTest::addColumn<QList<double>>("tops");
    QTest::addColumn<QList<double>>("widths");
    QTest::addColumn<QList<double>>("heights");

    // Box 10 cm wide, first top 2 cm (1140 twips).
    QTest::newRow("gap 0: lines touch") << cjk(70) << 0.0 << QList<double>{1140, 1340, 1540}
                                        << QList<double>{5760, 5760, 1080} << QList<double>{200, 200, 200};
    QTest::newRow("gap only between lines")
        << cjk(70) << 0.5 << QList<double>{1140, 1625, 2110} << QList<double>{5760, 5760, 1080}
        << QList<double>{200, 200, 200};
    QTest::newRow("CR LF makes a two-line box; widest line counts")
        << cjk(5) + CrLf + cjk(35) << 0.5 << QList<double>{1140, 1825} << QList<double>{5760, 540}
        << QList<double>{400, 200};
    QTest::newRow("blank first visual line") << cjk(32) + CrLf + cjk(3) << 0.0 << QList<double>{1140, 1340}
                                             << QList<double>{5760, 540} << QList<double>{200, 400};
}

void tst_Composition::lineGeometry()
{
    QFETCH(QString, text);
    QFETCH(double, gapCm);
    QFETCH(QList<double>, tops);
    QFETCH(QList<double>, widths);
    QFETCH(QList<double>, heights);

    const auto items = breakCommentLines(text, 10, gapCm, 2, 1.5, font9(), FakeMeasurer());
    QList<double> gotTops, gotWidths, gotHeights;
    for (const PageItem &item : items) {
        QCOMPARE(item.left, 855.0);
        QCOMPARE(item.role, PageItemRole::CommentLine);
        gotTops << item.top;
        gotWidths << item.width;
        gotHeights << item.height;
    }
    QCOMPARE(gotTops, tops);
    QCOMPARE(gotWidths, widths);
    QCOMPARE(gotHeights, heights);
}

void tst_Composition::composePage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QStringList>("itemTexts");

    QTest::newRow("scale 1") << QStringLiteral("王小明") << cjk(40) << 1.0
                             << QStringList{QStringLiteral("王小明同学："), cjk(32), cjk(40).mid(32),
                                            QStringLiteral("李老师")};
    QTest::newRow("scale 0.5 keeps the breaks of square characters")
        << QStringLiteral("王小明") << cjk(40) << 0.5
        << QStringList{QStringLiteral("王小明同学："), cjk(32), cjk(40).mid(32), QStringLiteral("李老师")};
    QTest::newRow("empty comment") << QStringLiteral("王小明") << QString() << 0.75
                                   << QStringList{QStringLiteral("王小明同学："), QStringLiteral("李老师")};
    QTest::newRow("empty name") << QString() << cjk(3) << 1.0
                                << QStringList{QStringLiteral("同学："), cjk(3), QStringLiteral("李老师")};
}

void tst_Composition::composePage()
{
    QFETCH(QString, name);
    QFETCH(QString, comment);
    QFETCH(double, scale);
    QFETCH(QStringList, itemTexts);

    CommentDocument document;
    document.TeacherSignature = QStringLiteral("李老师");
    document.slot(3) = {name, comment};
    ItemFonts fonts{ItemFont{QStringLiteral("黑体"), 12, true, false}, font9(),
                    ItemFont{QStringLiteral("楷体_GB2312"), 10, false, true}};
    LayoutScheme scheme;
    scheme.paperheight = QStringLiteral("99"); // the boxes' texts win over the scheme
    scheme.paperwidth = QStringLiteral("99");
    scheme.studentleft = QStringLiteral("2");
    scheme.studenttop = QStringLiteral("3cm");
    scheme.pytextleft = QStringLiteral("2.5");
    scheme.pytexttop = QStringLiteral("4");
    scheme.pytextwidth = QStringLiteral("10");
    scheme.pytextjuli = QStringLiteral("xname");
    scheme.teacherleft = QStringLiteral("12");
    scheme.teachertop = QStringLiteral("20");

    const PageSetup setup =
        PageSetup::of(scheme, scale).withPaperSize(QStringLiteral("26"), QStringLiteral("18.5 cm"));
    const ComposedPage page = ::composePage(document, 2, fonts, setup, FakeMeasurer());
    QCOMPARE(page.height, 26 * 570 * scale);
    QCOMPARE(page.width, 18.5 * 570 * scale);
    QCOMPARE(texts(page.items), itemTexts);

    const PageItem &nameItem = page.items.first();
    QCOMPARE(nameItem.role, PageItemRole::StudentName);
    QCOMPARE(nameItem.left, 2 * 570 * scale);
    QCOMPARE(nameItem.top, 3 * 570 * scale);
    QCOMPARE(nameItem.font, (ItemFont{QStringLiteral("黑体"), 12 * scale, true, false}));
    QCOMPARE(nameItem.width, itemTexts.first().size() * 240 * scale);

    const PageItem &signature = page.items.last();
    QCOMPARE(signature.role, PageItemRole::Signature);
    QCOMPARE(signature.left, 12 * 570 * scale);
    QCOMPARE(signature.top, 20 * 570 * scale);
    QCOMPARE(signature.font.fontSize, 10 * scale);

    double top = 4 * 570 * scale; // a gap of "xname" counts as 0
    for (qsizetype i = 1; i + 1 < page.items.size(); ++i) {
        const PageItem &line = page.items[i];
        QCOMPARE(line.role, PageItemRole::CommentLine);
        QCOMPARE(line.font.fontSize, 9 * scale);
        QCOMPARE(line.left, 570 * (2.5 * scale));
        QCOMPARE(line.top, top);
        top += line.height;
    }
}

void tst_Composition::qtMeasureText()
{
    const QtTextMeasurer measurer;
    const ItemFont font = font9();
    const TextExtent one = measurer.measureText(QStringLiteral("评语"), font);
    QVERIFY(one.height > 0);
    QCOMPARE(measurer.measureText(QString(), font), (TextExtent{0, one.height}));
    QCOMPARE(measurer.measureText(QStringLiteral("评\r\n评语\r\n"), font),
             (TextExtent{one.width, 3 * one.height}));
    // Lone CR and LF break visual lines too, so a CR waiting for its LF does not widen a line.
    QCOMPARE(measurer.measureText(QStringLiteral("评语\r"), font), (TextExtent{one.width, 2 * one.height}));
    QCOMPARE(measurer.measureText(QStringLiteral("评\n评语"), font), (TextExtent{one.width, 2 * one.height}));
}

void tst_Composition::workedExampleWithRealFont_data()
{
    QTest::addColumn<QString>("fontName");
    QTest::newRow("宋体") << QStringLiteral("宋体");
    QTest::newRow("黑体") << QStringLiteral("黑体");
}

void tst_Composition::workedExampleWithRealFont()
{
    QFETCH(QString, fontName);
    const QtTextMeasurer measurer;
    const ItemFont font = font9(fontName);
    QCOMPARE(measurer.measureText(QStringLiteral("评"), font).width, 180.0);
    QCOMPARE(measurer.measureText(cjk(32), font).width, 5760.0);

    const QString text = cjk(32) + QStringLiteral("，") + cjk(40).mid(32);
    const auto items = breakCommentLines(text, 10, 0, 0, 0, font, measurer);
    QCOMPARE(texts(items), (QStringList{text.left(33), text.mid(33)}));
    QCOMPARE(items.first().width, measurer.measureText(text.left(33), font).width);
}

void tst_Composition::incrementalEqualsFullMeasurement_data()
{
    QTest::addColumn<ItemFont>("font");
    QTest::addColumn<QString>("pool");

    const QString chinese = QStringLiteral("评语学生认真努力希望继续加油进步");
    const QString latin = QStringLiteral("AVAWTaToYoLTfiffflWAVy7.1r,kern");
    const QString punctuation = QStringLiteral("，。；：,.;？！、“”（）——…");
    const QString odd = QStringLiteral("\U00020000e\u0301\t\u200b");
    const QString mixed = chinese + latin + punctuation + QStringLiteral("   ") + odd;
    QTest::newRow("宋体 9") << font9() << mixed;
    QTest::newRow("宋体 4.5 (scale 0.5)") << ItemFont{QStringLiteral("宋体"), 4.5, false, false} << mixed;
    // Only characters a line can take from a layout of the text around it.
    const QString plain = chinese + latin + punctuation + QStringLiteral("  ");
    QTest::newRow("宋体 9, plain characters") << font9() << plain;
    QTest::newRow("黑体 6.75, plain characters")
        << ItemFont{QStringLiteral("黑体"), 6.75, false, false} << plain;
    // A dash takes the script of what follows it at the start of a line, of what precedes elsewhere.
    QTest::newRow("宋体 9, dashes before Latin") << font9() << QStringLiteral("——V—A“T继AV");
    QTest::newRow("楷体_GB2312 12 italic")
        << ItemFont{QStringLiteral("楷体_GB2312"), 12, false, true} << mixed;
    QTest::newRow("黑体 6.75 bold") << ItemFont{QStringLiteral("黑体"), 6.75, true, false} << mixed;
    QTest::newRow("DejaVu Serif 11 italic, Latin")
        << ItemFont{QStringLiteral("DejaVu Serif"), 11, false, true}
        << latin + QStringLiteral("  ") + punctuation;
    QTest::newRow("Nimbus Roman 9, Latin")
        << font9(QStringLiteral("Nimbus Roman")) << latin + QStringLiteral(" ");
    // Chinese from a fallback font: a stretch holds glyphs of two fonts.
    QTest::newRow("Nimbus Roman 9, Latin and Chinese")
        << font9(QStringLiteral("Nimbus Roman")) << latin + QStringLiteral(" ") + chinese.repeated(3);
    // Characters with no advance of their own, often and in runs, between kerning pairs too.
    const QString zeroWidth = QStringLiteral("\u200b\u200b\u200b\u0301\u0323\u200d\ufeff\u2060\u00ad");
    QTest::newRow("宋体 9, zero-width characters")
        << font9() << chinese + punctuation + zeroWidth + zeroWidth;
    // Lines of more Shaped characters than are measured one by one.
    const QString greekCyrillic = QStringLiteral("αβγδεζηθικλμνξοπρστυφχψωΑΒΓΔΩабвгдежзийклмнопАБВГДЯ ");
    QTest::newRow("宋体 9, Greek and Cyrillic") << font9() << greekCyrillic;
    QTest::newRow("DejaVu Serif 11, Greek and Cyrillic")
        << ItemFont{QStringLiteral("DejaVu Serif"), 11, false, false} << greekCyrillic + latin;
    QTest::newRow("DejaVu Serif 11, zero-width characters")
        << ItemFont{QStringLiteral("DejaVu Serif"), 11, false, false}
        << latin + QStringLiteral(" ") + zeroWidth;
}

void tst_Composition::incrementalEqualsFullMeasurement()
{
    QFETCH(ItemFont, font);
    QFETCH(QString, pool);

    // Besides single UTF-16 units of the pool (lone surrogates among them), whole characters
    // made of several units.
    const QStringList clusters{
        QStringLiteral("𠮷"),       QStringLiteral("e\u0301"), QStringLiteral("a\u0301\u0323"),
        QStringLiteral("👍🏽"), QStringLiteral("🇨🇳"),      QStringLiteral("👨\u200d👩\u200d👧")};
    const QtTextMeasurer quick;
    const QtTextMeasurer full(QtTextMeasurer::Lines::MeasuredWhole);
    QRandomGenerator random(20240615);
    for (int round = 0; round < 12; ++round) {
        QString text;
        const int length = 50 + int(random.bounded(250));
        while (text.size() < length) {
            const int pick = int(random.bounded(30));
            text += pick == 0  ? CrLf
                    : pick < 4 ? clusters[random.bounded(clusters.size())]
                               : QString(pool[random.bounded(pool.size())]);
        }
        for (double width : {-1.0, 0.0, 0.3, 1.0, 2.5, 4.0, 7.3, 10.0, 13.0}) {
            const auto expected = breakCommentLines(text, width, 0.2, 1, 1, font, full);
            const auto actual = breakCommentLines(text, width, 0.2, 1, 1, font, quick);
            const QString context = QStringLiteral("width %1, text %2").arg(width).arg(text);
            if (actual != expected)
                QFAIL(qPrintable(context));
            // Both ways could split a character alike: the text itself must come out whole.
            // (A tab comes out as a space.)
            const QString problem = wholeCharacterProblem(QString(text).replace(u'\t', u' '), actual);
            if (!problem.isEmpty())
                QFAIL(qPrintable(problem + QStringLiteral("; ") + context));
        }
    }
}

void tst_Composition::plainTextIsLaidOutOnce_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("boxWidthCm");

    QTest::newRow("a comment") << cjk(250) << 10.0;
    QTest::newRow("a long comment") << cjk(3000) << 10.0;
    QTest::newRow("lines beginning with digits") << QStringLiteral("2024年第1学期，").repeated(60) << 5.0;
    QTest::newRow("lines beginning with quotation marks")
        << (cjk(31) + QStringLiteral("“")).repeated(20) << 10.0;
    QTest::newRow("paragraphs") << (cjk(100) + CrLf).repeated(10) << 10.0;
}

void tst_Composition::plainTextIsLaidOutOnce()
{
    QFETCH(QString, text);
    QFETCH(double, boxWidthCm);

    // Each character is laid out once with the text around it, and each distinct one on its own
    // (a few dozen here): no line is measured again.
    const QtTextMeasurer measurer;
    const auto items = breakCommentLines(text, boxWidthCm, 0, 0, 0, font9(), measurer);
    QCOMPARE(items, breakCommentLines(text, boxWidthCm, 0, 0, 0, font9(),
                                      QtTextMeasurer(QtTextMeasurer::Lines::MeasuredWhole)));
    QVERIFY2(measurer.measuredLength() <= text.size() + 100,
             qPrintable(QStringLiteral("%1 units measured for %2, %3 layouts")
                            .arg(measurer.measuredLength())
                            .arg(text.size())
                            .arg(measurer.stretchesLaidOut())));
}

void tst_Composition::measuringFollowsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("boxWidthCm");

    const QChar zwsp(0x200b);
    const QChar acute(0x0301);
    QTest::newRow("20,000 zero-width spaces") << QString(20000, zwsp) << 10.0;
    QTest::newRow("a letter under 20,000 marks") << QStringLiteral("a") + QString(20000, acute) << 10.0;
    QTest::newRow("zero-width spaces between characters")
        << (cjk(1) + QString(50, zwsp)).repeated(400) << 10.0;
    QTest::newRow("zero-width spaces between Latin letters")
        << (QStringLiteral("AV") + QString(30, zwsp)).repeated(600) << 10.0;
    QTest::newRow("marks with no base after line breaks")
        << (CrLf + QString(30, acute)).repeated(600) << 10.0;
    QTest::newRow("zero-width spaces in a box 0 wide") << (QString(100, zwsp) + cjk(1)).repeated(200) << 0.0;
    QTest::newRow("hanging marks") << QStringLiteral("，").repeated(20000) << 10.0;
    QTest::newRow("wide box") << (cjk(3) + QString(20, zwsp)).repeated(800) << 1000.0;
    QTest::newRow("emoji sequences in a wide box")
        << QStringLiteral("👨\u200d👩\u200d👧").repeated(2500) << 1000.0;
    QTest::newRow("Greek in a wide box") << QStringLiteral("αβγδε ").repeated(3000) << 1000.0;
}

void tst_Composition::measuringFollowsTheText()
{
    QFETCH(QString, text);
    QFETCH(double, boxWidthCm);

    // Each line is measured as a whole a few times at most, however much or little of it shows.
    const QtTextMeasurer measurer;
    const auto items = breakCommentLines(text, boxWidthCm, 0, 0, 0, font9(), measurer);
    QVERIFY(wholeCharacterProblem(text, items).isEmpty());
    QVERIFY2(measurer.measuredLength() <= 8 * text.size() + 1000,
             qPrintable(
                 QStringLiteral("%1 units measured for %2").arg(measurer.measuredLength()).arg(text.size())));
}

void tst_Composition::paperBottomEndsTheComment_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<QStringList>("lines");

    // Box 10 cm wide, first top 2 cm (1140 twips), lines 200 twips high, no gap.
    const QString many = cjk(32 * 1000);
    const auto firstLines = [&](int count) {
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines << many.mid(32 * i, 32);
        return lines;
    };
    QTest::newRow("three lines begin above the edge") << many << 1740.0 << firstLines(3);
    QTest::newRow("a fourth one just does") << many << 1740.5 << firstLines(4);
    QTest::newRow("first line below the edge") << many << 1140.0 << QStringList{};
    QTest::newRow("paper of height 0") << many << 0.0 << QStringList{};
    QTest::newRow("line breaks end at the edge")
        << cjk(1) + CrLf.repeated(100000) << 2140.0 << QStringList{cjk(1) + CrLf.repeated(4)};
    QTest::newRow("a box ends before its line break below the edge")
        << cjk(32) + CrLf + cjk(5) + CrLf + cjk(5) << 1740.0 << QStringList{cjk(32), CrLf + cjk(5)};
    QTest::newRow("a box whose line break opens below the edge")
        << cjk(32) + CrLf + cjk(5) << 1540.0 << QStringList{cjk(32)};
    QTest::newRow("a box ending on the paper") << cjk(40) << 1340.0 << QStringList{cjk(32)};
    QTest::newRow("all of a short comment") << cjk(40) << 1341.0 << QStringList{cjk(32), cjk(40).mid(32)};
    QTest::newRow("paper typed huge") << many << 1e300 << firstLines(1000);
}

void tst_Composition::paperBottomEndsTheComment()
{
    QFETCH(QString, text);
    QFETCH(double, bottom);
    QFETCH(QStringList, lines);

    // The right edge never matters to a measurer that cannot bound a line cheaply.
    const auto items = breakCommentLines(text, 10, 0, 2, 0, font9(), FakeMeasurer(), 570, {0, bottom});
    QCOMPARE(texts(items), lines);
}

void tst_Composition::hiddenPastThePaperEdge_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("boxWidthCm");

    const QString zeroWidth(10, QChar(0x200b));
    QTest::newRow("hanging marks") << cjk(32) + QStringLiteral("，").repeated(20000) + CrLf + cjk(40) << 10.0;
    QTest::newRow("box wider than the paper") << cjk(20000) << 1000.0;
    QTest::newRow("visual lines of a wide box") << (cjk(100) + CrLf).repeated(50) << 1000.0;
    QTest::newRow("zero-width spaces among characters") << (cjk(1) + zeroWidth).repeated(2000) << 1000.0;
    QTest::newRow("emoji sequences") << QStringLiteral("👨\u200d👩\u200d👧").repeated(3000) << 1000.0;
}

void tst_Composition::hiddenPastThePaperEdge()
{
    QFETCH(QString, text);
    QFETCH(double, boxWidthCm);

    // Paper 21 cm wide; the box begins 1 cm from its left edge.
    const QtTextMeasurer measurer;
    const ItemFont font = font9();
    const double em = 180;
    const PaperEdges paper{21 * 570, 1e9};
    const auto items = breakCommentLines(text, boxWidthCm, 0, 0, 1, font, measurer, 570, paper);
    const auto whole = breakCommentLines(text, boxWidthCm, 0, 0, 1, font, measurer);
    // The same line boxes in the same places; each visual line shows the start of the whole
    // one, all of it when it ends on the paper, and otherwise up to just past the edge.
    QCOMPARE(items.size(), whole.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        QCOMPARE(items[i].top, whole[i].top);
        const QStringList shown = items[i].text.split(CrLf);
        const QStringList full = whole[i].text.split(CrLf);
        QCOMPARE(shown.size(), full.size());
        for (qsizetype k = 0; k < shown.size(); ++k) {
            QVERIFY(full[k].startsWith(shown[k]));
            const double right = 570 + measurer.measureText(shown[k], font).width;
            QVERIFY2(right < paper.right + 3 * em, qPrintable(QString::number(right)));
            if (shown[k].size() < full[k].size())
                QVERIFY2(right >= paper.right + em, qPrintable(QString::number(right)));
        }
    }
}

void tst_Composition::composePageStopsAtThePaper_data()
{
    QTest::addColumn<QString>("pheight");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("commentLines");

    // Comment from 4 cm down, lines 200 twips high at scale 1 (100 at 0.5), 0.5 cm apart.
    QTest::newRow("10 cm at scale 1") << QStringLiteral("10") << 1.0 << 8;
    QTest::newRow("10 cm at scale 0.5") << QStringLiteral("10") << 0.5 << 8;
    QTest::newRow("3 cm: above the comment") << QStringLiteral("3") << 1.0 << 0;
    QTest::newRow("not a number") << QStringLiteral("x") << 1.0 << 0;
    QTest::newRow("typed huge") << QStringLiteral("100000000") << 1.0 << 1000;
}

void tst_Composition::composePageStopsAtThePaper()
{
    QFETCH(QString, pheight);
    QFETCH(double, scale);
    QFETCH(int, commentLines);

    CommentDocument document;
    document.TeacherSignature = QStringLiteral("李老师");
    document.slot(1) = {QStringLiteral("王小明"), cjk(32 * 1000)};
    LayoutScheme scheme;
    scheme.pytexttop = QStringLiteral("4");
    scheme.pytextwidth = QStringLiteral("10");
    scheme.pytextjuli = QStringLiteral("0.5");
    scheme.teachertop = QStringLiteral("25");
    const PageSetup setup = PageSetup::of(scheme, scale).withPaperSize(pheight, QStringLiteral("21"));
    const ComposedPage page = ::composePage(document, 0, document.ItemFonts, setup, FakeMeasurer());
    // The name and the signature stay whatever the paper.
    QCOMPARE(page.items.size(), commentLines + 2);
    QCOMPARE(page.items.last().role, PageItemRole::Signature);
    QCOMPARE(page.items.last().top, 25 * 570 * scale);
}

void tst_Composition::longHeadingMeasuredAsFarAsItShows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shown"); // UTF-16 units of the item's text at most
    QTest::newRow("100,000 characters on one line") << cjk(100000) << 200;
    QTest::newRow("100,000 lines") << (cjk(1) + CrLf).repeated(100000) << 300;
    QTest::newRow("a short heading stays whole") << cjk(100) << 100;
}

void tst_Composition::longHeadingMeasuredAsFarAsItShows()
{
    QFETCH(QString, text);
    QFETCH(int, shown);
    // A heading and a date as long as a hand-edited scheme may hold: the work follows the page.
    LayoutScheme scheme;
    scheme.printsTitle = true;
    scheme.titletext = text;
    scheme.printsDate = true;
    scheme.datetext = text;
    CommentDocument document;
    document.slot(1) = {QStringLiteral("王小明"), QString()};
    const QtTextMeasurer measurer;
    const PageSetup setup = PageSetup::of(scheme).withPaperSize(QStringLiteral("29.7"), QStringLiteral("21"));
    const ComposedPage page = ::composePage(document, 0, document.ItemFonts, setup, measurer);
    for (const PageItemRole role : {PageItemRole::Title, PageItemRole::Date}) {
        const auto item = std::find_if(page.items.cbegin(), page.items.cend(),
                                       [role](const PageItem &item) { return item.role == role; });
        QVERIFY(item != page.items.cend());
        QVERIFY2(item->text.size() <= shown && text.startsWith(item->text), qPrintable(item->text.left(50)));
        QCOMPARE(item->width, measurer.measureText(item->text, item->font).width);
    }
    QVERIFY2(measurer.measuredLength() < 20000, qPrintable(QString::number(measurer.measuredLength())));
}

QTEST_MAIN(tst_Composition)
#include "tst_composition.moc"
