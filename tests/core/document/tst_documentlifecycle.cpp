#include "core/document/commentfile.h"
#include "core/document/documentlifecycle.h"
#include "core/document/session.h"
#include "core/platform/textfile.h"
#include "fifowatchdog.h"
#include "programfolder.h"
#include "scriptedplatform.h"
#include "sessionedit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

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
    void unreadableBytesToldAfterOpening_data();
    void unreadableBytesToldAfterOpening();
    void saveTooLargeToReadBackKeepsModified();

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

QTEST_APPLESS_MAIN(tst_DocumentLifecycle)
#include "tst_documentlifecycle.moc"
