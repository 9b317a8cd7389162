#include "core/app/nameimportcommand.h"
#include "core/document/commentfile.h"
#include "core/document/messages.h"
#include "core/platform/textfile.h"
#include "programfolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

/// n names 学生1, 学生2, …, one a line.
QString namesText(int n)
{
    QStringList names;
    for (int i = 1; i <= n; ++i)
        names << QStringLiteral("学生%1").arg(i);
    return names.join(QStringLiteral("\r\n"));
}

QStringList rosterOf(const CommentDocument &document)
{
    QStringList names;
    for (int k = 1; k <= document.studentCount(); ++k)
        names << document.slot(k).name + (document.slot(k).comment.isEmpty() ? "" : "=" + document.slot(k).comment);
    return names;
}

} // namespace

class tst_NameImportCommand : public QObject
{
    Q_OBJECT

private slots:
    void importNames_data();
    void importNames();
    void spreadsheetOf101Names_data();
    void spreadsheetOf101Names();
};

void tst_NameImportCommand::importNames_data()
{
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QByteArray>("list");  // written to listName in the test folder
    QTest::addColumn<QString>("in");       // "-", "class" (张三, 李四 with comments) or "rejected"
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("roster"); // of OUT; "name=comment"
    QTest::addColumn<QStringList>("taken");  // the lines on standard output
    QTest::addColumn<QString>("told");       // on standard error, "" for nothing

    const QStringList both{"张三=很好", "李四=努力"};
    QTest::newRow("a new class from the template")
        << "names.txt" << TextFile::encode(u"甲\r\n乙\r\n\r\n丙") << "-" << false << 0
        << QStringList{"甲", "乙", "丙"} << QStringList{"甲", "乙", "丙"} << "";
    QTest::newRow("added after the roster, comments kept")
        << "names.txt" << QByteArray("甲\n乙") << "class" << false << 0 << both + QStringList{"甲", "乙"}
        << QStringList{"甲", "乙"} << "";
    QTest::newRow("replacing the roster")
        << "names.txt" << QByteArray("甲\n乙") << "class" << true << 0 << QStringList{"甲", "乙"}
        << QStringList{"甲", "乙"} << "";
    QTest::newRow("the 姓名 column of a CSV file")
        << "names.csv" << QByteArray("学号,姓名\n1,甲\n2,乙\n") << "-" << false << 0 << QStringList{"甲", "乙"}
        << QStringList{"甲", "乙"} << "";
    QTest::newRow("101 names: the last one left out")
        << "names.txt" << TextFile::encode(namesText(101)) << "-" << false << 0
        << namesText(100).split("\r\n") << namesText(100).split("\r\n")
        << DocumentMessages::DroppedMessage + "（略去 1 个）";
    QTest::newRow("20,000 lines: only the first 10,000 are looked at, and that is said")
        << "names.txt" << TextFile::encode(namesText(20000)) << "-" << false << 0
        << namesText(100).split("\r\n") << namesText(100).split("\r\n")
        << DocumentMessages::DroppedMessage + "（在读入的行中略去 9900 个）\n注意：名单文件只读到第 10000 行，其后的行没有读入。";
    QTest::newRow("10,000 lines: all read")
        << "names.txt" << TextFile::encode(namesText(10000)) << "-" << false << 0
        << namesText(100).split("\r\n") << namesText(100).split("\r\n")
        << DocumentMessages::DroppedMessage + "（略去 9900 个）\n";
    QTest::newRow("room for one more") << "names.txt" << TextFile::encode(namesText(99)) << "class" << false
                                       << 0 << both + namesText(98).split("\r\n")
                                       << namesText(98).split("\r\n") << DocumentMessages::DroppedMessage;
    QTest::newRow("a name twice in the class is taken and told")
        << "names.txt" << QByteArray("张三\n甲\n甲") << "class" << false << 0
        << both + QStringList{"张三", "甲", "甲"} << QStringList{"张三", "甲", "甲"}
        << "注意：以下姓名在班上不止一个学生（已照样导入）：张三、甲";
    QTest::newRow("a long line is taken and told")
        << "names.txt" << QByteArray("甲\n这一行不像是姓名") << "-" << false << 0
        << QStringList{"甲", "这一行不像是姓名"} << QStringList{"甲", "这一行不像是姓名"}
        << "注意：名单中有 1 行多于 5 个字符";
    QTest::newRow("a control character reaches the terminal escaped")
        << "names.txt" << QByteArray("王\x1b五") << "-" << false << 0 << QStringList{"王\x1b五"}
        << QStringList{"王\\x1b五"} << "";
    QTest::newRow("a list without a name") << "names.txt" << QByteArray("\r\n\n\r") << "class" << false << 2
                                           << QStringList{} << QStringList{} << DocumentMessages::EmptyListMessage;
    QTest::newRow("no such list") << "" << QByteArray() << "class" << false << 2 << QStringList{}
                                  << QStringList{} << "无法读取文件";
    QTest::newRow("a damaged spreadsheet")
        << "names.xlsx" << QByteArray("PK\x03\x04 not really") << "class" << false << 2 << QStringList{}
        << QStringList{} << "names.xlsx";
    QTest::newRow("IN no comment file") << "names.txt" << QByteArray("甲") << "rejected" << false << 2
                                        << QStringList{} << QStringList{} << "这不是本程序的评语文件";
}

