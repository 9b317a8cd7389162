#pragma once

#include <QString>

/// True when the path is a regular file that can be opened for reading (it is opened and
/// closed again at once); a folder, a pipe or a device is none.
bool FileExists(const QString &path);
