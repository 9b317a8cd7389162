#include "core/platform/fileerrorreason.h"
#include "core/platform/filesave.h"
#include "fiforeader.h"
#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The user a file is given to when a test needs one that belongs to somebody else.
constexpr uid_t OtherUser = 65534; // nobody

bool isRoot()
{
    return ::geteuid() == 0;
}

mode_t typeOf(const QString &path)
{
    struct stat found
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &found) == 0 ? found.st_mode & S_IFMT : 0;
}

bool giveTo(const QString &path, uid_t owner)
{
    return ::lchown(QFile::encodeName(path).constData(), owner, gid_t(-1)) == 0;
}

// A folder everybody may write into, with the sticky bit, like /tmp.
bool makeSharedFolder(const QString &path)
{
    return QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), 01777) == 0;
}

} // namespace

class tst_FileSave : public QObject
{
    Q_OBJECT

private slots:
    void mayFollowLink_data();
    void mayFollowLink();
    void linksInSharedFolder_data();
    void linksInSharedFolder();
    void streamsInSharedFolder_data();
    void streamsInSharedFolder();
    void othersFilesInSharedFolder_data();
    void othersFilesInSharedFolder();
    void permissionsLikeModel();
    void folderProblem_data();
    void folderProblem();
    void onlyRegularFilesAreReplaced_data();
    void onlyRegularFilesAreReplaced();
    void fullDiskIsNamed();
    void systemErrorTextInTeachersLanguage();
    void fileErrorReason_data();
    void fileErrorReason();

private:
    QTemporaryDir m_dir;
};

void tst_FileSave::mayFollowLink_data()
{
    QTest::addColumn<uint>("folderMode");
    QTest::addColumn<uint>("linkOwner");
    QTest::addColumn<uint>("follower");
    QTest::addColumn<bool>("follows");

    QTest::newRow("private folder, another's link") << 0755u << 1001u << 1000u << true;
    QTest::newRow("everybody writes, not sticky") << 0777u << 1001u << 1000u << false;
    QTest::newRow("sticky, only the owner's group writes") << 01775u << 1001u << 1000u << false;
    QTest::newRow("team folder, another's link") << 02775u << 1001u << 1000u << false;
    QTest::newRow("team folder, own link") << 02775u << 1000u << 1000u << true;
    QTest::newRow("shared sticky folder, own link") << 01777u << 1000u << 1000u << true;
    QTest::newRow("shared sticky folder, root's link") << 01777u << 0u << 1000u << false;
    QTest::newRow("shared sticky folder, another's link") << 01777u << 1001u << 1000u << false;
    QTest::newRow("root is no exception") << 01777u << 1001u << 0u << false;
}

void tst_FileSave::mayFollowLink()
{
    QFETCH(uint, folderMode);
    QFETCH(uint, linkOwner);
    QFETCH(uint, follower);
    QFETCH(bool, follows);
    QCOMPARE(FileSave::mayUseInSharedFolder(folderMode | S_IFDIR, linkOwner, follower), follows);
}

void tst_FileSave::linksInSharedFolder_data()
{
    QTest::addColumn<bool>("sticky");
    QTest::addColumn<bool>("folderIsOthers");
    QTest::addColumn<bool>("linkIsOthers");
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("follows");

    QTest::newRow("own link") << true << false << false << true << true;
    QTest::newRow("own link to a new file") << true << false << false << false << true;
    QTest::newRow("another's link to a file") << true << false << true << true << false;
    QTest::newRow("another's link to nothing yet") << true << false << true << false << false;
    QTest::newRow("link of the folder's owner") << true << true << true << true << false;
    QTest::newRow("another's link, folder not sticky") << false << false << true << true << false;
}

