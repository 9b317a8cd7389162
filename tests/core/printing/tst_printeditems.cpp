#include "core/document/commentdocument.h"
#include "core/platform/textfile.h"
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

const QStringList TitleLines{"titleleft=6", "titletop=1.5", "titletext={班级} 学生评语",
                             "titlefont=黑体,16,true,false"};
const QStringList DateLines{"dateleft=14.5", "datetop=18.8", "datetext=2027年1月15日",
                            "datefont=宋体,12,false,false"};

/// A block of the eleven lines, `extra` before its end; without teachertop= when it is "".
QStringList block(const QString &name, const QStringList &extra = {}, const QString &teacherTop = "16.6")
{
    QStringList lines{"name=" + name,     "paperheight=25.7", "paperwidth=18.2", "studentleft=2",
                      "studenttop=2.8",   "pytextleft=2",     "pytexttop=4",     "pytextheight=12",
                      "pytextwidth=13.7", "pytextjuli=.4",    "teacherleft=12.2"};
    if (!teacherTop.isEmpty())
        lines << "teachertop=" + teacherTop;
    return lines + extra + QStringList{"*!*"};
}

/// What the tests read of a scheme: "T" and "D" for the items it prints, then the heading's
/// text, the date's font and the signature's top.
QString summary(const LayoutScheme &s)
{
    return QStringLiteral("%1%2|%3|%4|%5")
        .arg(s.printsTitle ? "T" : "", s.printsDate ? "D" : "", s.titletext, s.datefont, s.teachertop);
}

} // namespace

class tst_PrintedItems : public QObject
{
    Q_OBJECT

private slots:
    void readBlocks_data();
    void readBlocks();
    void savedBlocks_data();
    void savedBlocks();
    void texts_data();
    void texts();
    void fonts_data();
    void fonts();
    void editing_data();
    void editing();
    void fitStopsAtDate_data();
    void fitStopsAtDate();
};

void tst_PrintedItems::readBlocks_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("read");
    const QStringList both = TitleLines + DateLines;
    const QStringList newFirst = block("新", both) + QStringList{""} + block("旧");
    const QStringList oldFirst = block("旧") + QStringList{""} + block("新", both);
    const QString bothRead = "TD|{班级} 学生评语|宋体,12,false,false|16.6";
    QTest::newRow("new first: the new block") << newFirst << "新" << bothRead;
    QTest::newRow("new first: the old block") << newFirst << "旧"
                                              << "|||16.6";
    QTest::newRow("old first: nothing from the next") << oldFirst << "旧"
                                                      << "|||16.6";
    QTest::newRow("old first: the new block") << oldFirst << "新" << bothRead;
    // Old keys still run on into the next block as they always did; the new ones never do.
    QTest::newRow("a missing old key runs on, new keys do not")
        << block("缺", {}, "") + block("新", both, "17.8") << "缺"
        << "|||17.8";
    QTest::newRow("heading only") << block("新", TitleLines) << "新"
                                  << "T|{班级} 学生评语||16.6";
    QTest::newRow("one date line is enough") << block("新", {"datefont=楷体,9,false,true"}) << "新"
                                             << "D||楷体,9,false,true|16.6";
}

void tst_PrintedItems::readBlocks()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, scheme);
    QFETCH(QString, read);
    QCOMPARE(summary(LayoutSchemeFile::schemeIn(lines, scheme)), read);
    // A reader of the eleven keys lists the names only.
    QCOMPARE(LayoutSchemeFile::schemesIn(lines).size(), lines.count(QStringLiteral("*!*")));
}

void tst_PrintedItems::savedBlocks_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<bool>("title"); // the scheme then stops printing the heading
    QTest::addColumn<QStringList>("after");
    const QStringList both = TitleLines + DateLines;
    const QStringList newFirst = block("新", both) + QStringList{""} + block("旧");
    const QStringList oldFirst = block("旧") + QStringList{""} + block("新", both);
    QTest::newRow("new first, save new") << newFirst << "新" << true << newFirst;
    QTest::newRow("new first, save old") << newFirst << "旧" << true << newFirst;
    QTest::newRow("old first, save old") << oldFirst << "旧" << true << oldFirst;
    QTest::newRow("old first, save new") << oldFirst << "新" << true << oldFirst;
    QTest::newRow("heading off: its lines go")
        << oldFirst << "新" << false << block("旧") + QStringList{""} + block("新", DateLines);
}

void tst_PrintedItems::savedBlocks()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, scheme);
    QFETCH(bool, title);
    QFETCH(QStringList, after);
    // Saving a scheme as loaded writes the file's bytes again.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printsetup.vxd"));
    QVERIFY(TextFile::writeLines(path, lines).ok());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    LayoutSchemeFile schemes(path);
    LayoutScheme loaded = expectValue(schemes.loadScheme(scheme));
    loaded.printsTitle = loaded.printsTitle && title;
    QVERIFY(schemes.saveScheme(scheme, loaded).ok());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written, TextFile::encode(TextFile::joinLines(after)));
    QCOMPARE(written == bytes, lines == after);
}

