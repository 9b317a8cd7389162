#pragma once

#include "core/document/ratingsfile.h"
#include "core/document/ratingspaste.h"

#include <QString>
#include <QStringList>

/// What the 评价表 tells the teacher after an import or a paste.
namespace RatingsReport {

/// A message and whether it warns (something was not taken, or nothing was set).
struct Message
{
    QString text;
    bool warning = false;
};

/// After importing `fileName`: how many grades it set, which students and categories it gave
/// none (categories in `hidden` left out: the teacher does not use them), what it held that
/// could not be read, and, when the ratings `changed`, how to take the import back.
Message imported(const QString &fileName, const RatingsFile::Merged &merged, const RatingsFile::Problems &problems,
                 const QStringList &hidden, bool changed);

/// After a paste: what could not go in, one line a kind; empty when everything went in.
QString pasted(const RatingsPaste::Pasted &pasted);

} // namespace RatingsReport