// A link in a folder others write to (/tmp, a team folder) is followed only when it is the
// user's own: another user's link neither replaces its target nor creates a file where it points.
void tst_FileSave::linksInSharedFolder()
{
    QFETCH(bool, sticky);
    QFETCH(bool, folderIsOthers);
    QFETCH(bool, linkIsOthers);
    QFETCH(bool, targetExists);
    QFETCH(bool, follows);
    if ((folderIsOthers || linkIsOthers) && !isRoot())
        QSKIP("only root can give a link to another user");

    QTemporaryDir places;
    const QString folder = places.filePath("shared");
    QVERIFY(makeSharedFolder(folder));
    if (!sticky)
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 02775), 0);
    const QString target = places.filePath("teacher.py");
    if (targetExists)
        QVERIFY(FileSave::save(target, "mine").ok());
    const QString link = folder + "/class.py";
    QVERIFY(QFile::link(target, link));
    if (linkIsOthers)
        QVERIFY(giveTo(link, OtherUser));
    if (folderIsOthers)
        QVERIFY(giveTo(folder, OtherUser));

    const QString error = FileSave::save(link, "new").error();

    QCOMPARE(typeOf(link), mode_t(S_IFLNK));
    if (follows) {
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(fileBytes(target), QByteArray("new"));
    } else {
        QVERIFY2(error.contains(u"别的用户") && error.contains(link), qPrintable(error));
        QCOMPARE(QFile::exists(target), targetExists);
        if (targetExists)
            QCOMPARE(fileBytes(target), QByteArray("mine"));
    }
}

void tst_FileSave::streamsInSharedFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("sticky");
    QTest::addColumn<bool>("folderIsOthers");
    QTest::addColumn<bool>("streamIsOthers");
    QTest::addColumn<bool>("writtenInto");

    QTest::newRow("own FIFO") << "fifo" << true << false << false << true;
    QTest::newRow("another's FIFO") << "fifo" << true << false << true << false;
    QTest::newRow("FIFO of the folder's owner") << "fifo" << true << true << true << false;
    QTest::newRow("another's FIFO, folder not sticky") << "fifo" << false << false << true << false;
    QTest::newRow("another's device") << "character" << true << false << true << false;
}

// A FIFO or a device in a folder others write to is written into only where a link there would
// be followed: another user's FIFO would hand the text to whoever reads it.
void tst_FileSave::streamsInSharedFolder()
{
    QFETCH(QString, kind);
    QFETCH(bool, sticky);
    QFETCH(bool, folderIsOthers);
    QFETCH(bool, streamIsOthers);
    QFETCH(bool, writtenInto);
    if (!isRoot())
        QSKIP("only root can give a FIFO to another user");

    QTemporaryDir places;
    const QString folder = places.filePath("shared");
    QVERIFY(makeSharedFolder(folder));
    if (!sticky)
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 02775), 0);
    const QString path = folder + "/x.txt";
    std::unique_ptr<FifoReader> reader;
    if (kind == u"fifo") {
        reader = std::make_unique<FifoReader>(path);
        QVERIFY(reader->isValid());
    } else {
        QCOMPARE(::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    if (streamIsOthers)
        QVERIFY(giveTo(path, OtherUser));
    if (folderIsOthers)
        QVERIFY(giveTo(folder, OtherUser));

    const QString error = FileSave::save(path, "class").error();

    QCOMPARE(typeOf(path), kind == u"fifo" ? mode_t(S_IFIFO) : mode_t(S_IFCHR));
    if (writtenInto) {
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(reader->bytes(), QByteArray("class"));
    } else {
        QVERIFY2(error.contains(u"别的用户") && error.contains(path), qPrintable(error));
    }
}

void tst_FileSave::othersFilesInSharedFolder_data()
{
    QTest::addColumn<uint>("folderMode");
    QTest::addColumn<bool>("fileIsOthers");
    QTest::addColumn<bool>("replaced");

    QTest::newRow("own file, team folder") << 02775u << false << true;
    QTest::newRow("another's file, team folder") << 02775u << true << false;
    QTest::newRow("another's file, folder like /tmp") << 01777u << true << false;
    QTest::newRow("another's file, private folder") << 0755u << true << true;
}

// Another user's file in a folder others write to is never replaced, though root could.
void tst_FileSave::othersFilesInSharedFolder()
{
    QFETCH(uint, folderMode);
    QFETCH(bool, fileIsOthers);
    QFETCH(bool, replaced);
    if (fileIsOthers && !isRoot())
        QSKIP("only root can give a file to another user");

    QTemporaryDir places;
    const QString folder = places.filePath("team");
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), folderMode), 0);
    const QString path = folder + "/一班.py";
    QVERIFY(FileSave::save(path, "theirs").ok());
    if (fileIsOthers)
        QVERIFY(giveTo(path, OtherUser));

    const QString error = FileSave::save(path, "mine").error();

    QCOMPARE(fileBytes(path), replaced ? QByteArray("mine") : QByteArray("theirs"));
    QVERIFY2(replaced == error.isEmpty(), qPrintable(error));
    if (!replaced)
        QVERIFY2(error.contains(u"别的用户") && error.contains(path), qPrintable(error));
}

