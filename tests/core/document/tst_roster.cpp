#include "classof.h"
#include "core/document/commentfile.h"
#include "core/document/personname.h"
#include "core/document/roster.h"
#include "core/document/templatefile.h"
#include "core/platform/textfile.h"
#include "filelimits.h"
#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int Max = CommentDocument::MaxStudents;

/// The roster as a list, for comparing with what a change should leave.
QList<StudentSlot> studentsOf(const CommentDocument &document)
{
    QList<StudentSlot> students;
    for (int i = 1; i <= document.studentCount(); ++i)
        students << document.slot(i);
    return students;
}

/// Every slot from `first` on holds neither a name nor a comment.
bool emptyFrom(const CommentDocument &document, int first)
{
    for (int i = first; i <= Max; ++i) {
        if (document.slot(i) != StudentSlot{})
            return false;
    }
    return true;
}

QByteArray gb(const char *utf8)
{
    return TextFile::encode(QString::fromUtf8(utf8));
}

/// The bytes of a file with its second line replaced, found by its CR LF bytes.
QByteArray withSecondLine(const QByteArray &bytes, const QByteArray &line)
{
    const qsizetype first = bytes.indexOf("\r\n");
    const qsizetype second = bytes.indexOf("\r\n", first + 2);
    QByteArray result = bytes;
    if (second < 0)
        return result.left(first + 2) + line + "\r\n";
    return result.replace(first + 2, second - first - 2, line);
}

} // namespace

class tst_Roster : public QObject
{
    Q_OBJECT

private slots:
    void addStudent_data();
    void addStudent();
    void deleteStudent_data();
    void deleteStudent();
    void renameStudent_data();
    void renameStudent();
    void deleteAll_data();
    void deleteAll();
    void indexOf_data();
    void indexOf();
    void givenNames_data();
    void givenNames();
    void commentedCount_data();
    void commentedCount();
    void progressMessage_data();
    void progressMessage();

    // The template's roster and signature.
    void storeRoster_data();
    void storeRoster();
    void storedRosterReadsBack();
    void storeSignature_data();
    void storeSignature();
    void storeSignatureTwiceAddsNothing();
    void templateUnreadable_data();
    void templateUnreadable();
    void templateTooShort_data();
    void templateTooShort();
    void failedTemplateWriteKeepsOldFile();
    void templateTooLargeToReadBackKeepsOldFile();
    void unmadeReplacementKeepsOldTemplate();
};

void tst_Roster::addStudent_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("index");

    QTest::newRow("empty roster") << 0 << 0;
    QTest::newRow("one student") << 1 << 1;
    QTest::newRow("98 students") << 98 << 98;
    QTest::newRow("99 students: the 100th fits") << 99 << 99;
    QTest::newRow("100 students: full") << 100 << -1;
}

void tst_Roster::addStudent()
{
    QFETCH(int, students);
    QFETCH(int, index);
    CommentDocument doc = classOf(students);
    // A free slot may still hold a comment (a file can leave one there); adding keeps it.
    if (students < Max)
        doc.slot(students + 1).comment = QStringLiteral("残留");
    const CommentDocument before = doc;

    QCOMPARE(Roster::addStudent(doc, QStringLiteral("新生")), index);
    if (index < 0) {
        QCOMPARE(doc, before);
        return;
    }
    QCOMPARE(doc.studentCount(), students + 1);
    QCOMPARE(doc.slot(index + 1), (StudentSlot{"新生", "残留"}));
    QCOMPARE(studentsOf(doc).mid(0, students), studentsOf(before));
}

