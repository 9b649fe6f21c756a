// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files/output.h"

#include <QObject>

#include <atomic>
#include <thread>

namespace quorvel {

// Writes bytes to a file name on a thread of its own, as writeOutput writes
// for a window (a FIFO that nobody reads is refused at once), so that the
// thread that asks never waits on the output: not on a slow disk, not on a
// reader that holds a FIFO or a socket without reading. finished() reaches
// the asking thread once the write has ended: written, failed or cancelled.
// A reader that goes away fails the write with EPIPE: the SIGPIPE it sends
// the writing thread is held back there and never ends the program.
class BackgroundOutput final : public QObject
{
    Q_OBJECT

public:
    BackgroundOutput(QByteArray fileName, QByteArray bytes, QObject *parent = nullptr);
    // Cancels a write still running and waits for its thread, which the
    // cancellation lets go at once.
    ~BackgroundOutput() override;

    void cancel() { m_cancellation.cancel(); }
    // Cancels the write unless it has finished, and waits for its end.
    void stop();
    bool isFinished() const { return m_finished.load(std::memory_order_acquire); }
    bool wasCancelled() const { return m_cancellation.cancelled(); }
    // Why the write failed, empty when the whole output was written; once
    // finished. A write cancelled after its file was in place is written.
    QString reason() const { return m_reason; }

signals:
    void finished();

private:
    Cancellation m_cancellation;
    std::atomic<bool> m_finished = false;
    QString m_reason;
    std::thread m_thread;
};

} // namespace quorvel
