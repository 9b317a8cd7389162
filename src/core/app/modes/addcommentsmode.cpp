#include "core/app/commandline.h"
#include "core/app/commandmodes.h"
#include "core/app/librarycommand.h"

#include <QTextStream>

// qhsy --add-comments LIBRARY CATEGORY RATING FILE|-: one section of a (shared) library grows by
// the lines of a text file, under the library's lock.
const CommandMode &CommandModes::addComments()
{
    static const CommandMode mode{
        .name = QStringLiteral("--add-comments"),
        .usage = {QStringLiteral("--add-comments 评语库 类别 优秀|良好|后进 文本文件|-")},
        .help = QStringLiteral(
            "  --add-comments LIBRARY CATEGORY RATING FILE\n"
            "                        把文本文件 FILE（- 为标准输入）的每一行作为一条评语，添加到评语库 LIBRARY\n"
            "                        中类别 CATEGORY、等级 RATING（优秀、良好或后进）的最前面，空行略去；没有这个\n"
            "                        类别就在最后新建。输出一行：添加的条数\n"),
        .problem = [](const CommandLine::Request &request) {
            if (request.operands.size() != 4 || !LibraryCommand::ratingNamed(request.operands.at(2)))
                return QStringLiteral("--add-comments 需要四个参数：评语库 类别 等级（优秀、良好或后进） 文本文件|-");
            return QString();
        },
        .run = [](const CommandLine::Request &request, QTextStream &out, QTextStream &err) {
            return LibraryCommand::addComments(request.operands[0], request.operands[1],
                                               *LibraryCommand::ratingNamed(request.operands[2]), request.operands[3],
                                               out, err);
        },
    };
    return mode;
}
