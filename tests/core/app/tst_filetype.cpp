#include "core/app/filetyperegistration.h"
#include "programfolder.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <map>

#include <sys/stat.h>
#include <unistd.h>

class tst_FileType : public QObject
{
    Q_OBJECT

private slots:
    void execArgument_data();
    void execArgument();
    void writesEntries();
    void secondRunChangesNothing();
    void defaultApplication_data();
    void defaultApplication();
    void installedPackageMatches();
    void desktopResolvesTypes();
    void commentFilesShowTheirIcon_data();
    void commentFilesShowTheirIcon();
    void onlyTrustedExecutablesAreRegistered_data();
    void onlyTrustedExecutablesAreRegistered();
};

namespace {

/// The keys of a desktop entry's [Desktop Entry] group.
std::map<QString, QString> desktopKeys(const QByteArray &entry)
{
    std::map<QString, QString> keys;
    const QStringList lines = QString::fromUtf8(entry).split(u'\n');
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            keys[line.left(equals)] = line.mid(equals + 1);
    }
    return keys;
}

/// Writes a file (making its folder); returns its path.
QString writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

struct Homes
{
    QTemporaryDir dir;
    QString data() const { return dir.filePath("data"); }
    QString config() const { return dir.filePath("config"); }
};

const QString SystemTypes = QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml");

/// Builds a system MIME folder under dataDir as the installed package leaves it: the system's
/// own types beside the program's package, with its database made. False on any failure.
bool installSystemTypes(const QString &dataDir)
{
    const QString mime = dataDir + QStringLiteral("/mime");
    if (!QDir().mkpath(mime + QStringLiteral("/packages")) ||
        !QFile::copy(SystemTypes, mime + QStringLiteral("/packages/freedesktop.org.xml")) ||
        !QFile::copy(QStringLiteral(QHSY_PACKAGING_DIR "/qhsy-comment.xml"),
                     mime + QStringLiteral("/packages/qhsy-comment.xml")))
        return false;
    QProcess update;
    update.start(QStandardPaths::findExecutable(QStringLiteral("update-mime-database")), {mime});
    return update.waitForFinished(10000) && update.exitStatus() == QProcess::NormalExit &&
           update.exitCode() == 0;
}

} // namespace

void tst_FileType::execArgument_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/opt/qhsy/qhsy"
                           << "/opt/qhsy/qhsy";
    QTest::newRow("chinese") << "/home/老师/青禾/qhsy"
                             << "/home/老师/青禾/qhsy";
    QTest::newRow("blank") << "/home/t/My Apps/qhsy"
                           << "\"/home/t/My Apps/qhsy\"";
    QTest::newRow("double quote") << "/home/t/a\"b/qhsy"
                                  << "\"/home/t/a\\\\\"b/qhsy\"";
    QTest::newRow("dollar") << "/home/t/$x/qhsy"
                            << "\"/home/t/\\\\$x/qhsy\"";
    QTest::newRow("backquote") << "/home/t/a`b/qhsy"
                               << "\"/home/t/a\\\\`b/qhsy\"";
    QTest::newRow("backslash") << "/home/t/a\\b/qhsy"
                               << "\"/home/t/a\\\\\\\\b/qhsy\"";
    QTest::newRow("reserved, no escape") << "/t/a&b (2)/qhsy"
                                         << "\"/t/a&b (2)/qhsy\"";
    QTest::newRow("percent") << "/t/100%/qhsy"
                             << "/t/100%%/qhsy";
    QTest::newRow("percent and blank") << "/t/100 %/qhsy"
                                       << "\"/t/100 %%/qhsy\"";
}