// What is written beside a class takes the class file's permission bits, new or replaced.
void tst_FileSave::permissionsLikeModel()
{
    const QString model = m_dir.filePath("private.py");
    QVERIFY(FileSave::save(model, "class").ok());
    QVERIFY(QFile::setPermissions(model, QFile::ReadOwner | QFile::WriteOwner));
    const QString beside = m_dir.filePath("private.评价.csv");
    QFile::remove(beside);
    const auto mode = [](const QString &path) {
        struct stat found
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &found) == 0 ? found.st_mode & 0777 : 0777u;
    };

    QVERIFY(FileSave::saveLike(beside, "new", model).ok());
    QCOMPARE(mode(beside), 0600u);
    QVERIFY(::chmod(QFile::encodeName(beside).constData(), 0644) == 0);
    QVERIFY(FileSave::saveLike(beside, "again", model).ok());
    QCOMPARE(mode(beside), 0600u);
    QCOMPARE(fileBytes(beside), QByteArray("again"));
}

void tst_FileSave::folderProblem_data()
{
    QTest::addColumn<QString>("folder"); // in the temporary folder, where 文件 is a file
    QTest::addColumn<QString>("problem"); // %D: the temporary folder

    QTest::newRow("a folder") << "" << "";
    QTest::newRow("a file in its place") << "文件" << "“%D/文件”是一个文件，不是文件夹。";
    QTest::newRow("missing") << "无" << "文件夹“%D/无”不存在。";
    QTest::newRow("its folder missing") << "无/子" << "文件夹“%D/无”不存在。";
    QTest::newRow("a file on the way") << "文件/子" << "“%D/文件”是一个文件，不是文件夹。";
}

// A folder that cannot take files is named as what it is; a file written into it says the same.
void tst_FileSave::folderProblem()
{
    QFETCH(QString, folder);
    QFETCH(QString, problem);
    QTemporaryDir places;
    QVERIFY(FileSave::save(places.filePath("文件"), "x").ok());
    const QString path = folder.isEmpty() ? places.path() : places.filePath(folder);
    problem.replace(QStringLiteral("%D"), places.path());

    QCOMPARE(FileSave::folderProblem(path), problem);
    const Result<void> saved = FileSave::save(path + "/班级.pdf", "pdf");
    QCOMPARE(saved.ok() ? QString() : saved.error(), problem);
}

void tst_FileSave::onlyRegularFilesAreReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("writtenInto");

    QTest::newRow("FIFO") << "fifo" << true;
    QTest::newRow("FIFO nobody reads") << "unread fifo" << false;
    QTest::newRow("character device") << "character" << true;
    QTest::newRow("block device") << "block" << false;
    QTest::newRow("folder") << "folder" << false;
}

// A FIFO or a character device takes the bytes and stays what it is; other things that are not
// regular files are refused, never replaced by a file.
void tst_FileSave::onlyRegularFilesAreReplaced()
{
    QFETCH(QString, kind);
    QFETCH(bool, writtenInto);
    QTemporaryDir places;
    const QString path = places.filePath("out");
    const QByteArray bytes(200000, 'x'); // more than a pipe holds at once
    std::unique_ptr<FifoReader> reader;
    if (kind == u"fifo") {
        reader = std::make_unique<FifoReader>(path);
        QVERIFY(reader->isValid());
    } else if (kind == u"unread fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == u"character" || kind == u"block") {
        if (!isRoot())
            QSKIP("only root can make device nodes");
        // The null device, and a loop device that is never opened.
        const mode_t type = kind == u"character" ? S_IFCHR : S_IFBLK;
        const dev_t device = kind == u"character" ? makedev(1, 3) : makedev(7, 250);
        QCOMPARE(::mknod(QFile::encodeName(path).constData(), type | 0600, device), 0);
    } else {
        QVERIFY(QDir().mkpath(path));
    }
    const mode_t before = typeOf(path);

    const QString error = FileSave::save(path, bytes).error();

    QCOMPARE(typeOf(path), before);
    QCOMPARE(error.isEmpty(), writtenInto);
    if (reader)
        QCOMPARE(reader->bytes(), bytes);
}

