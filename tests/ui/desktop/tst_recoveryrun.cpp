// The crash net with real runs of the built program: typed work survives a SIGKILL, a clean exit
// leaves nothing behind, a second run never takes a live run's copy, and a recovered copy never
// overwrites an original saved again since. Runs under run-under-x.sh beside it: the keys
// come from the X server, as a teacher's do.
#include "classof.h"
#include "core/document/commentfile.h"
#include "keyboardmapping.h"
#include "programfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QString MainTitle = QStringLiteral("Quillmark 青禾书苑");
const QString SplashTitle = QStringLiteral("青禾书苑");
const QString OfferTitle = QStringLiteral("恢复未保存的评语");
const QString Typed = QStringLiteral("ab，中文“引号”😀é");

// The limit only ends a wait that would never end: a busy machine may take long.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.hasExpired(timeoutMs))
            return false;
        QThread::msleep(100);
    }
    return true;
}

QString xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

/// Gives the window the keyboard, as a click on it would, and presses the keys there.
void press(const QString &window, const QString &keys)
{
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"), keys});
}

QString commentOf(const QString &path, int student)
{
    CommentDocument document;
    if (!CommentFile::read(path, document))
        return QStringLiteral("(unreadable)");
    return document.slot(student).comment;
}

/// One run of the built program on the test's X server, with the test's state folder.
class Run
{
public:
    Run(const QString &stateHome, const QString &file)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_STATE_HOME"), stateHome);
        env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(QHSY_PROGRAM_DIR "/qhsy"), {file});
    }
    ~Run()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    /// The titles of this run's windows on the screen.
    QStringList titles() const
    {
        QStringList titles;
        for (const QString &id : windows())
            titles.append(xdotool({QStringLiteral("getwindowname"), id}));
        return titles;
    }
    /// This run's windows on the screen.
    QStringList windows() const
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--pid"), QString::number(m_process.processId()),
                        QStringLiteral("--name"), QStringLiteral(".")})
            .split(u'\n', Qt::SkipEmptyParts);
    }
    /// The window whose title holds the text, "" when none.
    QString window(const QString &title) const
    {
        for (const QString &id : windows())
            if (xdotool({QStringLiteral("getwindowname"), id}).contains(title))
                return id;
        return QString();
    }
    bool shows(const QString &title) const { return !window(title).isEmpty(); }
    void press(const QString &title, const QString &keys) const { ::press(window(title), keys); }
    bool waitForWindow(const QString &title) const
    {
        return waitUntil([&] { return shows(title); });
    }
    /// The start is over once the main window is up and the splash window has closed: the
    /// class is loaded and unsaved work of earlier runs offered by then. An offer still open
    /// ends the wait as well.
    bool started() const
    {
        return waitUntil([&] {
            const QStringList shown = titles();
            const auto showing = [&](const QString &title) {
                return std::any_of(shown.begin(), shown.end(), [&](const QString &t) { return t.contains(title); });
            };
            return showing(OfferTitle) || (showing(MainTitle) && !shown.contains(SplashTitle));
        });
    }

    void crash()
    {
        m_process.kill(); // SIGKILL: nothing of the program runs any more
        m_process.waitForFinished();
    }
    bool exitsCleanly()
    {
        press(MainTitle, QStringLiteral("alt+F4"));
        m_process.waitForFinished(30000); // false as well when it has ended already
        return m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
};

} // namespace

class tst_RecoveryRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void killedRunIsRecoveredAndCleanExitLeavesNothing();
    void changedOriginalIsNeverOverwritten();

private:
    /// Starts a run on the class, types into the first comment and moves on, which writes the
    /// copy at once; returns once the copy holds what was typed.
    std::unique_ptr<Run> typeIntoClass();
    QStringList copies() const
    {
        return QDir(m_state->filePath(QStringLiteral("qhsy/recovery")))
            .entryList({QStringLiteral("*.py")}, QDir::Files);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_state;
    QString m_class;
    QString m_original; ///< the first comment as saved
    QStringList m_typedKeys; ///< the keys that type Typed
};

void tst_RecoveryRun::initTestCase()
{
    m_typedKeys = bindKeysFor(Typed);
    QVERIFY2(!m_typedKeys.isEmpty(), "the keys for the typed text could not be bound");
}

