#include "core/export/exportcommands.h"

#include "core/document/commentdocument.h"
#include "core/export/exporttext.h"
#include "core/export/messages.h"
#include "core/export/wordprocessor.h"
#include "core/platform/platform.h"

void exportToTextFile(const CommentDocument &document, Platform &platform)
{
    const QString path = platform.saveFileName(ExportCommands::TextFilter);
    if (path.isEmpty())
        return;
    if (const Result<void> written = writeExportTextFile(path, document); !written)
        platform.messageBox(ExportMessages::ExportFailedMessage.arg(path, written.error()),
                            Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
}

void openInWordProcessor(const CommentDocument &document, Platform &platform)
{
    const QString text = composeExportText(document, NameLineStyle::Colon);
    const Result<QString> written = WordProcessor::writeHandOverDocument(text, document);
    const Result<void> started =
        written ? platform.startWordProcessor(*written) : Result<void>(written.failure());
    if (started) {
        platform.setClipboardText(text);
        return;
    }
    // The fixed message, and below it what really went wrong.
    platform.messageBox(ExportMessages::WordProcessorFailedMessage + QStringLiteral("\r\n") + started.error(),
                        Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
}
