// One library changed by several teachers at once: the lock, changes by content, the merge.
#include "core/app/commandline.h"
#include "core/app/librarycommand.h"
#include "core/library/commentlibrary.h"
#include "core/library/librarylocation.h"
#include "core/library/librarywatch.h"
#include "core/platform/textfile.h"
#include "programfolder.h"
#include "resultvalue.h"
#include "scriptedplatform.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>

namespace {

Rating ratingOf(const QString &letter)
{
    return letter == u"好" ? Rating::Excellent : letter == u"中" ? Rating::Good : Rating::Lagging;
}

/// Lines of a library written briefly: "#name" opens a category, "=X" its section X (好, 中,
/// 差), any other line is a comment.
QStringList library(const QStringList &brief)
{
    QStringList lines;
    QString category;
    for (const QString &line : brief) {
        if (line.startsWith(u'#')) {
            category = line.mid(1);
            lines.append(CommentLibrary::CategoryMarker + category);
        } else if (line.startsWith(u'=')) {
            lines.append(u'\t' + CommentLibrary::SectionMarker + category + line.mid(1));
        } else {
            lines.append(QStringLiteral("\t\t") + line);
        }
    }
    return lines;
}

QStringList linesOf(const QString &path)
{
    return TextFile::splitLines(TextFile::decode(fileBytes(path)));
}

/// Starts the helper program; for a lock, waits until it holds it.
std::unique_ptr<QProcess> startHelper(const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(QHSY_LIBRARY_HELPER), arguments);
    if (!process->waitForStarted())
        return nullptr;
    if (arguments.first() != u"add" && !process->waitForReadyRead(10000))
        return nullptr;
    return process;
}

} // namespace

class tst_SharedLibrary : public QObject
{
    Q_OBJECT

private slots:
    void processesAddingAtOnceLoseNothing();
    void lockWait_data();
    void lockWait();
    void changeByContent_data();
    void changeByContent();
    void addCommentsFirst_data();
    void addCommentsFirst();
    void merge_data();
    void merge();
    void commandLine_data();
    void commandLine();
    void commandLineLockHeld();
    void watch_data();
    void watch();
    void location_data();
    void location();

private:
    QTemporaryDir m_dir;
};

void tst_SharedLibrary::processesAddingAtOnceLoseNothing()
{
    const QString path = writableCopy(testDataFile(QStringLiteral("library/library.vxd")), m_dir.path());
    const QList<CommentLibrary::Entry> before = expectValue(CommentLibrary(path).entries());
    const QStringList targets[] = {{"学习", "好"}, {"学习", "好"}, {"纪律", "中"}, {"学习好习惯", "差"}};
    const int count = 100;
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QProcess>> helpers;
    for (int p = 0; p < 4; ++p) {
        helpers.push_back(startHelper({"add", path, targets[p][0], targets[p][1], QString::number(count),
                                       QStringLiteral("P%1").arg(p)}));
        QVERIFY(helpers.back());
    }
    for (const auto &helper : helpers) {
        QVERIFY(helper->waitForFinished(120000));
        QCOMPARE(helper->exitCode(), 0);
    }
    qInfo("4 processes added %d comments each in %lld ms", count, clock.elapsed());

    const QList<CommentLibrary::Entry> after = expectValue(CommentLibrary(path).entries());
    QList<CommentLibrary::Entry> others;
    for (const CommentLibrary::Entry &entry : after) {
        const qsizetype dash = entry.text.indexOf(u'-');
        if (!entry.text.startsWith(u'P') || dash < 0) {
            others.append(entry);
            continue;
        }
        const int p = entry.text.mid(1, dash - 1).toInt();
        QCOMPARE(entry.category, targets[p][0]);
        QCOMPARE(entry.rating, ratingOf(targets[p][1]));
    }
    QCOMPARE(after.size() - others.size(), 4 * count);
    QCOMPARE(others, before); // every other section as it was
    QVERIFY(!QFileInfo::exists(LibraryLock::lockPathFor(path)));
}

