#include "core/document/ratingsfile.h"
#include "core/document/ratingspaste.h"
#include "core/document/ratingsreport.h"
#include "core/document/spreadsheetnames.h"
#include "core/platform/filesave.h"
#include "resultvalue.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using RatingsFile::Problems;
using RatingsFile::Table;

namespace {

/// "E" 优秀, "G" 良好, "L" 后进, "-" none: one letter per category, a string per student.
QStringList gradeLetters(const Table &table)
{
    QStringList result;
    for (const QList<Rating> &grades : table.grades) {
        QString letters;
        for (const Rating grade : grades)
            letters += grade == Rating::Excellent ? u'E'
                       : grade == Rating::Good    ? u'G'
                       : grade == Rating::Lagging ? u'L'
                                                  : u'-';
        result.append(letters);
    }
    return result;
}

const QStringList Categories{QStringLiteral("学习态度"), QStringLiteral("纪律"), QStringLiteral("总评")};
const QStringList Roster{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("欧阳 娜娜")};

QStringList split(const QString &list)
{
    return list.isEmpty() ? QStringList() : list.split(u'|');
}

/// The table of Roster and Categories with grades given as gradeLetters writes them.
Table tableOf(const QStringList &letters)
{
    Table table{Categories, Roster, {}, {}};
    for (const QString &student : letters) {
        QList<Rating> grades;
        for (const QChar letter : student)
            grades << (letter == u'E'   ? Rating::Excellent
                       : letter == u'G' ? Rating::Good
                       : letter == u'L' ? Rating::Lagging
                                        : Rating::None);
        table.grades << grades;
    }
    return table;
}

} // namespace

class TestRatingsFile : public QObject
{
    Q_OBJECT

private slots:
    void parseValue_data();
    void parseValue();
    void valueTextReadsBack();
    void fromRows_data();
    void fromRows();
    void merge_data();
    void merge();
    void paste_data();
    void paste();
    void importReport_data();
    void importReport();
    void writeReadRoundTrip();
    void classSettingsKept_data();
    void classSettingsKept();
    void lengthWindow_data();
    void lengthWindow();
    void readFileFailures_data();
    void readFileFailures();
    void writeFailureIsReported();
    void sidecarPath_data();
    void sidecarPath();
    void openSidecar_data();
    void openSidecar();
};

void TestRatingsFile::parseValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("grade"); // -1: unknown

    const auto row = [](const QString &text, int grade) {
        QTest::addRow("%s", qPrintable(text.isEmpty() ? QStringLiteral("empty") : text)) << text << grade;
    };
    const int none = int(Rating::None), excellent = int(Rating::Excellent), good = int(Rating::Good),
              lagging = int(Rating::Lagging);
    for (const char *text : {"优秀", "优", "好", "A", "a", " A ", "Ａ", "\t优秀\u3000"})
        row(QString::fromUtf8(text), excellent);
    for (const char *text : {"良好", "良", "中", "B", "b", "ｂ"})
        row(QString::fromUtf8(text), good);
    for (const char *text : {"后进", "待提高", "差", "C", "c", "D", "d", "Ｄ"})
        row(QString::fromUtf8(text), lagging);
    for (const char *text : {"", "   "})
        row(QString::fromUtf8(text), none);
    for (const char *text : {"E", "A+", "甲", "优秀生", "较好", "1", "良 好", "AB", "Ｅ"})
        row(QString::fromUtf8(text), -1);
}

void TestRatingsFile::parseValue()
{
    QFETCH(QString, text);
    QFETCH(int, grade);
    const std::optional<Rating> parsed = RatingsFile::parseValue(text);
    QCOMPARE(parsed ? int(*parsed) : -1, grade);
}

void TestRatingsFile::valueTextReadsBack()
{
    for (const Rating grade : {Rating::None, Rating::Excellent, Rating::Good, Rating::Lagging})
        QCOMPARE(RatingsFile::parseValue(RatingsFile::valueText(grade)), std::optional<Rating>(grade));
    QCOMPARE(RatingsFile::valueText(Rating::Good), QStringLiteral("良好"));
}

