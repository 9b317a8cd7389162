#include "core/document/namelist.h"
#include "core/document/session.h"
#include "core/document/spreadsheetnames.h"
#include "core/platform/platform.h"
#include "core/platform/programfiles.h"
#include "core/platform/scratchfile.h"
#include "core/platform/textfile.h"
#include "programfolder.h"
#include "resultvalue.h"
#include "sessionedit.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using NameList::Mode;

namespace {

constexpr int Max = CommentDocument::MaxStudents;

/// U+20000, four bytes in GB18030 (95 32 82 36), two UTF-16 units.
const QString Ext = QString::fromUcs4(U"\U00020000");
const QByteArray ExtGb("\x95\x32\x82\x36");

QByteArray utf8(const char *text)
{
    return QByteArray(text);
}

QByteArray gb(const char *text)
{
    return TextFile::encode(QString::fromUtf8(text));
}

/// "名1" … "名n", one a line, without a final line break.
QString namesText(int n, int first = 1)
{
    QStringList names;
    for (int i = first; i < first + n; ++i)
        names << QStringLiteral("名%1").arg(i);
    return names.join(u'\n');
}

QStringList names(int n, int first = 1)
{
    return namesText(n, first).split(u'\n', Qt::SkipEmptyParts);
}

/// A class of n students with comments; after them a comment left in the free slot and a
/// name after the gap, which no roster change may leave behind.
CommentDocument classWithLeftovers(int n)
{
    CommentDocument document;
    for (int i = 1; i <= n; ++i)
        document.slot(i) = {QStringLiteral("学生%1").arg(i), QStringLiteral("评语%1").arg(i)};
    if (n + 1 <= Max)
        document.slot(n + 1).comment = QStringLiteral("残留");
    if (n + 2 <= Max)
        document.slot(n + 2) = {"孤", "单"};
    return document;
}

} // namespace

class tst_NameList : public QObject
{
    Q_OBJECT

private slots:
    void csvRows_data();
    void csvRows();
    void namesInSheet_data();
    void namesInSheet();
    void csvFile_data();
    void csvFile();
    void spreadsheetFiles_data();
    void spreadsheetFiles();
    void xlsWithoutLibreOffice();
    void longLineQuestion();
    void decode_data();
    void decode();

    void readFile_data();
    void readFile();
    void unreadableFile_data();
    void unreadableFile();
    void unsupportedEncoding_data();
    void unsupportedEncoding();
    void lineTooLongForAName_data();
    void lineTooLongForAName();

    void importList_data();
    void importList();
    void scratchFileBytes_data();
    void scratchFileBytes();
    void scratchFileHoldsLastList();
    void emptyListChangesNothing_data();
    void emptyListChangesNothing();
    void failedScratchWriteChangesNothing_data();
    void failedScratchWriteChangesNothing();
    void unwritableProgramFolderChangesNothing();
    void failedReadBackChangesNothing();
};

void tst_NameList::longLineQuestion()
{
    QCOMPARE(NameList::longLineQuestion(),
             QStringLiteral(
                 "系统检测到该文件中的某一行字符数大于 5个，这可能不是合法的学生姓名文件，要停止导入吗？"));
}

void tst_NameList::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("ASCII") << QByteArray("Tom\r\nAnn") << "Tom\r\nAnn";
    QTest::newRow("GBK") << QByteArray("\xD5\xC5\xC8\xFD") << "张三";
    QTest::newRow("GB18030 four bytes") << ExtGb << Ext;
    QTest::newRow("UTF-8") << utf8("张三\n李四") << "张三\n李四";
    QTest::newRow("UTF-8 four bytes") << utf8("\xF0\xA0\x80\x80") << Ext;
    QTest::newRow("UTF-8 with BOM") << utf8("\xEF\xBB\xBF张三") << "张三";
    QTest::newRow("BOM only") << utf8("\xEF\xBB\xBF") << "";
    QTest::newRow("UTF-16 little-endian") << QByteArray("\xFF\xFE\x20\x5F\x09\x4E\r\0\n\0\x3D\xD8\x00\xDE", 14)
                                          << QStringLiteral("张三\r\n😀");
    QTest::newRow("UTF-16 big-endian") << QByteArray("\xFE\xFF\x5F\x20\x4E\x09", 6) << "张三";
    // "涓" in GBK is E4 B8, the start of a three-byte UTF-8 sequence: cut off at the end, the
    // bytes are not UTF-8.
    QTest::newRow("UTF-8 sequence cut off at the end") << QByteArray("ab\xE4\xB8") << "ab涓";
    QTest::newRow("GBK after valid UTF-8")
        << QByteArray("\xE5\xBC\xA0\xD5\xC5") << TextFile::decode("\xE5\xBC\xA0\xD5\xC5");
}

