#include "core/printing/pdfcommand.h"

#include "core/document/outputtarget.h"
#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/platform/savelocation.h"
#include "core/printing/messages.h"
#include "core/printing/pdfexport.h"
#include "core/printing/printrun.h"
#include "core/printing/schemestore.h"

#include <QFileInfo>

namespace PdfCommand {

void saveClassPdf(const CommentDocument &document, const QList<int> &students, const LayoutScheme &scheme,
                  const TextMeasurer &measurer, Platform &platform, const QString &classPath,
                  const SheetOptions &sheets)
{
    const QString path = platform.saveFileName(PrintMessages::PdfFilter,
                                               SaveLocation::proposedPath(classPath, QStringLiteral("pdf")));
    if (path.isEmpty())
        return;
    // A PDF never replaces a class.
    if (const QString problem = OutputTarget::saveProblem(path, classPath); !problem.isEmpty()) {
        platform.messageBox(problem, Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const Result<void> written =
        writeClassesPdf(path, {ClassPages{&document, students, QFileInfo(classPath).completeBaseName()}}, scheme,
                        measurer, sheets, classPath);
    if (!written) {
        platform.messageBox(PrintMessages::PdfFailedMessage + written.error(), Platform::NoticeTitle,
                            MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    platform.messageBox(PrintMessages::PdfWrittenMessage.arg(path), Platform::NoticeTitle,
                        MsgIcon::Information, MsgButtons::Ok);
}

void exportClassPdf(const Session &session, const TextMeasurer &measurer, Platform &platform)
{
    const Result<LayoutScheme> scheme = SchemeStore(session).active();
    if (!scheme) {
        const bool none = scheme.kind() == FailureKind::Empty;
        platform.messageBox(scheme.error(), Platform::NoticeTitle,
                            none ? MsgIcon::Exclamation : MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    // The students a print run of the whole class takes.
    const CommentDocument &document = session.Document();
    saveClassPdf(document, printedStudents(document, PrintRunOptions{}), *scheme, measurer, platform,
                 session.namedPath());
}

} // namespace PdfCommand
