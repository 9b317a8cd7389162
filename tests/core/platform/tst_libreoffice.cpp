#include "core/platform/libreoffice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <unistd.h>

namespace {

/// Whether process `pid` still runs (a zombie, ended but not yet reaped, runs no more).
bool running(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype state = line.lastIndexOf(')') + 2;
    return state < line.size() && line[state] != 'Z' && line[state] != 'X';
}

/// A converter like soffice's launcher: it starts a child of its own (the real program), writes
/// the child's process id to `pidFile`, then does `then`.
QString fakeConverter(const QTemporaryDir &dir, const QString &pidFile, const QString &then)
{
    const QString path = dir.filePath(QStringLiteral("converter"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write(QStringLiteral("#!/bin/sh\nsleep 300 &\necho $! > '%1'\n%2\n").arg(pidFile, then).toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

} // namespace

class tst_LibreOffice : public QObject
{
    Q_OBJECT

private slots:
    void stoppedConverterLeavesNothing_data();
    void stoppedConverterLeavesNothing();
    void interruptedConversionEndsTheProgram_data();
    void interruptedConversionEndsTheProgram();
    void copySource_data();
    void copySource();
};

namespace {

/// The test's own handler stands for the default action, which would end the test: it notes
/// whether the temporary folder was already gone when the signal came through.
QByteArray g_folder;
int g_caught = 0;
bool g_folderGone = false;

void noteSignal(int signal)
{
    g_caught = signal;
    g_folderGone = ::access(g_folder.constData(), F_OK) != 0;
}

} // namespace

void tst_LibreOffice::interruptedConversionEndsTheProgram_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl+C") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
}

// Interrupted, the converter's whole group ends at once and the program only after the folder
// holding the copy of the teacher's file is removed.
void tst_LibreOffice::interruptedConversionEndsTheProgram()
{
    QFETCH(int, signal);
    struct sigaction test = {};
    test.sa_handler = noteSignal;
    struct sigaction saved;
    QCOMPARE(::sigaction(signal, &test, &saved), 0);
    g_caught = 0;
    g_folderGone = false;
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("child.pid"));
    Result<QString> converted = Failure{QString()};
    {
        const LibreOffice::InterruptScope interrupts; // as the readers and writers hold one
        QTemporaryDir work(dir.filePath(QStringLiteral("work-XXXXXX")));
        g_folder = QFile::encodeName(work.path());
        LibreOffice::Run run;
        run.program = fakeConverter(dir, pidFile, QStringLiteral("exec sleep 300"));
        bool sent = false;
        run.keepWaiting = [&] {
            if (!sent && QFile::exists(pidFile))
                sent = ::kill(::getpid(), signal) == 0;
            return true;
        };
        converted = LibreOffice::convert(work.filePath(QStringLiteral("names.xls")), QStringLiteral("xlsx"),
                                         work.path(), run);
        QCOMPARE(g_caught, 0); // not while the folder is there
    }
    ::sigaction(signal, &saved, nullptr);
    QCOMPARE(converted.kind(), FailureKind::Stopped);
    QCOMPARE(g_caught, signal);
    QVERIFY(g_folderGone);
    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const qint64 child = file.readAll().trimmed().toLongLong();
    QVERIFY(child > 0);
    QVERIFY(QTest::qWaitFor([child] { return !running(child); }));
}

void tst_LibreOffice::stoppedConverterLeavesNothing_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("message");

    QTest::newRow("runs past its time") << "exec sleep 300" << false << LibreOffice::timeoutMessage(1);
    QTest::newRow("stops itself") << "kill -STOP $$" << false << LibreOffice::timeoutMessage(1);
    QTest::newRow("cancelled") << "exec sleep 300" << true << QStringLiteral("已取消转换。");
}

// A converter that hangs is ended with every process it started, however it hangs.
void tst_LibreOffice::stoppedConverterLeavesNothing()
{
    QFETCH(QString, then);
    QFETCH(bool, cancel);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("child.pid"));
    LibreOffice::Run run;
    run.program = fakeConverter(dir, pidFile, then);
    run.timeoutSeconds = 1;
    // Cancelled once the child is there; otherwise waited for to the end.
    int asked = 0;
    run.keepWaiting = [&] {
        ++asked;
        return !(cancel && QFile::exists(pidFile));
    };

    const Result<QString> converted =
        LibreOffice::convert(dir.filePath(QStringLiteral("names.xls")), QStringLiteral("xlsx"), dir.path(), run);
    QCOMPARE(converted.kind(), FailureKind::Stopped);
    QCOMPARE(converted.error(), message);
    QVERIFY(asked > 0);

    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const qint64 child = file.readAll().trimmed().toLongLong();
    QVERIFY(child > 0);
    // The child is killed at once; its reaping is up to whoever adopted it.
    QVERIFY(QTest::qWaitFor([child] { return !running(child); }));
}

void tst_LibreOffice::copySource_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("copied");

    QTest::newRow("a class list") << qint64(3000) << true;
    QTest::newRow("at the limit") << LibreOffice::MaxSourceSize << true;
    QTest::newRow("past the limit") << LibreOffice::MaxSourceSize + 1 << false;
    QTest::newRow("2 GB of nothing") << (qint64(2) << 30) << false;
}

// A file is copied as it is; a larger one than any class list (sparse, as a hostile one would
// be) is refused before a byte of it is written.
void tst_LibreOffice::copySource()
{
    QFETCH(qint64, size);
    QFETCH(bool, copied);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("名单.xls"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write("\xd0\xcf\x11\xe0 名单") > 0);
    QVERIFY(file.resize(size)); // the rest is a hole
    file.close();
    const QString target = dir.filePath(QStringLiteral("names.xls"));

    const Result<void> result = LibreOffice::copySource(path, target);
    QCOMPARE(result.ok(), copied);
    if (copied) {
        QFile copy(target);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(copy.size(), size);
        QVERIFY(copy.readAll() == file.readAll());
    } else {
        QCOMPARE(result.error(), QStringLiteral("文件“%1”大于 64 MB，不能转换。").arg(path));
        QVERIFY(!QFile::exists(target));
    }
}

QTEST_GUILESS_MAIN(tst_LibreOffice)
#include "tst_libreoffice.moc"