void tst_NameList::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(NameList::decode(bytes), text);
}

void tst_NameList::readFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("answers"); // MsgAnswer to each long-line question, in order
    QTest::addColumn<QString>("text");

    const QList<int> none;
    const int yes = int(MsgAnswer::Yes);
    const int no = int(MsgAnswer::No);

    QTest::newRow("GBK") << QByteArray("\xD5\xC5\xC8\xFD\r\n\xC0\xEE\xCB\xC4\r\n") << none
                         << "张三\r\n李四\r\n";
    QTest::newRow("GB18030 four bytes") << ExtGb + "\r\n" << none << Ext + "\r\n";
    QTest::newRow("UTF-8 with BOM") << utf8("\xEF\xBB\xBF张三\r\n李四") << none << "张三\r\n李四\r\n";
    QTest::newRow("UTF-8 without BOM") << utf8("张三\r\n李四\r\n") << none << "张三\r\n李四\r\n";
    QTest::newRow("LF only") << gb("张三\n李四\n") << none << "张三\r\n李四\r\n";
    QTest::newRow("CR only") << gb("张三\r李四\r") << none << "张三\r\n李四\r\n";
    QTest::newRow("mixed") << gb("a\r\nb\rc\nd") << none << "a\r\nb\r\nc\r\nd\r\n";
    QTest::newRow("LF CR is two breaks") << gb("a\n\rb") << none << "a\r\n\r\nb\r\n";
    QTest::newRow("empty lines kept") << gb("a\n\n\r\n\rb\n") << none << "a\r\n\r\n\r\n\r\nb\r\n";
    QTest::newRow("no final line break") << gb("张三") << none << "张三\r\n";
    QTest::newRow("empty file") << QByteArray() << none << "";
    QTest::newRow("one line break") << QByteArray("\n") << none << "\r\n";

    QTest::newRow("5 characters") << gb("欧阳娜娜子\n") << none << "欧阳娜娜子\r\n";
    QTest::newRow("5 letters") << QByteArray("abcde") << none << "abcde\r\n";
    QTest::newRow("5 four-byte characters") << ExtGb.repeated(5) << none << Ext.repeated(5) + "\r\n";
    QTest::newRow("6 characters, No")
        << gb("甲\n欧阳娜娜子丑\n乙") << QList<int>{no} << "甲\r\n欧阳娜娜子丑\r\n乙\r\n";
    QTest::newRow("6 characters, Yes") << gb("甲\n欧阳娜娜子丑\n乙") << QList<int>{yes} << "";
    QTest::newRow("6 letters, No") << QByteArray("abcdef") << QList<int>{no} << "abcdef\r\n";
    QTest::newRow("blanks count") << gb(" 张三   \n") << QList<int>{no} << " 张三   \r\n";
    QTest::newRow("6 four-byte characters, No")
        << ExtGb.repeated(6) << QList<int>{no} << Ext.repeated(6) + "\r\n";
    QTest::newRow("6 four-byte characters, Yes") << ExtGb.repeated(6) << QList<int>{yes} << "";
    QTest::newRow("UTF-8 long line") << utf8("\xEF\xBB\xBF一二三四五六") << QList<int>{no}
                                     << "一二三四五六\r\n";
    QTest::newRow("two long lines, No twice") << gb("一二三四五六\n甲\n子丑寅卯辰巳午") << QList<int>{no, no}
                                              << "一二三四五六\r\n甲\r\n子丑寅卯辰巳午\r\n";
    QTest::newRow("two long lines, No then Yes")
        << gb("一二三四五六\n甲\n子丑寅卯辰巳午") << QList<int>{no, yes} << "";
    QTest::newRow("two long lines, Yes at the first")
        << gb("一二三四五六\n甲\n子丑寅卯辰巳午") << QList<int>{yes} << "";
}

