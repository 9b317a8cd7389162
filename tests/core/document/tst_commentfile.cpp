#include "classof.h"
#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/platform/textfile.h"
#include "programfolder.h"
#include "resultvalue.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace CommentFile;

namespace {

/// The document a test file reads into; `rejected` when the file is expected to be refused.
CommentDocument readFile(const QString &name, bool rejected = false)
{
    CommentDocument document;
    const Result<ReadDetails> read = CommentFile::read(testDataFile(name), document);
    if (read.ok() == rejected)
        qWarning() << "unexpected read result for" << name << read.error();
    return document;
}

QByteArray writeToBytes(const CommentDocument &document, QStringList *escaped = nullptr)
{
    QBuffer buffer;
    const Result<QStringList> written = write(&buffer, document, document.ItemFonts);
    if (escaped && written)
        *escaped = *written;
    return written ? buffer.data() : QByteArray();
}

CommentDocument readBytes(const QByteArray &bytes)
{
    CommentDocument document;
    QBuffer buffer;
    buffer.setData(bytes);
    if (!read(&buffer, document))
        qWarning() << "the bytes were refused";
    return document;
}

} // namespace

class tst_CommentFile : public QObject
{
    Q_OBJECT

private slots:
    void readsHeaderAndRoster();
    void readsHeaderValues();
    void resaveGolden_data();
    void resaveGolden();
    void rejected_data();
    void rejected();
    void commentRoundTrip_data();
    void commentRoundTrip();
    void markerInCommentNeverBecomesAName_data();
    void markerInCommentNeverBecomesAName();
    void oneLineFieldsStayOneLine();
    void studentLimit_data();
    void studentLimit();
    void fileWithMoreThan100Students();
    void writerStopsAtFirstEmptyName();
    void fontSize_data();
    void fontSize();
    void hostileInputs_data();
    void hostileInputs();
    void cutInsideSurrogatePair();
    void unreadableBytesAreCounted_data();
    void unreadableBytesAreCounted();
};

void tst_CommentFile::readsHeaderAndRoster()
{
    const CommentDocument doc = readFile("basic.py");
    QCOMPARE(doc.TeacherSignature, QStringLiteral("王老师"));
    QCOMPARE(doc.studentCount(), 4);
    QCOMPARE(doc.slot(1).name, QStringLiteral("张三"));
    QCOMPARE(doc.slot(1).comment, QStringLiteral("你上课认真听讲，作业工整。\r\n希望你多参加体育锻炼。"));
    QCOMPARE(doc.slot(2), (StudentSlot{"李四", ""}));
    QCOMPARE(doc.slot(3).comment, QStringLiteral("你乐于助人。\r\n"));
    QCOMPARE(doc.slot(4).name, QStringLiteral("刘䶮𠮷"));
    QCOMPARE(doc.ItemFonts[0], (ItemFont{"黑体", 12, true, false}));
    QCOMPARE(doc.ItemFonts[1], (ItemFont{"宋体", 10.5, false, false}));
    QCOMPARE(doc.ItemFonts[2], (ItemFont{"楷体_GB2312", 9, false, true}));

    // The older header reads the same.
    QCOMPARE(readFile("old_header.py"), doc);

    const CommentDocument blocks = readFile("template_blocks.py");
    QCOMPARE(blocks.studentCount(), 2);
    QCOMPARE(blocks.slot(1), (StudentSlot{"甲", ""}));

    const CommentDocument shortLines = readFile("short_lines.py");
    QCOMPARE(shortLines.studentCount(), 1);
    QCOMPARE(shortLines.slot(1), (StudentSlot{"A", "*!\r\nab"}));

    // An empty line after the last block goes to the first free slot; the roster is unchanged.
    const CommentDocument trailing = readFile("trailing_empty_line.py");
    QCOMPARE(trailing.studentCount(), 1);
    QCOMPARE(trailing.slot(2), (StudentSlot{"", "\r\n"}));

    const CommentDocument lineEnds = readFile("line_ends.py");
    QCOMPARE(lineEnds.slot(1).comment, QStringLiteral("第一行\n仍是第一行\r\n第二行"));
}