void TestRatingsFile::fromRows_data()
{
    // The sheet as CSV text; the roster and categories are Roster and Categories.
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QStringList>("grades"); // per roster student, in Categories' order
    QTest::addColumn<QString>("unknownNames");
    QTest::addColumn<QString>("unknownValues");
    QTest::addColumn<QString>("unknownCategories");
    QTest::addColumn<QString>("duplicates"); // names, then categories
    QTest::addColumn<int>("rowsWithoutName");
    QTest::addColumn<bool>("missingNameColumn");

    const QStringList none{"---", "---", "---"};
    QTest::newRow("in the library's order")
        << "姓名,学习态度,纪律,总评\n张三,优秀,良好,后进\n李四,A,b,差\n欧阳娜娜,,中,\n"
        << QStringList{"EGL", "EGL", "-G-"} << "" << "" << "" << "" << 0 << false;
    QTest::newRow("columns in another order")
        << "总评,姓名,纪律,学习态度\n后进,张三,良好,优秀\n"
        << QStringList{"EGL", "---", "---"} << "" << "" << "" << "" << 0 << false;
    QTest::newRow("a student missing, another not in the class")
        << "姓名,纪律\n王五,优秀\n李四,差\n"
        << QStringList{"---", "-L-", "---"} << "王五" << "" << "" << "" << 0 << false;
    QTest::newRow("unknown category and value")
        << "姓名,学号,纪律,体育\n张三,7,甲,优秀\n李四,8,良,\n"
        << QStringList{"---", "-G-", "---"} << "" << "张三/纪律: 甲" << "学号|体育" << "" << 0 << false;
    QTest::newRow("title above, padded names and headings")
        << "三年级二班评价表,,\n姓  名,\" 总 评 \"\n欧阳娜娜,好\n张\u3000三,优\n"
        << QStringList{"--E", "---", "--E"} << "" << "" << "" << "" << 0 << false;
    QTest::newRow("a student twice, a category twice")
        << "姓名,纪律,纪律\n张三,优秀,差\n张三,后进,\n"
        << QStringList{"-E-", "---", "---"} << "" << "" << "" << "张三|纪律" << 0 << false;
    QTest::newRow("姓名 again at the right")
        << "姓名,纪律,姓名\n张三,优秀,张三\n"
        << QStringList{"-E-", "---", "---"} << "" << "" << "" << "" << 0 << false;
    QTest::newRow("a row without a name")
        << "姓名,纪律\n,优秀\n,\n李四,良好\n"
        << QStringList{"---", "-G-", "---"} << "" << "" << "" << "" << 1 << false;
    QTest::newRow("no name column")
        << "学生,纪律\n张三,优秀\n"
        << none << "" << "" << "" << "" << 0 << true;
    QTest::newRow("empty sheet") << "" << none << "" << "" << "" << "" << 0 << true;
}

void TestRatingsFile::fromRows()
{
    QFETCH(QString, csv);
    QFETCH(QStringList, grades);
    QFETCH(QString, unknownNames);
    QFETCH(QString, unknownValues);
    QFETCH(QString, unknownCategories);
    QFETCH(QString, duplicates);
    QFETCH(int, rowsWithoutName);
    QFETCH(bool, missingNameColumn);

    Problems problems;
    const Table table = RatingsFile::fromRows(SpreadsheetNames::csvRows(csv), Roster, Categories, &problems);
    QCOMPARE(table.names, Roster);
    QCOMPARE(table.categories, Categories);
    QCOMPARE(gradeLetters(table), grades);
    QCOMPARE(problems.unknownNames, split(unknownNames));
    QCOMPARE(problems.unknownValues, split(unknownValues));
    QCOMPARE(problems.unknownCategories, split(unknownCategories));
    QCOMPARE(problems.duplicateNames + problems.duplicateCategories, split(duplicates));
    QCOMPARE(problems.rowsWithoutName, rowsWithoutName);
    QCOMPARE(problems.missingNameColumn, missingNameColumn);
}

// An import fills only what the sheet rates; the rest of the class keeps its grades.
void TestRatingsFile::merge_data()
{
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("cellsSet");
    QTest::addColumn<QString>("namesWithout");
    QTest::addColumn<QString>("categoriesWithout");

    const QStringList rated{"EEE", "GGG", "LLL"};
    QTest::newRow("part of the class")
        << "姓名,学习态度,纪律,总评\n李四,后进,后进,后进\n" << rated << QStringList{"EEE", "LLL", "LLL"} << 3
        << "张三|欧阳 娜娜" << "";
    QTest::newRow("only 总评") << "姓名,总评\n张三,良好\n李四,良好\n欧阳娜娜,良好\n" << rated
                              << QStringList{"EEG", "GGG", "LLG"} << 3 << "" << "学习态度|纪律";
    QTest::newRow("empty cells and rows keep their grades")
        << "姓名,学习态度,纪律,总评\n张三,,差,\n李四,,,\n" << rated << QStringList{"ELE", "GGG", "LLL"} << 1
        << "李四|欧阳 娜娜" << "学习态度|总评";
    QTest::newRow("nothing for the class") << "姓名,纪律\n王五,优秀\n" << rated << rated << 0
                                           << "张三|李四|欧阳 娜娜" << "学习态度|纪律|总评";
}

