#include "core/app/messages.h"
#include "core/app/programlocation.h"
#include "core/app/startupsequence.h"
#include "core/document/commentfile.h"
#include "core/document/session.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "sessionedit.h"
#include "ui/app/copyright.h"
#include "ui/app/mainwindow.h"
#include "ui/platform/qtplatform.h"

#include <QDirIterator>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <map>
#include <memory>

namespace {

/// Copies the shipped data files into a folder, leaving out some of them.
void copyData(const QString &folder, const QStringList &leftOut)
{
    const QString source = QStringLiteral(QHSY_DATA_DIR);
    QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString relative = QDir(source).relativeFilePath(from);
        if (leftOut.contains(relative))
            continue;
        QDir().mkpath(QFileInfo(folder + relative).path());
        QFile::copy(from, folder + relative);
    }
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void allPresent();
    void noPrinterGoesOnQuietly();
    void missingDataFile_data();
    void missingDataFile();
    void initialValues();
    void noCupsServerMeansNoPrinter();
    void programFolder_data();
    void programFolder();

    void splashRunsSequenceOnceAndOpensMain();
    void splashEndsProgramWhenFileMissing();
    void splashClosesOnClickKeyAndTimer_data();
    void splashClosesOnClickKeyAndTimer();

    void mainLoadsTemplate();
    void mainOpensCommandLineFile();
    void mainProtectsRejectedFile_data();
    void mainProtectsRejectedFile();

private:
    QStringList runSequence(ProgramFolder &folder, ScriptedPlatform &platform, Session &state, bool *ok);
};

void tst_Startup::initTestCase()
{
    // The printer check must not find a printer of the machine the tests run on.
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
}

void tst_Startup::cleanup()
{
    copyright::StartupDone = false;
}

QStringList tst_Startup::runSequence(ProgramFolder &folder, ScriptedPlatform &platform, Session &state,
                                     bool *ok)
{
    QStringList statuses;
    StartupSequence sequence(state, platform, folder.path(), [&](const QString &text) { statuses << text; });
    *ok = sequence.run();
    return statuses;
}

void tst_Startup::allPresent()
{
    ProgramFolder folder;
    ScriptedPlatform platform;
    Session state;
    bool ok = false;
    const QStringList statuses = runSequence(folder, platform, state, &ok);
    QVERIFY(ok);
    QCOMPARE(statuses,
             (QStringList{"配置系统运行环境...", "配置系统运行环境...成功！", "检测必须的系统文件...",
                          "检测必须的系统文件...成功！", "开始引导主界面..."}));
    QCOMPARE(platform.printerSettings, QList<int>{2});
    QCOMPARE(platform.registeredFolders, QStringList{folder.path()});
    QVERIFY(platform.shown.isEmpty());
    QHSY_VERIFY_DIALOGS(platform);
}

// Without a printer the teacher still previews and writes PDF files: start-up says nothing.
void tst_Startup::noPrinterGoesOnQuietly()
{
    ProgramFolder folder;
    ScriptedPlatform platform;
    platform.printerAvailable = false;
    Session state;
    bool ok = false;
    const QStringList statuses = runSequence(folder, platform, state, &ok);
    QVERIFY(ok);
    QCOMPARE(statuses.last(), QStringLiteral("开始引导主界面..."));
    QVERIFY(platform.printerSettings.isEmpty());
    QVERIFY(platform.shown.isEmpty());
    QHSY_VERIFY_DIALOGS(platform);
}

void tst_Startup::missingDataFile_data()
{
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<bool>("printer");
    QTest::newRow("pyk.vxd") << QStringList{"pyk.vxd"} << true;
    QTest::newRow("printsetup.vxd") << QStringList{"printsetup.vxd"} << true;
    QTest::newRow("normal.pyn") << QStringList{"normal.pyn"} << true;
    QTest::newRow("all three") << QStringList{"pyk.vxd", "printsetup.vxd", "normal.pyn"} << true;
    QTest::newRow("no printer either") << QStringList{"normal.pyn"} << false;
}

