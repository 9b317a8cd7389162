#include "core/document/namelist.h"
#include "core/document/ratingsfile.h"
#include "core/document/spreadsheetfile.h"
#include "core/document/spreadsheetnames.h"
#include "core/platform/libreoffice.h"
#include "core/platform/textfile.h"
#include "programfolder.h"
#include "resultvalue.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <sys/resource.h>
#include <zip.h>

#include <utility>

using SpreadsheetNames::MaxColumns;
using SpreadsheetNames::MaxRows;

namespace {

using Parts = QList<std::pair<QByteArray, QByteArray>>;

/// Writes a ZIP archive of the parts, compressed as spreadsheet programs do.
bool writeArchive(const QString &path, const Parts &parts)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto &[name, bytes] : parts) {
        zip_source_t *source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0; // the parts are read here
}

/// An .xlsx file of one sheet (the default first sheet), with shared strings when given.
Parts xlsx(const QByteArray &sheetData, const QByteArray &strings = {})
{
    Parts parts{{"xl/worksheets/sheet1.xml",
                 "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                 "<sheetData>" +
                     sheetData + "</sheetData></worksheet>"}};
    if (!strings.isNull())
        parts.append({"xl/sharedStrings.xml",
                      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + strings +
                          "</sst>"});
    return parts;
}

/// An .ods file whose first sheet holds the rows; `table` is the prefix bound to the table
/// namespace.
Parts ods(const QByteArray &rows, const QByteArray &table = "table")
{
    return {{"content.xml",
             "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
             "xmlns:" +
                 table +
                 "=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                 "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
                 "<office:spreadsheet><" +
                 table + ":table>" + rows + "</" + table +
                 ":table>"
                 "</office:spreadsheet></office:body></office:document-content>"}};
}

QByteArray cell(const char *text)
{
    return QByteArray("<table:table-cell><text:p>") + text + "</text:p></table:table-cell>";
}

QByteArray row(const QByteArray &cells)
{
    return "<table:table-row>" + cells + "</table:table-row>";
}

/// The list a name import makes of these names: one a line, each ended by CR LF.
QString listOf(const QStringList &names)
{
    QString text;
    for (const QString &name : names)
        text += name + QStringLiteral("\r\n");
    return text;
}

QString read(const QString &path)
{
    const Result<QString> read = NameList::readFile(path, [] { return false; });
    return read ? *read : QStringLiteral("error: ") + read.error();
}

/// Hostile files must stay within a small multiple of their size: a limit on the address space
/// turns runaway memory into a failed allocation, which ends the test.
class MemoryLimit
{
public:
    explicit MemoryLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_AS, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = std::min(bytes, m_saved.rlim_max);
        setrlimit(RLIMIT_AS, &limit);
    }
    ~MemoryLimit() { setrlimit(RLIMIT_AS, &m_saved); }

private:
    rlimit m_saved{};
};

} // namespace

class tst_SpreadsheetFile : public QObject
{
    Q_OBJECT

private slots:
    void hostileFiles_data();
    void hostileFiles();
    void hostileRatings_data();
    void hostileRatings();
    void csvLimits_data();
    void csvLimits();
    void namesIn_data();
    void namesIn();
    void sheetDetails_data();
    void sheetDetails();
    void savedByLibreOffice_data();
    void savedByLibreOffice();
    void renamedXls();
    void missingFile_data();
    void missingFile();
};

