// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/output.h"

#include "platform/language/systemerror.h"

#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorvel {
namespace {

using Writer = std::function<void(QIODevice &)>;

QString systemReason(int error) { return systemErrorText(error); }

// Writes straight to a descriptor, without a buffer of its own that could
// fail later unseen, and keeps the first failure, so that no write after it
// can hide it.
class DescriptorDevice final : public QIODevice
{
public:
    explicit DescriptorDevice(int descriptor) : m_descriptor(descriptor)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    int failure() const { return m_failure; }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 size) override
    {
        for (qint64 done = 0; done < size && !m_failure;) {
            const ssize_t written = ::write(m_descriptor, data + done, std::size_t(size - done));
            if (written > 0)
                done += written;
            else if (written == 0)
                m_failure = EIO;
            else if (errno != EINTR)
                m_failure = errno;
        }
        if (!m_failure)
            return size;
        setErrorString(systemReason(m_failure));
        return -1;
    }

private:
    int m_descriptor;
    int m_failure = 0;
};

int writeThrough(int descriptor, const Writer &write)
{
    DescriptorDevice device(descriptor);
    write(device);
    return device.failure();
}

// The name a chain of symbolic links ends in, each link read from the folder
// it lies in; the name itself when it is no link.
QByteArray followLinks(QByteArray name)
{
    for (int depth = 0; depth < 40; ++depth) {
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t size = ::readlink(name.constData(), target.data(), std::size_t(target.size()));
        if (size < 0)
            return name;
        target.truncate(size);
        const qsizetype slash = name.lastIndexOf('/');
        if (!target.startsWith('/') && slash >= 0)
            target.prepend(name.left(slash + 1));
        name = target;
    }
    return name; // a loop: opening it says so
}

// A descriptor to write a device, a FIFO or a socket in place.
int openInPlace(const QByteArray &name, const struct stat &status)
{
    if (!S_ISSOCK(status.st_mode))
        return ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    // A socket is not opened but connected to.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::size_t(name.size()) >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor >= 0 && ::connect(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(descriptor);
        errno = error;
        return -1;
    }
    return descriptor;
}

QString writeInPlace(const QByteArray &name, const struct stat &status, const Writer &write)
{
    const int descriptor = openInPlace(name, status);
    if (descriptor < 0)
        return systemReason(errno);
    int failure = writeThrough(descriptor, write);
    if (::close(descriptor) != 0 && !failure)
        failure = errno;
    return failure ? systemReason(failure) : QString();
}

// A new file beside `name`, open for reading and writing, under a name of its
// own in `temporary`.
int createBeside(const QByteArray &name, mode_t mode, QByteArray &temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int descriptor = ::open(temporary.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

// The owner first: giving a file to another owner clears the set-user-ID and
// set-group-ID bits, which the mode then restores. A user who may not give
// the file to its old owner may still give it its old group.
void keepOwnerAndMode(int descriptor, const struct stat &old)
{
    if (::fchown(descriptor, old.st_uid, old.st_gid) != 0 && ::fchown(descriptor, uid_t(-1), old.st_gid) != 0) {
        // The new file stays the user's own.
    }
    ::fchmod(descriptor, old.st_mode & 07777);
}

// Copies the finished output in `staged` over the file in place. The room
// for it is reserved first where the file system can: once the first old byte
// is overwritten there is no way back.
int rewriteInPlace(const QByteArray &name, int staged)
{
    const off_t size = ::lseek(staged, 0, SEEK_CUR);
    if (size < 0 || ::lseek(staged, 0, SEEK_SET) != 0)
        return errno;
    const int descriptor = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    int failure = 0;
    if (size > 0 && ::fallocate(descriptor, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP)
        failure = errno;
    DescriptorDevice target(descriptor);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    while (!failure && !target.failure()) {
        const ssize_t read = ::read(staged, buffer.data(), std::size_t(buffer.size()));
        if (read == 0)
            break;
        if (read < 0 && errno != EINTR)
            failure = errno;
        else if (read > 0)
            target.write(buffer.constData(), read);
    }
    if (!failure)
        failure = target.failure();
    if (!failure && ::ftruncate(descriptor, size) != 0)
        failure = errno;
    if (!failure && ::fsync(descriptor) != 0)
        failure = errno;
    if (::close(descriptor) != 0 && !failure)
        failure = errno;
    return failure;
}

// Makes the whole output beside the file, then puts it in the file's place
// (`old` is the file's status, null when there is none yet).
QString replace(const QByteArray &name, const struct stat *old, const Writer &write)
{
    QByteArray temporary;
    // A new file gets the mode of any new file: 0666 less the umask.
    const int descriptor = createBeside(name, old ? 0600 : 0666, temporary);
    if (descriptor < 0)
        return systemReason(errno);
    const bool linked = old && old->st_nlink > 1;
    int failure = writeThrough(descriptor, write);
    if (!failure && ::fsync(descriptor) != 0)
        failure = errno;
    if (!failure && linked)
        failure = rewriteInPlace(name, descriptor);
    else if (!failure && old)
        keepOwnerAndMode(descriptor, *old);
    if (::close(descriptor) != 0 && !failure)
        failure = errno;
    if (!failure && !linked && ::rename(temporary.constData(), name.constData()) != 0)
        failure = errno;
    if (failure || linked)
        ::unlink(temporary.constData());
    return failure ? systemReason(failure) : QString();
}

// Whether the user may not write the file. Root may write any file, so for
// root a file without any write permission is the one marked read-only.
bool readOnly(const QByteArray &name, const struct stat &status)
{
    if (::geteuid() == 0)
        return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

} // namespace

QString writeOutput(const QByteArray &fileName, const std::function<void(QIODevice &)> &write)
{
    if (fileName.isEmpty()) {
        const int failure = writeThrough(STDOUT_FILENO, write);
        return failure ? systemReason(failure) : QString();
    }
    // The name as given reaches what a link from /proc stands for, a pipe or
    // a socket, which no name that the link reads as does.
    struct stat status;
    if (::stat(fileName.constData(), &status) != 0) {
        if (errno != ENOENT)
            return systemReason(errno);
        return replace(followLinks(fileName), nullptr, write);
    }
    if (S_ISDIR(status.st_mode))
        return systemReason(EISDIR);
    if (!S_ISREG(status.st_mode))
        return writeInPlace(fileName, status, write);
    const QByteArray name = followLinks(fileName);
    if (readOnly(name, status))
        return QStringLiteral("文件是只读的，没有替换它（%1）").arg(systemReason(EACCES));
    return replace(name, &status, write);
}

} // namespace quorvel
