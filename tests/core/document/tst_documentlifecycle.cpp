#include "classof.h"
#include "core/document/commentfile.h"
#include "core/document/documentlifecycle.h"
#include "core/document/recentfiles.h"
#include "core/document/recovery.h"
#include "core/document/session.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "fifowatchdog.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "sessionedit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

CommentDocument readFile(const QString &name)
{
    CommentDocument document;
    if (!CommentFile::read(testDataFile(name), document))
        qWarning() << "the test file was refused:" << name;
    return document;
}

/// The windows as the document commands see them, without any window: notes what was asked of
/// them and how many messages had been shown when the views were refreshed.
class FakeHost : public EditorHost
{
public:
    explicit FakeHost(const ScriptedPlatform &platform)
        : m_platform(platform)
    {}

    bool open = false;
    QString caption;
    int refreshes = 0;
    qsizetype messagesAtRefresh = -1;

    void showEditorWindow(const QString &text) override
    {
        open = true;
        caption = text;
    }
    void closeEditorWindow() override { open = false; }
    bool editorIsOpen() const override { return open; }
    void setEditorCaption(const QString &text) override { caption = text; }
    void RefreshViews() override
    {
        ++refreshes;
        messagesAtRefresh = m_platform.shown.size();
    }
    void reopenStudentList(bool) override {}
    ItemFonts displayFonts() const override { return {}; }

private:
    const ScriptedPlatform &m_platform;
};

} // namespace

class tst_DocumentLifecycle : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void openRefusesWhatIsNoFile_data();
    void openRefusesWhatIsNoFile();
    void classOfMoreThan100Refused_data();
    void classOfMoreThan100Refused();
    void unreadableBytesToldAfterOpening_data();
    void unreadableBytesToldAfterOpening();
    void saveTooLargeToReadBackKeepsModified();
    void recentFilesList_data();
    void recentFilesList();
    void recentFilesTellApart();
    void openAndSaveAreRemembered();
    void saveAsProposesOwnName_data();
    void saveAsProposesOwnName();
    void recoveryCopies();
    void recoveryFollowsTheDocument();
    void recoveryUnavailableToldOnce_data();
    void recoveryUnavailableToldOnce();
    void recoveryOffer_data();
    void recoveryOffer();
    void recoveryOfferGuards_data();
    void recoveryOfferGuards();
    void recoveryOffersNewestFewOfEachFile();

    // The reading and writing steps on their own.
    void templateReadLeavesPathEmpty();
    void rejectionMessage_data();
    void rejectionMessage();
    void unreadableFileLeavesDocumentAsItWas_data();
    void unreadableFileLeavesDocumentAsItWas();
    void failedWriteTellsAndKeepsOldFile();
    void writeRefusesWhatCouldNotBeReadBack_data();
    void writeRefusesWhatCouldNotBeReadBack();
    void escapedMarkerIsReported();
    void writerTakesGivenFonts();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Session> m_state;
    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<DocumentLifecycle> m_lifecycle;
};

void tst_DocumentLifecycle::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_platform = std::make_unique<ScriptedPlatform>();
    m_state = std::make_unique<Session>();
    m_state->setProgramFolder(m_folder->path());
    m_host = std::make_unique<FakeHost>(*m_platform);
    m_lifecycle = std::make_unique<DocumentLifecycle>(*m_state, *m_platform, *m_host);
}

void tst_DocumentLifecycle::openRefusesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("pipe") << "pipe.py"
                          << "不是普通的文件";
    QTest::newRow("folder") << "folder.py"
                            << "文件夹";
}

