// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace quorvel {

// What writing into a FIFO, a device or a socket does while nothing takes
// the output (no program has the FIFO open for reading, a socket's queue is
// full): wait for it, as `cat > NAME` does, or fail at once, as a window
// must, whose thread may never wait on a file.
enum class WhenNobodyReads { Wait, Fail };

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
// the system's words.
QString writeOutput(const QByteArray &fileName, const std::function<void(QIODevice &)> &write,
                    WhenNobodyReads whenNobodyReads = WhenNobodyReads::Wait);

// Opens each of the standard descriptors 0 to 2 that the program was started
// without on /dev/null, the wrong way round (standard input for writing,
// the outputs for reading), as gnulib's stdopen does: no file or socket the
// program opens later takes its number, and writing to an output the
// program was not given fails as it would have (EBADF). To be called first
// thing in main(), before Qt opens anything.
void openClosedStandardDescriptors();

} // namespace quorvel
