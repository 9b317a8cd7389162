#include "core/platform/fileexists.h"

#include "core/platform/textfile.h"

#include <QFile>

bool FileExists(const QString &path)
{
    // Opened the way the readers open it: a folder, a pipe or a device is no file (and a pipe
    // must not keep the check waiting).
    QFile file;
    return !path.isEmpty() && TextFile::openForReading(file, path).ok();
}