void tst_NameList::readFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, answers);
    QFETCH(QString, text);

    QTemporaryDir dir;
    const QString path = dir.filePath("names.txt");
    QVERIFY(TextFile::saveAtomically(path, bytes).ok());
    qsizetype asked = 0;
    const Result<QString> read = NameList::readFile(path, [&] {
        // Each long line asks once; the answers say whether to stop.
        return asked < answers.size() && MsgAnswer(answers.at(asked++)) == MsgAnswer::Yes;
    });
    QCOMPARE(expectValue(read), text);
    QCOMPARE(asked, answers.size());
}

void tst_NameList::unreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << "missing.txt";
    QTest::newRow("a folder") << "folder";
}

void tst_NameList::unreadableFile()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    const QString path = dir.filePath(name);
    const Result<QString> read = NameList::readFile(path, [] { return false; });
    QCOMPARE(read.kind(), FailureKind::Unreadable);
    QVERIFY2(read.error().startsWith(QStringLiteral("无法读取文件“%1”：").arg(path)),
             qPrintable(read.error()));
    QVERIFY(read.error().size() > path.size() + 12); // and the reason
}

void tst_NameList::unsupportedEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("UTF-16 without its mark") << QByteArray("\x20\x5F\x09\x4E\n\0", 6);
    QTest::newRow("UTF-32 with its mark") << QByteArray("\xFF\xFE\0\0\x20\x5F\0\0", 8);
}

void tst_NameList::unsupportedEncoding()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("names.txt");
    QVERIFY(TextFile::saveAtomically(path, bytes).ok());
    const Result<QString> read = NameList::readFile(path, [] { return false; });
    QCOMPARE(read.kind(), FailureKind::Unreadable);
    QVERIFY2(read.error().contains(QStringLiteral("不支持的编码")), qPrintable(read.error()));
}

void tst_NameList::lineTooLongForAName_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("row"); // the row refused, 0 for none
    QTest::addColumn<int>("characters");
    const QByteArray longest(SpreadsheetNames::MaxNameLength, 'a');
    QTest::newRow("the longest name") << QByteArray("x\n") + longest << 0 << 0;
    QTest::newRow("one character more") << QByteArray("x\n") + longest + "a\ny" << 2 << 51;
    QTest::newRow("50 four-byte characters") << ExtGb.repeated(50) << 0 << 0;
    QTest::newRow("a line of 5 MB") << QByteArray("x\r\ny\r\n") + QByteArray(5 << 20, 'a') << 3 << (5 << 20);
}

void tst_NameList::lineTooLongForAName()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, row);
    QFETCH(int, characters);
    QTemporaryDir dir;
    const QString path = dir.filePath("names.txt");
    QVERIFY(TextFile::saveAtomically(path, bytes).ok());
    const Result<QString> read = NameList::readFile(path, [] { return false; });
    if (row == 0) {
        QVERIFY(read.ok());
        return;
    }
    QCOMPARE(read.kind(), FailureKind::Unreadable);
    QCOMPARE(read.error(), NameList::tooLongMessage(path, row, characters));
    QVERIFY2(read.error().contains(QStringLiteral("第 %1 行").arg(row)), qPrintable(read.error()));
}

