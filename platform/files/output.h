// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

class QIODevice;

namespace quorvel {

// What writing into a FIFO, a device or a socket does while nothing takes
// the output (no program has the FIFO open for reading, a socket's queue is
// full): wait for it, as `cat > NAME` does, or fail at once, as a window
// must, whose thread may never wait on a file.
enum class WhenNobodyReads { Wait, Fail };

// Lets another thread give a write up: the write stops at its next step,
// also while it waits for a FIFO's or a socket's reader that does not read,
// and fails with ECANCELED. What stood at the name stays as it was; a FIFO,
// a device or a socket simply gets no more bytes. A write that has already
// put its file in place is done, and says so.
class Cancellation
{
public:
    Cancellation();
    ~Cancellation();
    Cancellation(const Cancellation &) = delete;
    Cancellation &operator=(const Cancellation &) = delete;

    // From any thread.
    void cancel();
    bool cancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    // Readable once cancelled, for poll(); -1 where the system gave none.
    int descriptor() const { return m_descriptor; }

private:
    std::atomic<bool> m_cancelled = false;
    int m_descriptor = -1;
};

// Writes the output that `write` writes into the device it is given to the
// file named `fileName`, the name's bytes as the system takes them (a
// command-line argument as given, QFile::encodeName of a name chosen in a
// dialog), or to standard output when the name is empty. Whatever stood at
// the name is never destroyed by surprise:
// - a device, a FIFO or a socket is written in place, as `cat > NAME` would;
// - a regular file, or a name that does not exist yet, gets the whole output
//   or nothing, also when the program is killed at any moment: the output is
//   made in an unnamed file in the same folder, which takes the name in one
//   step once every byte of it has reached the disk (for the instant before
//   it replaces an old file, under a short hidden temporary name). A
//   replaced file keeps its mode, its access control list and its user.*
//   extended attributes and, where the user may give it, its owner; a group
//   the user may not give it gets no more access than others had. A file
//   with other names (hard links) is replaced under the name given alone:
//   its other names keep the old content;
// - on a file system without unnamed files the output is made under that
//   temporary name all along, which a kill leaves behind;
// - a file the user may not write is left alone; as root, that is a file
//   without any write permission;
// - symbolic links are followed: the file a link points to is written.
// Returns an empty text when the whole output was written, else why not in
// the system's words. With a cancellation, a device, a FIFO or a socket is
// written without ever blocking the thread beyond the cancellation's reach.
QString writeOutput(const QByteArray &fileName, const std::function<void(QIODevice &)> &write,
                    WhenNobodyReads whenNobodyReads = WhenNobodyReads::Wait,
                    const Cancellation *cancellation = nullptr);

// The open descriptor a name stands for, as GNU tools read these names:
// standard output for /dev/stdout, standard error for /dev/stderr, N for
// /dev/fd/N; none for any other name.
std::optional<int> namedDescriptor(QByteArrayView name);

// Writes the output into an open descriptor, as into standard output: from
// where it stands, at the end where it was opened for appending. Returns
// why not, empty when it was written.
QString writeDescriptor(int descriptor, const std::function<void(QIODevice &)> &write);

// Opens each of the standard descriptors 0 to 2 that the program was started
// without on /dev/null, the wrong way round (standard input for writing,
// the outputs for reading), as gnulib's stdopen does: no file or socket the
// program opens later takes its number, and writing to an output the
// program was not given fails as it would have (EBADF). To be called first
// thing in main(), before Qt opens anything.
void openClosedStandardDescriptors();

} // namespace quorvel