// Writing stops on a full disk: the teacher reads that the disk is full, not "Unknown error".
void tst_FileSave::fullDiskIsNamed()
{
    QTemporaryDir places;
    QString full = QStringLiteral("/dev/full");
    if (isRoot()) {
        full = places.filePath("full"); // a copy of the device, so that nothing of the system is at stake
        QCOMPARE(::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0600, makedev(1, 7)), 0);
    } else if (typeOf(full) != S_IFCHR) {
        QSKIP("no /dev/full here");
    }
    const QString error = FileSave::save(full, QByteArray(10000, 'x')).error();
    QVERIFY2(error.contains(u"磁盘已满"), qPrintable(error));
    QCOMPARE(typeOf(full), mode_t(S_IFCHR));
}

// The system's words inside our Chinese messages are Chinese as well: Qt keeps its text for a
// full disk in English when no translation of Qt is loaded (as on the command line), while
// the C library gives it in the language of the teacher's locale.
void tst_FileSave::systemErrorTextInTeachersLanguage()
{
    const QByteArray savedLocale = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "zh_CN.UTF-8"))
        QSKIP("no zh_CN.UTF-8 locale here");
    const QString text = FileSave::systemErrorText(ENOSPC);
    std::setlocale(LC_ALL, savedLocale.constData());

    const bool chinese =
        std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x4e00; });
    QVERIFY2(chinese, qPrintable(text));
}

void tst_FileSave::fileErrorReason_data()
{
    // How the error is given: "errno" (error), "qt text" (Qt's text for error, after prefix),
    // "text" (prefix as it is), "open" (a file opened as prefix says) or "kind" (error as
    // QFileDevice::FileError).
    QTest::addColumn<QString>("given");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no such file") << "errno" << ENOENT << ""
                                  << "文件不存在";
    QTest::newRow("permission") << "errno" << EACCES << ""
                                << "没有权限";
    QTest::newRow("disk full") << "errno" << ENOSPC << ""
                               << "磁盘已满";
    QTest::newRow("a folder") << "errno" << EISDIR << ""
                              << "是一个文件夹";
    QTest::newRow("read-only") << "errno" << EROFS << ""
                               << "只读文件系统";
    QTest::newRow("name too long") << "errno" << ENAMETOOLONG << ""
                                   << "文件名太长";
    QTest::newRow("any other number") << "errno" << EPROTO << ""
                                      << "系统错误（错误号 71）";
    QTest::newRow("Qt's text") << "qt text" << ENOENT << ""
                               << "文件不存在";
    QTest::newRow("Qt's text behind its own words") << "qt text" << EAGAIN << "Could not fork: "
                                                    << "暂时无法访问，请稍后再试";
    QTest::newRow("English Qt made no number for") << "text" << 0 << "Unknown error"
                                                   << "原因不明";
    QTest::newRow("already Chinese") << "text" << 0 << "无法连接到网络"
                                     << "无法连接到网络";
    QTest::newRow("Chinese path in English") << "text" << 0 << "Cannot open /家/一班 for reading"
                                             << "原因不明";
    QTest::newRow("read-only file with a Chinese name") << "text" << 0 << "Existing file /家/一班.py is not writable"
                                                        << "没有权限";
    QTest::newRow("opening a missing file") << "open" << 0 << "missing"
                                            << "文件不存在";
    QTest::newRow("writing into a folder") << "open" << 0 << "folder"
                                           << "是一个文件夹";
    QTest::newRow("kind only") << "kind" << int(QFileDevice::PermissionsError) << ""
                               << "没有权限";
}

// Every file error reaches the teacher as a short reason in Chinese, however it was given.
void tst_FileSave::fileErrorReason()
{
    QFETCH(QString, given);
    QFETCH(int, error);
    QFETCH(QString, prefix);
    QFETCH(QString, reason);
    QString found;
    if (given == u"errno") {
        found = FileErrorReason::fromErrno(error);
    } else if (given == u"qt text") {
        found = FileErrorReason::fromText(prefix + qt_error_string(error));
    } else if (given == u"text") {
        found = FileErrorReason::fromText(prefix);
    } else if (given == u"open") {
        QFile file(prefix == u"folder" ? m_dir.path() : m_dir.filePath(QStringLiteral("missing.py")));
        QVERIFY(!file.open(prefix == u"folder" ? QIODevice::WriteOnly : QIODevice::ReadOnly));
        found = FileErrorReason::of(file);
    } else {
        found = FileErrorReason::fromKind(QFileDevice::FileError(error));
    }
    QCOMPARE(found, reason);
}

QTEST_GUILESS_MAIN(tst_FileSave)
#include "tst_filesave.moc"