void TestRatingsFile::merge()
{
    QFETCH(QString, csv);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(int, cellsSet);
    QFETCH(QString, namesWithout);
    QFETCH(QString, categoriesWithout);
    const RatingsFile::Merged merged = RatingsFile::merge(tableOf(before), SpreadsheetNames::csvRows(csv), nullptr);
    QCOMPARE(gradeLetters(merged.table), after);
    QCOMPARE(merged.table.names, Roster);
    QCOMPARE(merged.cellsSet, cellsSet);
    QCOMPARE(merged.namesWithout, split(namesWithout));
    QCOMPARE(merged.categoriesWithout, split(categoriesWithout));
}

// Where pasted spreadsheet cells go.
void TestRatingsFile::paste_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("columns"); // the grid's shown columns from the current one on
    QTest::addColumn<QStringList>("after");  // all rated "GGG" before
    QTest::addColumn<int>("cellsSet");
    QTest::addColumn<QString>("refused"); // unknown names | categories | values, then the count outside

    const QList<int> all{0, 1, 2};
    QTest::newRow("down and across from the current cell")
        << "优\tC\r\n差\r\n" << 1 << QList<int>{1, 2} << QStringList{"GGG", "GEL", "GLG"} << 3 << "|||0";
    QTest::newRow("hidden column passed over") << "A\tA" << 0 << QList<int>{0, 2} << QStringList{"EGE", "GGG", "GGG"}
                                               << 2 << "|||0";
    QTest::newRow("names give the rows, the rest goes from the current column")
        << "李四\t优秀\t\t后进\n欧阳娜娜\tA" << 0 << all << QStringList{"GGG", "EGL", "EGG"} << 3 << "|||0";
    QTest::newRow("names from the second column on")
        << "张三\t差\t差" << 2 << QList<int>{1, 2} << QStringList{"GLL", "GGG", "GGG"} << 2 << "|||0";
    QTest::newRow("a heading row maps by category")
        << "姓名\t总评\t学习态度\n欧阳 娜娜\tA\tC" << 0 << QList<int>{2} << QStringList{"GGG", "GGG", "LGE"} << 2
        << "|||0";
    QTest::newRow("headings without names go down from the current row")
        << "总评\n优\n差\n" << 1 << all << QStringList{"GGG", "GGE", "GGL"} << 2 << "|||0";
    QTest::newRow("past the last column and student")
        << "优\t良\t差\n优\n优" << 1 << QList<int>{1, 2} << QStringList{"GGG", "GEG", "GEG"} << 3 << "|||2";
    QTest::newRow("what is refused")
        << "姓名\t纪律\t体育\t\n王五\t优\t优\t\n张三\t很好\t优\tA\n\tA" << 0 << all << QStringList{"GGG", "GGG", "GGG"}
        << 0 << "王五|体育|很好|2";
}

void TestRatingsFile::paste()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(QList<int>, columns);
    QFETCH(QStringList, after);
    QFETCH(int, cellsSet);
    QFETCH(QString, refused);
    const RatingsPaste::Pasted pasted = RatingsPaste::paste(tableOf({"GGG", "GGG", "GGG"}), text, row, columns);
    QCOMPARE(gradeLetters(pasted.table), after);
    QCOMPARE(pasted.cellsSet, cellsSet);
    QCOMPARE(QStringList({pasted.unknownNames.join(u','), pasted.unknownCategories.join(u','),
                          pasted.unknownValues.join(u','), QString::number(pasted.outside)})
                 .join(u'|'),
             refused);
}