void tst_FileType::execArgument()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(FileTypeRegistration::execArgument(path), expected);

    // The desktop's own checker accepts the entry made with it.
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        return;
    QTemporaryDir dir;
    const QString entry = writeFile(dir.filePath("qhsy.desktop"),
                                    FileTypeRegistration::desktopEntry(path, "/opt/qhsy/qhsy.png"));
    QProcess process;
    process.start(validator, {entry});
    QVERIFY(process.waitForFinished(10000));
    const QString output =
        QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    QVERIFY2(process.exitCode() == 0 && !output.contains("error"), qPrintable(output));
}

void tst_FileType::writesEntries()
{
    Homes homes;
    ProgramFolder folder;
    RegisterCommentFileType("/home/t/My Apps/qhsy", folder.path(), homes.data(), homes.config());

    const QString data = homes.data() + u'/';
    QCOMPARE(fileBytes(data + "mime/packages/qhsy-comment.xml"), FileTypeRegistration::mimePackage(false));
    QVERIFY(!fileBytes(data + "mime/packages/qhsy-comment.xml").contains("<glob"));
    QCOMPARE(fileBytes(data + "icons/hicolor/256x256/apps/qhsy.png"), fileBytes(folder.file("qhsy.png")));
    auto keys = desktopKeys(fileBytes(data + "applications/qhsy.desktop"));
    QCOMPARE(keys["Type"], "Application");
    QCOMPARE(keys["Name"], "青禾书苑");
    QCOMPARE(keys["Exec"], "\"/home/t/My Apps/qhsy\" %f");
    QCOMPARE(keys["Icon"], folder.file("qhsy.png"));
    QCOMPARE(keys["MimeType"], "application/x-qhsy-comment;");
    QCOMPARE(keys["Terminal"], "false");
    QCOMPARE(fileBytes(homes.config() + "/mimeapps.list"),
             "[Default Applications]\napplication/x-qhsy-comment=qhsy.desktop\n");

    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty())
        QVERIFY(QFile::exists(data + "mime/mime.cache"));
    if (!QStandardPaths::findExecutable("update-desktop-database").isEmpty())
        QVERIFY(fileBytes(data + "applications/mimeinfo.cache")
                    .contains("application/x-qhsy-comment=qhsy.desktop;"));
}

void tst_FileType::secondRunChangesNothing()
{
    Homes homes;
    ProgramFolder folder;
    const QByteArray others = "[Added Associations]\ntext/x-python=idle.desktop;\n\n"
                              "[Default Applications]\ntext/x-python=code.desktop\n";
    writeFile(homes.config() + "/mimeapps.list", others);

    RegisterCommentFileType("/opt/qhsy/qhsy", folder.path(), homes.data(), homes.config());
    const FileMap first = folderSnapshot(homes.dir.path());
    RegisterCommentFileType("/opt/qhsy/qhsy", folder.path(), homes.data(), homes.config());
    QVERIFY(first == folderSnapshot(homes.dir.path()));
    QCOMPARE(first.at("config/mimeapps.list"), others + "application/x-qhsy-comment=qhsy.desktop\n");
}

void tst_FileType::defaultApplication_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray ours = "application/x-qhsy-comment=qhsy.desktop\n";
    QTest::newRow("no file") << QByteArray() << "[Default Applications]\n" + ours;
    QTest::newRow("other group only, no final break")
        << QByteArray("[Added Associations]\ntext/plain=gedit.desktop;")
        << "[Added Associations]\ntext/plain=gedit.desktop;\n\n[Default Applications]\n" + ours;
    QTest::newRow("added after the group's last entry")
        << QByteArray("[Default Applications]\ntext/html=firefox.desktop\n\n[Removed "
                      "Associations]\nx/y=z.desktop;\n")
        << "[Default Applications]\ntext/html=firefox.desktop\n" + ours +
               "\n[Removed Associations]\nx/y=z.desktop;\n";
    QTest::newRow("replaced in place, duplicate dropped")
        << QByteArray("[Default Applications]\napplication/x-qhsy-comment=other.desktop\n"
                      "text/html=firefox.desktop\napplication/x-qhsy-comment = old.desktop\n")
        << "[Default Applications]\n" + ours + "text/html=firefox.desktop\n";
    QTest::newRow("other groups' lines untouched")
        << QByteArray("# mine\n[Added Associations]\napplication/x-qhsy-comment=other.desktop;\n"
                      "[Default Applications]\n")
        << "# mine\n[Added Associations]\napplication/x-qhsy-comment=other.desktop;\n"
           "[Default Applications]\n" +
               ours;
}