void tst_Roster::deleteStudent_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("leftovers"); // a comment in the free slot, a name after the gap

    QTest::newRow("first of 5") << 5 << 0 << false;
    QTest::newRow("third of 5") << 5 << 2 << false;
    QTest::newRow("last of 5") << 5 << 4 << false;
    QTest::newRow("only student") << 1 << 0 << false;
    QTest::newRow("first of 100") << 100 << 0 << false;
    QTest::newRow("99th of 100") << 100 << 98 << false;
    QTest::newRow("100th of 100") << 100 << 99 << false;
    QTest::newRow("first of 99") << 99 << 0 << false;
    QTest::newRow("99th of 99") << 99 << 98 << false;
    QTest::newRow("third of 5, leftovers cleared") << 5 << 2 << true;
    QTest::newRow("last of 5, leftovers cleared") << 5 << 4 << true;
    QTest::newRow("first of 98, leftovers cleared") << 98 << 0 << true;
    QTest::newRow("k = -1") << 5 << -1 << false;
    QTest::newRow("k = count") << 5 << 5 << true;
    QTest::newRow("k = 100 of 100") << 100 << 100 << false;
    QTest::newRow("empty roster") << 0 << 0 << false;
}

void tst_Roster::deleteStudent()
{
    QFETCH(int, students);
    QFETCH(int, k);
    QFETCH(bool, leftovers);
    CommentDocument doc = classOf(students);
    if (leftovers) {
        doc.slot(students + 1).comment = QStringLiteral("残留");
        doc.slot(students + 2).name = QStringLiteral("孤");
    }
    const CommentDocument before = doc;

    Roster::deleteStudent(doc, k);
    if (k < 0 || k >= students) {
        QCOMPARE(doc, before);
        return;
    }
    QList<StudentSlot> expected = studentsOf(before);
    expected.removeAt(k);
    QCOMPARE(studentsOf(doc), expected);
    QVERIFY(emptyFrom(doc, students));
}

void tst_Roster::renameStudent_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("renamed");

    QTest::newRow("first") << 3 << 0 << "王五" << true;
    QTest::newRow("last") << 3 << 2 << "王五" << true;
    QTest::newRow("100th of 100") << 100 << 99 << "王五" << true;
    QTest::newRow("a duplicate name is accepted") << 3 << 1 << "学生1" << true;
    QTest::newRow("blanks are kept") << 3 << 1 << "  王 五 " << true;
    QTest::newRow("k = -1") << 3 << -1 << "王五" << false;
    QTest::newRow("k = count: a free slot") << 3 << 3 << "王五" << false;
    QTest::newRow("k = 100") << 100 << 100 << "王五" << false;
}

void tst_Roster::renameStudent()
{
    QFETCH(int, students);
    QFETCH(int, k);
    QFETCH(QString, name);
    QFETCH(bool, renamed);
    CommentDocument doc = classOf(students);
    CommentDocument expected = doc;
    if (renamed)
        expected.slot(k + 1).name = name;

    Roster::renameStudent(doc, k, name);
    QCOMPARE(doc, expected);
}

void tst_Roster::deleteAll_data()
{
    QTest::addColumn<int>("students");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("99") << 99;
    QTest::newRow("100") << 100;
}

void tst_Roster::deleteAll()
{
    QFETCH(int, students);
    CommentDocument doc = classOf(students);
    doc.TeacherSignature = QStringLiteral("王老师");
    Roster::deleteAll(doc);
    QVERIFY(emptyFrom(doc, 1));
    QCOMPARE(doc.TeacherSignature, QStringLiteral("王老师"));

    // Only the roster goes: a name after a gap is not a student and stays.
    CommentDocument gap = classOf(students);
    if (students + 2 <= Max) {
        gap.slot(students + 2) = {"孤", "单"};
        Roster::deleteAll(gap);
        QCOMPARE(gap.slot(students + 2), (StudentSlot{"孤", "单"}));
        QCOMPARE(gap.studentCount(), 0);
    }
}

void tst_Roster::indexOf_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");

    QTest::newRow("first") << "张三" << 0;
    QTest::newRow("a duplicate: the first one") << "李四" << 1;
    QTest::newRow("last") << "王五" << 3;
    QTest::newRow("exact: trailing blank differs") << "张三 " << -1;
    QTest::newRow("exact: part of a name") << "张" << -1;
    QTest::newRow("missing") << "赵六" << -1;
    QTest::newRow("after the gap: not a student") << "孤" << -1;
    QTest::newRow("empty name") << "" << -1;
}

