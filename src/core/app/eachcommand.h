#pragma once

#include <QString>

class QTextStream;

/// `qhsy --print-pdf IN OUTDIR --each [--png] [--scheme NAME] [--all]`: one file per student
/// of the class, for sending to each family, without a window.
namespace EachCommand {

struct Options
{
    bool png = false; ///< PNG images instead of one-page PDF files
    bool all = false; ///< students with an empty comment too
    QString scheme;   ///< the layout scheme's name ("" = the first)
};

/// Reads IN and writes one file per student into the folder OUTDIR (which must exist), named
/// "01 姓名.pdf" (see StudentFiles), replacing files of those names; prints each path written,
/// one a line. 0 on success; 2 when IN or the scheme is rejected or no student gets a file;
/// 1 when OUTDIR is no folder, takes no files, or a file could not be written (the files
/// before it stay, each whole). Needs a QGuiApplication for the fonts.
int run(const QString &in, const QString &outDir, const Options &options, const QString &programFolder,
        QTextStream &out, QTextStream &err);

} // namespace EachCommand