// Choosing a pipe (from the open dialog or on the command line) neither waits on it nor closes
// the class being edited: the teacher is told, and the edited document stays as it was.
void tst_DocumentLifecycle::openRefusesWhatIsNoFile()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.py");
    QVERIFY(makeFifo(fifo));
    QVERIFY(QDir(dir.path()).mkdir("folder.py"));
    const QString edited = writableCopy(testDataFile("basic.py"), dir.path());
    m_state->setCurrentFile(edited, m_state->HasFileName());
    QVERIFY(m_lifecycle->OpenEditor());
    m_state->setCurrentFile(m_state->CurrentPath(), true);
    m_state->markModified();
    const CommentDocument before = m_state->Document();

    const QString path = dir.filePath(name);
    m_platform->expectOpenFile(path);
    m_platform->expectMessage();
    bool chosen = false;
    QVERIFY2(finishesWithoutWaitingOn(fifo, [&] { chosen = m_lifecycle->OpenDocument(); }),
             "waited on the pipe");
    QVERIFY(chosen);

    QHSY_VERIFY_DIALOGS(*m_platform);
    const ShownDialog &shown = m_platform->shown.last();
    QVERIFY2(shown.text.startsWith(QStringLiteral("无法读取文件“%1”：").arg(path)), qPrintable(shown.text));
    QVERIFY2(shown.text.contains(reason), qPrintable(shown.text));
    QCOMPARE(shown.icon, MsgIcon::Critical);
    QCOMPARE(shown.title, QStringLiteral("系统提示"));
    QVERIFY(m_host->open);
    QCOMPARE(m_state->CurrentPath(), edited);
    QVERIFY(m_state->HasFileName());
    QVERIFY(m_state->Modified());
    QCOMPARE(m_state->Document(), before);
}

void tst_DocumentLifecycle::classOfMoreThan100Refused_data()
{
    QTest::addColumn<int>("students");
    QTest::newRow("100 open") << 100;
    QTest::newRow("101 refused") << 101;
}

// A class of more students than the program holds is not opened (its first 100 would be saved
// over it, the rest lost): the teacher is told how many it has, and the document has no name.
void tst_DocumentLifecycle::classOfMoreThan100Refused()
{
    QFETCH(int, students);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("大班.py"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(classFileOf(students)) > 0);
    file.close();
    const bool refused = students > CommentDocument::MaxStudents;
    if (refused)
        m_platform->expectMessage();
    m_lifecycle->openPath(path);

    QHSY_VERIFY_DIALOGS(*m_platform);
    QCOMPARE(m_state->HasFileName(), !refused);
    QCOMPARE(m_state->CurrentPath(), refused ? QString() : path);
    QCOMPARE(m_state->Document().studentCount(), refused ? 0 : students);
    if (refused) {
        QCOMPARE(m_platform->shown[0].text,
                 QStringLiteral("文件“%1”中有 101 名学生，本程序一个班最多 100 名。为免丢下学生，没有读入这个文件；"
                                "请先把它分成每个不超过 100 名学生的几个文件。")
                     .arg(path));
        QCOMPARE(m_platform->shown[0].icon, MsgIcon::Critical);
    }
}

void tst_DocumentLifecycle::unreadableBytesToldAfterOpening_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // empty: none
    QTest::newRow("clean file") << "basic.py"
                                << "";
    QTest::newRow("Windows euro sign") << "windows_euro.py"
                                       << "";
    QTest::newRow("unreadable bytes")
        << "unreadable_bytes.py"
        << "文件“%1”中有 2 处无法识别的字节（不是 GBK 或 GB18030 编码的文字），"
           "已显示为“\uFFFD”。\r\n保存时这些地方将写成“\uFFFD”，原来的字节无法恢复。"
           "如需保留原文件，请用“另存为”保存为新文件。";
}

// The file opens; the teacher learns, once it is on screen, that saving will replace the bytes
// that are no text.
void tst_DocumentLifecycle::unreadableBytesToldAfterOpening()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    const QString path = testDataFile(name);
    if (!message.isEmpty())
        m_platform->expectMessage();
    m_lifecycle->openPath(path);

    QHSY_VERIFY_DIALOGS(*m_platform);
    QCOMPARE(m_state->CurrentPath(), path);
    QVERIFY(m_state->HasFileName());
    QVERIFY(!m_state->Modified());
    QCOMPARE(m_state->Document().studentCount(), 1 + (name == u"basic.py") * 3);
    QCOMPARE(m_host->messagesAtRefresh, 0);
    if (!message.isEmpty()) {
        QCOMPARE(m_platform->shown.size(), 1);
        QCOMPARE(m_platform->shown[0].text, message.arg(path));
        QCOMPARE(m_platform->shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(m_platform->shown[0].title, QStringLiteral("系统提示"));
        QCOMPARE(m_platform->shown[0].buttons, MsgButtons::Ok);
    }
}

