#include "core/document/commentdocument.h"
#include "core/platform/textfile.h"
#include "core/printing/composition.h"
#include "core/printing/fitcheck.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/pagesetup.h"
#include "core/printing/printeditems.h"
#include "core/printing/schemeediting.h"
#include "core/printing/textmeasurer.h"
#include "resultvalue.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// Every character 100 twips wide, every line 200 high, whatever the font.
class BlockMeasurer : public TextMeasurer
{
public:
    TextExtent measureText(const QString &text, const ItemFont &) const override
    {
        return {double(text.size()) * 100, 200};
    }
};

QStringList oldBlock(const QString &name, const QString &teacherTop = QStringLiteral("16.6"))
{
    return {"name=" + name,
            "paperheight=25.7",
            "paperwidth=18.2",
            "studentleft=2",
            "studenttop=2.8",
            "pytextleft=2",
            "pytexttop=4",
            "pytextheight=12",
            "pytextwidth=13.7",
            "pytextjuli=.4",
            "teacherleft=12.2",
            "teachertop=" + teacherTop,
            "*!*"};
}

const QStringList TitleLines{"titleleft=6", "titletop=1.5", "titletext={班级} 学生评语",
                             "titlefont=黑体,16,true,false"};
const QStringList DateLines{"dateleft=14.5", "datetop=18.8", "datetext=2027年1月15日",
                            "datefont=宋体,12,false,false"};

/// A block of the eleven lines with extra lines before its end.
QStringList newBlock(const QString &name, const QStringList &extra)
{
    QStringList lines = oldBlock(name, QStringLiteral("17.8"));
    lines.removeLast();
    return lines + extra + QStringList{"*!*"};
}

/// A block lacking its teachertop line: old lookups take the next block's.
QStringList blockWithoutTeacherTop(const QString &name)
{
    QStringList lines = oldBlock(name);
    lines.removeAt(11);
    return lines;
}

CommentDocument oneStudent(const QString &comment)
{
    CommentDocument document;
    document.slot(1) = {QStringLiteral("张三"), comment};
    return document;
}

} // namespace

class tst_PrintedItems : public QObject
{
    Q_OBJECT

private slots:
    void readBlocks_data();
    void readBlocks();
    void roundTrip_data();
    void roundTrip();
    void writtenLines_data();
    void writtenLines();
    void texts_data();
    void texts();
    void fonts_data();
    void fonts();
    void editing_data();
    void editing();
    void composedPlaces_data();
    void composedPlaces();
    void fitStopsAtDate_data();
    void fitStopsAtDate();
};

void tst_PrintedItems::readBlocks_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<bool>("title");
    QTest::addColumn<bool>("date");
    QTest::addColumn<QString>("titleText");
    QTest::addColumn<QString>("dateFont");
    QTest::addColumn<QString>("teacherTop");

    const QStringList both = TitleLines + DateLines;
    const QStringList newFirst = newBlock("新", both) + QStringList{""} + oldBlock("旧");
    const QStringList oldFirst = oldBlock("旧") + QStringList{""} + newBlock("新", both);
    QTest::newRow("new block first: its items") << newFirst << "新" << true << true << "{班级} 学生评语"
                                                << "宋体,12,false,false"
                                                << "17.8";
    QTest::newRow("new block first: the old one after it") << newFirst << "旧" << false << false << ""
                                                           << ""
                                                           << "16.6";
    QTest::newRow("old block first: nothing from the next") << oldFirst << "旧" << false << false << ""
                                                            << ""
                                                            << "16.6";
    QTest::newRow("old block first: the new one") << oldFirst << "新" << true << true << "{班级} 学生评语"
                                                  << "宋体,12,false,false"
                                                  << "17.8";
    // Old keys still run on into the next block as they always did; the new ones never do.
    QTest::newRow("a missing old key runs on, new keys do not")
        << blockWithoutTeacherTop("缺") + newBlock("新", both) << "缺" << false << false << ""
        << ""
        << "17.8";
    QTest::newRow("heading only") << newBlock("新", TitleLines) << "新" << true << false << "{班级} 学生评语"
                                  << ""
                                  << "17.8";
    QTest::newRow("one date line is enough")
        << newBlock("新", {"datefont=楷体,9,false,true"}) << "新" << false << true << ""
        << "楷体,9,false,true"
        << "17.8";
}

