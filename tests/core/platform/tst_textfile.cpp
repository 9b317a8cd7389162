#include "core/platform/textfile.h"
#include "fifowatchdog.h"
#include "filelimits.h"
#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

class tst_TextFile : public QObject
{
    Q_OBJECT

private slots:
    void splitLines_data();
    void splitLines();
    void joinLinesEndsEveryLine();
    void everyGbkDoubleByteRoundTrips();
    void charactersOutsideGbkAreKept_data();
    void charactersOutsideGbkAreKept();
    void invalidBytesDoNotStopDecoding();
    void unreadableBytesAreCounted_data();
    void unreadableBytesAreCounted();
    void readAllFailures_data();
    void readAllFailures();
    void readAllRefusesWhatIsNoFile_data();
    void readAllRefusesWhatIsNoFile();
    void readAllRefusesHugeFiles();
    void saveReplacesWholeFile();
    void saveFailuresKeepOldFile_data();
    void saveFailuresKeepOldFile();
    void fullDiskMidWriteKeepsOldFile();
    void unopenableReplacementKeepsOldFile();

private:
    QTemporaryDir m_dir;
};

void tst_TextFile::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("no break at end") << "a" << QStringList{"a"};
    QTest::newRow("CR LF at end adds no line") << "a\r\n" << QStringList{"a"};
    QTest::newRow("CR LF between") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("lone CR ends a line") << "a\rb\r" << QStringList{"a", "b"};
    QTest::newRow("lone LF belongs to the line") << "a\nb\r\nc\n" << QStringList{"a\nb", "c\n"};
    QTest::newRow("LF before CR LF") << "a\n\r\nb" << QStringList{"a\n", "b"};
    QTest::newRow("CR then CR LF") << "a\r\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("empty lines") << "\r\n\r\n" << QStringList{"", ""};
    QTest::newRow("one empty line, lone CR") << "\r" << QStringList{""};
    QTest::newRow("LF CR is LF in line, then CR") << "a\n\rb" << QStringList{"a\n", "b"};
}

void tst_TextFile::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(TextFile::splitLines(text), lines);
}

void tst_TextFile::joinLinesEndsEveryLine()
{
    QCOMPARE(TextFile::joinLines({"a", "", "b"}), QStringLiteral("a\r\n\r\nb\r\n"));
    QCOMPARE(TextFile::joinLines({}), QString());
}

// Every character GBK holds is read and written back as the same two bytes, so files written
// by GBK programs are never changed by a read and a write.
void tst_TextFile::everyGbkDoubleByteRoundTrips()
{
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            QByteArray bytes;
            bytes.append(char(lead)).append(char(trail));
            const QString text = TextFile::decode(bytes);
            if (text == QString(QChar::ReplacementCharacter))
                continue;
            ++characters;
            if (text.size() != 1)
                QFAIL(qPrintable(QStringLiteral("%1 %2 gives %3 characters")
                                     .arg(lead, 0, 16)
                                     .arg(trail, 0, 16)
                                     .arg(text.size())));
            if (TextFile::encode(text) != bytes)
                QFAIL(qPrintable(
                    QStringLiteral("%1 %2 does not round-trip").arg(lead, 0, 16).arg(trail, 0, 16)));
        }
    }
    // GBK holds 21886 characters and the user-defined areas.
    QVERIFY2(characters >= 21886, qPrintable(QString::number(characters)));
    const QByteArray ascii = "teacher=abc *!* 0123456789\r\n";
    QCOMPARE(TextFile::encode(TextFile::decode(ascii)), ascii);
}

void tst_TextFile::charactersOutsideGbkAreKept_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("䶮 (Extension A)") << QStringLiteral("䶮") << QByteArray("\xfe\x9f");
    QTest::newRow("𠮷 (four bytes)") << QStringLiteral("𠮷") << QByteArray("\x95\x34\xb2\x35");
    QTest::newRow("㐀 (four bytes)") << QStringLiteral("㐀") << QByteArray("\x81\x39\xee\x39");
    QTest::newRow("emoji") << QStringLiteral("😀") << QByteArray("\x94\x39\xfc\x36");
}

void tst_TextFile::charactersOutsideGbkAreKept()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(TextFile::encode(text), bytes);
    QCOMPARE(TextFile::decode(bytes), text);
    QVERIFY(!TextFile::encode(text).contains('?'));
}