// A save that would make a file too large to be opened again is refused: the old file stays,
// the changes stay in the window, and the document stays modified.
void tst_DocumentLifecycle::saveTooLargeToReadBackKeepsModified()
{
    QTemporaryDir dir;
    const QString path = writableCopy(testDataFile("basic.py"), dir.path());
    m_state->setCurrentFile(path, m_state->HasFileName());
    QVERIFY(m_lifecycle->OpenEditor());
    m_state->setCurrentFile(m_state->CurrentPath(), true);
    editDocument(*m_state, [&](CommentDocument &d) {
        d.slot(1).comment = QString(TextFile::MaxFileSize / 4 + 1, QChar::ReplacementCharacter);
    });
    m_state->markModified();

    m_platform->expectMessage();
    QVERIFY(!m_lifecycle->SaveDocument());
    QHSY_VERIFY_DIALOGS(*m_platform);
    QVERIFY(m_state->Modified());
    QCOMPARE(m_state->CurrentPath(), path);
    QCOMPARE(fileBytes(path), fileBytes(testDataFile("basic.py")));
    QVERIFY2(m_platform->shown[0].text.contains(QStringLiteral("保存后将无法再打开")),
             qPrintable(m_platform->shown[0].text));
    QCOMPARE(m_platform->shown[0].icon, MsgIcon::Critical);
}

void tst_DocumentLifecycle::templateReadLeavesPathEmpty()
{
    ProgramFolder folder;
    ScriptedPlatform platform;
    Session state;
    state.reset(folder.path());
    state.replaceDocument(classOf(3));
    QVERIFY(ReadCommentFile(state, platform, state.Files().templateFile()));
    QCOMPARE(state.CurrentPath(), QString());
    QCOMPARE(state.Document().studentCount(), 0);
    QCOMPARE(state.Document().TeacherSignature, QStringLiteral("****老师"));
    QCOMPARE(state.Document().ItemFonts, ItemFonts{});
    QHSY_VERIFY_DIALOGS(platform);
}

void tst_DocumentLifecycle::rejectionMessage_data()
{
    QTest::addColumn<bool>("fromTemplate");
    QTest::newRow("a chosen file") << false;
    QTest::newRow("the template") << true;
}

void tst_DocumentLifecycle::rejectionMessage()
{
    QFETCH(bool, fromTemplate);
    ProgramFolder folder;
    QVERIFY(QFile::remove(folder.file("normal.pyn")));
    QVERIFY(QFile::copy(testDataFile("wrong_header.py"), folder.file("normal.pyn")));
    ScriptedPlatform platform;
    platform.expectMessage();
    Session state;
    state.reset(folder.path());
    QVERIFY(!ReadCommentFile(state, platform,
                             fromTemplate ? state.Files().templateFile() : testDataFile("too_short.py")));
    QCOMPARE(state.CurrentPath(), QString());
    QHSY_VERIFY_DIALOGS(platform);
    QCOMPARE(platform.shown.size(), 1);
    QCOMPARE(platform.shown[0].text,
             QStringLiteral("您选择的是非法的文件类型或是旧版本的文件！\r\n请选择其他文件或新建文件！"));
    QCOMPARE(platform.shown[0].title, QStringLiteral("系统提示"));
    QCOMPARE(platform.shown[0].icon, MsgIcon::Critical);
    QCOMPARE(platform.shown[0].buttons, MsgButtons::Ok);
}

void tst_DocumentLifecycle::unreadableFileLeavesDocumentAsItWas_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << "missing.py";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a pipe") << "pipe";
}