void tst_NameList::importList_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("students");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("added"); // the names that went in, in slot order
    QTest::addColumn<bool>("dropped");

    QTest::newRow("replace: empty line skipped")
        << true << 5 << "甲\n\n乙" << QStringList{"甲", "乙"} << false;
    QTest::newRow("replace: every kind of line break") << true << 5 << "甲\r\n乙\r丙\n丁\r\n"
                                                       << QStringList{"甲", "乙", "丙", "丁"} << false;
    QTest::newRow("replace: names as typed")
        << true << 0 << "甲\n  \n 乙 \n\t" << QStringList{"甲", "  ", " 乙 ", "\t"} << false;
    QTest::newRow("replace: four-byte character")
        << true << 0 << Ext + "丙" << QStringList{Ext + "丙"} << false;
    QTest::newRow("replace: a full roster with 3") << true << 100 << namesText(3) << names(3) << false;
    QTest::newRow("replace: 99 names") << true << 5 << namesText(99) << names(99) << false;
    QTest::newRow("replace: 100 names, no final line break")
        << true << 5 << namesText(100) << names(100) << false;
    QTest::newRow("replace: 100 names and a line break") << true << 5 << namesText(100) + "\n"
                                                         << names(100) << false;
    QTest::newRow("replace: 100 names and empty lines") << true << 5 << namesText(100) + "\n\r\n\r\n\n"
                                                        << names(100) << false;
    QTest::newRow("replace: 100 names among empty lines")
        << true << 5 << namesText(50) + "\n\n\n" + namesText(50, 51) + "\n\n"
        << names(100) << false;
    QTest::newRow("replace: 101 names") << true << 5 << namesText(101) << names(100) << true;
    QTest::newRow("replace: 100 names, empty lines, a name")
        << true << 5 << namesText(100) + "\n\n\n迟到" << names(100) << true;
    QTest::newRow("replace: a line of blanks after 100 is a name")
        << true << 5 << namesText(100) + "\n " << names(100) << true;

    QTest::newRow("add: to an empty roster") << false << 0 << "甲\n乙" << QStringList{"甲", "乙"} << false;
    QTest::newRow("add: to 3 students") << false << 3 << "甲\n\n乙\n" << QStringList{"甲", "乙"} << false;
    QTest::newRow("add: 98 students and 2 names") << false << 98 << namesText(2) << names(2) << false;
    QTest::newRow("add: 98 students and 5 names") << false << 98 << namesText(5) << names(2) << true;
    QTest::newRow("add: 99 students and 1 name") << false << 99 << namesText(1) << names(1) << false;
    QTest::newRow("add: 99 students and 2 names") << false << 99 << namesText(2) << names(1) << true;
    QTest::newRow("add: 99 students, 1 name and a line break") << false << 99 << "名1\r\n"
                                                               << names(1) << false;
    QTest::newRow("add: to a full roster") << false << 100 << namesText(3) << QStringList{} << true;
}

void tst_NameList::importList()
{
    QFETCH(bool, replace);
    QFETCH(int, students);
    QFETCH(QString, list);
    QFETCH(QStringList, added);
    QFETCH(bool, dropped);

    ProgramFolder folder;
    Session state;
    state.setProgramFolder(folder.path());
    state.replaceDocument(classWithLeftovers(students));
    editDocument(state, [&](CommentDocument &d) { d.TeacherSignature = QStringLiteral("王老师"); });
    const CommentDocument before = state.Document();

    const Result<NameList::Imported> result =
        NameList::importList(state, list, replace ? Mode::Replace : Mode::Add);
    QCOMPARE(expectValue(result).dropped, dropped);

    const CommentDocument &doc = state.Document();
    const int kept = replace ? 0 : students;
    QCOMPARE(doc.studentCount(), kept + added.size());
    for (int i = 1; i <= kept; ++i)
        QCOMPARE(doc.slot(i), before.slot(i));
    for (int i = 0; i < added.size(); ++i)
        QCOMPARE(doc.slot(kept + 1 + i), (StudentSlot{added[i], QString()}));
    for (int i = kept + int(added.size()) + 1; i <= Max; ++i)
        QCOMPARE(doc.slot(i), StudentSlot{});
    QCOMPARE(doc.TeacherSignature, QStringLiteral("王老师"));
    QCOMPARE(doc.ItemFonts, before.ItemFonts);
}

void tst_NameList::scratchFileBytes_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("GB18030, CR LF") << "张三\n" + Ext + "\r\n李四"
                                    << QByteArray("\xD5\xC5\xC8\xFD\r\n") + ExtGb +
                                           "\r\n\xC0\xEE\xCB\xC4\r\n";
    QTest::newRow("lone CRs and LFs become CR LF") << "a\rb\nc" << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("empty lines kept") << "a\n\n\r\nb" << QByteArray("a\r\n\r\n\r\nb\r\n");
    QTest::newRow("a final line break stays") << "a\r\n" << QByteArray("a\r\n\r\n");
}

void tst_NameList::scratchFileBytes()
{
    QFETCH(QString, list);
    QFETCH(QByteArray, bytes);
    ProgramFolder folder;
    Session state;
    state.setProgramFolder(folder.path());
    QVERIFY(NameList::importList(state, list, Mode::Replace).ok());
    QCOMPARE(fileBytes(folder.file(ProgramFiles::ScratchName)), bytes);
}