void tst_Startup::missingDataFile()
{
    QFETCH(QStringList, missing);
    QFETCH(bool, printer);
    ProgramFolder folder;
    for (const QString &file : missing)
        QVERIFY(folder.remove(file));
    ScriptedPlatform platform;
    platform.printerAvailable = printer;
    platform.expectMessage();
    Session state;
    bool ok = true;
    const QStringList statuses = runSequence(folder, platform, state, &ok);
    QVERIFY(!ok);
    QCOMPARE(statuses.last(), QStringLiteral("检测必须的系统文件..."));
    QVERIFY(platform.registeredFolders.isEmpty());
    QHSY_VERIFY_DIALOGS(platform);
    const ShownDialog &fatal = platform.shown.last();
    QCOMPARE(fatal.text, QStringLiteral("必须的系统文件丢失！请重新安装本系统！"));
    QCOMPARE(fatal.icon, MsgIcon::Critical);
    QCOMPARE(fatal.title, QStringLiteral("系统提示"));
    QCOMPARE(platform.shown.size(), 1); // a missing printer is not told at start-up
}

void tst_Startup::initialValues()
{
    ProgramFolder folder;
    ScriptedPlatform platform;
    Session state;
    state.setCurrentFile("/x.py", true);
    state.markModified();
    state.setCurrentStudent(5);
    editDocument(state, [](CommentDocument &d) {
        d.TeacherSignature = "x";
        d.ItemFonts[2].bold = true;
        d.slot(100) = {"a", "b"};
    });
    bool ok = false;
    runSequence(folder, platform, state, &ok);
    QVERIFY(ok);
    QCOMPARE(state.ProgramFolder(), folder.path());
    QVERIFY(state.ProgramFolder().endsWith(u'/'));
    QCOMPARE(state.CurrentPath(), QString());
    QVERIFY(!state.Modified());
    QVERIFY(!state.HasFileName());
    QCOMPARE(state.CurrentStudent(), -1);
    QCOMPARE(state.Document(), CommentDocument{});
    QCOMPARE(state.Document().TeacherSignature, QStringLiteral("****老师"));
    QCOMPARE(state.Document().ItemFonts[0], (ItemFont{"宋体", 9, false, false}));
}

void tst_Startup::noCupsServerMeansNoPrinter()
{
    QtPlatform platform;
    QVERIFY(!platform.printerInstalled());
    platform.setPrinterSetting(2); // harmless without a printer
}

void tst_Startup::programFolder_data()
{
    QTest::addColumn<QString>("executable");           // the executable's folder: "program" or "bin"
    QTest::addColumn<QStringList>("beside");           // data files beside the executable
    QTest::addColumn<QStringList>("installedMissing"); // left out of <root>/share/qhsy
    QTest::addColumn<QString>("user");     // the user folder: "none", "teacher", "partial", "unset"
    QTest::addColumn<QString>("expected"); // "executable", "user" or "installed"
    QTest::addColumn<bool>("starts");

    const QStringList all = ProgramFiles::Required;
    const QStringList noLayouts{"pyk.vxd", "normal.pyn"};
    QTest::newRow("build folder with its data") << "program" << all << QStringList{} << "none"
                                                << "executable" << true;
    QTest::newRow("build folder lacking printsetup.vxd, an installed copy beside it")
        << "program" << noLayouts << QStringList{} << "none"
        << "executable" << false;
    QTest::newRow("build folder without data") << "program" << QStringList{} << QStringList{} << "none"
                                               << "executable" << false;
    QTest::newRow("portable folder named bin lacking printsetup.vxd")
        << "bin" << noLayouts << QStringList{} << "none"
        << "executable" << false;
    QTest::newRow("installed: first start") << "bin" << QStringList{} << QStringList{} << "none"
                                            << "user" << true;
    QTest::newRow("installed: the teacher's files kept")
        << "bin" << QStringList{} << QStringList{} << "teacher"
        << "user" << true;
    QTest::newRow("installed: a file missing from the teacher's copy")
        << "bin" << QStringList{} << QStringList{} << "partial"
        << "user" << false;
    QTest::newRow("installed: incomplete installation")
        << "bin" << QStringList{} << QStringList{"printsetup.vxd"} << "none"
        << "user" << false;
    QTest::newRow("installed: no user folder") << "bin" << QStringList{} << QStringList{} << "unset"
                                               << "installed" << true;
}