void tst_DocumentLifecycle::unreadableFileLeavesDocumentAsItWas()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder");
    QVERIFY(makeFifo(dir.filePath("pipe")));
    ScriptedPlatform platform;
    platform.expectMessage();
    Session state;
    state.replaceDocument(readFile("basic.py"));
    const CommentDocument before = state.Document();
    const QString path = dir.filePath(name);
    bool result = true;
    QVERIFY2(finishesWithoutWaitingOn(dir.filePath("pipe"),
                                      [&] { result = ReadCommentFile(state, platform, path); }),
             "waited on the pipe");
    QVERIFY(!result);
    QCOMPARE(state.Document(), before);
    QHSY_VERIFY_DIALOGS(platform);
    QVERIFY2(platform.shown[0].text.contains(path), "the message names the file");
    QVERIFY(platform.shown[0].text.size() > path.size() + 10); // and the reason
    QCOMPARE(platform.shown[0].title, QStringLiteral("系统提示"));
    QCOMPARE(platform.shown[0].icon, MsgIcon::Critical);
}

void tst_DocumentLifecycle::failedWriteTellsAndKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("class.py");
    QVERIFY(QFile::copy(testDataFile("basic.py"), path));
    ScriptedPlatform platform;
    platform.expectMessage();
    const CommentDocument document = classOf(100, QString(3000, u'长'));

    // A file-size limit makes the write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = WriteCommentFile(document, path, platform);
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(!written);
    QCOMPARE(fileBytes(path), fileBytes(testDataFile("basic.py")));
    QHSY_VERIFY_DIALOGS(platform);
    QVERIFY(platform.shown[0].text.startsWith(QStringLiteral("保存失败！")));
    QVERIFY(platform.shown[0].text.contains(path));
    QCOMPARE(platform.shown[0].icon, MsgIcon::Critical);
    QCOMPARE(platform.shown[0].title, QStringLiteral("系统提示"));
}

void tst_DocumentLifecycle::writeRefusesWhatCouldNotBeReadBack_data()
{
    QTest::addColumn<qint64>("size");
    QTest::newRow("as large as the reader takes") << TextFile::MaxFileSize;
    QTest::newRow("one byte more") << TextFile::MaxFileSize + 1;
}

// Unreadable bytes grow fourfold when they are written back as U+FFFD: a file read within the
// limit can come out beyond it, and a file the reader refuses must never replace the old one.
void tst_DocumentLifecycle::writeRefusesWhatCouldNotBeReadBack()
{
    QFETCH(qint64, size);
    const bool fits = size <= TextFile::MaxFileSize;
    QTemporaryDir dir;
    const QString path = dir.filePath("class.py");
    QVERIFY(QFile::copy(testDataFile("basic.py"), path));
    ScriptedPlatform platform;
    CommentDocument document;
    document.slot(1) = {"甲", ""};
    // U+FFFD takes four bytes in the file; ASCII letters make up the rest.
    const qint64 comment = size - TextFile::encode(CommentFile::compose(document, document.ItemFonts)).size();
    document.slot(1).comment = QString(comment / 4, QChar::ReplacementCharacter) + QString(comment % 4, u'x');
    if (!fits)
        platform.expectMessage();

    QCOMPARE(WriteCommentFile(document, path, platform), fits);
    QHSY_VERIFY_DIALOGS(platform);
    if (fits) {
        QCOMPARE(QFileInfo(path).size(), size);
        CommentDocument back;
        QVERIFY(CommentFile::read(path, back).ok());
        QCOMPARE(back.slot(1).comment.size(), document.slot(1).comment.size());
    } else {
        QCOMPARE(fileBytes(path), fileBytes(testDataFile("basic.py")));
        QVERIFY(platform.shown[0].text.startsWith(QStringLiteral("保存失败！")));
        QVERIFY2(platform.shown[0].text.contains(QStringLiteral("超过本系统能读取的上限 64 MB")),
                 qPrintable(platform.shown[0].text));
        QCOMPARE(platform.shown[0].icon, MsgIcon::Critical);
    }
}

void tst_DocumentLifecycle::escapedMarkerIsReported()
{
    QTemporaryDir dir;
    ScriptedPlatform platform;
    platform.expectMessage();
    const QString path = dir.filePath("class.py");
    CommentDocument document;
    document.slot(1) = {"张三", "正常"};
    document.slot(2) = {"李四", "含*!*标记"};
    QVERIFY(WriteCommentFile(document, path, platform));
    QHSY_VERIFY_DIALOGS(platform);
    QCOMPARE(platform.shown[0].icon, MsgIcon::Information);
    QVERIFY(platform.shown[0].text.contains(u"李四"));
    QVERIFY(!platform.shown[0].text.contains(u"张三"));
    CommentDocument back;
    QVERIFY(CommentFile::read(path, back).ok());
    QCOMPARE(back.slot(2).comment, QStringLiteral("含*！*标记"));
}