// Each file answers at once with the names it has or a clear message, within a small multiple
// of its size in memory.
void tst_SpreadsheetFile::hostileFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Parts>("parts"); // no parts: `text` is the file's text
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("list");

    const auto sharedRows = [](int first, int count, int index) {
        QByteArray rows;
        for (int r = first; r < first + count; ++r)
            rows += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) +
                    "\" t=\"s\"><v>" + QByteArray::number(index) + "</v></c></row>";
        return rows;
    };
    const auto longString = [](qsizetype size) { return "<si><t>" + QByteArray(size, 'x') + "</t></si>"; };

    QTest::newRow("a 20 M-character string in 100,000 rows")
        << "a.xlsx"
        << xlsx(sharedRows(1, 1, 1) + sharedRows(2, 1, 2) + sharedRows(3, 100000, 0),
                longString(20'000'000) + "<si><t>姓名</t></si><si><t>张三</t></si>")
        << QByteArray() << listOf({"张三"});
    // No heading: every cell of the first column is weighed as a name.
    const QByteArray beside = "<c r=\"B1\" t=\"inlineStr\"><is><t>张三</t></is></c>";
    QTest::newRow("a 1 MB string in 1,000 rows")
        << "b.xlsx" << xlsx(sharedRows(1, 1000, 0).replace("</row>", beside + "</row>"), longString(1 << 20))
        << QByteArray() << listOf(QStringList(1000, "张三"));
    QTest::newRow("a 64 KB string in 4,000 rows")
        << "c.xlsx" << xlsx(sharedRows(1, 4000, 0).replace("</row>", beside + "</row>"), longString(1 << 16))
        << QByteArray() << listOf(QStringList(4000, "张三"));

    // A hundred rows of a thousand text cells, each row repeated a thousand times.
    const auto repeatedRows = [](const QByteArray &prefix, const char *text) {
        return ("<table:table-row " + prefix + "number-rows-repeated=\"1000\"><table:table-cell " + prefix +
                "number-columns-repeated=\"1000\"><text:p>" + text +
                "</text:p></table:table-cell></table:table-row>")
            .repeated(100);
    };
    QTest::newRow("100,000 rows of 1,000 repeated cells")
        << "d.ods" << ods(repeatedRows("table:", "甲")) << QByteArray() << listOf(QStringList(MaxRows, "甲"));
    // Without the table prefix the attributes are no repeat counts at all.
    QTest::newRow("unprefixed repeats")
        << "e.ods" << ods(repeatedRows("", "乙")) << QByteArray() << listOf(QStringList(100, "乙"));
    QTest::newRow("21 M unclosed tags")
        << "f.xlsx" << xlsx(QByteArray("<a>").repeated(21'000'000)) << QByteArray()
        << "error: 文件“%1”不是有效的 Excel 表格文件，或者已经损坏。";
    QTest::newRow("a 33 MB CSV of one-letter lines")
        << "g.csv" << Parts() << QByteArray("a\n").repeated(16'500'000) << listOf(QStringList(MaxRows, "a"));
}

void tst_SpreadsheetFile::hostileFiles()
{
    QFETCH(QString, file);
    QFETCH(Parts, parts);
    QFETCH(QByteArray, text);
    QFETCH(QString, list);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(parts.isEmpty() ? TextFile::saveAtomically(path, text).ok() : writeArchive(path, parts));
    parts.clear();
    text.clear();
    const MemoryLimit limit(rlim_t(1) << 30);
    QCOMPARE(read(path), list.replace(QStringLiteral("%1"), path));
}

// A ratings table of many long cells: its problems are told in a few short lines, within a
// small multiple of the file's size in memory.
void tst_SpreadsheetFile::hostileRatings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Parts>("parts");
    QTest::addColumn<QString>("told"); // in the problem lines

    QByteArray names;
    for (int r = 2; r <= 10001; ++r)
        names += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) +
                 "\" t=\"s\"><v>1</v></c></row>";
    const QByteArray heading = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>姓名</t></is></c></row>";
    for (const qsizetype size : {100'000, 1'000'000})
        QTest::addRow("a %lld-character string in 10,000 name cells", qlonglong(size))
            << "a.xlsx" << xlsx(heading + names, "<si><t>x</t></si><si><t>" + QByteArray(size, 'x') + "</t></si>")
            << "…等，另有 9,989 项"; // the sheet's first 10,000 rows
    QTest::newRow("a row repeated 10,000 times")
        << "b.ods"
        << ods(row(cell("姓名") + "<table:table-cell table:number-columns-repeated=\"255\"><text:p>品德</text:p>"
                                  "</table:table-cell>") +
               "<table:table-row table:number-rows-repeated=\"10000\">" + cell("甲") +
               "<table:table-cell table:number-columns-repeated=\"255\"><text:p>" + QByteArray(500, 'y') +
               "</text:p></table:table-cell></table:table-row>")
        << "重复的学生（按第一行）：甲、甲、甲、甲、甲、甲、甲、甲、甲、甲等，另有 9,988 项";
}

void tst_SpreadsheetFile::hostileRatings()
{
    QFETCH(QString, file);
    QFETCH(Parts, parts);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(writeArchive(path, parts));
    parts.clear();
    const MemoryLimit limit(rlim_t(1) << 30);
    RatingsFile::Problems problems;
    QVERIFY(RatingsFile::readFile(path, {"甲"}, {"品德"}, &problems).ok());
    const QString lines = RatingsFile::problemLines(problems).join(u'\n');
    QVERIFY2(lines.contains(told), qPrintable(lines));
    QVERIFY2(lines.size() < 2000, qPrintable(lines.first(2000)));
}

void tst_SpreadsheetFile::csvLimits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("rows");
    QTest::addColumn<qsizetype>("columns"); // of the first row
    QTest::newRow("rows past the limit")
        << QStringLiteral("a\n").repeated(MaxRows + 5) << qsizetype(MaxRows) << qsizetype(1);
    QTest::newRow("the last row kept has no line break")
        << QStringLiteral("a\n").repeated(MaxRows - 1) + u'b' << qsizetype(MaxRows) << qsizetype(1);
    QTest::newRow("fields past the limit") << QStringLiteral(",").repeated(1000) + QStringLiteral("\"x,y\"")
                                           << qsizetype(1) << qsizetype(MaxColumns);
}