void tst_Roster::indexOf()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    CommentDocument doc;
    doc.slot(1).name = "张三";
    doc.slot(2).name = "李四";
    doc.slot(3).name = "李四";
    doc.slot(4).name = "王五";
    doc.slot(6).name = "孤";
    QCOMPARE(Roster::indexOf(doc, name), index);
}

// The name a comment calls a student by, for the drafts' {名} and the class check's mentions.
void tst_Roster::givenNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("given");
    QTest::newRow("one-character surname") << "王小明"
                                           << "小明";
    QTest::newRow("two-character surname") << "欧阳娜娜"
                                           << "娜娜";
    QTest::newRow("端木") << "端木子涵"
                          << "子涵";
    QTest::newRow("one-character given name") << "王明"
                                              << "王明";
    QTest::newRow("two-character surname, one-character given name") << "诸葛亮"
                                                                     << "诸葛亮";
    QTest::newRow("司马光") << "司马光"
                            << "司马光";
    QTest::newRow("a surname alone") << "李"
                                     << "李";
    QTest::newRow("a surname outside the BMP") << "𠀀明亮"
                                               << "明亮";
    QTest::newRow("a given name outside the BMP") << "王𠀀"
                                                  << "王𠀀";
}

void tst_Roster::givenNames()
{
    QFETCH(QString, name);
    QFETCH(QString, given);
    QCOMPARE(PersonName::givenName(name), given);
}

void tst_Roster::commentedCount_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("count");

    // Comments in slots 1, 3, 99 and 100.
    QTest::newRow("none counted") << 0 << 0;
    QTest::newRow("first slot") << 1 << 1;
    QTest::newRow("first two") << 2 << 1;
    QTest::newRow("first three") << 3 << 2;
    QTest::newRow("98") << 98 << 2;
    QTest::newRow("99") << 99 << 3;
    QTest::newRow("100") << 100 << 4;
}

void tst_Roster::commentedCount()
{
    QFETCH(int, n);
    QFETCH(int, count);
    CommentDocument doc = classOf(Max);
    for (int i = 1; i <= Max; ++i)
        doc.slot(i).comment.clear();
    doc.slot(1).comment = "好";
    doc.slot(3).comment = "\r\n"; // only a line break is still a comment
    doc.slot(99).comment = " ";
    doc.slot(100).comment = "末";
    QCOMPARE(Roster::commentedCount(doc, n), count);
}

void tst_Roster::progressMessage_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("commented");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty class") << 0 << 0 << "共有学生 0人，其中已输入评语的共 0人。";
    QTest::newRow("one digit") << 9 << 1 << "共有学生 9人，其中已输入评语的共 1人。";
    QTest::newRow("two digits") << 30 << 12 << "共有学生 30人，其中已输入评语的共 12人。";
    QTest::newRow("99") << 99 << 99 << "共有学生 99人，其中已输入评语的共 99人。";
    QTest::newRow("full class") << 100 << 100 << "共有学生 100人，其中已输入评语的共 100人。";
}

void tst_Roster::progressMessage()
{
    QFETCH(int, students);
    QFETCH(int, commented);
    QFETCH(QString, message);
    QCOMPARE(Roster::progressMessage(students, commented), message);
}