void tst_NameList::scratchFileHoldsLastList()
{
    ProgramFolder folder;
    Session state;
    state.setProgramFolder(folder.path());
    QVERIFY(NameList::importList(state, namesText(100), Mode::Replace).ok());
    QVERIFY(NameList::importList(state, "甲", Mode::Add).ok());
    QCOMPARE(fileBytes(folder.file(ProgramFiles::ScratchName)), gb("甲\r\n"));
    QCOMPARE(state.Document().studentCount(), 100);
    QCOMPARE(state.Document().slot(100).name, QStringLiteral("名100"));
}

void tst_NameList::emptyListChangesNothing_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("students");
    QTest::addColumn<QString>("list");

    QTest::newRow("replace: empty list") << true << 5 << "";
    QTest::newRow("replace: one line break") << true << 5 << "\n";
    QTest::newRow("replace: only line breaks") << true << 5 << "\n\r\n\r";
    QTest::newRow("replace: a full roster, only line breaks") << true << 100 << "\r\n\r\n";
    QTest::newRow("add: empty list") << false << 3 << "";
    QTest::newRow("add: only line breaks") << false << 3 << "\r\r\n\n";
    QTest::newRow("add: nothing to a full roster") << false << 100 << "";
    QTest::newRow("add: empty lines to a full roster") << false << 100 << "\n\n";
}

// A list without a name is refused before anything is touched: the roster, its comments and
// the scratch file holding the last list all stay.
void tst_NameList::emptyListChangesNothing()
{
    QFETCH(bool, replace);
    QFETCH(int, students);
    QFETCH(QString, list);
    ProgramFolder folder;
    Session state;
    state.setProgramFolder(folder.path());
    state.replaceDocument(classWithLeftovers(students));
    const CommentDocument before = state.Document();
    const QString scratch = folder.file(ProgramFiles::ScratchName);
    QVERIFY(TextFile::saveAtomically(scratch, gb("上次\r\n")).ok());

    QVERIFY(!NameList::hasNames(list));
    const Result<NameList::Imported> result =
        NameList::importList(state, list, replace ? Mode::Replace : Mode::Add);
    QCOMPARE(state.Document(), before);
    QCOMPARE(fileBytes(scratch), gb("上次\r\n"));
    QCOMPARE(result.kind(), FailureKind::Empty);
    QCOMPARE(result.error(), QStringLiteral("不能导入一个空的列表！"));
}

void tst_NameList::failedScratchWriteChangesNothing_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addColumn<bool>("folderInTheWay"); // else the disk fills during the write

    QTest::newRow("replace: a folder of the scratch file's name") << true << true;
    QTest::newRow("add: a folder of the scratch file's name") << false << true;
    QTest::newRow("replace: disk full") << true << false;
    QTest::newRow("add: disk full") << false << false;
}

void tst_NameList::failedScratchWriteChangesNothing()
{
    QFETCH(bool, replace);
    QFETCH(bool, folderInTheWay);
    ProgramFolder folder;
    const QString scratch = folder.file(ProgramFiles::ScratchName);
    Session state;
    state.setProgramFolder(folder.path());
    state.replaceDocument(classWithLeftovers(10));
    const CommentDocument before = state.Document();
    const Mode mode = replace ? Mode::Replace : Mode::Add;

    Result<NameList::Imported> result = NameList::Imported{};
    if (folderInTheWay) {
        QVERIFY(QDir().mkdir(scratch));
        result = NameList::importList(state, "甲\n乙", mode);
    } else {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        result = NameList::importList(state, namesText(100).repeated(10), mode);
        setrlimit(RLIMIT_FSIZE, &saved);
    }
    QVERIFY(!result);
    QVERIFY2(result.error().startsWith(QStringLiteral("无法写入临时文件“%1”：").arg(scratch)),
             qPrintable(result.error()));
    QVERIFY(result.error().size() > scratch.size() + 12); // and the reason
    QCOMPARE(state.Document(), before);
}