void TestRatingsFile::importReport_data()
{
    QTest::addColumn<int>("cellsSet");
    QTest::addColumn<int>("namesWithout"); // 学生1, 学生2, …
    QTest::addColumn<QString>("unknownName");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("warning");

    QTest::newRow("set, some left as they were")
        << 3 << 1 << "" << true
        << "已从“评价.xlsx”读入 3 项评价。\n文件中没有这些学生的评价，保持原样：学生1\n"
           "文件中没有这些类别的评价，保持原样：纪律\n如需还原，请点“撤消”。"
        << false;
    QTest::newRow("nothing for the class")
        << 0 << 3 << "王五" << false
        << "“评价.xlsx”中没有本班学生的评价，评价表没有改动。\n有些内容没有读入：\n不在班上的姓名：王五" << true;
    QTest::newRow("many students counted")
        << 1 << 25 << "" << true
        << "已从“评价.xlsx”读入 1 项评价。\n文件中没有这些学生的评价，保持原样：学生1、学生2、学生3、学生4、学生5、学生6、"
           "学生7、学生8、学生9、学生10、学生11、学生12、学生13、学生14、学生15、学生16、学生17、学生18、学生19、学生20"
           "等 25 名学生\n文件中没有这些类别的评价，保持原样：纪律\n如需还原，请点“撤消”。"
        << false;
}

void TestRatingsFile::importReport()
{
    QFETCH(int, cellsSet);
    QFETCH(int, namesWithout);
    QFETCH(QString, unknownName);
    QFETCH(bool, changed);
    QFETCH(QString, text);
    QFETCH(bool, warning);
    RatingsFile::Merged merged;
    merged.cellsSet = cellsSet;
    for (int i = 1; i <= namesWithout; ++i)
        merged.namesWithout << QStringLiteral("学生%1").arg(i);
    // 总评 is hidden in the grid: not worth telling.
    merged.categoriesWithout = QStringList{QStringLiteral("纪律"), QStringLiteral("总评")};
    Problems problems;
    problems.unknownNames = split(unknownName);
    const RatingsReport::Message message =
        RatingsReport::imported(QStringLiteral("评价.xlsx"), merged, problems, {QStringLiteral("总评")}, changed);
    QCOMPARE(message.text, text);
    QCOMPARE(message.warning, warning);
}

void TestRatingsFile::classSettingsKept_data()
{
    // Settings rows stand above 姓名; an older copy of the program passes over them as a title.
    QTest::addColumn<QString>("settings"); // 学段|学期|字数|必写 (";" between columns), "" for unset
    QTest::addColumn<QString>("above");    // the rows written above 姓名
    QTest::newRow("nothing set: the file as before") << "|||" << "";
    QTest::newRow("stage and term") << "初中|下学期||" << "学段,初中\r\n学期,下学期\r\n";
    QTest::newRow("everything") << "小学低年级|上学期|90-150|纪律;品德,修养"
                                << "学段,小学低年级\r\n学期,上学期\r\n字数,90-150\r\n必写,纪律,\"品德,修养\"\r\n";
    QTest::newRow("小学 on the command line") << "小学|||" << "学段,小学\r\n";
}

void TestRatingsFile::classSettingsKept()
{
    QFETCH(QString, settings);
    QFETCH(QString, above);
    const QStringList fields = settings.split(u'|');
    ClassSettings kept;
    kept.stage = ClassSettings::parseStage(fields.at(0));
    kept.term = ClassSettings::parseTerm(fields.at(1));
    if (const auto window = ClassSettings::parseLength(fields.at(2))) {
        kept.minLength = window->first;
        kept.maxLength = window->second;
    }
    if (!fields.at(3).isEmpty())
        kept.required = fields.at(3).split(u';');
    const QStringList categories{QStringLiteral("纪律"), QStringLiteral("品德,修养")};
    Table table{categories, {QStringLiteral("张三")}, {{Rating::Excellent, Rating::Good}}, kept};
    const QByteArray bytes = RatingsFile::csvBytes(table);
    QCOMPARE(QString::fromUtf8(bytes.sliced(3)),
             above + QStringLiteral("姓名,纪律,\"品德,修养\"\r\n张三,优秀,良好\r\n"));
    // Read back whole; read as the library's categories (another sheet, an older reader) the
    // grades are the same and nothing is reported.
    QCOMPARE(RatingsFile::fromCsvBytes(bytes, {QStringLiteral("张三")}, nullptr), table);
    Problems problems;
    const Table read = RatingsFile::fromRows(SpreadsheetNames::csvRows(QString::fromUtf8(bytes.sliced(3))),
                                             {QStringLiteral("张三")}, categories, &problems);
    QCOMPARE(read.grades, table.grades);
    QVERIFY(RatingsFile::problemLines(problems).isEmpty());
}