void tst_SharedLibrary::lockWait_data()
{
    QTest::addColumn<QString>("holder"); // what the helper does with the lock
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<bool>("done");    // whether the change was made
    QTest::addColumn<bool>("noticed"); // whether the wait was reported
    QTest::newRow("released within the limit, wait reported") << "hold" << 1500 << 10000 << true << true;
    QTest::newRow("still held at the limit") << "hold" << 4000 << 800 << false << true;
    QTest::newRow("owner gone: taken at once") << "abandon" << 0 << 10000 << true << false;
}

void tst_SharedLibrary::lockWait()
{
    QFETCH(QString, holder);
    QFETCH(int, holdMs);
    QFETCH(int, limitMs);
    QFETCH(bool, done);
    QFETCH(bool, noticed);
    const QString path = writableCopy(testDataFile(QStringLiteral("library/library.vxd")), m_dir.path());
    const QByteArray old = fileBytes(path);
    const auto helper = startHelper({holder, path, QString::number(holdMs)});
    QVERIFY(helper);
    if (holder == u"abandon")
        QVERIFY(helper->waitForFinished());

    QList<LockHolder> notices;
    int ends = 0;
    CommentLibrary library(path);
    library.setLockWait({std::chrono::milliseconds(limitMs), std::chrono::milliseconds(300),
                         [&](const LockHolder &who) { notices.append(who); }, [&] { ++ends; }});
    QElapsedTimer clock;
    clock.start();
    const Result<CommentLibrary::Written> status = library.addCategory(QStringLiteral("班级活动"));
    qInfo("%s: waited %lld ms for the lock", QTest::currentDataTag(), clock.elapsed());

    QCOMPARE(status.ok(), done);
    QCOMPARE(notices.size(), noticed ? 1 : 0);
    QCOMPARE(ends, notices.size()); // a noticed wait is ended once, however it ends
    const QString host = QSysInfo::machineHostName();
    const QString user = QFileInfo(path).owner(); // the helper runs as this test does
    if (noticed) {
        QCOMPARE(notices.first().host, host);
        QCOMPARE(notices.first().user, user);
    }
    if (!done) {
        QCOMPARE(status.kind(), FailureKind::Stopped);
        QVERIFY2(status.error().contains(QStringLiteral("%1（电脑 %2）").arg(user, host)),
                 qPrintable(status.error()));
        QCOMPARE(fileBytes(path), old);
    } else {
        QVERIFY(expectValue(library.categoryNames()).contains(QStringLiteral("班级活动")));
    }
    helper->waitForFinished();
}

void tst_SharedLibrary::changeByContent_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("entry"); // category, rating letter, text, as the teacher saw it
    QTest::addColumn<QStringList>("after"); // the section afterwards; empty: nothing changed
    QTest::newRow("edit") << "edit" << QStringList{"学习", "好", "你乐于助人。"}
                          << QStringList{"你学习认真，成绩优秀。", "新"};
    QTest::newRow("edit of a comment changed meanwhile")
        << "edit" << QStringList{"学习", "好", "你乐于助人！"} << QStringList{};
    QTest::newRow("edit of a comment now in another rating")
        << "edit" << QStringList{"学习", "中", "你乐于助人。"} << QStringList{};
    QTest::newRow("delete") << "delete" << QStringList{"纪律", "好", "你乐于助人。"}
                            << QStringList{"你遵守纪律。"};
    QTest::newRow("delete of a comment deleted meanwhile")
        << "delete" << QStringList{"纪律", "差", "你乐于助人。"} << QStringList{};
    QTest::newRow("delete in a category deleted meanwhile")
        << "delete" << QStringList{"体育", "好", "你乐于助人。"} << QStringList{};
}

void tst_SharedLibrary::changeByContent()
{
    QFETCH(QString, op);
    QFETCH(QStringList, entry);
    QFETCH(QStringList, after);
    const QString path = writableCopy(testDataFile(QStringLiteral("library/library.vxd")), m_dir.path());
    const QByteArray old = fileBytes(path);
    CommentLibrary library(path);
    const CommentLibrary::Entry seen{entry[0], ratingOf(entry[1]), entry[2]};
    const Result<CommentLibrary::Written> status =
        op == u"edit" ? library.replaceComment(seen, QStringLiteral("新")) : library.deleteComment(seen);
    if (after.isEmpty()) {
        QCOMPARE(status.kind(), FailureKind::NotFound);
        QCOMPARE(status.error(), CommentLibrary::VanishedMessage);
        QCOMPARE(fileBytes(path), old);
        return;
    }
    QVERIFY2(status.ok(), qPrintable(status.error()));
    QCOMPARE(expectValue(library.comments(seen.category, seen.rating)), after);
    // Only that section changed: the same text elsewhere stays.
    QCOMPARE(
        expectValue(library.entries()).size(),
        expectValue(CommentLibrary(testDataFile(QStringLiteral("library/library.vxd"))).entries()).size() -
            (op == u"delete" ? 1 : 0));
}