void tst_CommentFile::readsHeaderValues()
{
    const CommentDocument doc = readFile("font_values.py");
    QCOMPARE(doc.TeacherSignature, QString());
    QCOMPARE(doc.ItemFonts[0], (ItemFont{"仿宋_GB2312", 10.5, false, true})); // "True" is not true
    QCOMPARE(doc.ItemFonts[1], (ItemFont{"", 0, true, false}));               // nothing after the key: 0
    // Keys are not compared: a misspelt key still gives its value; blanks inside the number
    // are skipped and the unit behind it is ignored.
    QCOMPARE(doc.ItemFonts[2], (ItemFont{"SimSun", 12, false, false}));
}

void tst_CommentFile::resaveGolden_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("unchanged by a read and a write") << "basic.py"
                                                     << "basic.py";
    QTest::newRow("old header upgraded") << "old_header.py"
                                         << "basic.py";
    QTest::newRow("template blocks get one empty line") << "template_blocks.py"
                                                        << "template_blocks.expected.py";
    QTest::newRow("header values normalised") << "font_values.py"
                                              << "font_values.expected.py";
    QTest::newRow("roster ends at first empty name") << "gap_in_roster.py"
                                                     << "gap_in_roster.expected.py";
    QTest::newRow("free slot's comment not written") << "trailing_empty_line.py"
                                                     << "trailing_empty_line.expected.py";
    QTest::newRow("line ends") << "line_ends.py"
                               << "line_ends.expected.py";
    QTest::newRow("short lines") << "short_lines.py"
                                 << "short_lines.py";
    QTest::newRow("Windows euro sign in GB18030's form") << "windows_euro.py"
                                                         << "windows_euro.expected.py";
    QTest::newRow("unreadable bytes replaced") << "unreadable_bytes.py"
                                               << "unreadable_bytes.expected.py";
    QTest::newRow("the shipped template") << "../../data/normal.pyn"
                                          << "../../data/normal.pyn";
}

void tst_CommentFile::resaveGolden()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const QByteArray want = fileBytes(testDataFile(expected));
    QVERIFY(!want.isEmpty());
    QCOMPARE(writeToBytes(readFile(input)), want);

    // The same through a file on disk.
    QTemporaryDir dir;
    const QString out = dir.filePath("out.py");
    CommentDocument doc = readFile(input);
    QVERIFY(write(out, doc, doc.ItemFonts).ok());
    QCOMPARE(fileBytes(out), want);
}

void tst_CommentFile::rejected_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = fileBytes(testDataFile("basic.py"));
    QTest::newRow("wrong version") << fileBytes(testDataFile("wrong_header.py"));
    QTest::newRow("ends before line 14") << fileBytes(testDataFile("too_short.py"));
    QTest::newRow("header only") << TextFile::encode(Header);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + good;
    QTest::newRow("blank after header")
        << TextFile::encode(QString(Header + u' ')) + good.mid(good.indexOf('\r'));
    QTest::newRow("UTF-8 file") << TextFile::decode(good).toUtf8();
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11);
}

void tst_CommentFile::rejected()
{
    QFETCH(QByteArray, bytes);
    CommentDocument doc = readFile("basic.py");
    const QString signature = doc.TeacherSignature;
    const ItemFonts fonts = doc.ItemFonts;
    QBuffer buffer;
    buffer.setData(bytes);
    QCOMPARE(read(&buffer, doc).error(), DocumentMessages::RejectionMessage);
    QCOMPARE(doc.studentCount(), 0);
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i)
        QCOMPARE(doc.slot(i), StudentSlot{});
    QCOMPARE(doc.TeacherSignature, signature);
    QCOMPARE(doc.ItemFonts, fonts);
}

void tst_CommentFile::commentRoundTrip_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one line") << "你很努力。"
                              << "你很努力。";
    QTest::newRow("two lines") << "第一行\r\n第二行"
                               << "第一行\r\n第二行";
    QTest::newRow("ends with CR LF") << "末尾换行\r\n"
                                     << "末尾换行\r\n";
    QTest::newRow("only CR LF") << "\r\n"
                                << "\r\n";
    QTest::newRow("empty lines inside") << "a\r\n\r\n\r\nb"
                                        << "a\r\n\r\n\r\nb";
    QTest::newRow("lone LF kept") << "a\nb"
                                  << "a\nb";
    QTest::newRow("lone CR becomes a line break") << "a\rb"
                                                  << "a\r\nb";
    QTest::newRow("four-byte character") << "𠮷祥如意"
                                         << "𠮷祥如意";
    QTest::newRow("outside GBK") << "䶮😀"
                                 << "䶮😀";
    QTest::newRow("short lines") << "*!\r\n*\r\n!*"
                                 << "*!\r\n*\r\n!*";
    QTest::newRow("blanks kept") << "  缩进  \r\n\t"
                                 << "  缩进  \r\n\t";
    QTest::newRow("long line") << QString(20000, u'好') << QString(20000, u'好');
}

