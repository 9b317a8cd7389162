#include "core/app/filetyperegistration.h"

#include "core/document/commentfile.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

#include <utility>

namespace FileTypeRegistration {

namespace {

/// The start every comment file shares, whatever its version: "版本=标准版".
QByteArray headerMagic()
{
    QString header = CommentFile::Header;
    header.chop(QStringLiteral("v1.0").size());
    return TextFile::encode(header);
}

/// Escapes of a desktop-entry string value.
QString escapeValue(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

QByteArray mimePackage(bool systemWide)
{
    QByteArray magic;
    for (const char byte : headerMagic())
        magic += "\\x" + QByteArray::number(uchar(byte), 16).rightJustified(2, '0');
    const QByteArray glob = systemWide ? "    <glob pattern=\"*.py\" weight=\"10\"/>\n" : "";
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                      "  <mime-type type=\"") +
           MimeType.toUtf8() +
           "\">\n"
           "    <comment>Quillmark class comments</comment>\n"
           "    <comment xml:lang=\"zh_CN\">青禾书苑文件</comment>\n"
           "    <sub-class-of type=\"text/plain\"/>\n"
           "    <icon name=\"" +
           IconName.toUtf8() +
           "\"/>\n"
           "    <generic-icon name=\"text-x-generic\"/>\n"
           "    <magic priority=\"80\">\n"
           "      <match type=\"string\" offset=\"0\" value=\"" +
           magic +
           "\"/>\n"
           "    </magic>\n" +
           glob +
           "  </mime-type>\n"
           "</mime-info>\n";
}

QString execArgument(const QString &argument)
{
    static constexpr QStringView reserved = u" \t\n\"'\\><~|&;$*?#()`";
    static constexpr QStringView escapedInQuotes = u"\"`$\\";
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString quoted;
    if (needsQuotes) {
        quoted += u'"';
        for (const QChar c : argument) {
            if (escapedInQuotes.contains(c))
                quoted += u'\\';
            quoted += c;
        }
        quoted += u'"';
    } else {
        quoted = argument;
    }
    // "%" starts a field code, also inside quotes.
    quoted.replace(u'%', QStringLiteral("%%"));
    return escapeValue(quoted);
}

QByteArray desktopEntry(const QString &executable, const QString &iconPath)
{
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=青禾书苑\n"
                                         "Name[zh_CN]=青禾书苑\n"
                                         "GenericName=评语编辑\n"
                                         "Comment=编写全班学生的期末评语\n"
                                         "Exec=%1 %f\n"
                                         "Icon=%2\n"
                                         "MimeType=%3;\n"
                                         "Terminal=false\n"
                                         "Categories=Office;Education;\n")
                              .arg(execArgument(executable), escapeValue(iconPath), MimeType);
    return entry.toUtf8();
}

QByteArray withDefaultApplication(const QByteArray &mimeappsList)
{
    static const QByteArray group = "[Default Applications]";
    const QByteArray key = MimeType.toUtf8();
    const QByteArray ourLine = key + '=' + DesktopFileName.toUtf8();

    QList<QByteArray> lines = mimeappsList.split('\n');
    if (mimeappsList.isEmpty() || mimeappsList.endsWith('\n'))
        lines.removeLast();

    bool inGroup = false;
    bool inFirstGroup = false;
    bool placed = false;
    qsizetype insertAt = -1; // after the last line of the first [Default Applications] group
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            inGroup = trimmed == group;
            inFirstGroup = inGroup && insertAt < 0;
            if (inFirstGroup)
                insertAt = i + 1;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = trimmed.indexOf('=');
        if (equals > 0 && trimmed.left(equals).trimmed() == key) {
            if (placed) {
                lines.removeAt(i--);
                continue;
            }
            lines[i] = ourLine;
            placed = true;
        }
        if (inFirstGroup && !trimmed.isEmpty())
            insertAt = i + 1;
    }
    if (!placed) {
        if (insertAt >= 0) {
            lines.insert(insertAt, ourLine);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines.append(QByteArray());
            lines.append(group);
            lines.append(ourLine);
        }
    }
    return lines.join('\n') + '\n';
}

} // namespace FileTypeRegistration

