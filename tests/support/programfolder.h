#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>

/// A temporary program folder holding a copy of the shipped data files, so that a test can
/// change or remove them freely.
class ProgramFolder
{
public:
    ProgramFolder();

    bool isValid() const { return m_dir.isValid(); }
    /// The folder, ending with "/".
    QString path() const;
    /// A file inside the folder.
    QString file(const QString &name) const { return path() + name; }
    bool remove(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

/// A file of tests/data.
QString testDataFile(const QString &name);

/// A writable copy of a file in a folder, replacing a file of that name there (golden files
/// are copied before a test changes them). Returns the copy's path.
QString writableCopy(const QString &source, const QString &folder);

/// The bytes of a file, or an empty array when it cannot be read.
QByteArray fileBytes(const QString &path);

/// Every file under a folder, by path relative to it; empty when there is no such folder.
using FileMap = std::map<QString, QByteArray>;
FileMap folderSnapshot(const QString &folder);