void tst_PrintedItems::readBlocks()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, scheme);
    QFETCH(bool, title);
    QFETCH(bool, date);
    QFETCH(QString, titleText);
    QFETCH(QString, dateFont);
    QFETCH(QString, teacherTop);
    const LayoutScheme read = LayoutSchemeFile::schemeIn(lines, scheme);
    QCOMPARE(read.printsTitle, title);
    QCOMPARE(read.printsDate, date);
    QCOMPARE(read.titletext, titleText);
    QCOMPARE(read.datefont, dateFont);
    QCOMPARE(read.teachertop, teacherTop);
    QCOMPARE(LayoutSchemeFile::valueIn(lines, scheme, SchemeField::TitleText),
             title ? titleText : LayoutSchemeFile::NoKey);
    // The list a reader of the eleven keys builds is the names only.
    QCOMPARE(LayoutSchemeFile::schemesIn(lines).size(), lines.count(QStringLiteral("*!*")));
}

void tst_PrintedItems::roundTrip_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("scheme");
    const QStringList both = TitleLines + DateLines;
    const QStringList newFirst = newBlock("新", both) + QStringList{""} + oldBlock("旧");
    const QStringList oldFirst = oldBlock("旧") + QStringList{""} + newBlock("新", both);
    QTest::newRow("new first, save new") << newFirst << "新";
    QTest::newRow("new first, save old") << newFirst << "旧";
    QTest::newRow("old first, save old") << oldFirst << "旧";
    QTest::newRow("old first, save new") << oldFirst << "新";
    QTest::newRow("date only") << newBlock("新", DateLines) << "新";
}

void tst_PrintedItems::roundTrip()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, scheme);
    // Saving a scheme as it was loaded writes the file's bytes again.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printsetup.vxd"));
    const QByteArray bytes = TextFile::encode(TextFile::joinLines(lines) + QStringLiteral("\r\n"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    LayoutSchemeFile file(path);
    const LayoutScheme loaded = expectValue(file.loadScheme(scheme));
    QVERIFY(file.saveScheme(scheme, loaded).ok());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), bytes);
    QCOMPARE(expectValue(file.loadScheme(scheme)), loaded);
}

void tst_PrintedItems::writtenLines_data()
{
    QTest::addColumn<bool>("title");
    QTest::addColumn<bool>("date");
    QTest::addColumn<QStringList>("extra"); // the lines between teachertop= and *!*
    QTest::newRow("neither: the old thirteen lines") << false << false << QStringList{};
    QTest::newRow("heading") << true << false << TitleLines;
    QTest::newRow("date") << false << true << DateLines;
    QTest::newRow("both, heading first") << true << true << TitleLines + DateLines;
}

void tst_PrintedItems::writtenLines()
{
    QFETCH(bool, title);
    QFETCH(bool, date);
    QFETCH(QStringList, extra);
    // Values of an item the scheme does not print are never written.
    LayoutScheme scheme = LayoutSchemeFile::schemeIn(newBlock("新", TitleLines + DateLines), "新");
    scheme.printsTitle = title;
    scheme.printsDate = date;
    const QStringList block = LayoutSchemeFile::blockLines(QStringLiteral("新"), scheme);
    QCOMPARE(block, newBlock("新", extra));
    QCOMPARE(*LayoutSchemeFile::withSchemeSaved(oldBlock("新"), "新", scheme), block);
}