void tst_Roster::storeRoster_data()
{
    QTest::addColumn<QString>("templateFile"); // in tests/data; "" = the shipped normal.pyn
    QTest::addColumn<QStringList>("names");    // slot 1, 2, …; "" leaves a slot free
    QTest::addColumn<QByteArray>("roster");    // the bytes after the 14 header lines

    const QByteArray twoStudents = gb("*!*甲\r\n*!*\r\n*!*乙\r\n*!*\r\n");
    QTest::newRow("empty roster: header only") << "" << QStringList{} << QByteArray();
    QTest::newRow("two students") << "" << QStringList{"甲", "乙"} << twoStudents;
    QTest::newRow("slots after a gap are stored too") << "" << QStringList{"甲", "", "乙"} << twoStudents;
    QTest::newRow("four-byte character") << "" << QStringList{QString::fromUcs4(U"\U00020000")}
                                         << QByteArray("*!*\x95\x32\x82\x36\r\n*!*\r\n");
    QTest::newRow("blanks and duplicates as they are")
        << "" << QStringList{" 甲 ", " 甲 "} << gb("*!* 甲 \r\n*!*\r\n*!* 甲 \r\n*!*\r\n");
    QTest::newRow("CR in a name would split the line")
        << "" << QStringList{"张\r三"} << gb("*!*张 三\r\n*!*\r\n");
    // The old roster, with its comments, is replaced; the header is kept byte for byte.
    QTest::newRow("roster and comments replaced") << "basic.py" << QStringList{"甲", "乙"} << twoStudents;
    QTest::newRow("header ending without a line break")
        << "no_final_break" << QStringList{"甲"} << gb("*!*甲\r\n*!*\r\n");
}

void tst_Roster::storeRoster()
{
    QFETCH(QString, templateFile);
    QFETCH(QStringList, names);
    QFETCH(QByteArray, roster);

    ProgramFolder folder;
    const QString path = folder.file("normal.pyn");
    QByteArray original = fileBytes(path);
    if (templateFile == "no_final_break") {
        // The 14 header lines of the template without the last CR LF.
        original.chop(2);
        QVERIFY(TextFile::saveAtomically(path, original).ok());
    } else if (!templateFile.isEmpty()) {
        original = fileBytes(testDataFile(templateFile));
        QVERIFY(TextFile::saveAtomically(path, original).ok());
    }
    // The header: everything up to the 14th CR LF.
    qsizetype end = 0;
    for (int line = 0; line < TemplateFile::HeaderLines && end >= 0; ++line) {
        const qsizetype at = original.indexOf("\r\n", end);
        end = at < 0 ? -1 : at + 2;
    }
    const QByteArray header = end < 0 ? original + "\r\n" : original.left(end);

    CommentDocument doc;
    for (int i = 0; i < names.size(); ++i)
        doc.slot(i + 1) = {names[i], QStringLiteral("不存入模板的评语")};
    QCOMPARE(TemplateFile::storeRoster(path, doc).error(), QString());
    QCOMPARE(fileBytes(path), header + roster);
}

void tst_Roster::storedRosterReadsBack()
{
    ProgramFolder folder;
    const QString path = folder.file("normal.pyn");
    const CommentDocument full = classOf(Max);
    QCOMPARE(TemplateFile::storeRoster(path, full).error(), QString());
    QCOMPARE(TextFile::splitLines(TextFile::decode(fileBytes(path))).size(), 14 + 2 * Max);

    CommentDocument back;
    QVERIFY(CommentFile::read(path, back).ok());
    QCOMPARE(back.studentCount(), Max);
    for (int i = 1; i <= Max; ++i)
        QCOMPARE(back.slot(i), (StudentSlot{full.slot(i).name, QString()}));
    QCOMPARE(back.TeacherSignature, QStringLiteral("****老师"));

    // Storing a smaller roster afterwards leaves nothing of the larger one.
    CommentDocument two;
    two.slot(1).name = "甲";
    two.slot(2).name = "乙";
    QCOMPARE(TemplateFile::storeRoster(path, two).error(), QString());
    QCOMPARE(TextFile::splitLines(TextFile::decode(fileBytes(path))).size(), 18);
    QVERIFY(CommentFile::read(path, back).ok());
    QCOMPARE(back.studentCount(), 2);
    QCOMPARE(back.slot(3), StudentSlot{});
}

