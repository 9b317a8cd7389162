#pragma once

#include "core/printing/layoutscheme.h"
#include "core/printing/pdfexport.h"

#include <QString>
#include <QStringList>

#include <optional>

class CommentDocument;
class QTextStream;

/// The program's command line. The options below run without a display; any other text after
/// the program name is the path of a comment file to open.
namespace CommandLine {

enum class Action { OpenWindow, Resave, ExportText, PrintPdf, Check, ImportNames, Draft, AddComments, MergeLibrary, Help,
                    Version };

struct Request
{
    Action action = Action::OpenWindow;
    QString fileToOpen;   ///< for OpenWindow: the arguments joined by single blanks
    QStringList operands; ///< for the headless actions
    QString scheme;       ///< for PrintPdf and Check: the layout scheme's name ("" = the first)
    int repeatLimit = 3;  ///< for Check: a sentence in more comments than this is reported
    bool replace = false; ///< for ImportNames: the names replace the roster; for Draft: drafts
                          ///< replace the rated students' comments
    quint32 seed = 1;     ///< for Draft
    QString library;      ///< for Draft: a library file ("" = the teacher's own)
    bool each = false;    ///< for PrintPdf: one file per student into the folder OUT
    bool png = false;     ///< with each: PNG images
    bool all = false;     ///< with each: students with an empty comment too
    int perSheet = 1;     ///< for PrintPdf: students a sheet (1, 2 or 4)
    QString sheet;        ///< for PrintPdf with perSheet: the sheet's standard paper ("" = A4)
    QString error;        ///< a headless option with the wrong operands
};

/// Interprets the arguments after the program name.
Request parse(const QStringList &arguments);

/// Runs a headless request; returns the process exit code.
int run(const Request &request, QTextStream &out, QTextStream &err);

/// Reads IN and writes OUT in the current format; OUT "-" is standard output, and a device or
/// a pipe is written straight into. 0 on success; 2 when IN was rejected or could not be read
/// (OUT is not created); 1 when OUT could not be written.
int resave(const QString &in, const QString &out, QTextStream &err);

/// Reads IN and writes its comments to OUT as the exported text file. Exit codes as for resave.
int exportText(const QString &in, const QString &out, QTextStream &err);

/// Composes every student of each IN, in the order given, with a layout scheme of the program
/// folder's scheme file (the first when `scheme` is empty) and writes one page per student to the
/// PDF file OUT. Exit codes as for resave; 2 also when the scheme is unknown, its paper size cannot
/// be printed on (LayoutScheme::paperSizeError) or an IN has no students. Every IN rejected is
/// named before the run ends. Needs a QGuiApplication (any platform plugin, offscreen included)
/// for the fonts.
int printPdf(const QStringList &ins, const QString &out, const QString &scheme, const QString &programFolder,
             QTextStream &err, const SheetOptions &sheets = {});

/// The layout scheme `scheme` of the program folder's scheme file (the first when empty), checked
/// for a paper it can print on; nullopt, with the reason written, when there is none.
std::optional<LayoutScheme> printScheme(const QString &programFolder, const QString &scheme, QTextStream &err);

/// Runs the class check on each IN and prints one finding a line, "name<TAB>kind<TAB>detail", in
/// roster order, name and detail escaped as escapeField does; with several IN each line starts
/// with its file, "IN: ". Comments are checked against their box in the scheme (the first when
/// `scheme` is empty; skipped, with a note, when the scheme file lists none). 0 when nothing was
/// found, 3 when something was, 2 when an IN was rejected or could not be read (it is named, and
/// the others are checked all the same), 64 for a scheme the file does not hold. Needs a
/// QGuiApplication for the fonts.
int check(const QStringList &ins, const QString &scheme, int repeatLimit, const QString &programFolder,
          QTextStream &out, QTextStream &err);

/// Reads the comment file IN for a headless action; false, with the reason written, when it was
/// rejected or could not be read.
bool readComments(const QString &in, CommentDocument &document, QTextStream &err);

/// Writes the bytes of a comment file to OUT ("-" is standard output); false, with the reason
/// written, when it could not be written or would be too large to be read again.
bool writeComments(const QString &out, const QByteArray &bytes, QTextStream &err);

/// A name or a text for one field of a line on a terminal: a backslash is doubled, TAB, LF and
/// CR become \t, \n and \r, and every other control character (ESC, DEL, the C1 controls, the
/// line and paragraph separators) becomes \xHH or \uHHHH, as does every invisible format
/// character (bidi overrides and isolates, zero-width characters, the BOM; \UHHHHHHHH past the
/// first plane) and a lone surrogate, so that nothing in it can move the cursor, change the
/// terminal, break the line or show it in another order than it holds.
QString escapeField(QStringView text);

/// Several fields escaped as escapeField does, joined by "、" for one message.
QString escapeFields(const QStringList &texts);

/// For the headless actions: leaves out Qt's notice that the session has no XDG_RUNTIME_DIR (as
/// under cron, ssh or a service), which says nothing about the action; Qt uses its own folder
/// instead all the same. Every other message goes on to where it went before.
void leaveOutSessionNotice();

/// Whether a request needs fonts, and so a QGuiApplication, to run.
bool needsFonts(const Request &request);

} // namespace CommandLine
