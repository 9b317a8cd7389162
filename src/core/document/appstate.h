#pragma once

#include "core/document/commentdocument.h"

/// Process-wide state shared by every window: which file is being edited, whether it changed,
/// the current student, where the program's own files are, the frame layout constants and the
/// one comment document.
struct AppState
{
    QString CurrentPath;        ///< full path of the comment file; empty = new document from the template
    bool Modified = false;      ///< comment texts changed since the last load or save
    bool HasFileName = false;   ///< Save writes to CurrentPath without asking
    int CurrentStudent = -1;    ///< card index of the current student, -1 = none (slot = index + 1)
    QString ProgramFolder;      ///< folder of the program's files, ending with "/"

    // Layout constants of the main frame, in twips.
    int FrameChromeWidth = 200;
    int FrameChromeHeight = 1300;
    int StudentPaneWidth = 1300;
    int LibraryPaneHeight = 3000;

    int UnitsPerCm = 570;       ///< twips per centimetre of print layouts

    CommentDocument Document;

    /// Path of the template every new document is made from.
    QString templatePath() const { return ProgramFolder + QStringLiteral("normal.pyn"); }
};
