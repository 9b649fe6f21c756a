// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/backgroundoutput.h"

#include <QIODevice>

#include <csignal>

#include <pthread.h>

namespace quorvel {

BackgroundOutput::BackgroundOutput(QByteArray fileName, QByteArray bytes, QObject *parent)
    : QObject(parent)
{
    m_thread = std::thread([this, fileName = std::move(fileName), bytes = std::move(bytes)] {
        // A write into a pipe whose reader has gone sends this thread
        // SIGPIPE; blocked here, it stays pending until the thread ends,
        // which discards it.
        sigset_t brokenPipe;
        sigemptyset(&brokenPipe);
        sigaddset(&brokenPipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &brokenPipe, nullptr);
        m_reason = writeOutput(fileName, [&](QIODevice &device) { device.write(bytes); }, WhenNobodyReads::Fail,
                               &m_cancellation);
        m_finished.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(this, [this] { emit finished(); }, Qt::QueuedConnection);
    });
}

BackgroundOutput::~BackgroundOutput()
{
    stop();
}

void BackgroundOutput::stop()
{
    if (!isFinished())
        cancel();
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace quorvel