void tst_PrintedItems::texts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("date");
    QTest::newRow("class name, twice") << "{班级}：{班级}"
                                       << "三年级二班：三年级二班"
                                       << "{班级}：{班级}";
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
    // As the page prints them, after the items every scheme prints.
    LayoutScheme scheme;
    PrintedItems::setPrinted(*PrintedItems::of(SelectedObject::Title), scheme, true);
    PrintedItems::setPrinted(*PrintedItems::of(SelectedObject::Date), scheme, true);
    scheme.titletext = scheme.datetext = text;
    PageSetup setup = PageSetup::of(scheme);
    setup.className = QStringLiteral("三年级二班");
    setup.printDate = QDate(2027, 1, 5);
    const ComposedPage page = composePage(CommentDocument(), 0, {}, setup, BlockMeasurer());
    QCOMPARE(page.items.size(), 4); // an empty comment has no line box
    QCOMPARE(page.items[2].text, title);
    QCOMPARE(page.items[3].text, date);
}

void tst_PrintedItems::fonts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ItemFont>("font");
    QTest::addColumn<QString>("written");
    QTest::newRow("bold") << "黑体,16,true,false" << ItemFont{"黑体", 16, true, false}
                          << "黑体,16,true,false";
    QTest::newRow("a face with a comma")
        << "Noto Sans, Bold,10.5,false,true" << ItemFont{"Noto Sans, Bold", 10.5, false, true}
        << "Noto Sans, Bold,10.5,false,true";
    QTest::newRow("empty: the default") << "" << ItemFont{} << "宋体,9,false,false";
    QTest::newRow("no size") << "楷体,大,TRUE,true" << ItemFont{"楷体", 9, false, true}
                             << "楷体,9,false,true";
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
    QTest::addColumn<QString>("problem"); // "": the heading takes the text
    QTest::newRow("heading") << SelectedObject::Title << "青禾小学 {班级}"
                             << "";
    QTest::newRow("a name line") << SelectedObject::Title << "x name=y"
                                 << "name=";
    QTest::newRow("a block end") << SelectedObject::Title << "*!*"
                                 << "*!*";
    QTest::newRow("an old key") << SelectedObject::Title << "teachertop"
                                << "teachertop";
    QTest::newRow("the name has no text") << SelectedObject::StudentName << "甲"
                                          << "";
}

void tst_PrintedItems::editing()
{
    QFETCH(SelectedObject, object);
    QFETCH(QString, text);
    QFETCH(QString, problem);
    LayoutScheme scheme;
    PrintedItems::setPrinted(*PrintedItems::of(SelectedObject::Title), scheme, true);
    const QString said = SchemeEditing::applyText(scheme, object, text);
    QCOMPARE(said.isEmpty(), problem.isEmpty());
    QVERIFY2(said.contains(problem), qPrintable(said));
    const bool taken = problem.isEmpty() && object == SelectedObject::Title;
    QCOMPARE(scheme.titletext, taken ? text : QStringLiteral("{班级} 学生评语"));
    // The heading is moved with the top and left boxes; it has no box width.
    QCOMPARE(SchemeEditing::fieldOf(SchemeEditing::Box::ItemWidth, SelectedObject::Title), std::nullopt);
    SchemeEditing::spin(scheme, SchemeEditing::Box::ItemTop, SelectedObject::Title, scheme.titletop, true);
    QCOMPARE(scheme.titletop, QStringLiteral(".1")); // started at 0: no name above it
}

void tst_PrintedItems::fitStopsAtDate_data()
{
    // The comment's box: 1 cm from the left and the top, 2 cm wide and 10 cm high; its 110
    // characters take ten lines of 200 twips, down to 4.5 cm.
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
    LayoutScheme scheme = LayoutSchemeFile::schemeIn(block("小"), "小");
    scheme.pytextleft = scheme.pytexttop = QStringLiteral("1");
    scheme.pytextwidth = QStringLiteral("2");
    scheme.pytextheight = QStringLiteral("10");
    scheme.pytextjuli = QStringLiteral("0");
    if (!dateLeft.isEmpty()) {
        PrintedItems::setPrinted(*PrintedItems::of(SelectedObject::Date), scheme, true);
        scheme.dateleft = dateLeft;
        scheme.datetop = dateTop;
    }
    CommentDocument document;
    document.slot(1) = {QStringLiteral("张三"), QString(110, u'好')};
    QCOMPARE(FitCheck::linesPastBox(document, 0, scheme, BlockMeasurer()), over);
}

QTEST_GUILESS_MAIN(tst_PrintedItems)
#include "tst_printeditems.moc"
