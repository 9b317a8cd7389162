#include "programfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

ProgramFolder::ProgramFolder()
{
    const QString source = QStringLiteral(QHSY_DATA_DIR);
    QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = m_dir.filePath(QDir(source).relativeFilePath(from));
        QDir().mkpath(QFileInfo(to).path());
        QFile::copy(from, to);
    }
}

QString ProgramFolder::path() const
{
    return m_dir.path() + u'/';
}

bool ProgramFolder::remove(const QString &name) const
{
    return QFile::remove(file(name));
}

QString testDataFile(const QString &name)
{
    return QStringLiteral(QHSY_TEST_DATA_DIR "/") + name;
}

QString writableCopy(const QString &source, const QString &folder)
{
    const QString path = QDir(folder).filePath(QFileInfo(source).fileName());
    QFile::remove(path);
    if (!QFile::copy(source, path) || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
        qFatal("cannot copy %s", qPrintable(source));
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

FileMap folderSnapshot(const QString &folder)
{
    FileMap files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = fileBytes(path);
    }
    return files;
}
