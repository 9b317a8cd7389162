#pragma once

#include <QFile>
#include <QString>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

/// Makes a named pipe (FIFO) at path; false when that failed.
inline bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

/// Runs work on a thread of its own and gives it a few seconds. Should it still be waiting on
/// the pipe then (a reader blocks until a writer comes), a writer is opened and closed again,
/// which ends the wait, and false is returned: the work hung on the pipe.
template<class Work> bool finishesWithoutWaitingOn(const QString &fifo, Work work)
{
    using namespace std::chrono_literals;
    std::future<void> done = std::async(std::launch::async, work);
    if (done.wait_for(5s) == std::future_status::ready) {
        done.get();
        return true;
    }
    const QByteArray name = QFile::encodeName(fifo);
    while (done.wait_for(10ms) != std::future_status::ready) {
        // Succeeds only while a reader has the pipe open, and then gives it an end of file.
        const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
    done.get();
    return false;
}