void tst_PrintedItems::texts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("date");
    QTest::newRow("class name, twice") << "{班级}：{班级}评语"
                                       << "三年级二班：三年级二班评语"
                                       << "{班级}：{班级}评语";
    QTest::newRow("the date's default") << "{年}年{月}月{日}日"
                                        << "{年}年{月}月{日}日"
                                        << "2027年1月5日";
    QTest::newRow("a fixed date") << "2027年1月15日"
                                  << "2027年1月15日"
                                  << "2027年1月15日";
}

void tst_PrintedItems::texts()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, date);
    QCOMPARE(PrintedItems::titleText(text, QStringLiteral("三年级二班")), title);
    QCOMPARE(PrintedItems::dateText(text, QDate(2027, 1, 5)), date);

    // The same through composition: the heading and the date as the page prints them.
    LayoutScheme scheme;
    PrintedItems::setPrinted(*PrintedItems::of(SelectedObject::Title), scheme, true);
    PrintedItems::setPrinted(*PrintedItems::of(SelectedObject::Date), scheme, true);
    scheme.titletext = text;
    scheme.datetext = text;
    PageSetup setup = PageSetup::of(scheme);
    setup.className = QStringLiteral("三年级二班");
    setup.printDate = QDate(2027, 1, 5);
    const ComposedPage page = composePage(CommentDocument(), 0, {}, setup, BlockMeasurer());
    QCOMPARE(page.items.value(page.items.size() - 2).text, title);
    QCOMPARE(page.items.last().text, date);
}

void tst_PrintedItems::fonts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ItemFont>("font");
    QTest::addColumn<QString>("written");
    QTest::newRow("bold heading") << "黑体,16,true,false" << ItemFont{"黑体", 16, true, false}
                                  << "黑体,16,true,false";
    QTest::newRow("a face with a comma")
        << "Noto Sans CJK SC, Bold,10.5,false,true" << ItemFont{"Noto Sans CJK SC, Bold", 10.5, false, true}
        << "Noto Sans CJK SC, Bold,10.5,false,true";
    QTest::newRow("empty: the default font") << "" << ItemFont{} << "宋体,9,false,false";
    QTest::newRow("no size keeps the default's")
        << "楷体,大,TRUE,true" << ItemFont{"楷体", 9, false, true} << "楷体,9,false,true";
}

void tst_PrintedItems::fonts()
{
    QFETCH(QString, text);
    QFETCH(ItemFont, font);
    QFETCH(QString, written);
    QCOMPARE(PrintedItems::fontFromText(text), font);
    QCOMPARE(PrintedItems::fontText(font), written);
}

void tst_PrintedItems::editing_data()
{
    QTest::addColumn<SelectedObject>("object");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored"); // the title text after Enter
    QTest::addColumn<QString>("problem");
    QTest::newRow("heading") << SelectedObject::Title << "青禾小学 {班级}"
                             << "青禾小学 {班级}"
                             << "";
    QTest::newRow("a name line") << SelectedObject::Title << "x name=y"
                                 << "{班级} 学生评语"
                                 << "name=";
    QTest::newRow("a block end") << SelectedObject::Title << "*!*"
                                 << "{班级} 学生评语"
                                 << "*!*";
    QTest::newRow("an old key") << SelectedObject::Title << "teachertop"
                                << "{班级} 学生评语"
                                << "teachertop";
    QTest::newRow("the name has no text") << SelectedObject::StudentName << "name="
                                          << "{班级} 学生评语"
                                          << "";
}

void tst_PrintedItems::editing()
{
    QFETCH(SelectedObject, object);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QFETCH(QString, problem);
    LayoutScheme scheme;
    PrintedItems::setPrinted(*PrintedItems::of(SelectedObject::Title), scheme, true);
    const QString said = SchemeEditing::applyText(scheme, object, text);
    QCOMPARE(said.isEmpty(), problem.isEmpty());
    QVERIFY2(said.contains(problem), qPrintable(said));
    QCOMPARE(scheme.titletext, stored);
    // The heading's place is moved by the top and left boxes; it has no box width.
    QCOMPARE(SchemeEditing::fieldOf(SchemeEditing::Box::ItemWidth, SelectedObject::Title), std::nullopt);
    SchemeEditing::spin(scheme, SchemeEditing::Box::ItemTop, SelectedObject::Title, scheme.titletop, true);
    QCOMPARE(scheme.titletop, QStringLiteral("1.6"));
}

