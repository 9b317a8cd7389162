// The recovery folder on a shared machine: only a private folder of the user's is used, only the
// user's own regular files in it are read (each up to a bound), and a copy is offered by one
// start only.
#include "core/document/recovery.h"
#include "core/platform/textfile.h"
#include "fifowatchdog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

/// A copy left by a run that ended without cleaning up, as a crash leaves it; its id.
QString crashedCopy(const QString &folder, const QString &original = QStringLiteral("/home/t/一班.py"))
{
    RecoveryStore crashed(folder);
    if (!crashed.open() || !crashed.save("评语", original, QDateTime::currentDateTime()))
        qWarning() << "no copy was written in" << folder;
    return QDir(folder).entryList({QStringLiteral("*.info")}).value(0).chopped(5);
}

bool chownToNobody(const QString &path)
{
    return ::lchown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
}

} // namespace

class tst_RecoveryStore : public QObject
{
    Q_OBJECT

private slots:
    void onlyPrivateFolderIsUsed_data();
    void onlyPrivateFolderIsUsed();
    void onlyOwnRegularFilesAreRead_data();
    void onlyOwnRegularFilesAreRead();
    void oneStartClaimsACopy();
    void usersOwnFiles_data();
    void usersOwnFiles();
};

void tst_RecoveryStore::onlyPrivateFolderIsUsed_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("used");
    QTest::newRow("private") << QString() << true;
    QTest::newRow("readable by others") << QStringLiteral("0755") << true;
    QTest::newRow("writable by group") << QStringLiteral("0770") << false;
    QTest::newRow("writable by all") << QStringLiteral("0777") << false;
    QTest::newRow("another user's") << QStringLiteral("owner") << false;
    QTest::newRow("a link to a folder") << QStringLiteral("link") << false;
}

void tst_RecoveryStore::onlyPrivateFolderIsUsed()
{
    QFETCH(QString, change);
    QFETCH(bool, used);
    QTemporaryDir state;
    const QString real = state.filePath(QStringLiteral("real"));
    crashedCopy(real);
    const QString folder = change == QStringLiteral("link") ? state.filePath(QStringLiteral("recovery")) : real;
    RecoveryStore store(folder);
    if (change == QStringLiteral("link")) {
        QVERIFY(QFile::link(real, folder));
    } else if (change == QStringLiteral("owner")) {
        store.setUser(store.user() + 1);
    } else if (!change.isEmpty()) {
        QVERIFY(::chmod(QFile::encodeName(real).constData(), change.toUInt(nullptr, 8)) == 0);
    }
    const auto before = QFileInfo(real).permissions();
    const Result<void> opened = store.open();
    QCOMPARE(opened.ok(), used);
    QCOMPARE(store.leftOver().size(), used ? 1 : 0);
    if (!used) {
        QVERIFY(opened.error().contains(folder));
        QVERIFY(opened.error().contains(QStringLiteral("不是您私有的文件夹")));
        QVERIFY(!store.save("x", QString(), QDateTime::currentDateTime()).ok());
        // Refused as it is: nothing written into it, its rights not changed.
        QCOMPARE(QDir(real).entryList(QDir::Files).size(), 2);
        QCOMPARE(QFileInfo(real).permissions(), before);
    }
}

void tst_RecoveryStore::onlyOwnRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("suffix"); // of the file changed
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("offered");
    QTest::newRow("untouched") << QStringLiteral(".info") << QString() << true;
    QTest::newRow("lock a pipe") << QStringLiteral(".lock") << QStringLiteral("fifo") << false;
    QTest::newRow("info a pipe") << QStringLiteral(".info") << QStringLiteral("fifo") << false;
    QTest::newRow("copy a pipe") << QStringLiteral(".py") << QStringLiteral("fifo") << false;
    QTest::newRow("info at its bound") << QStringLiteral(".info") << QStringLiteral("16384") << true;
    QTest::newRow("info over its bound") << QStringLiteral(".info") << QStringLiteral("16385") << false;
    QTest::newRow("info of 20 GB") << QStringLiteral(".info") << QStringLiteral("21474836480") << false;
    QTest::newRow("lock over its bound") << QStringLiteral(".lock") << QStringLiteral("4097") << false;
    QTest::newRow("lock of 20 GB") << QStringLiteral(".lock") << QStringLiteral("21474836480") << false;
    QTest::newRow("copy at the reader's bound") << QStringLiteral(".py") << QStringLiteral("67108864") << true;
    QTest::newRow("copy over the reader's bound") << QStringLiteral(".py") << QStringLiteral("67108865") << false;
    QTest::newRow("info a link") << QStringLiteral(".info") << QStringLiteral("link") << false;
    QTest::newRow("copy a link") << QStringLiteral(".py") << QStringLiteral("link") << false;
    QTest::newRow("info another user's") << QStringLiteral(".info") << QStringLiteral("owner") << false;
    QTest::newRow("copy another user's") << QStringLiteral(".py") << QStringLiteral("owner") << false;
    QTest::newRow("lock another user's") << QStringLiteral(".lock") << QStringLiteral("owner") << false;
}