void tst_DocumentLifecycle::writerTakesGivenFonts()
{
    QTemporaryDir dir;
    ScriptedPlatform platform;
    const QString path = dir.filePath("class.py");
    const CommentDocument document;
    const ItemFonts shown{ItemFont{"黑体", 14, true, false}, ItemFont{"宋体", 10.5, false, true},
                          ItemFont{"楷体", 12, false, false}};
    QVERIFY(WriteCommentFile(document, path, platform, shown));
    CommentDocument back;
    QVERIFY(CommentFile::read(path, back).ok());
    QCOMPARE(back.ItemFonts, shown);
    QHSY_VERIFY_DIALOGS(platform);
}

void tst_DocumentLifecycle::recentFilesList_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("first") << QStringList{} << "/a.py" << QStringList{"/a.py"};
    QTest::newRow("new one first") << QStringList{"/a.py", "/b.py"} << "/c.py"
                                   << QStringList{"/c.py", "/a.py", "/b.py"};
    QTest::newRow("again moves up") << QStringList{"/a.py", "/b.py", "/c.py"} << "/c.py"
                                    << QStringList{"/c.py", "/a.py", "/b.py"};
    QTest::newRow("four at most") << QStringList{"/a.py", "/b.py", "/c.py", "/d.py"} << "/e.py"
                                  << QStringList{"/e.py", "/a.py", "/b.py", "/c.py"};
}

void tst_DocumentLifecycle::recentFilesList()
{
    QFETCH(QStringList, before);
    QFETCH(QString, opened);
    QFETCH(QStringList, after);
    QCOMPARE(RecentFiles::withOpened(before, opened), after);
    QCOMPARE(RecentFiles::menuText(1, {QStringLiteral("/y/一班.py"), QStringLiteral("/x/A&B班.py")}),
             QStringLiteral("&2 A&&B班.py"));
}

// Files of one name are told apart by their folders' names, or the whole folders where those
// are the same too.
void tst_DocumentLifecycle::recentFilesTellApart()
{
    const QStringList list{u"/2023&秋/二班.py"_qs, u"/王/班级/二班.py"_qs, u"/李/班级/二班.py"_qs,
                           u"/李/班级/一班.py"_qs};
    QStringList shown;
    for (int i = 0; i < list.size(); ++i)
        shown << RecentFiles::menuText(i, list);
    QCOMPARE(shown, (QStringList{u"&1 二班.py（2023&&秋）"_qs, u"&2 二班.py（/王/班级）"_qs,
                                 u"&3 二班.py（/李/班级）"_qs, u"&4 一班.py"_qs}));
}

// Opening and saving put the file first in the list 文件 shows; a file that is gone is left out.
void tst_DocumentLifecycle::openAndSaveAreRemembered()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("一班.py"));
    const QString second = dir.filePath(QStringLiteral("二班.py"));
    QVERIFY(CommentFile::write(first, classOf(3), CommentDocument().ItemFonts).ok());
    m_lifecycle->openPath(first);
    QCOMPARE(m_platform->recent, QStringList{first});
    m_platform->expectSaveFile(second);
    QVERIFY(m_lifecycle->SaveDocumentAs());
    QCOMPARE(m_platform->recent, (QStringList{second, first}));
    // A file that could not be opened is not remembered.
    m_platform->expectMessage();
    m_lifecycle->openPath(dir.filePath(QStringLiteral("没有这个文件.py")));
    QCOMPARE(m_platform->recent, (QStringList{second, first}));
    QVERIFY(QFile::remove(first));
    QCOMPARE(RecentFiles::existing(m_platform->recent), QStringList{second});
}

void tst_DocumentLifecycle::saveAsProposesOwnName_data()
{
    QTest::addColumn<bool>("opened"); // a class file is open; otherwise a new class
    QTest::newRow("class file") << true;
    QTest::newRow("new class") << false;
}