void tst_PrintedItems::composedPlaces_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("title");
    QTest::addColumn<bool>("date");
    for (double scale : {1.0, 0.75, 0.5}) {
        QTest::addRow("%g, neither", scale) << scale << false << false;
        QTest::addRow("%g, heading", scale) << scale << true << false;
        QTest::addRow("%g, both", scale) << scale << true << true;
    }
}

void tst_PrintedItems::composedPlaces()
{
    QFETCH(double, scale);
    QFETCH(bool, title);
    QFETCH(bool, date);
    LayoutScheme scheme = LayoutSchemeFile::schemeIn(newBlock("新", TitleLines + DateLines), "新");
    scheme.printsTitle = title;
    scheme.printsDate = date;
    const ComposedPage page =
        composePage(oneStudent(QStringLiteral("好")), 0, {}, PageSetup::of(scheme, scale), BlockMeasurer());
    QList<PageItemRole> roles;
    for (const PageItem &item : page.items)
        roles.append(item.role);
    QList<PageItemRole> expected{PageItemRole::StudentName, PageItemRole::CommentLine,
                                 PageItemRole::Signature};
    if (title)
        expected.append(PageItemRole::Title);
    if (date)
        expected.append(PageItemRole::Date);
    QCOMPARE(roles, expected);
    for (const PageItem &item : page.items) {
        if (item.role == PageItemRole::Title) {
            QCOMPARE(item.left, 6 * 570 * scale);
            QCOMPARE(item.top, 1.5 * 570 * scale);
            QCOMPARE(item.font, (ItemFont{"黑体", 16 * scale, true, false}));
        } else if (item.role == PageItemRole::Date) {
            QCOMPARE(item.left, 14.5 * 570 * scale);
            QCOMPARE(item.top, 18.8 * 570 * scale);
            QCOMPARE(item.font, (ItemFont{"宋体", 12 * scale, false, false}));
        }
    }
}

void tst_PrintedItems::fitStopsAtDate_data()
{
    // The comment's box: 1 cm from the left and the top, 2 cm wide (11 characters a line) and
    // 10 cm high; ten lines of 200 twips reach 2570 twips, 4.5 cm.
    QTest::addColumn<QString>("dateLeft");
    QTest::addColumn<QString>("dateTop");
    QTest::addColumn<int>("over");
    QTest::newRow("no date") << ""
                             << "" << 0;
    QTest::newRow("date across the box, under line 5") << "1.5"
                                                       << "2.8" << 5;
    QTest::newRow("date right of the box") << "3.1"
                                           << "2.8" << 0;
    QTest::newRow("date above the comment") << "1"
                                            << ".5" << 0;
}

void tst_PrintedItems::fitStopsAtDate()
{
    QFETCH(QString, dateLeft);
    QFETCH(QString, dateTop);
    QFETCH(int, over);
    LayoutScheme scheme = LayoutSchemeFile::schemeIn(oldBlock("小"), "小");
    scheme.pytextleft = scheme.pytexttop = QStringLiteral("1");
    scheme.pytextwidth = QStringLiteral("2");
    scheme.pytextheight = QStringLiteral("10");
    scheme.pytextjuli = QStringLiteral("0");
    if (!dateLeft.isEmpty()) {
        PrintedItems::setPrinted(*PrintedItems::of(SelectedObject::Date), scheme, true);
        scheme.dateleft = dateLeft;
        scheme.datetop = dateTop;
    }
    const CommentDocument document = oneStudent(QString(110, u'好'));
    QCOMPARE(FitCheck::linesPastBox(document, 0, scheme, BlockMeasurer()), over);
}

QTEST_GUILESS_MAIN(tst_PrintedItems)
#include "tst_printeditems.moc"
