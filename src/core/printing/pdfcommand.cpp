#include "core/printing/pdfcommand.h"

#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/messages.h"
#include "core/printing/pdfexport.h"

namespace PdfCommand {

void saveClassPdf(const CommentDocument &document, const LayoutScheme &scheme, const TextMeasurer &measurer,
                  Platform &platform)
{
    const QString path = platform.saveFileName(PrintMessages::PdfFilter);
    if (path.isEmpty())
        return;
    const Result<void> written = writeClassPdf(path, document, scheme, measurer);
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
    const LayoutSchemeFile file(LayoutSchemeFile::pathIn(session.ProgramFolder()));
    const Result<QStringList> names = file.listSchemes();
    if (!names) {
        platform.messageBox(names.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    if (names->isEmpty()) {
        platform.messageBox(PrintMessages::NoSchemeMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                            MsgButtons::Ok);
        return;
    }
    const Result<LayoutScheme> scheme = file.loadScheme(names->first());
    if (!scheme) {
        platform.messageBox(scheme.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    saveClassPdf(session.Document(), *scheme, measurer, platform);
}

} // namespace PdfCommand