void tst_CommentFile::commentRoundTrip()
{
    QFETCH(QString, comment);
    QFETCH(QString, readBack);
    CommentDocument doc;
    doc.slot(1) = {"甲", comment};
    doc.slot(2) = {"乙", "后一位"};
    const CommentDocument back = readBytes(writeToBytes(doc));
    QCOMPARE(back.studentCount(), 2);
    QCOMPARE(back.slot(1).comment, readBack);
    QCOMPARE(back.slot(2), doc.slot(2));
}

void tst_CommentFile::markerInCommentNeverBecomesAName_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("marker alone") << "*!*"
                                  << "*！*";
    QTest::newRow("marker in a line") << "好*!*坏"
                                      << "好*！*坏";
    QTest::newRow("marker starts a line") << "第一行\r\n*!*张三"
                                          << "第一行\r\n*！*张三";
    QTest::newRow("overlapping markers") << "*!*!*"
                                         << "*！*！*";
    QTest::newRow("marker on its own line inside") << "a\r\n*!*\r\nb"
                                                   << "a\r\n*！*\r\nb";
}

void tst_CommentFile::markerInCommentNeverBecomesAName()
{
    QFETCH(QString, comment);
    QFETCH(QString, readBack);
    CommentDocument doc;
    doc.slot(1) = {"甲", comment};
    doc.slot(2) = {"乙", "二"};
    QStringList escaped;
    const CommentDocument back = readBytes(writeToBytes(doc, &escaped));
    QCOMPARE(escaped, QStringList{"甲"});
    QCOMPARE(back.studentCount(), 2);
    QCOMPARE(back.slot(1), (StudentSlot{"甲", readBack}));
    QCOMPARE(back.slot(2), doc.slot(2));
}

void tst_CommentFile::oneLineFieldsStayOneLine()
{
    // A CR in a one-line field would end its line early and shift every later line.
    CommentDocument doc;
    doc.TeacherSignature = "王\r老师";
    doc.ItemFonts[1].fontName = "宋\r体";
    doc.slot(1) = {"张\r三", "评语"};
    const CommentDocument back = readBytes(writeToBytes(doc));
    QCOMPARE(back.TeacherSignature, QStringLiteral("王 老师"));
    QCOMPARE(back.ItemFonts[1].fontName, QStringLiteral("宋 体"));
    QCOMPARE(back.slot(1), (StudentSlot{"张 三", "评语"}));
    // Names holding the marker are fine: only the first three characters are dropped.
    doc.slot(1).name = "*!*星";
    QCOMPARE(readBytes(writeToBytes(doc)).slot(1).name, QStringLiteral("*!*星"));
}

void tst_CommentFile::studentLimit_data()
{
    QTest::addColumn<int>("students");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("99") << 99;
    QTest::newRow("100") << 100;
}

void tst_CommentFile::studentLimit()
{
    QFETCH(int, students);
    const CommentDocument doc = classOf(students);
    const QByteArray bytes = writeToBytes(doc);
    QCOMPARE(bytes.count("*!*\r\n"), qsizetype(students));
    QCOMPARE(readBytes(bytes), doc);
    CommentDocument back;
    QCOMPARE(expectValue(CommentFile::parse(bytes, back)).students, qsizetype(students));
    if (students == 0)
        QCOMPARE(TextFile::splitLines(TextFile::decode(bytes)).size(), 14);
    QVERIFY(bytes.endsWith(students ? "*!*\r\n" : "false\r\n"));
}

void tst_CommentFile::fileWithMoreThan100Students()
{
    QString text = TextFile::decode(writeToBytes(classOf(100)));
    text += QStringLiteral("*!*第101位\r\n多余\r\n*!*\r\n*!*第102位\r\n*!*\r\n");
    CommentDocument doc;
    // The reader fills the 100 slots and counts every student, for the caller to refuse.
    QCOMPARE(expectValue(CommentFile::parse(TextFile::encode(text), doc)).students, qsizetype(102));
    QCOMPARE(doc.studentCount(), 100);
    QCOMPARE(doc, classOf(100));
    QCOMPARE(writeToBytes(doc).count("*!*\r\n"), qsizetype(100));
}