// The per-user copy belongs to an installed program alone and is made once; any other program
// runs on the folder of its executable, and a file missing there ends the start.
void tst_Startup::programFolder()
{
    QFETCH(QString, executable);
    QFETCH(QStringList, beside);
    QFETCH(QStringList, installedMissing);
    QFETCH(QString, user);
    QFETCH(QString, expected);
    QFETCH(bool, starts);

    QTemporaryDir root;
    const QString bin = root.filePath(executable) + u'/';
    const QString installed = root.filePath("share/qhsy") + u'/';
    const QString home = root.filePath("home/qhsy") + u'/';
    QVERIFY(QDir().mkpath(bin));
    for (const QString &file : beside)
        QVERIFY(QFile::copy(QStringLiteral(QHSY_DATA_DIR "/") + file, bin + file));
    copyData(installed, installedMissing);
    const QByteArray teacher = "teacher's own";
    if (user == u"teacher" || user == u"partial") {
        QVERIFY(QDir().mkpath(home));
        for (const QString &file : ProgramFiles::Required) {
            if (user == u"teacher" || file != u"printsetup.vxd")
                QVERIFY(TextFile::saveAtomically(home + file, teacher).ok());
        }
    }
    const FileMap userBefore = folderSnapshot(home);
    const FileMap installedFiles = folderSnapshot(installed);

    const QString folder = ProgramLocation::resolve(bin, user == u"unset" ? QString() : home);
    QCOMPARE(folder, expected == u"user" ? home : expected == u"installed" ? installed : bin);
    if (expected == u"user" && user == u"none" && starts)
        QVERIFY(folderSnapshot(home) == installedFiles); // the first start's copy
    else
        QVERIFY(folderSnapshot(home) == userBefore); // made once, never refilled
    QVERIFY(folderSnapshot(installed) == installedFiles);

    ScriptedPlatform platform;
    if (!starts)
        platform.expectMessage();
    Session state;
    StartupSequence sequence(state, platform, folder, {});
    QCOMPARE(sequence.run(), starts);
    QHSY_VERIFY_DIALOGS(platform);
    QCOMPARE(platform.shown.size(), starts ? 0 : 1);
    if (!starts) {
        QCOMPARE(platform.shown[0].text, AppMessages::MissingFilesMessage);
        QCOMPARE(platform.shown[0].icon, MsgIcon::Critical);
    }
}

void tst_Startup::splashRunsSequenceOnceAndOpensMain()
{
    ProgramFolder folder;
    ScriptedPlatform platform;
    Session state;
    int mainOpened = 0;
    copyright splash(state, platform, folder.path(), [&] { ++mainOpened; });
    QCOMPARE(splash.findChild<QLabel *>("Label1")->text(), QStringLiteral("青禾书苑"));
    QCOMPARE(splash.findChild<QLabel *>("Label1")->font().pointSizeF(), 18.0);
    QVERIFY(splash.findChild<QLabel *>("Label1")->font().bold());
    QCOMPARE(splash.findChild<QLabel *>("Label6")->text(), QStringLiteral("（v1.0）"));
    QCOMPARE(splash.findChild<QLabel *>("Label10")->text(), QStringLiteral("标准版"));
    QCOMPARE(splash.findChild<QTimer *>("Timer1")->interval(), 10000);
    splash.show();
    QTRY_COMPARE(mainOpened, 1);
    QVERIFY(copyright::StartupDone);
    QCOMPARE(splash.doing()->text(), QStringLiteral("开始引导主界面...成功！"));
    QTRY_VERIFY(!splash.isVisible());

    // Shown again as the About window: the status clears and nothing is initialised again.
    state.setCurrentFile("/class.py", state.HasFileName());
    editDocument(state, [&](CommentDocument &d) { d.slot(1) = {"甲", "评语"}; });
    splash.show();
    QTRY_COMPARE(splash.doing()->text(), QString());
    QCOMPARE(mainOpened, 1);
    QCOMPARE(state.CurrentPath(), QStringLiteral("/class.py"));
    QCOMPARE(state.Document().studentCount(), 1);
    splash.close();
    QHSY_VERIFY_DIALOGS(platform);
}