// The scratch file cannot be made at all: its program folder is a regular file (for root too).
void tst_NameList::unwritableProgramFolderChangesNothing()
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QVERIFY(TextFile::saveAtomically(plain, "a file, not a folder").ok());
    Session state;
    state.setProgramFolder(plain + u'/');
    state.replaceDocument(classWithLeftovers(10));
    const CommentDocument before = state.Document();
    const Result<NameList::Imported> result = NameList::importList(state, "甲\n乙", Mode::Replace);
    QVERIFY(!result);
    QVERIFY2(result.error().startsWith(QStringLiteral("无法写入临时文件")), qPrintable(result.error()));
    QCOMPARE(state.Document(), before);
}

// A list too large to be read back (over the 64 MB a read takes) is written but refused.
void tst_NameList::failedReadBackChangesNothing()
{
    ProgramFolder folder;
    const QString scratch = folder.file(ProgramFiles::ScratchName);
    Session state;
    state.setProgramFolder(folder.path());
    state.replaceDocument(classWithLeftovers(10));
    const CommentDocument before = state.Document();

    const QString huge = QString(int(TextFile::MaxFileSize / 2), u'长') + u'\n' + namesText(5);
    const Result<NameList::Imported> result = NameList::importList(state, huge, Mode::Replace);
    QVERIFY(!result);
    QVERIFY2(result.error().startsWith(QStringLiteral("无法读取临时文件“%1”：").arg(scratch)),
             qPrintable(result.error()));
    QVERIFY(result.error().size() > scratch.size() + 12);
    QCOMPARE(state.Document(), before);
}

void tst_NameList::csvRows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QStringList>>("rows");
    using Rows = QList<QStringList>;
    QTest::newRow("commas, CR LF") << "学号,姓名\r\n1,张三\r\n" << Rows{{"学号", "姓名"}, {"1", "张三"}};
    QTest::newRow("quoted comma and quote") << "\"王,五\",\"说\"\"好\"\"\"\n" << Rows{{"王,五", "说\"好\""}};
    QTest::newRow("line break inside quotes") << "\"一\n二\",三" << Rows{{"一\n二", "三"}};
    QTest::newRow("TABs when there is no comma") << "1\t张三\n2\t李四" << Rows{{"1", "张三"}, {"2", "李四"}};
    QTest::newRow("empty lines left out") << "甲\n\n\r\n乙" << Rows{{"甲"}, {"乙"}};
    QTest::newRow("empty fields kept") << ",甲," << Rows{{"", "甲", ""}};
    QTest::newRow("no final break") << "甲" << Rows{{"甲"}};
}

void tst_NameList::csvRows()
{
    QFETCH(QString, text);
    QFETCH(QList<QStringList>, rows);
    QCOMPARE(SpreadsheetNames::csvRows(text), rows);
}

void tst_NameList::namesInSheet_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QStringList>("names");
    using Rows = QList<QStringList>;
    QTest::newRow("the 姓名 column below its heading")
        << Rows{{"学号", "姓名", "性别"}, {"1", " 张三 ", "男"}, {"2", "", "女"}, {"3", "李四", "女"}}
        << QStringList{"张三", "李四"};
    QTest::newRow("学生姓名 under a title row")
        << Rows{{"三年级二班名单"}, {"序号", "学生姓名"}, {"1", "王五"}} << QStringList{"王五"};
    QTest::newRow("名字") << Rows{{"名字"}, {"赵六"}} << QStringList{"赵六"};
    QTest::newRow("no heading: the first column of text")
        << Rows{{"1", "张三", "男"}, {"2", "李四", "女"}} << QStringList{"张三", "李四"};
    QTest::newRow("no heading: a title above numbers and names")
        << Rows{{"三年级二班名单"}, {"1", "张三"}, {"2", "李四"}} << QStringList{"张三", "李四"};
    QTest::newRow("a spaced heading, a break inside a cell")
        << Rows{{"姓  名"}, {"欧阳\n娜娜"}} << QStringList{"欧阳 娜娜"};
    QTest::newRow("nothing") << Rows{} << QStringList{};
}

void tst_NameList::namesInSheet()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QStringList, names);
    QCOMPARE(SpreadsheetNames::namesIn(rows), names);
}

