#include "fiforeader.h"

#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

FifoReader::FifoReader(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkfifo(name.constData(), 0600) != 0)
        return;
    // Opened without waiting, so that the writer finds a reader at once.
    m_fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    m_thread = std::thread([this] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        bool started = false;
        char buffer[65536];
        while (!m_stop && std::chrono::steady_clock::now() < deadline) {
            pollfd wait{m_fd, POLLIN, 0};
            ::poll(&wait, 1, 20);
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got > 0) {
                m_bytes.append(buffer, got);
                started = true;
            } else if (got == 0 && started) {
                break; // the writer has closed its end
            } else if (got == 0) {
                ::usleep(10000); // no writer yet
            }
        }
    });
}

FifoReader::~FifoReader()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray FifoReader::bytes()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_bytes;
}
