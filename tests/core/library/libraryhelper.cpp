// A second program for the library tests, so that locks are taken by real processes:
//   libraryhelper add LIBRARY CATEGORY LETTER COUNT TAG   adds COUNT comments "TAG-n", one change each
//   libraryhelper hold LIBRARY MILLISECONDS               holds the library's lock, then releases it
//   libraryhelper abandon LIBRARY                         takes the lock and ends without releasing it
// It prints "locked" once it holds a lock, so the test knows when to start.
#include "core/library/commentlibrary.h"
#include "core/library/librarylock.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 6 && args[0] == u"add") {
        CommentLibrary library(args[1]);
        const Rating rating = args[3] == u"好"   ? Rating::Excellent
                              : args[3] == u"中" ? Rating::Good
                                                 : Rating::Lagging;
        for (int n = 0; n < args[4].toInt(); ++n) {
            const auto added = library.addComments(args[2], rating, {args[5] + u'-' + QString::number(n)});
            if (!added) {
                std::fprintf(stderr, "%s\n", qPrintable(added.error()));
                return 1;
            }
        }
        return 0;
    }
    if (args.size() >= 2 && (args[0] == u"hold" || args[0] == u"abandon")) {
        LibraryLock lock(args[1]);
        if (!lock.acquire({}))
            return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        if (args[0] == u"abandon")
            std::_Exit(0); // no destructor: the lock file stays behind
        QThread::msleep(args.value(2).toULong());
        return 0;
    }
    return 64;
}