void tst_SpreadsheetFile::csvLimits()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, rows);
    QFETCH(qsizetype, columns);
    const QList<QStringList> read = SpreadsheetNames::csvRows(text);
    QCOMPARE(read.size(), rows);
    QCOMPARE(read.first().size(), columns);
}

void tst_SpreadsheetFile::namesIn_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QStringList>("names");
    using Rows = QList<QStringList>;
    const QString longest = QString(SpreadsheetNames::MaxNameLength, u'长');
    QTest::newRow("a cell longer than a name can be")
        << Rows{{"姓名"}, {longest + u'长'}, {u' ' + longest + u' '}} << QStringList{longest};
    QTest::newRow("error values under a heading")
        << Rows{{"姓名"}, {"#N/A"}, {"张三"}, {"#NAME?"}, {"Err:502"}, {"#div/0!"}} << QStringList{"张三"};
    // Errors do not make the column of a formula look like the names.
    QTest::newRow("error values without a heading")
        << Rows{{"#N/A", "张三"}, {"#N/A", "李四"}, {"#REF!", ""}} << QStringList{"张三", "李四"};
    QTest::newRow("the rows past the limit") << Rows(MaxRows, {"1"}) + Rows{{"张三"}} << QStringList{};
}

void tst_SpreadsheetFile::namesIn()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QStringList, names);
    QCOMPARE(SpreadsheetNames::namesIn(rows), names);
}

void tst_SpreadsheetFile::sheetDetails_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Parts>("parts");
    QTest::addColumn<QStringList>("names");
    const auto inlineRow = [](const QByteArray &attributes, const QByteArray &text) {
        return "<row" + attributes + "><c t=\"inlineStr\"><is><t>" + text + "</t></is></c></row>";
    };
    const QByteArray heading = inlineRow(" r=\"1\"", "姓名") + inlineRow(" r=\"2\"", "张三");
    QTest::newRow("a row numbered the largest int, then rows without numbers")
        << "a.xlsx" << xlsx(heading + "<row r=\"2147483647\"/><row/>" + inlineRow("", "乙"))
        << QStringList{"张三"};
    QTest::newRow("control characters, raw and as references")
        << "b.xlsx"
        << xlsx(heading + inlineRow("", "李&#1;四") + inlineRow("", "王\x02五&#x1F;") +
                inlineRow("", "赵&#x41;六"))
        << QStringList{"张三", "李四", "王五", "赵A六"};
    QTest::newRow("phonetic runs")
        << "c.xlsx"
        << xlsx(heading + "<row><c t=\"s\"><v>0</v></c></row>",
                "<si><r><t>李</t></r><r><t>四</t></r><rPh sb=\"0\" eb=\"2\"><t>lǐ sì</t></rPh>"
                "<phoneticPr fontId=\"1\"/></si>")
        << QStringList{"张三", "李四"};
    QTest::newRow("escaped characters")
        << "d.xlsx"
        << xlsx(heading + inlineRow("", "李四_x000D_") + inlineRow("", "王_x4E94_") +
                    inlineRow("", "_x005F_x0041_") + "<row><c t=\"s\"><v>0</v></c></row>",
                "<si><t>赵_x0001_六</t></si>")
        << QStringList{"张三", "李四", "王五", "_x0041_", "赵六"};
    QTest::newRow("error values")
        << "e.xlsx"
        << xlsx(heading + "<row><c t=\"e\"><v>#N/A</v></c></row><row><c t=\"str\"><v>#NAME?</v></c></row>")
        << QStringList{"张三"};
    // The table namespace under another prefix; two blank cells before the heading.
    QTest::newRow("ods: repeated blanks, another prefix")
        << "f.ods"
        << ods("<t:table-row><t:table-cell t:number-columns-repeated=\"2\"/><t:table-cell><text:p>姓名"
               "</text:p></t:table-cell></t:table-row><t:table-row t:number-rows-repeated=\"2\">"
               "<t:table-cell t:number-columns-repeated=\"2\"><text:p>1</text:p></t:table-cell>"
               "<t:table-cell><text:p>张三</text:p></t:table-cell></t:table-row>",
               "t")
        << QStringList{"张三", "张三"};
    QTest::newRow("ods: a comment and a phonetic guide on the name")
        << "g.ods"
        << ods(row(cell("姓名")) +
               row("<table:table-cell><office:annotation><text:p>转学</text:p></office:annotation>"
                   "<text:p><text:ruby><text:ruby-base>李四</text:ruby-base><text:ruby-text>lǐ sì"
                   "</text:ruby-text></text:ruby></text:p></table:table-cell>"))
        << QStringList{"李四"};
}