void tst_FileType::defaultApplication()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QCOMPARE(FileTypeRegistration::withDefaultApplication(before), after);
    QCOMPARE(FileTypeRegistration::withDefaultApplication(after), after);
}

void tst_FileType::installedPackageMatches()
{
    // The package installed with the program and the one written per user are the same.
    QCOMPARE(fileBytes(QHSY_PACKAGING_DIR "/qhsy-comment.xml"), FileTypeRegistration::mimePackage(true));
}

void tst_FileType::desktopResolvesTypes()
{
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty() || !QFile::exists(SystemTypes))
        QSKIP("shared-mime-info is not installed");
    QTemporaryDir files;
    const QStringList paths{
        writeFile(files.filePath("class.py"), fileBytes(testDataFile("basic.py"))),
        writeFile(files.filePath("x.py"), "#!/usr/bin/env python3\nprint(1)\n"),
        writeFile(files.filePath("plain.py"), "import os\nprint(os.name)\n"),
    };
    // What a Qt program says with the given data home and data dirs ("" keeps the system's).
    const auto qtTypes = [&](const QString &dataHome, const QString &dataDirs) {
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dataHome);
        if (!dataDirs.isEmpty())
            environment.insert("XDG_DATA_DIRS", dataDirs);
        probe.setProcessEnvironment(environment);
        probe.start(QStringLiteral(QHSY_MIMEPROBE), paths);
        probe.waitForFinished(10000);
        return QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    };
    Homes homes;
    const QStringList before = qtTypes(homes.data(), {});
    QCOMPARE(before.size(), 3);
    QCOMPARE(before[2], "text/x-python");
    QVERIFY(before[1].startsWith("text/x-python"));

    // Registered per user: Python scripts keep their type in Qt programs ...
    ProgramFolder folder;
    RegisterCommentFileType("/opt/qhsy/qhsy", folder.path(), homes.data(), homes.config());
    const QStringList perUser = qtTypes(homes.data(), {});
    QCOMPARE(perUser.mid(1), before.mid(1));
    // ... and a GLib-based file manager knows comment files by their header.
    const QString gio = QStandardPaths::findExecutable("gio");
    if (!gio.isEmpty()) {
        QStringList gioTypes;
        for (const QString &path : paths) {
            QProcess info;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_DATA_HOME", homes.data());
            info.setProcessEnvironment(environment);
            info.start(gio, {"info", "-a", "standard::content-type", path});
            info.waitForFinished(10000);
            gioTypes << QString::fromUtf8(info.readAllStandardOutput()).section(u':', -1).trimmed();
        }
        QCOMPARE(gioTypes, (QStringList{"application/x-qhsy-comment", before[1], "text/x-python"}));
    }

    // Installed with the system's types, the package's glob lets the header decide in Qt too.
    QTemporaryDir system;
    QVERIFY(installSystemTypes(system.path()));
    QCOMPARE(qtTypes(homes.data(), system.path()),
             (QStringList{"application/x-qhsy-comment", before[1], "text/x-python"}));
}

void tst_FileType::commentFilesShowTheirIcon_data()
{
    QTest::addColumn<bool>("installed"); // the package installed with the program, else per user
    QTest::newRow("registered per user") << false;
    QTest::newRow("installed package") << true;
}

