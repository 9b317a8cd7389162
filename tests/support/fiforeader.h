#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

/// A FIFO made in a test folder and read on a thread of its own, so that a writer in the test's
/// thread neither waits for a reader to open it nor for room in a full pipe.
class FifoReader
{
public:
    /// Makes the FIFO at path and starts reading it.
    explicit FifoReader(const QString &path);
    ~FifoReader();
    FifoReader(const FifoReader &) = delete;
    FifoReader &operator=(const FifoReader &) = delete;

    bool isValid() const { return m_fd >= 0; }

    /// Everything written until the writer closed the FIFO (what came within a few seconds when
    /// nobody wrote or the writer never closed).
    QByteArray bytes();

private:
    int m_fd = -1;
    QByteArray m_bytes;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