void tst_RecoveryRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_state = std::make_unique<QTemporaryDir>();
    m_class = m_dir->filePath(QStringLiteral("三年级二班.py"));
    const CommentDocument document = classOf(3);
    QVERIFY(CommentFile::write(m_class, document, document.ItemFonts).ok());
    m_original = document.slot(1).comment;
}

std::unique_ptr<Run> tst_RecoveryRun::typeIntoClass()
{
    auto run = std::make_unique<Run>(m_state->path(), m_class);
    if (!run->started())
        return nullptr;
    // The caret stands at the end of the first student's comment.
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), run->window(MainTitle)});
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("120")} + m_typedKeys);
    run->press(MainTitle, QStringLiteral("ctrl+Next"));
    const bool written = waitUntil([&] {
        const QStringList names = copies();
        return names.size() == 1 &&
               commentOf(m_state->filePath(QStringLiteral("qhsy/recovery/") + names.first()), 1) ==
                   m_original + Typed;
    });
    return written ? std::move(run) : nullptr;
}

void tst_RecoveryRun::killedRunIsRecoveredAndCleanExitLeavesNothing()
{
    std::unique_ptr<Run> crashing = typeIntoClass();
    QVERIFY2(crashing, "no recovery copy holds the typed text");

    // A second run while the first lives leaves its copy alone.
    QTemporaryDir otherDir;
    const QString other = otherDir.filePath(QStringLiteral("另一班.py"));
    QVERIFY(QFile::copy(m_class, other));
    {
        Run second(m_state->path(), other);
        QVERIFY(second.started());
        QVERIFY(!second.shows(OfferTitle));
        QVERIFY(second.exitsCleanly());
    }
    QCOMPARE(copies().size(), 1);

    crashing->crash();
    Run next(m_state->path(), m_class);
    QVERIFY(next.waitForWindow(OfferTitle));
    next.press(OfferTitle, QStringLiteral("Return")); // 是: recover
    QVERIFY(waitUntil([&] { return !next.shows(OfferTitle); }));
    next.press(MainTitle, QStringLiteral("ctrl+s")); // the original is as it was: saved under its name
    QVERIFY(waitUntil([&] { return commentOf(m_class, 1) == m_original + Typed; }));
    QCOMPARE(commentOf(m_class, 2), QStringLiteral("评语2"));
    QVERIFY(next.exitsCleanly());
    QVERIFY(copies().isEmpty());

    Run after(m_state->path(), m_class);
    QVERIFY(after.started());
    QVERIFY(!after.shows(OfferTitle));
}

void tst_RecoveryRun::changedOriginalIsNeverOverwritten()
{
    std::unique_ptr<Run> crashing = typeIntoClass();
    QVERIFY2(crashing, "no recovery copy holds the typed text");
    crashing->crash();
    // Saved again elsewhere (another computer, a colleague) after the copy was made.
    CommentDocument changed;
    changed.slot(1) = {QStringLiteral("学生1"), QStringLiteral("别处改过的评语。")};
    QVERIFY(CommentFile::write(m_class, changed, changed.ItemFonts).ok());
    const QByteArray changedBytes = fileBytes(m_class);

    Run next(m_state->path(), m_class);
    QVERIFY(next.waitForWindow(OfferTitle));
    const QString offer = next.window(OfferTitle);
    next.press(OfferTitle, QStringLiteral("Return")); // 是: recover, then the warning about the changed file
    QVERIFY(waitUntil([&] {
        const QString shown = next.window(OfferTitle);
        return !shown.isEmpty() && shown != offer;
    }));
    next.press(OfferTitle, QStringLiteral("Return"));
    QVERIFY(waitUntil([&] { return !next.shows(OfferTitle); }));
    const QStringList before = next.windows();
    next.press(MainTitle,
               QStringLiteral("ctrl+s")); // asks for a new name instead of writing over the original
    QString dialog;
    QVERIFY(waitUntil([&] {
        for (const QString &id : next.windows())
            if (!before.contains(id))
                dialog = id;
        return !dialog.isEmpty();
    }));
    press(dialog, QStringLiteral("Escape"));
    QCOMPARE(fileBytes(m_class), changedBytes);
}

QTEST_GUILESS_MAIN(tst_RecoveryRun)
#include "tst_recoveryrun.moc"