void tst_SpreadsheetFile::sheetDetails()
{
    QFETCH(QString, file);
    QFETCH(Parts, parts);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(writeArchive(path, parts));
    QCOMPARE(read(path), listOf(names));
}

// Lists saved by LibreOffice Calc: made from CSV here, so the files are LibreOffice's own.
void tst_SpreadsheetFile::savedByLibreOffice_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("names");
    // The remark only in the first row: the blank cells before 姓名 are one repeated cell in
    // the other rows.
    const QByteArray remarks = "学号,备注,,姓名\n1,班长,,张三\n2,,,李四\n3,,,王五\n";
    QTest::newRow("a column filled in one row, ods")
        << remarks << "ods" << QStringList{"张三", "李四", "王五"};
    const QByteArray leading = ",,姓名,学号\n,,张三,1\n\n\n,,李四,2\n,,,3\n,,王五,4\n";
    QTest::newRow("empty leading columns and gaps, ods")
        << leading << "ods" << QStringList{"张三", "李四", "王五"};
}

void tst_SpreadsheetFile::savedByLibreOffice()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, format);
    QFETCH(QStringList, names);
    if (QStandardPaths::findExecutable(LibreOffice::Program).isEmpty())
        QSKIP("LibreOffice is not installed");
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("list.csv"));
    QVERIFY(TextFile::saveAtomically(source, csv).ok());
    // The CSV is UTF-8, which LibreOffice is told: it would take it for Latin-1.
    QProcess soffice;
    soffice.setWorkingDirectory(dir.path());
    soffice.start(
        LibreOffice::Program,
        {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
         QStringLiteral("--headless"), QStringLiteral("--infilter=CSV:44,34,76"),
         QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), dir.path(), source});
    QVERIFY(soffice.waitForFinished(-1));
    QCOMPARE(read(dir.filePath(QStringLiteral("list.") + format)), listOf(names));
}

// An old Excel file with the name of a new one is read as what it is.
void tst_SpreadsheetFile::renamedXls()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("名单.xlsx"));
    QVERIFY(QFile::copy(testDataFile(QStringLiteral("spreadsheet/names.xls")), path));
    if (!QStandardPaths::findExecutable(LibreOffice::Program).isEmpty())
        QCOMPARE(read(path), listOf({"张三", "欧阳娜娜", "李四"}));
    const QByteArray searchPath = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toLocal8Bit());
    const QString withoutLibreOffice = read(path);
    qputenv("PATH", searchPath);
    QVERIFY2(withoutLibreOffice.startsWith(
                 QStringLiteral("error: 文件“%1”其实是旧版 Excel 文件（.xls）。读取 .xls 文件需要 "
                                "LibreOffice Calc")
                     .arg(path)),
             qPrintable(withoutLibreOffice));
}

void tst_SpreadsheetFile::missingFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xlsx") << "名单.xlsx";
    QTest::newRow("ods") << "名单.ods";
    QTest::newRow("xls") << "名单.xls";
}

// A workbook that is not there is said to be missing, as a text list is, not damaged.
void tst_SpreadsheetFile::missingFile()
{
    QFETCH(QString, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QCOMPARE(read(path), QStringLiteral("error: 无法读取文件“%1”：文件不存在").arg(path));
}

QTEST_APPLESS_MAIN(tst_SpreadsheetFile)
#include "tst_spreadsheetfile.moc"
