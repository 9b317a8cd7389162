#include "programfolder.h"
#include "programrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The command-line modes run without the window part; a window needs it and says so when it
// cannot be loaded.
class tst_WindowPart : public QObject
{
    Q_OBJECT

private slots:
    void commandLineLoadsNoWindowLibraries_data();
    void commandLineLoadsNoWindowLibraries();
    void unusableWindowPart_data();
    void unusableWindowPart();
};

void tst_WindowPart::commandLineLoadsNoWindowLibraries_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("help") << QStringList{"--help"} << 0;
    QTest::newRow("print-pdf") << QStringList{"--print-pdf", testDataFile("basic.py"), "OUT"} << 0;
    QTest::newRow("check") << QStringList{"--check", testDataFile("basic.py")} << 3;
}

void tst_WindowPart::commandLineLoadsNoWindowLibraries()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    arguments.replaceInStrings(QStringLiteral("OUT"), dir.filePath(QStringLiteral("class.pdf")));

    // The dynamic loader names every library it opens, plugins included.
    const ProgramRun run = runProgramAt(QStringLiteral(QHSY_PROGRAM_DIR "/qhsy"), arguments,
                                        {QStringLiteral("LD_DEBUG=files")});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(QStringLiteral("file=libQt6Core.so")), "the loader told nothing");
    for (const char *library : {"libQt6Widgets", "libQt6PrintSupport", "libcups", "libqhsy_window"})
        QVERIFY2(!run.err.contains(QLatin1String(library)), library);
}

void tst_WindowPart::unusableWindowPart_data()
{
    QTest::addColumn<QByteArray>("library");

    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not a library") << QByteArray("not a library\n");
}

void tst_WindowPart::unusableWindowPart()
{
    QFETCH(QByteArray, library);
    // A copy of the executable in a folder of its own, which is where it looks for the library.
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("qhsy"));
    QVERIFY(QFile::copy(QStringLiteral(QHSY_PROGRAM_DIR "/qhsy"), program));
    if (!library.isNull()) {
        QFile file(dir.filePath(QStringLiteral("libqhsy_window.so")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(library);
    }

    const ProgramRun run = runProgramAt(program, {testDataFile("basic.py")}, {}, 20000);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(QStringLiteral("无法打开窗口：窗口组件 libqhsy_window.so 缺失或已损坏（")), qPrintable(run.err));
    QVERIFY(run.err.endsWith(QStringLiteral("）。请重新安装青禾书苑。\n")));
    QCOMPARE(run.out, QString());
}

QTEST_GUILESS_MAIN(tst_WindowPart)
#include "tst_windowpart.moc"
