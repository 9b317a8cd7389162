#include "core/app/commandline.h"
#include "core/app/commandmodes.h"
#include "core/app/librarycommand.h"

#include <QTextStream>

// qhsy --merge-library LIBRARY OTHER: what another teacher's library has and this one lacks.
const CommandMode &CommandModes::mergeLibrary()
{
    static const CommandMode mode{
        .name = QStringLiteral("--merge-library"),
        .usage = {QStringLiteral("--merge-library 评语库 另一个评语库")},
        .help = QStringLiteral(
            "  --merge-library LIBRARY OTHER\n"
            "                        把评语库 OTHER 中有、LIBRARY 中没有的评语按类别和等级添加到 LIBRARY（文字相同\n"
            "                        即为同一条；新类别排在最后），再合并一次不会重复添加。输出一行：添加的条数。\n"
            "                        这两项都在评语库旁的锁文件下修改，几位老师同时修改同一个评语库也不会丢失内容\n"),
        .problem = [](const CommandLine::Request &request) {
            if (request.operands.size() != 2)
                return QStringLiteral("--merge-library 需要两个参数：评语库 另一个评语库");
            return QString();
        },
        .run = [](const CommandLine::Request &request, QTextStream &out, QTextStream &err) {
            return LibraryCommand::mergeLibrary(request.operands[0], request.operands[1], out, err);
        },
    };
    return mode;
}