void tst_SharedLibrary::addCommentsFirst_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("after");
    const QStringList own{"#学习", "=好", "旧", "=中", "=差", "#纪律", "=好", "=中", "=差"};
    QTest::newRow("first in the section, empty lines skipped")
        << own << QStringList{"新一", "", "新二"}
        << QStringList{"#学习", "=好", "新一", "新二", "旧", "=中", "=差", "#纪律", "=好", "=中", "=差"};
    QTest::newRow("missing category made at the end")
        << QStringList{"#纪律", "=好", "=中", "=差"} << QStringList{"新"}
        << QStringList{"#纪律", "=好", "=中", "=差", "#学习", "=好", "新", "=中", "=差"};
    QTest::newRow("missing section made in its category")
        << QStringList{"#学习", "=中", "#纪律"} << QStringList{"新"}
        << QStringList{"#学习", "=中", "=好", "新", "#纪律"};
    QTest::newRow("only empty lines: nothing written") << own << QStringList{"", ""} << own;
}

void tst_SharedLibrary::addCommentsFirst()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, after);
    const QString path = m_dir.filePath(QStringLiteral("first.vxd"));
    QVERIFY(TextFile::writeLines(path, library(before)).ok());
    QVERIFY(CommentLibrary(path).addCommentsFirst(QStringLiteral("学习"), Rating::Excellent, texts).ok());
    QCOMPARE(linesOf(path), library(after));
}

void tst_SharedLibrary::merge_data()
{
    QTest::addColumn<QStringList>("own");
    QTest::addColumn<QStringList>("other");
    QTest::addColumn<QStringList>("merged");
    QTest::addColumn<int>("added");
    QTest::newRow("lacking comments after the section's own")
        << QStringList{"#学习", "=好", "甲", "=中", "=差"}
        << QStringList{"#学习", "=好", "乙", "甲", "丙", "=中", "=差"}
        << QStringList{"#学习", "=好", "甲", "乙", "丙", "=中", "=差"} << 2;
    QTest::newRow("same text in another rating is another comment")
        << QStringList{"#学习", "=好", "甲", "=中", "=差"} << QStringList{"#学习", "=好", "=中", "甲", "=差"}
        << QStringList{"#学习", "=好", "甲", "=中", "甲", "=差"} << 1;
    QTest::newRow("new category at the end, in the other's order")
        << QStringList{"#学习", "=好", "=中", "=差"}
        << QStringList{"#劳动", "=好", "=中",   "丁",  "=差", "#学习", "=好",
                       "=中",   "=差", "#体育", "=好", "戊",  "=中",   "=差"}
        << QStringList{"#学习", "=好", "=中",   "=差", "#劳动", "=好", "=中",
                       "丁",    "=差", "#体育", "=好", "戊",    "=中", "=差"}
        << 2;
    QTest::newRow("a text twice in the other added once, empty lines never")
        << QStringList{"#学习", "=好", "=中", "=差"}
        << QStringList{"#学习", "=好", "乙", "", "乙", "=中", "=差"}
        << QStringList{"#学习", "=好", "乙", "=中", "=差"} << 1;
    QTest::newRow("a stock mark makes another text")
        << QStringList{"#学习", "=好", "你很棒。", "=中", "=差"}
        << QStringList{"#学习", "=好", "你很棒。〔常用〕", "=中", "=差"}
        << QStringList{"#学习", "=好", "你很棒。", "你很棒。〔常用〕", "=中", "=差"} << 1;
    QTest::newRow("nothing lacking adds nothing")
        << QStringList{"#学习", "=好", "甲", "乙", "=中", "=差"}
        << QStringList{"#学习", "=好", "乙", "=中", "=差"}
        << QStringList{"#学习", "=好", "甲", "乙", "=中", "=差"} << 0;
}

