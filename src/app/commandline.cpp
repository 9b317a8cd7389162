#include "app/commandline.h"

#include "document/commentfile.h"
#include "export/exporttext.h"

#include <QTextStream>

namespace CommandLine {

namespace {

const QString HelpText = QStringLiteral(
    "用法：qhsy [评语文件]\n"
    "      qhsy --resave 输入文件 输出文件\n"
    "      qhsy --export-text 输入文件 输出文件\n"
    "      qhsy --help | --version\n"
    "\n"
    "青禾书苑（Quillmark）：班主任期末评语的编写与打印。\n"
    "\n"
    "  评语文件              启动并打开这个评语文件（*.py）\n"
    "  --resave IN OUT       读入评语文件 IN，按当前格式写出到 OUT（无需显示器）\n"
    "  --export-text IN OUT  读入评语文件 IN，把全班评语导出为文本文件 OUT（无需显示器）\n"
    "  --help                显示本帮助\n"
    "  --version             显示版本\n"
    "\n"
    "退出码：0 成功；1 写出失败；2 输入文件无法读取或不是评语文件；64 参数错误。\n");

// The rejection message in a console: one line break instead of CR LF.
QString consoleText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Reads IN for a headless action. False (with the message written) when it was rejected or
// could not be read.
bool readInput(const QString &in, CommentDocument &document, QTextStream &err)
{
    const CommentFile::ReadOutcome read = CommentFile::read(in, document);
    if (read.status == CommentFile::ReadStatus::Rejected) {
        err << in << ": " << consoleText(CommentFile::RejectionMessage) << '\n';
        return false;
    }
    if (read.status == CommentFile::ReadStatus::Unreadable) {
        err << QStringLiteral("无法读取文件“%1”：%2").arg(in, read.error) << '\n';
        return false;
    }
    return true;
}

} // namespace

Request parse(const QStringList &arguments)
{
    Request request;
    const QString first = arguments.value(0);
    if (first == u"--help" || first == u"-h") {
        request.action = Action::Help;
    } else if (first == u"--version") {
        request.action = Action::Version;
    } else if (first == u"--resave") {
        request.action = Action::Resave;
        request.operands = arguments.mid(1);
        if (request.operands.size() != 2)
            request.error = QStringLiteral("--resave 需要两个参数：输入文件 输出文件");
    } else if (first == u"--export-text") {
        request.action = Action::ExportText;
        request.operands = arguments.mid(1);
        if (request.operands.size() != 2)
            request.error = QStringLiteral("--export-text 需要两个参数：输入文件 输出文件");
    } else {
        request.fileToOpen = arguments.join(u' ');
    }
    return request;
}

int resave(const QString &in, const QString &out, QTextStream &err)
{
    CommentDocument document;
    if (!readInput(in, document, err))
        return 2;
    const CommentFile::WriteOutcome written = CommentFile::write(out, document, document.ItemFonts);
    if (!written.ok()) {
        err << QStringLiteral("无法写入文件“%1”：%2").arg(out, written.error) << '\n';
        return 1;
    }
    if (!written.escaped.isEmpty()) {
        err << QStringLiteral("注意：以下学生的评语中的“%1”已改写为“%2”：%3")
                   .arg(CommentFile::Marker, CommentFile::EscapedMarker,
                        written.escaped.join(QStringLiteral("、")))
            << '\n';
    }
    return 0;
}

int exportText(const QString &in, const QString &out, QTextStream &err)
{
    CommentDocument document;
    if (!readInput(in, document, err))
        return 2;
    const QString error = writeExportTextFile(out, document);
    if (!error.isEmpty()) {
        err << QStringLiteral("无法写入文件“%1”：%2").arg(out, error) << '\n';
        return 1;
    }
    return 0;
}

int run(const Request &request, QTextStream &out, QTextStream &err)
{
    if (!request.error.isEmpty()) {
        err << request.error << '\n' << HelpText;
        return 64;
    }
    switch (request.action) {
    case Action::Help:
        out << HelpText;
        return 0;
    case Action::Version:
        out << QStringLiteral("青禾书苑 Quillmark %1（标准版）").arg(QStringLiteral(QHSY_VERSION)) << '\n';
        return 0;
    case Action::Resave:
        return resave(request.operands[0], request.operands[1], err);
    case Action::ExportText:
        return exportText(request.operands[0], request.operands[1], err);
    case Action::OpenWindow:
        break;
    }
    return 0;
}

} // namespace CommandLine
