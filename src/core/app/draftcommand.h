#pragma once

#include "core/document/classsettings.h"

#include <QString>

class QTextStream;

/// `qhsy --draft IN RATINGS OUT [--seed N] [--replace] [--library FILE] [--stage S] [--term T]
/// [--length MIN-MAX]`: drafts of the class's
/// comments from its ratings, without a window.
namespace DraftCommand {

struct Options
{
    quint32 seed = 1;
    bool replace = false; ///< rated students' comments are replaced, not only empty ones filled
    QString library;      ///< a library file; empty: the teacher's own, in the program folder
    ClassSettings settings; ///< stage, term and length given; what is unset comes from RATINGS
};

/// Reads the comment file IN, the ratings spreadsheet RATINGS (as the ratings window reads one)
/// and the library; drafts a comment for every rated student whose comment is empty (with
/// `replace`, for every rated student), fitted to the first print scheme's comment box, and
/// writes OUT. Prints "name<TAB>characters<TAB>categories used" for each student changed; what
/// the ratings file holds that the class or the library does not is told on `err`. 0 on success,
/// 2 when IN, RATINGS or the library was rejected (OUT is not written), 1 when OUT could not be
/// written. The same seed gives the same OUT. Needs a QGuiApplication for the fonts.
int run(const QString &in, const QString &ratings, const QString &outPath, const Options &options,
        const QString &programFolder, QTextStream &out, QTextStream &err);

} // namespace DraftCommand