void tst_Roster::storeSignature_data()
{
    QTest::addColumn<QString>("templateFile"); // in tests/data; "" = the shipped normal.pyn
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QByteArray>("line2");

    QTest::newRow("shipped template") << ""
                                      << "王老师" << gb("teacher=王老师");
    QTest::newRow("empty signature") << ""
                                     << "" << QByteArray("teacher=");
    QTest::newRow("four-byte character")
        << "" << QString::fromUcs4(U"\U00020000老师") << QByteArray("teacher=\x95\x32\x82\x36") + gb("老师");
    QTest::newRow("CR would split the line") << ""
                                             << "王\r老师" << gb("teacher=王 老师");
    QTest::newRow("roster and comments kept") << "basic.py"
                                              << "李老师" << gb("teacher=李老师");
    // Lone CRs end lines and become CR LF; a lone LF stays inside its line.
    QTest::newRow("line ends made CR LF") << "line_ends.py"
                                          << "李老师" << gb("teacher=李老师");
    QTest::newRow("two lines, no final line break") << "two_lines"
                                                    << "李老师" << gb("teacher=李老师");
}

void tst_Roster::storeSignature()
{
    QFETCH(QString, templateFile);
    QFETCH(QString, signature);
    QFETCH(QByteArray, line2);

    ProgramFolder folder;
    const QString path = folder.file("normal.pyn");
    QByteArray original = fileBytes(path);
    if (templateFile == "two_lines")
        original = "first\r\nteacher=old";
    else if (!templateFile.isEmpty())
        original = fileBytes(testDataFile(templateFile));
    QVERIFY(TextFile::saveAtomically(path, original).ok());
    // line_ends.expected.py holds the same lines as line_ends.py, each ended by CR LF.
    const QByteArray lines =
        templateFile == "line_ends.py" ? fileBytes(testDataFile("line_ends.expected.py")) : original;

    QCOMPARE(TemplateFile::storeSignature(path, signature).error(), QString());
    QCOMPARE(fileBytes(path), withSecondLine(lines, line2));
}

void tst_Roster::storeSignatureTwiceAddsNothing()
{
    ProgramFolder folder;
    const QString path = folder.file("normal.pyn");
    QVERIFY(TextFile::saveAtomically(path, fileBytes(testDataFile("basic.py"))).ok());
    QCOMPARE(TemplateFile::storeSignature(path, "一").error(), QString());
    const QByteArray once = fileBytes(path);
    QCOMPARE(TemplateFile::storeSignature(path, "二").error(), QString());
    QCOMPARE(TemplateFile::storeSignature(path, "一").error(), QString());
    QCOMPARE(fileBytes(path), once);

    CommentDocument back;
    QVERIFY(CommentFile::read(path, back).ok());
    QCOMPARE(back.TeacherSignature, QStringLiteral("一"));
    QCOMPARE(back.studentCount(), 4);
}

void tst_Roster::templateUnreadable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("roster"); // storeRoster, else storeSignature

    QTest::newRow("roster: missing file") << "missing.pyn" << true;
    QTest::newRow("roster: a folder") << "folder" << true;
    QTest::newRow("signature: missing file") << "missing.pyn" << false;
    QTest::newRow("signature: a folder") << "folder" << false;
}

void tst_Roster::templateUnreadable()
{
    QFETCH(QString, name);
    QFETCH(bool, roster);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    const QString path = dir.filePath(name);

    const QString error = roster ? TemplateFile::storeRoster(path, classOf(2)).error()
                                 : TemplateFile::storeSignature(path, "王老师").error();
    QVERIFY2(error.startsWith(QStringLiteral("无法读取模板文件“%1”：").arg(path)), qPrintable(error));
    QVERIFY(error.size() > path.size() + 12); // and the reason
    // Nothing was made in its place.
    QCOMPARE(QFileInfo(path).isDir(), name == "folder");
    QCOMPARE(QFileInfo::exists(path), name == "folder");
}