void tst_TextFile::invalidBytesDoNotStopDecoding()
{
    const QString text = TextFile::decode(QByteArray("a\xff\x80z\0b\x81", 7));
    QVERIFY(text.startsWith(u'a'));
    QVERIFY(text.contains(u'z'));
    QVERIFY(text.contains(QChar(0)));
    QVERIFY(text.contains(u'b'));
    QVERIFY(text.contains(QChar::ReplacementCharacter));
}

void tst_TextFile::unreadableBytesAreCounted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<QByteArray>("written"); // the text encoded again

    const QString r(QChar::ReplacementCharacter);
    // Code page 936 of Windows, where many comment files are made, writes the euro sign as the
    // single byte 0x80; GB18030 has it as A2 E3, which every GB18030 reader understands.
    QTest::newRow("Windows euro sign") << QByteArray("a\x80"
                                                     "b")
                                       << "a€b" << 0
                                       << QByteArray("a\xA2\xE3"
                                                     "b");
    QTest::newRow("GB18030 euro sign") << QByteArray("\xA2\xE3") << "€" << 0 << QByteArray("\xA2\xE3");
    QTest::newRow("0x80 as second byte") << QByteArray("\x81\x80") << "亐" << 0 << QByteArray("\x81\x80");
    QTest::newRow("0xFF") << QByteArray("a\xFF"
                                        "b")
                          << "a" + r + "b" << 1
                          << QByteArray("a\x84\x31\xA4\x37"
                                        "b");
    QTest::newRow("lead byte before a line break") << QByteArray("\x81\r\n") << r + "\r\n"
                                                   << 1 << QByteArray("\x84\x31\xA4\x37\r\n");
    QTest::newRow("lead byte at the end")
        << QByteArray("a\xB0") << "a" + r << 1 << QByteArray("a\x84\x31\xA4\x37");
    QTest::newRow("broken four-byte form") << QByteArray("\x81\x30\x80"
                                                         "A")
                                           << r + "0€A" << 1
                                           << QByteArray("\x84\x31\xA4\x37"
                                                         "0\xA2\xE3"
                                                         "A");
    QTest::newRow("four bytes past the BMP's")
        << QByteArray("\x84\x31\xA5\x30") << r << 1 << QByteArray("\x84\x31\xA4\x37");
    QTest::newRow("four bytes past U+10FFFF")
        << QByteArray("\xE3\x32\x9A\x36") << r << 1 << QByteArray("\x84\x31\xA4\x37");
    QTest::newRow("last BMP four-byte form")
        << QByteArray("\x84\x31\xA4\x39") << QString(QChar(0xFFFF)) << 0 << QByteArray("\x84\x31\xA4\x39");
    QTest::newRow("U+10FFFF") << QByteArray("\xE3\x32\x9A\x35") << QString::fromUcs4(U"\U0010FFFF") << 0
                              << QByteArray("\xE3\x32\x9A\x35");
    QTest::newRow("U+FFFD written in the file")
        << QByteArray("\x84\x31\xA4\x37") << r << 0 << QByteArray("\x84\x31\xA4\x37");
    QTest::newRow("three places") << QByteArray("\xFF\xFF\x80\xFE") << r + r + "€" + r << 3
                                  << QByteArray("\x84\x31\xA4\x37\x84\x31\xA4\x37\xA2\xE3\x84\x31\xA4\x37");
}

void tst_TextFile::unreadableBytesAreCounted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, unreadable);
    QFETCH(QByteArray, written);
    qsizetype counted = -1;
    QCOMPARE(TextFile::decode(bytes, &counted), text);
    QCOMPARE(counted, qsizetype(unreadable));
    QCOMPARE(TextFile::encode(text), written);
    // What was written reads back as the same text, with nothing left to replace.
    QCOMPARE(TextFile::decode(written, &counted), text);
    QCOMPARE(counted, qsizetype(0));
}

void tst_TextFile::readAllFailures_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << m_dir.filePath("missing.py");
    QTest::newRow("folder") << m_dir.path();
    QTest::newRow("missing folder") << m_dir.filePath("none/x.py");
}

void tst_TextFile::readAllFailures()
{
    QFETCH(QString, path);
    const Result<QByteArray> result = TextFile::readAll(path);
    QVERIFY(!result);
    QVERIFY(!result.error().isEmpty());
    const Result<QStringList> lines = TextFile::readLines(path);
    QVERIFY(!lines);
    QVERIFY(!lines.error().isEmpty());
}