void TestRatingsFile::lengthWindow_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<QString>("length");
    QTest::addColumn<int>("minimum"); // -1: the text is refused
    QTest::addColumn<int>("maximum");
    QTest::newRow("小学 default") << "小学高年级" << "" << 100 << 180;
    QTest::newRow("初中 default") << "初中" << "" << 120 << 220;
    QTest::newRow("高中 default") << "高中" << "" << 120 << 220;
    QTest::newRow("no stage") << "" << "" << 100 << 180;
    QTest::newRow("the class's own") << "初中" << "80-150" << 80 << 150;
    QTest::newRow("full-width dash and blanks") << "初中" << " 80 － 150 " << 80 << 150;
    QTest::newRow("lowest allowed") << "" << "10-10" << 10 << 10;
    QTest::newRow("below the lowest") << "" << "9-100" << -1 << -1;
    QTest::newRow("highest allowed") << "" << "100-1000" << 100 << 1000;
    QTest::newRow("above the highest") << "" << "100-1001" << -1 << -1;
    QTest::newRow("turned round") << "" << "180-100" << -1 << -1;
    QTest::newRow("one number") << "" << "150" << -1 << -1;
}

void TestRatingsFile::lengthWindow()
{
    QFETCH(QString, stage);
    QFETCH(QString, length);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    ClassSettings settings;
    settings.stage = ClassSettings::parseStage(stage);
    if (!length.isEmpty()) {
        const auto window = ClassSettings::parseLength(length);
        QCOMPARE(window.has_value(), minimum >= 0);
        if (!window)
            return;
        settings.minLength = window->first;
        settings.maxLength = window->second;
    }
    QCOMPARE(settings.minimum(), minimum);
    QCOMPARE(settings.maximum(), maximum);
}

void TestRatingsFile::writeReadRoundTrip()
{
    QTemporaryDir dir;
    const QString classPath = dir.filePath(QStringLiteral("三年级二班.py"));
    QVERIFY(FileSave::save(classPath, "class").ok());
    QVERIFY(QFile::setPermissions(classPath, QFile::ReadOwner | QFile::WriteOwner));
    const QString path = RatingsFile::sidecarPath(classPath);
    const QStringList categories{QStringLiteral("纪律"), QStringLiteral("品德,修养")};
    const QStringList roster{QStringLiteral("张三"), QStringLiteral("李\"小\"四"), QStringLiteral("王五")};
    Table table{
        categories,
        roster,
        {{Rating::Excellent, Rating::None}, {Rating::Good, Rating::Lagging}, {Rating::None, Rating::None}},
        {}};
    QVERIFY(RatingsFile::write(path, table, classPath));
    // A private class keeps private ratings.
    QVERIFY(!(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther)));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF") +
                        QStringLiteral("姓名,纪律,\"品德,修养\"\r\n张三,优秀,\r\n\"李\"\"小\"\"四\",良好,后进\r\n王五,,\r\n")
                            .toUtf8());

    Problems problems;
    const Table read = expectValue(RatingsFile::readFile(path, roster, categories, &problems));
    QCOMPARE(read, table);
    QVERIFY(problems.unknownNames.isEmpty() && problems.unknownValues.isEmpty() &&
            problems.unknownCategories.isEmpty());

    QVERIFY(RatingsFile::write(path, read, classPath));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void TestRatingsFile::readFileFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("error");

    QTest::newRow("no file") << "评价.csv" << QByteArray() << "无法读取文件“%1”";
    QTest::newRow("no name column") << "评价.csv" << QByteArray("a,b\r\n1,2\r\n")
                                    << "文件“%1”中没有“姓名”一列，无法读取评价。";
    QTest::newRow("not a workbook") << "评价.xlsx" << QByteArray("姓名,纪律\r\n") << "文件“%1”";
    QTest::newRow("UTF-16 without its mark")
        << "评价.csv" << QByteArray("\xD3\x59\x0D\x54\n\0", 6) << "文件“%1”的编码不受支持（不支持的编码）";
    QTest::newRow("larger than a ratings table")
        << "评价.csv" << QByteArray("姓名,纪律\r\n") + QByteArray(RatingsFile::MaxFileSize, 'x')
        << "文件“%1”有 4.0 MB，不像是评价表";
}