void tst_RecoveryStore::onlyOwnRegularFilesAreRead()
{
    QFETCH(QString, suffix);
    QFETCH(QString, change);
    QFETCH(bool, offered);
    QTemporaryDir state;
    const QString folder = state.filePath(QStringLiteral("recovery"));
    const QString file = folder + u'/' + crashedCopy(folder) + suffix;
    const QString aside = state.filePath(QStringLiteral("aside"));
    bool ok = true;
    if (change == QStringLiteral("fifo")) {
        QFile::remove(file);
        ok = makeFifo(file);
    } else if (change == QStringLiteral("link")) {
        ok = QFile::copy(file, aside) && QFile::remove(file) && QFile::link(aside, file);
    } else if (change == QStringLiteral("owner")) {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        QFile lock(file); // a free lock of a run that is gone, as a crash leaves it
        ok = (lock.exists() || lock.open(QIODevice::WriteOnly)) && (lock.close(), chownToNobody(file));
    } else if (!change.isEmpty()) { // a sparse file of that size
        QFile grown(file);
        ok = grown.open(QIODevice::ReadWrite) && grown.resize(change.toLongLong());
    }
    QVERIFY(ok);
    RecoveryStore store(folder);
    QVERIFY(store.open());
    QList<RecoveryStore::Copy> copies;
    QVERIFY(finishesWithoutWaitingOn(file, [&] { copies = store.leftOver(); }));
    QCOMPARE(copies.size(), offered ? 1 : 0);
    QVERIFY(QFile::exists(file) || QFileInfo(file).isSymLink()); // nothing removed
}

// Two starts that find the same copy: only the one that claims it first offers it. A claim of
// a run that is gone is given back; one of a live process without a lock (a full disk) is not.
void tst_RecoveryStore::oneStartClaimsACopy()
{
    QTemporaryDir state;
    const QString folder = state.filePath(QStringLiteral("recovery"));
    crashedCopy(folder);
    RecoveryStore second(folder);
    QVERIFY(second.open());
    QList<RecoveryStore::Copy> theirs = second.leftOver();
    {
        RecoveryStore first(folder);
        QVERIFY(first.open());
        QList<RecoveryStore::Copy> mine = first.leftOver();
        QCOMPARE(mine.size(), 1);
        QCOMPARE(theirs.size(), 1);
        QVERIFY(first.claim(mine[0]));
        QVERIFY(!second.claim(theirs[0]));
        QVERIFY(second.leftOver().isEmpty()); // claimed by a run that lives
        first.release(mine[0]);
        QCOMPARE(second.leftOver().size(), 1);
        theirs = second.leftOver();
        QVERIFY(first.claim(mine[0]));
    } // the first run's lock is gone, its claim stands, and its process (this one) lives
    QVERIFY(second.leftOver().isEmpty());
    // A claim of a process that is gone is given back (no process has that number).
    const QString claim = QDir(folder).entryList({QStringLiteral("*.claimed")}).value(0);
    QVERIFY(QFile::rename(folder + u'/' + claim,
                          folder + u'/' + claim.section(u'.', 0, 0) + QStringLiteral(".999999999-0.claimed")));
    theirs = second.leftOver();
    QCOMPARE(theirs.size(), 1);
    QVERIFY(second.claim(theirs[0]));
    second.remove(theirs[0]);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1); // the second run's own lock
}

void tst_RecoveryStore::usersOwnFiles_data()
{
    QTest::addColumn<QString>("path"); // under the temporary folder, unless absolute
    QTest::addColumn<bool>("own");
    QTest::newRow("own file") << QStringLiteral("own/一班.py") << true;
    QTest::newRow("new file in own folder") << QStringLiteral("own/二班.py") << true;
    QTest::newRow("link to own file") << QStringLiteral("own/link.py") << true;
    QTest::newRow("link that leads nowhere") << QStringLiteral("own/nowhere.py") << false;
    QTest::newRow("own file in a folder all can write") << QStringLiteral("shared/一班.py") << false;
    QTest::newRow("another user's file") << QStringLiteral("own/theirs.py") << false;
    QTest::newRow("a folder") << QStringLiteral("own") << false;
    QTest::newRow("relative") << QStringLiteral("一班.py") << false;
    QTest::newRow("new file in a folder not there") << QStringLiteral("gone/一班.py") << false;
}

void tst_RecoveryStore::usersOwnFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, own);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("own")) && QDir(dir.path()).mkdir(QStringLiteral("shared")));
    QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("shared")), QFileDevice::Permissions(0x7777)));
    for (const QString &name : {QStringLiteral("own/一班.py"), QStringLiteral("shared/一班.py"),
                                QStringLiteral("own/theirs.py")}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("own/一班.py")), dir.filePath(QStringLiteral("own/link.py"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("own/no.py")), dir.filePath(QStringLiteral("own/nowhere.py"))));
    if (path.endsWith(QStringLiteral("theirs.py")) && !chownToNobody(dir.filePath(path)))
        QSKIP("only root can give a file to another user");
    RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    const QString full = path == QStringLiteral("一班.py") ? path : dir.filePath(path);
    QCOMPARE(store.isUsersOwn(full), own);
    if (own) { // the same file is nobody's own for another user
        store.setUser(store.user() + 1);
        QVERIFY(!store.isUsersOwn(full));
    }
}

QTEST_GUILESS_MAIN(tst_RecoveryStore)
#include "tst_recoverystore.moc"
