#include "core/export/exportcommands.h"

#include "core/document/commentdocument.h"
#include "core/document/outputtarget.h"
#include "core/export/exporttext.h"
#include "core/export/messages.h"
#include "core/export/worddocument.h"
#include "core/export/wordprocessor.h"
#include "core/platform/platform.h"
#include "core/platform/savelocation.h"

#include <QFileInfo>

namespace {

// An export never replaces a class: false, with the reason shown, when `path` is the open
// class's file or a comment file.
bool mayWrite(const QString &path, const QString &classPath, Platform &platform)
{
    const QString problem = OutputTarget::saveProblem(path, classPath);
    if (!problem.isEmpty())
        platform.messageBox(problem, Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
    return problem.isEmpty();
}

} // namespace

void exportToTextFile(const CommentDocument &document, Platform &platform, const QString &classPath)
{
    const QString path = platform.saveFileName(ExportCommands::TextFilter,
                                               SaveLocation::proposedPath(classPath, QStringLiteral("txt")));
    if (path.isEmpty() || !mayWrite(path, classPath, platform))
        return;
    if (const Result<void> written = writeExportTextFile(path, document, classPath); !written)
        platform.messageBox(ExportMessages::ExportFailedMessage.arg(path, written.error()),
                            Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
}

void exportToWordDocument(const CommentDocument &document, Platform &platform, const QString &classPath)
{
    QString path = platform.saveFileName(ExportMessages::WordFilter,
                                         SaveLocation::proposedPath(classPath, QStringLiteral("docx")));
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"docx" && suffix != u"odt")
        path += QStringLiteral(".docx");
    if (!mayWrite(path, classPath, platform))
        return;
    if (const Result<void> written = WordDocument::write(path, document, classPath); !written) {
        platform.messageBox(ExportMessages::WordFailedMessage.arg(path, written.error()),
                            Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    platform.messageBox(ExportMessages::WordWrittenMessage.arg(path), Platform::NoticeTitle,
                        MsgIcon::Information, MsgButtons::Ok);
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