// Bytes of the template that are no text come back as U+FFFD, four bytes each: a rewrite that
// would make the template too large to be read again is not written.
void tst_Roster::templateTooLargeToReadBackKeepsOldFile()
{
    ProgramFolder folder;
    const QString path = folder.file("normal.pyn");
    const QByteArray old =
        fileBytes(testDataFile("basic.py")) + QByteArray(17 * 1024 * 1024, '\xFF') + "\r\n";
    QVERIFY(TextFile::saveAtomically(path, old).ok());
    const QString error = TemplateFile::storeSignature(path, "王老师").error();
    QVERIFY2(error.startsWith(QStringLiteral("无法写入模板文件“%1”：文件将有").arg(path)), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("上限 64 MB")));
    QCOMPARE(fileBytes(path), old);
}

void tst_Roster::templateTooShort_data()
{
    QTest::addColumn<bool>("roster");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("roster: empty file") << true << 0 << false;
    QTest::newRow("roster: 13 lines") << true << 13 << false;
    QTest::newRow("roster: 14 lines") << true << 14 << true;
    QTest::newRow("roster: 15 lines") << true << 15 << true;
    QTest::newRow("signature: empty file") << false << 0 << false;
    QTest::newRow("signature: 1 line") << false << 1 << false;
    QTest::newRow("signature: 2 lines") << false << 2 << true;
    QTest::newRow("signature: 3 lines") << false << 3 << true;
}

void tst_Roster::templateTooShort()
{
    QFETCH(bool, roster);
    QFETCH(int, lines);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString path = dir.filePath("normal.pyn");
    QStringList content;
    for (int i = 1; i <= lines; ++i)
        content << QStringLiteral("第%1行").arg(i);
    QVERIFY(TextFile::writeLines(path, content).ok());
    const QByteArray before = fileBytes(path);

    const QString error = roster ? TemplateFile::storeRoster(path, classOf(1)).error()
                                 : TemplateFile::storeSignature(path, "王老师").error();
    if (accepted) {
        QCOMPARE(error, QString());
        QVERIFY(fileBytes(path) != before);
        return;
    }
    QCOMPARE(error, QStringLiteral("模板文件“%1”已损坏：只有 %2 行，至少应有 %3 行。")
                        .arg(path)
                        .arg(lines)
                        .arg(roster ? 14 : 2));
    QCOMPARE(fileBytes(path), before);
}

void tst_Roster::failedTemplateWriteKeepsOldFile()
{
    ProgramFolder folder;
    const QString path = folder.file("normal.pyn");
    const QByteArray before = fileBytes(path);

    // 100 long names make the file larger than the limit.
    CommentDocument doc;
    for (int i = 1; i <= Max; ++i)
        doc.slot(i).name = QString(400, u'名') + QString::number(i);
    const QString error =
        withFileSizeLimit(16 * 1024, [&] { return TemplateFile::storeRoster(path, doc).error(); });
    QVERIFY2(error.startsWith(QStringLiteral("无法写入模板文件“%1”：").arg(path)), qPrintable(error));
    QVERIFY(error.size() > path.size() + 12);
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QDir(folder.path()).entryList({"normal.pyn*"}, QDir::Files), QStringList{"normal.pyn"});

    const QString signatureError = withFileSizeLimit(
        64, [&] { return TemplateFile::storeSignature(path, QString(100, u'长')).error(); });
    QVERIFY2(signatureError.startsWith(QStringLiteral("无法写入模板文件“%1”：").arg(path)),
             qPrintable(signatureError));
    QCOMPARE(fileBytes(path), before);
}

// The replacement is made beside the template under a longer name, which cannot be made when
// the name already has the longest length allowed (for root too).
void tst_Roster::unmadeReplacementKeepsOldTemplate()
{
    QTemporaryDir dir;
    const QString longest = dir.filePath(QString(250, u't'));
    QVERIFY(QFile::copy(QStringLiteral(QHSY_DATA_DIR "/normal.pyn"), longest));
    const QByteArray before = fileBytes(longest);
    const QString rosterError = TemplateFile::storeRoster(longest, classOf(2)).error();
    QVERIFY2(rosterError.startsWith(QStringLiteral("无法写入模板文件")), qPrintable(rosterError));
    QCOMPARE(fileBytes(longest), before);
}

QTEST_APPLESS_MAIN(tst_Roster)
#include "tst_roster.moc"