// The name import without a window: the dialog's reader and roster change, the names taken on
// standard output, what was left out or looks wrong on standard error, OUT only on success.
void tst_NameImportCommand::importNames()
{
    QFETCH(QString, listName);
    QFETCH(QByteArray, list);
    QFETCH(QString, in);
    QFETCH(bool, replace);
    QFETCH(int, exitCode);
    QFETCH(QStringList, roster);
    QFETCH(QStringList, taken);
    QFETCH(QString, told);

    const ProgramFolder program;
    QTemporaryDir dir;
    const QString listPath = dir.filePath(listName.isEmpty() ? QStringLiteral("missing.txt") : listName);
    if (!listName.isEmpty()) {
        QFile file(listPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(list) == list.size());
    }
    QString inPath = in;
    if (in != u"-") {
        inPath = dir.filePath(QStringLiteral("一班.py"));
        if (in == u"class") {
            CommentDocument document;
            document.slot(1) = {QStringLiteral("张三"), QStringLiteral("很好")};
            document.slot(2) = {QStringLiteral("李四"), QStringLiteral("努力")};
            QVERIFY(CommentFile::write(inPath, document, document.ItemFonts).ok());
        } else {
            QVERIFY(TextFile::writeText(inPath, QStringLiteral("不是评语文件\r\n")).ok());
        }
    }
    const QString outPath = dir.filePath(QStringLiteral("二班.py"));

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code =
        NameImportCommand::run(listPath, inPath, outPath, replace, program.path(), outStream, errStream);
    outStream.flush();
    errStream.flush();

    QCOMPARE(code, exitCode);
    QCOMPARE(out.split(u'\n', Qt::SkipEmptyParts), taken);
    if (told.isEmpty())
        QVERIFY2(err.isEmpty(), qPrintable(err));
    else
        QVERIFY2(err.contains(told), qPrintable(err));
    QCOMPARE(QFile::exists(outPath), exitCode == 0);
    if (exitCode == 0) {
        CommentDocument written;
        QVERIFY(CommentFile::read(outPath, written).ok());
        QCOMPARE(rosterOf(written), roster);
    }
}

void tst_NameImportCommand::spreadsheetOf101Names_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xlsx") << "spreadsheet/class101.xlsx";
    QTest::newRow("ods") << "spreadsheet/class101.ods";
}

// A school's export of 101 students: 100 in the class, the last one told.
void tst_NameImportCommand::spreadsheetOf101Names()
{
    QFETCH(QString, file);
    const ProgramFolder program;
    QTemporaryDir dir;
    const QString outPath = dir.filePath(QStringLiteral("class.py"));
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(NameImportCommand::run(testDataFile(file), QStringLiteral("-"), outPath, true, program.path(),
                                    outStream, errStream),
             0);
    outStream.flush();
    errStream.flush();
    QCOMPARE(out.split(u'\n', Qt::SkipEmptyParts).size(), CommentDocument::MaxStudents);
    QVERIFY2(err.contains(DocumentMessages::DroppedMessage + "（略去 1 个）"), qPrintable(err));
    CommentDocument written;
    QVERIFY(CommentFile::read(outPath, written).ok());
    QCOMPARE(written.studentCount(), CommentDocument::MaxStudents);
}

QTEST_GUILESS_MAIN(tst_NameImportCommand)
#include "tst_nameimportcommand.moc"