void tst_SharedLibrary::merge()
{
    QFETCH(QStringList, own);
    QFETCH(QStringList, other);
    QFETCH(QStringList, merged);
    QFETCH(int, added);
    const QString ownPath = m_dir.filePath(QStringLiteral("own.vxd"));
    const QString otherPath = m_dir.filePath(QStringLiteral("other.vxd"));
    QVERIFY(TextFile::writeLines(ownPath, library(own)).ok());
    QVERIFY(TextFile::writeLines(otherPath, library(other)).ok());
    CommentLibrary ownLibrary(ownPath);
    QCOMPARE(expectValue(ownLibrary.merge(CommentLibrary(otherPath))), qsizetype(added));
    QCOMPARE(linesOf(ownPath), library(merged));

    // Merging the same library again adds nothing and leaves the file as it is.
    const QByteArray once = fileBytes(ownPath);
    QCOMPARE(expectValue(ownLibrary.merge(CommentLibrary(otherPath))), qsizetype(0));
    QCOMPARE(fileBytes(ownPath), once);
}

void tst_SharedLibrary::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // LIB, OTHER, FILE stand for the files the test makes
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed"); // the one line on standard output, or part of the error
    const QString lib = QStringLiteral("LIB");
    QTest::newRow("add") << QStringList{"--add-comments", lib, "学习", "优秀", "FILE"} << 0
                         << "已添加 2 条评语。";
    QTest::newRow("add to a new category")
        << QStringList{"--add-comments", lib, "劳动", "后进", "FILE"} << 0 << "已添加 2 条评语。";
    QTest::newRow("rating unknown") << QStringList{"--add-comments", lib, "学习", "好", "FILE"} << 64
                                    << "优秀、良好或后进";
    QTest::newRow("add: too few") << QStringList{"--add-comments", lib, "学习", "优秀"} << 64 << "四个参数";
    QTest::newRow("add: library missing")
        << QStringList{"--add-comments", "missing.vxd", "学习", "优秀", "FILE"} << 2 << "无法读取评语库文件";
    QTest::newRow("add: text missing")
        << QStringList{"--add-comments", lib, "学习", "优秀", "missing.txt"} << 2 << "无法读取评语文本";
    QTest::newRow("add: a comment file is no library")
        << QStringList{"--add-comments", testDataFile("basic.py"), "学习", "优秀", "FILE"} << 2
        << "是评语文件";
    QTest::newRow("merge") << QStringList{"--merge-library", lib, "OTHER"} << 0 << "已添加 3 条评语。";
    QTest::newRow("merge: other missing")
        << QStringList{"--merge-library", lib, "missing.vxd"} << 2 << "无法读取评语库文件";
    QTest::newRow("merge: too many") << QStringList{"--merge-library", lib, "OTHER", "x"} << 64 << "两个参数";
}

void tst_SharedLibrary::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QTemporaryDir dir;
    const QString lib = writableCopy(testDataFile(QStringLiteral("library/library.vxd")), dir.path());
    const QByteArray old = fileBytes(lib);
    const QString other = dir.filePath(QStringLiteral("other.vxd"));
    QVERIFY(TextFile::writeLines(other, library({"#学习", "=好", "你乐于助人。", "甲", "=中", "乙", "=差",
                                                 "#劳动", "=好", "丙"}))
                .ok());
    const QString file = dir.filePath(QStringLiteral("new.txt"));
    QFile text(file);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("新一\n\n新二\n"); // UTF-8, LF, an empty line
    text.close();
    for (QString &argument : arguments) {
        if (argument == u"LIB")
            argument = lib;
        else if (argument == u"OTHER")
            argument = other;
        else if (argument == u"FILE")
            argument = file;
        else if (argument.startsWith(u"missing"))
            argument = dir.filePath(argument);
    }
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QCOMPARE(CommandLine::run(CommandLine::parse(arguments), outStream, errStream), exitCode);
    outStream.flush();
    errStream.flush();
    if (exitCode != 0) {
        QVERIFY2(err.contains(printed), qPrintable(err));
        QCOMPARE(out, QString());
        QCOMPARE(fileBytes(lib), old);
        return;
    }
    QCOMPARE(out, printed + u'\n');
    if (arguments.first() == u"--add-comments")
        QCOMPARE(expectValue(
                     CommentLibrary(lib).comments(arguments[2], *LibraryCommand::ratingNamed(arguments[3])))
                     .first(2),
                 (QStringList{"新一", "新二"}));
}