// 另存为 opens on the class file itself; a new class has no name to propose.
void tst_DocumentLifecycle::saveAsProposesOwnName()
{
    QFETCH(bool, opened);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("三年级二班.py"));
    QVERIFY(CommentFile::write(file, classOf(3), CommentDocument().ItemFonts).ok());
    if (opened)
        m_lifecycle->openPath(file);
    m_platform->expectSaveFile(QString());
    QVERIFY(!m_lifecycle->SaveDocumentAs());
    QCOMPARE(m_platform->shown.last().proposedPath, opened ? file : QString());
}

// A run's copy is private and its own: another live run never takes it; once the run is gone
// (its lock free) the copy is left over, with its original path and time.
void tst_DocumentLifecycle::recoveryCopies()
{
    QTemporaryDir state;
    const QString folder = state.filePath(QStringLiteral("qhsy/recovery"));
    const QDateTime when = QDateTime::currentDateTime();
    {
        RecoveryStore first(folder);
        QVERIFY(first.open());
        QVERIFY(first.save("版本", QStringLiteral("/home/t/一班.py"), when).ok());
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        RecoveryStore second(folder);
        QVERIFY(second.open());
        QVERIFY(second.leftOver().isEmpty()); // the first run still lives
        QVERIFY(first.leftOver().isEmpty());  // and its own copy is no left-over
    } // both runs end without cleaning up, as a crash would leave them
    RecoveryStore next(folder);
    QVERIFY(next.open());
    const QList<RecoveryStore::Copy> copies = next.leftOver();
    QCOMPARE(copies.size(), 1);
    QCOMPARE(copies[0].originalPath, QStringLiteral("/home/t/一班.py"));
    QCOMPARE(copies[0].saved, when);
    QCOMPARE(fileBytes(copies[0].copyPath), QByteArray("版本"));
    QCOMPARE(QFileInfo(copies[0].copyPath).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
    next.remove(copies[0]);
    QVERIFY(next.leftOver().isEmpty());

    // A clean end removes the run's copy.
    QVERIFY(next.save("x", QString(), when).ok());
    next.discard();
    RecoveryStore after(folder);
    QVERIFY(after.open());
    QVERIFY(after.leftOver().isEmpty());
}

// While the document is modified a copy is written (at once when asked, else after the delay);
// saving removes it.
void tst_DocumentLifecycle::recoveryFollowsTheDocument()
{
    QTemporaryDir state;
    RecoveryStore store(state.filePath(QStringLiteral("recovery")));
    QVERIFY(store.open());
    Recovery recovery(*m_state, store, *m_platform);
    m_state->replaceDocument(classOf(2));
    m_state->setCurrentFile(QStringLiteral("/home/t/一班.py"), true);
    const auto copies = [&] { return QDir(store.folder()).entryList({QStringLiteral("*.py")}, QDir::Files); };
    recovery.writeNow();
    recovery.waitForWrites();
    QVERIFY(copies().isEmpty()); // nothing unsaved yet
    m_state->setComment(1, QStringLiteral("改过了"));
    QVERIFY(m_state->Modified());
    QVERIFY(copies().isEmpty()); // within 30 seconds, not at once
    recovery.writeNow();
    recovery.waitForWrites();
    QCOMPARE(copies().size(), 1);
    CommentDocument back;
    QVERIFY(CommentFile::read(store.folder() + u'/' + copies().first(), back).ok());
    QCOMPARE(back.slot(1).comment, QStringLiteral("改过了"));
    m_state->markSaved();
    QVERIFY(copies().isEmpty());
    // A document that starts modified (a copy just recovered, whose old copy is gone) gets its
    // copy at once, not after the next change.
    m_state->markModified();
    Recovery next(*m_state, store, *m_platform);
    next.waitForWrites();
    QCOMPARE(copies().size(), 1);
}

// A state folder that cannot be written, from the start or later, is told once; editing goes on.
void tst_DocumentLifecycle::recoveryUnavailableToldOnce_data()
{
    QTest::addColumn<bool>("atOpen");
    QTest::newRow("folder cannot be made") << true;
    QTest::newRow("copy cannot be written") << false;
}

void tst_DocumentLifecycle::recoveryUnavailableToldOnce()
{
    QFETCH(bool, atOpen);
    QTemporaryDir state;
    QFile blocker(state.filePath(QStringLiteral("qhsy")));
    QString folder = state.filePath(QStringLiteral("qhsy/recovery"));
    if (atOpen) // a file where the folder should be stops even root
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    RecoveryStore store(folder);
    QCOMPARE(store.open().ok(), !atOpen);
    if (!atOpen) { // the copy's name is taken by a folder
        const QString lock = QDir(folder).entryList({QStringLiteral("*.lock")}).value(0);
        QVERIFY(QDir(folder).mkdir(lock.chopped(5) + QStringLiteral(".py")));
    }
    Recovery recovery(*m_state, store, *m_platform);
    m_state->replaceDocument(classOf(2));
    m_platform->expectMessage();
    for (const QString &comment : {QStringLiteral("一"), QStringLiteral("二")}) {
        m_state->setComment(1, comment);
        recovery.writeNow();
        recovery.waitForWrites();
        QCoreApplication::processEvents(); // the failure comes back to this thread
        QCoreApplication::processEvents();
    }
    QHSY_VERIFY_DIALOGS(*m_platform);
    QVERIFY(m_platform->shown.first().text.startsWith(QStringLiteral("无法保存恢复副本：")));
    QCOMPARE(m_platform->shown.first().icon, MsgIcon::Exclamation);
}

void tst_DocumentLifecycle::recoveryOffer_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("changedSince"); // the original saved again after the copy
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("kept"); // the copy is still there afterwards
    QTest::newRow("recover") << int(MsgAnswer::Yes) << false << true << false;
    QTest::newRow("recover over a changed file") << int(MsgAnswer::Yes) << true << true << false;
    QTest::newRow("discard") << int(MsgAnswer::No) << false << false << false;
    QTest::newRow("later") << int(MsgAnswer::Cancel) << false << false << true;
}