// The comment type's icon name, as the desktop resolves it from a comment file's header, names
// the comment-file icon r in the icon theme.
void tst_FileType::commentFilesShowTheirIcon()
{
    QFETCH(bool, installed);
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty() || !QFile::exists(SystemTypes))
        QSKIP("shared-mime-info is not installed");
    QTemporaryDir files;
    const QString comment = writeFile(files.filePath("class.py"), fileBytes(testDataFile("basic.py")));
    Homes homes;
    ProgramFolder folder;
    QTemporaryDir system;
    if (installed) {
        QVERIFY(installSystemTypes(system.path()));
    } else {
        RegisterCommentFileType("/opt/qhsy/qhsy", folder.path(), homes.data(), homes.config());
    }

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", homes.data());
    if (installed)
        environment.insert("XDG_DATA_DIRS", system.path());
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(QHSY_MIMEPROBE), {"--icon", comment});
    QVERIFY(probe.waitForFinished(10000));
    const QString iconName = QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
    QCOMPARE(iconName, FileTypeRegistration::IconName);

    if (installed)
        return; // the installed icons are checked by tst_install
    // A GLib-based file manager gives the same name.
    if (const QString gio = QStandardPaths::findExecutable("gio"); !gio.isEmpty()) {
        QProcess info;
        info.setProcessEnvironment(environment);
        info.start(gio, {"info", "-a", "standard::icon", comment});
        QVERIFY(info.waitForFinished(10000));
        const QString icons = QString::fromUtf8(info.readAllStandardOutput()).section(u':', -1).trimmed();
        QCOMPARE(icons.section(u',', 0, 0).trimmed(), iconName);
    }
    // The theme has the comment-file icon under that name.
    QCOMPARE(fileBytes(homes.data() + "/icons/hicolor/256x256/mimetypes/" + iconName + ".png"),
             fileBytes(folder.file("r.png")));
    QCOMPARE(fileBytes(homes.data() + "/icons/hicolor/scalable/mimetypes/" + iconName + ".svg"),
             fileBytes(folder.file("r.svg")));
}

QTEST_GUILESS_MAIN(tst_FileType)
#include "tst_filetype.moc"

void tst_FileType::onlyTrustedExecutablesAreRegistered_data()
{
    QTest::addColumn<QString>("where"); // the folder the executable stands in
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("foreignOwner");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("private folder") << "build" << 0755 << false << true;
    QTest::newRow("folder anyone may write") << "build" << 0777 << false << false;
    QTest::newRow("folder the group may write") << "build" << 0775 << false << false;
    QTest::newRow("under the shared temporary folder") << "tmp" << 0755 << false << false;
    QTest::newRow("executable of another user") << "build" << 0755 << true << false;
}

// A program run from where another user could put a program of their own is not made the
// comment files' program.
void tst_FileType::onlyTrustedExecutablesAreRegistered()
{
    QFETCH(QString, where);
    QFETCH(int, folderMode);
    QFETCH(bool, foreignOwner);
    QFETCH(bool, trusted);
    // The build tree is private on a normal machine; /tmp is open to every user.
    const QString base = where == u"tmp" ? QDir::tempPath() : QDir::currentPath();
    QTemporaryDir dir(base + QStringLiteral("/exec-XXXXXX"));
    QVERIFY(dir.isValid());
    const QString executable = writeFile(dir.filePath("qhsy"), "#!/bin/sh\n");
    QVERIFY(::chmod(QFile::encodeName(executable).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    if (trusted && !FileTypeRegistration::executableIsTrusted(executable, ::getuid()))
        QSKIP("the build tree is writable by others on this machine");
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), mode_t(folderMode)) == 0);
    uint user = ::getuid();
    if (foreignOwner) {
        // Owned by someone who is neither the user nor root.
        if (::getuid() == 0)
            QVERIFY(::chown(QFile::encodeName(executable).constData(), 65534, 65534) == 0);
        else
            user = ::getuid() + 1;
    }
    QCOMPARE(FileTypeRegistration::executableIsTrusted(executable, user), trusted);
}