void tst_Startup::splashEndsProgramWhenFileMissing()
{
    ProgramFolder folder;
    folder.remove("pyk.vxd");
    ScriptedPlatform platform;
    platform.expectMessage();
    Session state;
    int mainOpened = 0;
    copyright splash(state, platform, folder.path(), [&] { ++mainOpened; });
    QSignalSpy failed(&splash, &copyright::startupFailed);
    splash.show();
    QTRY_COMPARE(failed.size(), 1);
    QVERIFY(!splash.isVisible());
    QCOMPARE(mainOpened, 0);
    QHSY_VERIFY_DIALOGS(platform);
}

void tst_Startup::splashClosesOnClickKeyAndTimer_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << "click";
    QTest::newRow("key") << "key";
    QTest::newRow("timer") << "timer";
}

void tst_Startup::splashClosesOnClickKeyAndTimer()
{
    QFETCH(QString, how);
    copyright::StartupDone = true; // the About window
    ScriptedPlatform platform;
    Session state;
    copyright splash(state, platform, QString(), {});
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    auto *timer = splash.findChild<QTimer *>("Timer1");
    QVERIFY(timer->isActive());
    if (how == u"click")
        QTest::mouseClick(&splash, Qt::LeftButton);
    else if (how == u"key")
        QTest::keyClick(&splash, Qt::Key_A);
    else
        timer->start(10); // the same timer, made to tick now
    QTRY_VERIFY(!splash.isVisible());
}

void tst_Startup::mainLoadsTemplate()
{
    ProgramFolder folder;
    ScriptedPlatform platform;
    Session state;
    state.reset(folder.path());
    MainWindow window(state, platform);
    QCOMPARE(window.objectName(), QStringLiteral("main"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Quillmark 青禾书苑 v1.0"));
    window.load(QString());
    QCOMPARE(state.CurrentPath(), QString());
    QVERIFY(!state.HasFileName());
    QVERIFY(!state.Modified());
    QCOMPARE(state.Document().TeacherSignature, QStringLiteral("****老师"));
    QHSY_VERIFY_DIALOGS(platform);
}

void tst_Startup::mainOpensCommandLineFile()
{
    ProgramFolder folder;
    ScriptedPlatform platform;
    Session state;
    state.reset(folder.path());
    MainWindow window(state, platform);
    window.load(testDataFile("basic.py"));
    QCOMPARE(state.CurrentPath(), testDataFile("basic.py"));
    QVERIFY(state.HasFileName());
    QVERIFY(!state.Modified());
    QCOMPARE(state.Document().studentCount(), 4);
    QHSY_VERIFY_DIALOGS(platform);
}

void tst_Startup::mainProtectsRejectedFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("rejected") << testDataFile("wrong_header.py");
    QTest::newRow("unreadable") << testDataFile("no such file.py");
}

void tst_Startup::mainProtectsRejectedFile()
{
    QFETCH(QString, path);
    ProgramFolder folder;
    ScriptedPlatform platform;
    platform.expectMessage();
    Session state;
    state.reset(folder.path());
    MainWindow window(state, platform);
    window.load(path);
    // Save must never replace the file that was not read.
    QCOMPARE(state.CurrentPath(), QString());
    QVERIFY(!state.HasFileName());
    QVERIFY(!state.Modified());
    QCOMPARE(state.Document().studentCount(), 0);
    QHSY_VERIFY_DIALOGS(platform);
    QCOMPARE(platform.shown[0].icon, MsgIcon::Critical);
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
