#pragma once

#include "core/platform/itemfont.h"

#include <QString>

#include <functional>

class CommentDocument;
struct LayoutScheme;
class PrintTarget;
class TextMeasurer;

/// What one press of 打印 asks for.
struct PrintRunOptions
{
    bool wholeClass = true; ///< range 全部 (every student up to the first empty name) or 当前
    QString copiesText = QStringLiteral("1"); ///< the copies box: its whole number of copies
    int currentStudent = 0;                   ///< the student on the sample page (range 当前)
    QString pheightText;                      ///< the paper-size boxes, as composition reads them
    QString pwidthText;
    int printerSetting = 2; ///< re-applied before every page of a whole-class run
};

/// What a print run did.
struct PrintRunResult
{
    int documents = 0;    ///< documents handed to the print queue
    bool stopped = false; ///< the teacher stopped the run
    QString error;        ///< why the printer failed, if it did (the run stops there)
};

/// The print run at scale 1: sets the printer's page size from the scheme (paper × UnitsPerCm, whole
/// twips, halves to even), then repeats the whole run once per copy: range 全部 prints every
/// student up to the first empty name, each as a document of its own; range 当前 prints the
/// current student's page as one document. `stop`, asked between documents, ends the run early
/// (the document in progress is abandoned by whoever set it). The document, the scheme and the
/// fonts are only read.
PrintRunResult printRun(const CommentDocument &document, const LayoutScheme &scheme, const ItemFonts &fonts,
                        const PrintRunOptions &options, const TextMeasurer &measurer, PrintTarget &printer,
                        const std::function<bool()> &stop = {});

/// The whole number of copies a copies text asks for: its leading number's whole part; 0 for a
/// text that is not a number or is below 1.
int copiesFrom(const QString &copiesText);