void TestRatingsFile::readFileFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const Result<Table> read = RatingsFile::readFile(path, Roster, Categories, nullptr);
    QVERIFY(!read);
    QCOMPARE(read.kind(), FailureKind::Unreadable);
    QVERIFY2(read.error().startsWith(error.arg(path)), qPrintable(read.error()));
}

void TestRatingsFile::writeFailureIsReported()
{
    QTemporaryDir dir;
    const Result<void> written = RatingsFile::write(dir.filePath(QStringLiteral("没有/评价.csv")), Table{}, {});
    QVERIFY(!written);
    QVERIFY(!written.error().isEmpty());
}

void TestRatingsFile::sidecarPath_data()
{
    QTest::addColumn<QString>("classPath");
    QTest::addColumn<QString>("sidecar");
    QTest::newRow("chinese") << "三年级二班.py" << "三年级二班.评价.csv";
    QTest::newRow("dots") << "/home/王老师/2024.秋/三.二班.py" << "/home/王老师/2024.秋/三.二班.评价.csv";
    QTest::newRow("upper-case suffix") << "D:/班级/二班.PY" << "D:/班级/二班.评价.csv";
    QTest::newRow("no suffix") << "/tmp/a.b/二班" << "/tmp/a.b/二班.评价.csv";
    QTest::newRow("other suffix") << "二班.python" << "二班.python.评价.csv";
}

void TestRatingsFile::sidecarPath()
{
    QFETCH(QString, classPath);
    QFETCH(QString, sidecar);
    QCOMPARE(RatingsFile::sidecarPath(classPath), sidecar);
}

void TestRatingsFile::openSidecar_data()
{
    QTest::addColumn<QString>("kind");       // "file", "link", "fifo" or "" for nothing there
    QTest::addColumn<uint>("classOwner");
    QTest::addColumn<uint>("sidecarOwner");
    QTest::addColumn<RatingsFile::Sidecar>("state");

    const uint us = ::geteuid();
    const uint other = 4242;
    QTest::newRow("none") << "" << us << us << RatingsFile::Sidecar::Missing;
    QTest::newRow("our file") << "file" << us << us << RatingsFile::Sidecar::Trusted;
    QTest::newRow("the class owner's file") << "file" << other << other << RatingsFile::Sidecar::Trusted;
    QTest::newRow("another's file") << "file" << us << other << RatingsFile::Sidecar::Foreign;
    QTest::newRow("our link") << "link" << us << us << RatingsFile::Sidecar::Foreign;
    QTest::newRow("a FIFO") << "fifo" << us << us << RatingsFile::Sidecar::Foreign;
}

// Only a regular file of the class's owner (or ours) beside a class is read as its ratings.
void TestRatingsFile::openSidecar()
{
    QFETCH(QString, kind);
    QFETCH(uint, classOwner);
    QFETCH(uint, sidecarOwner);
    QFETCH(RatingsFile::Sidecar, state);
    if ((classOwner != ::geteuid() || sidecarOwner != ::geteuid()) && ::geteuid() != 0)
        QSKIP("only root can give a file to another user");

    QTemporaryDir dir;
    const QString classPath = dir.filePath(QStringLiteral("一班.py"));
    const QString sidecar = RatingsFile::sidecarPath(classPath);
    const QByteArray sidecarName = QFile::encodeName(sidecar);
    QVERIFY(FileSave::save(classPath, "class").ok());
    QCOMPARE(::lchown(QFile::encodeName(classPath).constData(), classOwner, gid_t(-1)), 0);
    if (kind == u"file")
        QVERIFY(FileSave::save(sidecar, "姓名\r\n").ok());
    else if (kind == u"link")
        QVERIFY(QFile::link(classPath, sidecar));
    else if (kind == u"fifo")
        QCOMPARE(::mkfifo(sidecarName.constData(), 0600), 0);
    if (!kind.isEmpty())
        QCOMPARE(::lchown(sidecarName.constData(), sidecarOwner, gid_t(-1)), 0);

    const RatingsFile::SidecarFile opened = RatingsFile::openSidecar(sidecar, classPath);
    QCOMPARE(opened.state, state);
    // What is read is what was judged: a trusted file's own bytes, nothing of anything else.
    QCOMPARE(opened.bytes, state == RatingsFile::Sidecar::Trusted ? QByteArray("姓名\r\n") : QByteArray());
}

QTEST_APPLESS_MAIN(TestRatingsFile)
#include "tst_ratingsfile.moc"