void tst_DocumentLifecycle::recoveryOffer()
{
    QFETCH(int, answer);
    QFETCH(bool, changedSince);
    QFETCH(bool, opened);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    const QString original = dir.filePath(QStringLiteral("一班.py"));
    QVERIFY(CommentFile::write(original, classOf(1), CommentDocument().ItemFonts).ok());
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const QDateTime when =
        changedSince ? QDateTime::currentDateTime().addSecs(-60) : QDateTime::currentDateTime().addSecs(60);
    {
        RecoveryStore crashed(folder);
        QVERIFY(crashed.open());
        QVERIFY(crashed
                    .save(TextFile::encode(CommentFile::compose(classOf(3), CommentDocument().ItemFonts)),
                          original, when)
                    .ok());
    }
    RecoveryStore store(folder);
    QVERIFY(store.open());
    m_platform->expectMessage(MsgAnswer(answer));
    if (changedSince)
        m_platform->expectMessage();
    m_lifecycle->offerRecovery(store);
    QHSY_VERIFY_DIALOGS(*m_platform);
    QCOMPARE(m_platform->shown.first().title, QStringLiteral("恢复未保存的评语"));
    QVERIFY(m_platform->shown.first().text.contains(original));
    QCOMPARE(m_platform->shown.first().buttons, MsgButtons::YesNoCancel);
    QCOMPARE(m_state->Document().studentCount() == 3, opened);
    if (opened) {
        QCOMPARE(m_state->CurrentPath(), original);
        QVERIFY(m_state->Modified());
        QCOMPARE(m_state->HasFileName(), !changedSince);
    }
    QCOMPARE(store.leftOver().size(), kept ? 1 : 0);
}

// A copy whose lock cannot be taken (a full disk) opens as a new file and stays; a copy of a
// file that is not the teacher's own never takes that file's name.
void tst_DocumentLifecycle::recoveryOfferGuards_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<bool>("sharedFolder"); // the original lies in a folder all can write
    QTest::addColumn<QString>("told");
    QTest::newRow("disk full") << true << false << QStringLiteral("无法锁定恢复副本");
    QTest::newRow("not the teacher's own") << false << true << QStringLiteral("不是您自己的文件");
}

