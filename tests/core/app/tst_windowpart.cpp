#include "programfolder.h"
#include "programrun.h"

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
    void unusableLibZip();
};

void tst_WindowPart::commandLineLoadsNoWindowLibraries_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("loaded");

    // Every mode runs on the one shared copy of the core that the window part uses too.
    const QString basic = testDataFile("basic.py");
    QTest::newRow("help") << QStringList{"--help"} << QStringList{"libQt6Core", "libqhsy_core"};
    QTest::newRow("print-pdf") << QStringList{"--print-pdf", basic, "OUT.pdf"}
                               << QStringList{"libQt6Core", "libqpdf", "libqhsy_core"};
    // A spreadsheet brings libzip in when it is opened.
    QTest::newRow("import-names")
        << QStringList{"--import-names", testDataFile("spreadsheet/names.xlsx"), "-", "OUT.py"}
        << QStringList{"libQt6Core", "libzip", "libqhsy_core"};
}

void tst_WindowPart::commandLineLoadsNoWindowLibraries()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, loaded);
    QTemporaryDir dir;
    arguments.replaceInStrings(QStringLiteral("OUT"), dir.filePath(QStringLiteral("class")));

    // The dynamic loader names every library it opens, plugins included.
    const ProgramRun run = runProgramAt(QStringLiteral(QHSY_PROGRAM_DIR "/qhsy"), arguments,
                                        {QStringLiteral("LD_DEBUG=files")});
    QCOMPARE(run.exitCode, 0);
    for (const QString &library : loaded)
        QVERIFY2(run.err.contains(QStringLiteral("file=") + library), qPrintable(library));
    for (const QString library : {"libQt6Widgets", "libQt6PrintSupport", "libcups", "libqhsy_window", "libzip"}) {
        if (!loaded.contains(library))
            QVERIFY2(!run.err.contains(library), qPrintable(library));
    }
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

// libzip is loaded only to open a spreadsheet; a broken one is told like an unreadable file.
void tst_WindowPart::unusableLibZip()
{
    QTemporaryDir dir;
    QFile broken(dir.filePath(QStringLiteral(QHSY_LIBZIP_SONAME)));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a library\n");
    broken.close();
    const QString out = dir.filePath(QStringLiteral("class.py"));

    const ProgramRun run =
        runProgramAt(QStringLiteral(QHSY_PROGRAM_DIR "/qhsy"),
                     {"--import-names", testDataFile("spreadsheet/names.xlsx"), "-", out},
                     {QStringLiteral("LD_LIBRARY_PATH=") + dir.path()});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QStringLiteral("无法读取表格文件：程序库 " QHSY_LIBZIP_SONAME " 缺失或已损坏（")),
             qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
}

QTEST_GUILESS_MAIN(tst_WindowPart)
#include "tst_windowpart.moc"