void tst_SharedLibrary::commandLineLockHeld()
{
    const QString path = writableCopy(testDataFile(QStringLiteral("library/library.vxd")), m_dir.path());
    const QByteArray old = fileBytes(path);
    const auto helper = startHelper({"hold", path, "3000"});
    QVERIFY(helper);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int code = LibraryCommand::mergeLibrary(
        path, testDataFile(QStringLiteral("library/twice.vxd")), outStream, errStream,
        {std::chrono::milliseconds(600), std::chrono::milliseconds(100)});
    errStream.flush();
    QCOMPARE(code, 1);
    const QString who =
        QStringLiteral("%1（电脑 %2）").arg(QFileInfo(path).owner(), QSysInfo::machineHostName());
    QCOMPARE(err.count(who), 2); // told while waiting, and when giving up
    QCOMPARE(fileBytes(path), old);
    helper->waitForFinished();
}

void tst_SharedLibrary::watch_data()
{
    QTest::addColumn<QString>("change"); // what happens to the file after it was seen
    QTest::addColumn<bool>("changed");
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("another size") << "grow" << true;
    QTest::newRow("same size, another time") << "touch" << true;
    QTest::newRow("removed") << "remove" << true;
}

void tst_SharedLibrary::watch()
{
    QFETCH(QString, change);
    QFETCH(bool, changed);
    const QString path = writableCopy(testDataFile(QStringLiteral("library/library.vxd")), m_dir.path());
    LibraryWatch watch(path);
    QFile file(path);
    if (change == u"grow") {
        QVERIFY(file.open(QIODevice::Append));
        file.write("\t\tx\r\n");
        file.close();
    } else if (change == u"touch") {
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        file.close();
    } else if (change == u"remove") {
        QVERIFY(file.remove());
    }
    QCOMPARE(watch.changed(), changed);
    QVERIFY(!watch.changed()); // seen now
}

void tst_SharedLibrary::location_data()
{
    QTest::addColumn<QString>("chosen"); // "" the teacher's own; "shared" a file that exists
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unreachable"); // part of the reason, or "" when reachable
    QTest::newRow("own") << ""
                         << "我的评语库"
                         << "";
    QTest::newRow("a grade's library") << "shared"
                                       << "年级组评语库"
                                       << "";
    QTest::newRow("shared folder not mounted") << "gone/年级组评语库.vxd"
                                               << "年级组评语库"
                                               << "找不到评语库";
    QTest::newRow("a folder") << "folder"
                              << "folder"
                              << "不是评语库文件";
}

void tst_SharedLibrary::location()
{
    QFETCH(QString, chosen);
    QFETCH(QString, name);
    QFETCH(QString, unreachable);
    QTemporaryDir dir;
    const QString own = writableCopy(testDataFile(QStringLiteral("library/library.vxd")), dir.path());
    QString path = chosen.isEmpty() ? QString() : dir.filePath(chosen);
    if (chosen == u"shared") {
        path = dir.filePath(QStringLiteral("年级组评语库.vxd"));
        QVERIFY(QFile::copy(own, path));
    } else if (chosen == u"folder") {
        QVERIFY(QDir(dir.path()).mkdir(chosen));
    }
    ScriptedPlatform platform;
    LibraryLocation(platform, own).choose(path);
    QCOMPARE(platform.settings.value(QStringLiteral("library/path")).toString(), path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath());
    const LibraryLocation location(platform, own);
    QCOMPARE(location.path(), path.isEmpty() ? own : path);
    QCOMPARE(location.isOwn(), chosen.isEmpty());
    QCOMPARE(location.name(), name);
    QVERIFY2(location.unreachableReason().contains(unreachable), qPrintable(location.unreachableReason()));
    QCOMPARE(location.unreachableReason().isEmpty(), unreachable.isEmpty());
}

QTEST_GUILESS_MAIN(tst_SharedLibrary)
#include "tst_sharedlibrary.moc"