namespace {

/// Writes the bytes when the file does not hold them already. True when it wrote them.
bool writeWhenDifferent(const QString &path, const QByteArray &bytes)
{
    const Result<QByteArray> current = TextFile::readAll(path);
    if (current && *current == bytes)
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return TextFile::saveAtomically(path, bytes).ok();
}

/// Runs a cache tool on a folder when it is installed; waits a few seconds at most.
void runTool(const QString &name, const QString &folder)
{
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return;
    QProcess process;
    process.setProgram(program);
    process.setArguments({folder});
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
    }
}

} // namespace

void RegisterCommentFileType(const QString &executable, const QString &programFolder, const QString &dataHome,
                             const QString &configHome)
{
    using namespace FileTypeRegistration;
    if (dataHome.isEmpty() || configHome.isEmpty())
        return;
    const QString data = QDir(dataHome).absolutePath() + u'/';
    const QString config = QDir(configHome).absolutePath() + u'/';
    const ProgramFiles files(programFolder);
    const QString iconPath = files.programIcon();

    const bool mimeChanged =
        writeWhenDifferent(data + QStringLiteral("mime/packages/qhsy-comment.xml"), mimePackage(false));
    // The program's icon by name, for launchers; the desktop entry refers to the program
    // folder's own copy. Comment files show the comment-file icon under the name the MIME
    // type gives.
    const std::pair<QString, QString> icons[] = {
        {iconPath, QStringLiteral("256x256/apps/qhsy.png")},
        {files.commentFileIcon(QStringLiteral("png")),
         QStringLiteral("256x256/mimetypes/") + IconName + QStringLiteral(".png")},
        {files.commentFileIcon(QStringLiteral("svg")),
         QStringLiteral("scalable/mimetypes/") + IconName + QStringLiteral(".svg")},
    };
    for (const auto &[source, target] : icons) {
        const Result<QByteArray> icon = TextFile::readAll(source);
        if (icon)
            writeWhenDifferent(data + QStringLiteral("icons/hicolor/") + target, *icon);
    }
    const bool entryChanged = writeWhenDifferent(data + QStringLiteral("applications/") + DesktopFileName,
                                                 desktopEntry(executable, iconPath));

    const QString mimeappsPath = config + QStringLiteral("mimeapps.list");
    const Result<QByteArray> mimeapps = TextFile::readAll(mimeappsPath);
    // A file that exists but cannot be read is left alone rather than replaced.
    if (mimeapps || !QFileInfo::exists(mimeappsPath))
        writeWhenDifferent(mimeappsPath, withDefaultApplication(mimeapps ? *mimeapps : QByteArray()));

    // The caches are rebuilt when the entries changed, or when someone removed them.
    if (mimeChanged || !QFileInfo::exists(data + QStringLiteral("mime/mime.cache")))
        runTool(QStringLiteral("update-mime-database"), data + QStringLiteral("mime"));
    if (entryChanged || !QFileInfo::exists(data + QStringLiteral("applications/mimeinfo.cache")))
        runTool(QStringLiteral("update-desktop-database"), data + QStringLiteral("applications"));
}

bool FileTypeRegistration::executableIsTrusted(const QString &executable, uint user)
{
    QString path = QFileInfo(executable).canonicalFilePath();
    if (path.isEmpty())
        return false;
    const auto othersMayWrite = QFile::WriteGroup | QFile::WriteOther;
    // The file itself, then each folder up to the root.
    for (;;) {
        const QFileInfo info(path);
        if (!info.exists() || (info.ownerId() != user && info.ownerId() != 0) ||
            (info.permissions() & othersMayWrite))
            return false;
        if (info.isRoot())
            return true;
        path = info.absolutePath();
    }
}

void RegisterCommentFileType(const QString &executable, const QString &programFolder)
{
    if (!FileTypeRegistration::executableIsTrusted(executable, ::getuid()))
        return;
    RegisterCommentFileType(executable, programFolder,
                            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
