#pragma once

#include <QString>

/// True when the file can be opened for reading (it is opened and closed again at once).
bool FileExists(const QString &path);