void tst_TextFile::readAllRefusesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("pipe") << "pipe";
    QTest::newRow("link to a pipe") << "link";
    QTest::newRow("device") << "device";
}

// A pipe would keep the reader waiting for a writer for ever, a device can be endless: neither is
// read, and the teacher learns why.
void tst_TextFile::readAllRefusesWhatIsNoFile()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.py");
    QVERIFY(makeFifo(fifo));
    QString path = fifo;
    if (kind == u"link") {
        path = dir.filePath("link.py");
        QVERIFY(QFile::link(fifo, path));
    } else if (kind == u"device") {
        path = QStringLiteral("/dev/zero");
    }
    Result<QByteArray> result = QByteArray();
    QVERIFY2(finishesWithoutWaitingOn(fifo, [&] { result = TextFile::readAll(path); }), "waited on the pipe");
    QVERIFY(!result);
    QVERIFY2(result.error().contains(QStringLiteral("不是普通的文件")), qPrintable(result.error()));
    QCOMPARE(TextFile::notARegularFile(path), result.error());
}

void tst_TextFile::readAllRefusesHugeFiles()
{
    const QString path = m_dir.filePath("huge.py");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(TextFile::MaxFileSize + 1)); // sparse: takes no disk space
    file.close();
    const Result<QByteArray> result = TextFile::readAll(path);
    QVERIFY(!result);
    QVERIFY(result.error().contains(u"MB"));
    QFile::remove(path);
}

void tst_TextFile::saveReplacesWholeFile()
{
    const QString path = m_dir.filePath("replace.txt");
    QVERIFY(TextFile::saveAtomically(path, QByteArray(1000, 'x')).ok());
    QVERIFY(TextFile::writeLines(path, {"甲", "乙"}).ok());
    QCOMPARE(fileBytes(path), TextFile::encode(u"甲\r\n乙\r\n"));
    QCOMPARE(QDir(m_dir.path()).entryList({"replace.txt*"}, QDir::Files), QStringList{"replace.txt"});
}

void tst_TextFile::saveFailuresKeepOldFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("existing");

    QTest::newRow("a folder stands there") << m_dir.filePath("folder.py") << false;
    QTest::newRow("missing folder") << m_dir.filePath("none/x.py") << false;
    QTest::newRow("file system that takes no files") << QStringLiteral("/proc/qhsy-test.py") << false;
    // The replacement is made beside the target under a longer name; a target whose name
    // already uses the whole allowed length cannot be replaced.
    QTest::newRow("replacement cannot be created") << m_dir.filePath(QString(250, u'n')) << true;
}

void tst_TextFile::saveFailuresKeepOldFile()
{
    QFETCH(QString, path);
    QFETCH(bool, existing);
    QDir().mkpath(m_dir.filePath("folder.py"));
    const QByteArray old = "old content\r\n";
    if (existing) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    const QString error = TextFile::writeText(path, u"new content").error();
    QVERIFY2(!error.isEmpty(), "a failed write was reported as success");
    if (existing)
        QCOMPARE(fileBytes(path), old);
}

void tst_TextFile::fullDiskMidWriteKeepsOldFile()
{
    // A file-size limit makes the write fail part-way, as a full disk would.
    const QString path = m_dir.filePath("full.py");
    const QByteArray old(100, 'o');
    QVERIFY(TextFile::saveAtomically(path, old).ok());

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString error = TextFile::saveAtomically(path, QByteArray(1 << 20, 'n')).error();
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY2(!error.isEmpty(), "a failed write was reported as success");
    // The error behind the short write is told, and that the old file is still there.
    QVERIFY2(!error.contains(u"Unknown error") && error.contains(u"原来的文件没有改动"), qPrintable(error));
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(m_dir.path()).entryList({"full.py*"}, QDir::Files), QStringList{"full.py"});
}

// No file can be opened (as in a folder the program may not write to): the old file stays.
void tst_TextFile::unopenableReplacementKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("class.py");
    QVERIFY(TextFile::saveAtomically(path, "old").ok());
    const QString error = withNoFileToOpen([&] { return TextFile::saveAtomically(path, "new").error(); });
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(path), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"class.py"});
}

QTEST_APPLESS_MAIN(tst_TextFile)
#include "tst_textfile.moc"