void tst_CommentFile::writerStopsAtFirstEmptyName()
{
    CommentDocument doc = classOf(4);
    doc.slot(3).name.clear();
    const CommentDocument back = readBytes(writeToBytes(doc));
    QCOMPARE(back.studentCount(), 2);
    QCOMPARE(back.slot(3), StudentSlot{});
    QCOMPARE(back.slot(4), StudentSlot{});
}

void tst_CommentFile::fontSize_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole") << 9.0 << "9";
    QTest::newRow("half") << 10.5 << "10.5";
    QTest::newRow("single precision residue hidden") << 10.3 << "10.3";
    QTest::newRow("third") << 1.0 / 3 << "0.3333333";
    QTest::newRow("seven digits") << 72.123456789 << "72.12346";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("large, no exponent") << 12345678.0 << "12345680";
    QTest::newRow("tiny, no exponent") << 0.0000001 << "0.0000001";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("not finite") << qInf() << "0";
}

void tst_CommentFile::fontSize()
{
    QFETCH(double, size);
    QFETCH(QString, text);
    QCOMPARE(formatFontSize(size), text);
}

void tst_CommentFile::hostileInputs_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("students");

    QTest::newRow("10 MB line") << QByteArray(10 * 1024 * 1024, 'x') << 0;
    QTest::newRow("10 MB name line") << "*!*" + QByteArray(10 * 1024 * 1024, 'n') + "\r\n*!*\r\n" << 1;
    QTest::newRow("NUL bytes") << QByteArray("*!*\0a\r\n\0\0\r\n*!*\r\n", 16) << 1;
    QTest::newRow("invalid GBK") << QByteArray("*!*\xff\xfe\x81\r\n\x80\x81\x30\r\n*!*\r\n") << 1;
    QTest::newRow("200000 terminators")
        << QByteArray().fill('\r', 0).append(QByteArray("*!*\r\n").repeated(200000)) << 0;
    QTest::newRow("only CRs") << QByteArray(1000000, '\r') << 0;
}

void tst_CommentFile::hostileInputs()
{
    QFETCH(QByteArray, tail);
    QFETCH(int, students);
    const QByteArray bytes = fileBytes(testDataFile("../../data/normal.pyn")) + tail;
    const CommentDocument doc = readBytes(bytes);
    QCOMPARE(doc.studentCount(), students);
    // What is written reads back to the same file.
    const QByteArray written = writeToBytes(doc);
    QCOMPARE(writeToBytes(readBytes(written)), written);
}

// Keys and the name marker are cut off by length; a character outside the BMP straddling the
// cut must not leave half a character behind, which could not be written back.
void tst_CommentFile::cutInsideSurrogatePair()
{
    QString text = TextFile::decode(fileBytes(testDataFile("basic.py")));
    text.replace(QStringLiteral("pytextfontname=宋体"), QStringLiteral("pytextfontnam𠮷宋体"));
    text.replace(QStringLiteral("*!*李四"), QStringLiteral("*!𠮷李四*!*"));
    const CommentDocument doc = readBytes(TextFile::encode(text));
    QCOMPARE(doc.ItemFonts[1].fontName, QStringLiteral("宋体"));
    QCOMPARE(doc.slot(2).name, QStringLiteral("李四*!*"));
    const QByteArray written = writeToBytes(doc);
    QCOMPARE(writeToBytes(readBytes(written)), written);
}

void tst_CommentFile::unreadableBytesAreCounted_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<QString>("studentName");
    QTest::newRow("clean file") << "basic.py" << 0 << "张三";
    QTest::newRow("Windows euro sign") << "windows_euro.py" << 0 << "欧元€";
    QTest::newRow("in a name and before a line break") << "unreadable_bytes.py" << 2 << "李\uFFFD四";
}

void tst_CommentFile::unreadableBytesAreCounted()
{
    QFETCH(QString, name);
    QFETCH(int, unreadable);
    QFETCH(QString, studentName);
    CommentDocument doc;
    const Result<ReadDetails> read = CommentFile::read(testDataFile(name), doc);
    QVERIFY(read);
    QCOMPARE(read->unreadableBytes, qsizetype(unreadable));
    QCOMPARE(doc.slot(1).name, studentName);
}

QTEST_APPLESS_MAIN(tst_CommentFile)
#include "tst_commentfile.moc"