void tst_DocumentLifecycle::recoveryOfferGuards()
{
    QFETCH(bool, diskFull);
    QFETCH(bool, sharedFolder);
    QFETCH(QString, told);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("class")));
    const QString original = dir.filePath(QStringLiteral("class/一班.py"));
    QVERIFY(CommentFile::write(original, classOf(1), CommentDocument().ItemFonts).ok());
    if (sharedFolder)
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("class")), QFileDevice::Permissions(0x7777)));
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    {
        RecoveryStore crashed(folder);
        QVERIFY(crashed.open());
        QVERIFY(crashed
                    .save(TextFile::encode(CommentFile::compose(classOf(3), CommentDocument().ItemFonts)),
                          original, QDateTime::currentDateTime().addSecs(60))
                    .ok());
    }
    RecoveryStore store(folder);
    m_platform->expectMessage(MsgAnswer::Yes);
    m_platform->expectMessage();
    // A file-size limit of nothing stops every lock from being written, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit none = saved;
    none.rlim_cur = 0;
    if (diskFull)
        setrlimit(RLIMIT_FSIZE, &none);
    QCOMPARE(store.open().ok(), !diskFull);
    m_lifecycle->offerRecovery(store);
    setrlimit(RLIMIT_FSIZE, &saved);
    QHSY_VERIFY_DIALOGS(*m_platform);
    QVERIFY(m_platform->shown[1].text.contains(told));
    QCOMPARE(m_platform->shown[1].icon, MsgIcon::Exclamation);
    QCOMPARE(m_state->Document().studentCount(), 3);
    QVERIFY(m_state->Modified());
    QVERIFY(!m_state->HasFileName()); // Save asks where
    QCOMPARE(m_state->CurrentPath(), diskFull ? QString() : original);
    QCOMPARE(store.leftOver().size(), diskFull ? 1 : 0);
}

// Twenty thousand copies of one file ask three questions, the newest first, and say how many
// others there are; a start asks ten questions at most.
void tst_DocumentLifecycle::recoveryOffersNewestFewOfEachFile()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    RecoveryStore store(folder);
    QVERIFY(store.open());
    const QByteArray copy = TextFile::encode(CommentFile::compose(classOf(1), CommentDocument().ItemFonts));
    const QDateTime start(QDate(2026, 1, 1), QTime(8, 0));
    const auto plant = [&](int n, const QString &original) {
        const QString id = folder + QStringLiteral("/1-%1").arg(n);
        QFile py(id + QStringLiteral(".py"));
        QFile info(id + QStringLiteral(".info"));
        return py.open(QIODevice::WriteOnly) && py.write(copy) == copy.size() && info.open(QIODevice::WriteOnly)
               && info.write(QStringLiteral(R"({"original":"%1","saved":"%2"})")
                                 .arg(original, start.addSecs(n).toString(Qt::ISODate))
                                 .toUtf8())
                      > 0;
    };
    for (int n = 0; n < 10; ++n) // ten other files, each with an older copy
        QVERIFY(plant(n, QStringLiteral("/home/t/%1班.py").arg(n + 2)));
    for (int n = 10; n < 20010; ++n)
        QVERIFY(plant(n, QStringLiteral("/home/t/1班.py")));
    for (int i = 0; i < DocumentLifecycle::MaxRecoveryQuestions; ++i)
        m_platform->expectMessage(MsgAnswer::Cancel);
    m_lifecycle->offerRecovery(store);
    QHSY_VERIFY_DIALOGS(*m_platform);
    const QString newest = start.addSecs(20009).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY(m_platform->shown[0].text.contains(newest));
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(m_platform->shown[i].text.contains(QStringLiteral("/home/t/1班.py")), i < 3);
        QCOMPARE(m_platform->shown[i].text.contains(QStringLiteral("此文件另有 19997 份较早的恢复副本")), i < 3);
    }
    QCOMPARE(QDir(folder).entryList({QStringLiteral("*.info")}).size(), 20010); // all kept
}

QTEST_GUILESS_MAIN(tst_DocumentLifecycle)
#include "tst_documentlifecycle.moc"