// A CSV file from a spreadsheet goes in as a text list of its names: GB18030 as Excel saves it
// in China, or UTF-8 with a byte-order mark and quoted fields as LibreOffice and WPS can.
void tst_NameList::csvFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("GB18030") << gb("序号,姓名\r\n1,张三\r\n2,欧阳娜娜子丑\r\n");
    // The mark must go: else the heading 姓名 is not found and comes in as a name.
    QTest::newRow("UTF-8, BOM, quotes")
        << utf8("\uFEFF\"姓名\",\"备注\"\n\"张三\",\"班长, 组长\"\n\"欧阳娜娜子丑\",\"\"\"好\"\"\"\n");
}

void tst_NameList::csvFile()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("名单.CSV"));
    QVERIFY(TextFile::saveAtomically(path, bytes).ok());
    int asked = 0;
    const Result<QString> read = NameList::readFile(path, [&] {
        ++asked; // the six-character name
        return false;
    });
    QCOMPARE(expectValue(read), QStringLiteral("张三\r\n欧阳娜娜子丑\r\n"));
    QCOMPARE(asked, 1);
}

void tst_NameList::spreadsheetFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");  // the list read
    QTest::addColumn<QString>("error"); // how the reason starts, "" none
    // names.xlsx: the workbook's first sheet is sheet2.xml; the 姓名 column under a title row,
    // shared strings (one in two rich-text runs), an inline string, an empty cell, a gap row.
    QTest::newRow("xlsx") << "names.xlsx"
                          << "张三\r\n欧阳娜娜\r\n李四\r\n王五\r\n"
                          << "";
    // names.ods: 学生姓名 under a title of two paragraphs, repeated columns and rows (a million
    // blank rows at the end), a second sheet.
    QTest::newRow("ods") << "names.ods"
                         << "张三\r\n李四\r\n"
                         << "";
    // Written by LibreOffice from names.xls: styles, a workbook of its own making.
    QTest::newRow("xlsx written by LibreOffice") << "libreoffice.xlsx"
                                                 << "张三\r\n欧阳娜娜\r\n李四\r\n"
                                                 << "";
    // An old Excel file, converted by LibreOffice Calc on the way.
    QTest::newRow("xls") << "names.xls"
                         << "张三\r\n欧阳娜娜\r\n李四\r\n"
                         << "";
    // class101.*, saved by LibreOffice Calc: a merged title, a 班级 column merged down each half
    // of the class, an empty row between the halves, a name merged across two columns. All 101
    // go on to the import, which keeps the first 100.
    const QString class101 =
        QString::fromUtf8(fileBytes(testDataFile(QStringLiteral("spreadsheet/class101.txt"))));
    QTest::newRow("101 names with merged cells, xlsx") << "class101.xlsx" << class101 << "";
    QTest::newRow("101 names with merged cells, ods") << "class101.ods" << class101 << "";
    QTest::newRow("protected by a password") << "protected.xlsx"
                                             << ""
                                             << "文件“%1”设有密码保护";
    QTest::newRow("damaged") << "damaged.ods"
                             << ""
                             << "文件“%1”不是有效的";
}

void tst_NameList::spreadsheetFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QString, error);
    if (file.endsWith(u".xls") && QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        QSKIP("LibreOffice is not installed");
    const QString path = testDataFile(QStringLiteral("spreadsheet/") + file);
    const Result<QString> read = NameList::readFile(path, [] { return false; });
    if (error.isEmpty()) {
        QCOMPARE(expectValue(read), text);
    } else {
        QCOMPARE(read.kind(), FailureKind::Unreadable);
        QVERIFY2(read.error().startsWith(error.arg(path)), qPrintable(read.error()));
    }
}

// Without LibreOffice an .xls file says what is missing and how to do without.
void tst_NameList::xlsWithoutLibreOffice()
{
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toLocal8Bit());
    const Result<QString> read =
        NameList::readFile(testDataFile(QStringLiteral("spreadsheet/names.xls")), [] { return false; });
    qputenv("PATH", path);
    QCOMPARE(read.kind(), FailureKind::Unreadable);
    QVERIFY2(read.error().startsWith(QStringLiteral("读取 .xls 文件需要 LibreOffice Calc")),
             qPrintable(read.error()));
}

QTEST_APPLESS_MAIN(tst_NameList)
#include "tst_namelist.moc"
