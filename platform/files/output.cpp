// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/output.h"

#include "platform/language/systemerror.h"

#include <QIODevice>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace quorvel {
namespace {

using Writer = std::function<void(QIODevice &)>;

// Writes straight to a descriptor, without a buffer of its own that could
// fail later unseen, and keeps the first failure, so that no write after it
// can hide it. With a cancellation it writes in pieces, each once the
// descriptor takes it (a FIFO's or a socket's descriptor is then
// non-blocking), and stops when cancelled.
class DescriptorDevice final : public QIODevice
{
public:
    DescriptorDevice(int descriptor, const Cancellation *cancellation)
        : m_descriptor(descriptor)
        , m_cancellation(cancellation)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    int failure() const { return m_failure; }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 size) override
    {
        constexpr qint64 Piece = 64 * 1024;
        for (qint64 done = 0; done < size && !m_failure;) {
            if (m_cancellation && !waitUntilWritable())
                break;
            const qint64 piece = m_cancellation ? std::min(size - done, Piece) : size - done;
            const ssize_t written = ::write(m_descriptor, data + done, std::size_t(piece));
            if (written > 0)
                done += written;
            else if (written == 0)
                m_failure = EIO;
            else if (errno != EINTR && !(errno == EAGAIN && m_cancellation))
                m_failure = errno;
        }
        if (!m_failure)
            return size;
        setErrorString(systemErrorText(m_failure));
        return -1;
    }

private:
    // Waits until the descriptor takes more, or says why it cannot (the
    // write then tells which), or the write is cancelled.
    bool waitUntilWritable()
    {
        for (;;) {
            if (m_cancellation->cancelled()) {
                m_failure = ECANCELED;
                return false;
            }
            pollfd waits[] = {{m_descriptor, POLLOUT, 0}, {m_cancellation->descriptor(), POLLIN, 0}};
            // Without a descriptor to wake it, the wait looks again now and then.
            if (::poll(waits, 2, m_cancellation->descriptor() < 0 ? 100 : -1) < 0 && errno != EINTR) {
                m_failure = errno;
                return false;
            }
            if (waits[0].revents && !m_cancellation->cancelled())
                return true;
        }
    }

    int m_descriptor;
    const Cancellation *m_cancellation;
    int m_failure = 0;
};

int writeThrough(int descriptor, const Writer &write, const Cancellation *cancellation = nullptr)
{
    DescriptorDevice device(descriptor, cancellation);
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

// A descriptor to write a device, a FIFO or a socket in place. When
// nobody reads it, only its opening may fail instead of waiting: a FIFO is
// opened, and a socket connected, without blocking; the output is then
// written as into any pipe, or without blocking where it can be cancelled.
int openInPlace(const QByteArray &name, const struct stat &status, WhenNobodyReads whenNobodyReads,
                bool staysNonBlocking)
{
    const int nonBlocking = whenNobodyReads == WhenNobodyReads::Fail ? O_NONBLOCK : 0;
    int descriptor = -1;
    if (!S_ISSOCK(status.st_mode)) {
        descriptor = ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | nonBlocking);
    } else {
        // A socket is not opened but connected to.
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (std::size_t(name.size()) >= sizeof address.sun_path) {
            errno = ENAMETOOLONG;
            return -1;
        }
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | nonBlocking, 0);
        if (descriptor >= 0
            && ::connect(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
            const int error = errno;
            ::close(descriptor);
            errno = error;
            return -1;
        }
    }
    const int flags = descriptor >= 0 ? ::fcntl(descriptor, F_GETFL) : 0;
    if (descriptor >= 0 && bool(flags & O_NONBLOCK) != staysNonBlocking)
        ::fcntl(descriptor, F_SETFL, staysNonBlocking ? flags | O_NONBLOCK : flags & ~O_NONBLOCK);
    return descriptor;
}

QString writeInPlace(const QByteArray &name, const struct stat &status, const Writer &write,
                     WhenNobodyReads whenNobodyReads, const Cancellation *cancellation)
{
    const int descriptor = openInPlace(name, status, whenNobodyReads, cancellation != nullptr);
    if (descriptor < 0 && errno == ENXIO && S_ISFIFO(status.st_mode))
        return QStringLiteral("没有程序在读取这个管道（%1）").arg(systemErrorText(ENXIO));
    if (descriptor < 0)
        return systemErrorText(errno);
    int failure = writeThrough(descriptor, write, cancellation);
    if (::close(descriptor) != 0 && !failure)
        failure = errno;
    return failure ? systemErrorText(failure) : QString();
}

// A name for a file of the program's own beside the user's: short and
// hidden, so that it fits wherever the user's name fits, however long that
// is, and no folder view shows it for the moment it exists.
QByteArray temporaryName()
{
    return ".quorvel-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

// A new file in `folder`, open for reading and writing, that the output is
// made in: unnamed where the file system can make one, so that a kill
// leaves nothing behind; else under a temporary name, given in `staged`.
int createStage(int folder, mode_t mode, QByteArray &staged)
{
    const int unnamed = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    // A file system without unnamed files says so in one of these ways.
    if (unnamed >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return unnamed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = temporaryName();
        const int descriptor = ::openat(folder, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0)
            staged = name;
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

// Gives the unnamed file `stage` the name `name` in `folder`; fails with
// EEXIST when something has that name. Any process may link the
// descriptor's entry in /proc; without /proc, a privileged one may link the
// descriptor itself.
int linkStage(int stage, int folder, const QByteArray &name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(stage);
    if (::linkat(AT_FDCWD, self.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno == EEXIST)
        return EEXIST;
    const int failure = errno;
    if (::linkat(stage, "", folder, name.constData(), AT_EMPTY_PATH) == 0)
        return 0;
    return errno == EEXIST ? EEXIST : failure;
}

// Puts the finished stage in the place of `name` in `folder`. A new file
// takes its name at once; a file replaced goes by a rename, so an unnamed
// stage gets a temporary name for the instant before it (the system has no
// call that links over a name). `staged` is the stage's temporary name
// while it has one.
int putInPlace(int stage, int folder, QByteArray &staged, const QByteArray &name, bool replacing)
{
    if (staged.isEmpty() && !replacing)
        return linkStage(stage, folder, name);
    for (int attempt = 0; staged.isEmpty(); ++attempt) {
        const QByteArray temporary = temporaryName();
        const int failure = linkStage(stage, folder, temporary);
        if (failure == 0)
            staged = temporary;
        else if (failure != EEXIST || attempt == 100)
            return failure;
    }
    if (::renameat(folder, staged.constData(), folder, name.constData()) != 0)
        return errno;
    staged.clear();
    return 0;
}

// What the system gives in a buffer of the size it says it needs, asked
// again should it have grown meanwhile; `read` is getxattr or listxattr on
// one file. Empty with errno set when it cannot be had.
template <typename Read>
std::optional<QByteArray> sized(Read read)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray bytes(size, Qt::Uninitialized);
        const ssize_t got = read(bytes.data(), std::size_t(size));
        if (got >= 0) {
            bytes.truncate(got);
            return bytes;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    return std::nullopt;
}

constexpr char AccessAcl[] = "system.posix_acl_access";

// The attributes that make a file the user's, as cp --preserve=all keeps
// them: its access control list and the user's own attributes.
bool keptAttribute(QByteArrayView attribute)
{
    return attribute == AccessAcl || attribute.startsWith("user.");
}

// Gives the owning group's entry of an access control list (the system's
// form: a version, then entries of tag, permissions and id, little-endian)
// no more than the entry of others has.
void narrowOwningGroup(QByteArray &acl)
{
    constexpr qsizetype Size = sizeof(posix_acl_xattr_entry);
    constexpr qsizetype Tag = offsetof(posix_acl_xattr_entry, e_tag);
    constexpr qsizetype Permissions = offsetof(posix_acl_xattr_entry, e_perm);
    const auto field = [&](qsizetype entry, qsizetype field) {
        return qFromLittleEndian<quint16>(acl.constData() + entry + field);
    };
    quint16 others = 0;
    for (qsizetype entry = sizeof(posix_acl_xattr_header); entry + Size <= acl.size(); entry += Size) {
        if (field(entry, Tag) == ACL_OTHER)
            others = field(entry, Permissions);
    }
    for (qsizetype entry = sizeof(posix_acl_xattr_header); entry + Size <= acl.size(); entry += Size) {
        if (field(entry, Tag) == ACL_GROUP_OBJ)
            qToLittleEndian<quint16>(field(entry, Permissions) & others, acl.data() + entry + Permissions);
    }
}

// Gives the stage what made the old file `name` the user's: its owner
// first (giving a file to another owner clears the set-user-ID and
// set-group-ID bits, which the mode then restores; a user who may not give
// it to its old owner may still give it its old group), its access control
// list and user.* attributes, then its mode. The stage is the user's own
// and open to nobody else until then. When its group could not be kept, the
// group it has instead gets no more than others had. Returns why an
// attribute could not be kept.
int keepAttributes(int stage, const QByteArray &name, const struct stat &old)
{
    if (::fchown(stage, old.st_uid, old.st_gid) != 0 && ::fchown(stage, uid_t(-1), old.st_gid) != 0) {
        // The new file stays the user's own.
    }
    struct stat now;
    if (::fstat(stage, &now) != 0)
        return errno;
    const bool groupKept = now.st_gid == old.st_gid;

    const auto names = sized([&](char *list, std::size_t size) { return ::listxattr(name.constData(), list, size); });
    if (!names && errno != ENOTSUP)
        return errno;
    bool aclKept = false;
    for (const QByteArray &key : names.value_or(QByteArray()).split('\0')) {
        if (key.isEmpty() || !keptAttribute(key))
            continue;
        auto value = sized([&](char *bytes, std::size_t size) {
            return ::getxattr(name.constData(), key.constData(), bytes, size);
        });
        if (!value && errno == ENODATA)
            continue; // removed meanwhile
        if (!value)
            return errno;
        aclKept = aclKept || key == AccessAcl;
        if (key == AccessAcl && !groupKept)
            narrowOwningGroup(*value);
        if (::fsetxattr(stage, key.constData(), value->constData(), std::size_t(value->size()), 0) != 0)
            return errno;
    }
    // A folder's default list gave the stage one; the old file had none.
    if (!aclKept && ::fremovexattr(stage, AccessAcl) != 0 && errno != ENODATA && errno != ENOTSUP)
        return errno;

    // The mode's group bits are the list's mask where it has one.
    mode_t mode = old.st_mode & 07777;
    if (!groupKept && !aclKept)
        mode = (mode & ~mode_t(S_IRWXG)) | (mode & S_IRWXG & ((mode & S_IRWXO) << 3));
    return ::fchmod(stage, mode) == 0 ? 0 : errno;
}

// Makes the whole output in the folder of `name`, then puts it in the
// name's place (`old` is the file's status, null when there is none yet).
QString replace(const QByteArray &name, const struct stat *old, const Writer &write,
                const Cancellation *cancellation)
{
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray base = name.mid(slash + 1);
    if (base.isEmpty())
        return systemErrorText(EISDIR);
    const QByteArray folderName = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
    const int folder = ::open(folderName.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return systemErrorText(errno);
    QByteArray staged;
    // A new file gets the mode of any new file: 0666 less the umask.
    const int stage = createStage(folder, old ? 0600 : 0666, staged);
    int failure = stage < 0 ? errno : writeThrough(stage, write, cancellation);
    if (!failure && old)
        failure = keepAttributes(stage, name, *old);
    if (!failure && ::fsync(stage) != 0)
        failure = errno;
    if (!failure && cancellation && cancellation->cancelled())
        failure = ECANCELED;
    if (!failure)
        failure = putInPlace(stage, folder, staged, base, old != nullptr);
    // fsync has reported whatever the writes could not do: closing the
    // stage has nothing left to fail on.
    if (stage >= 0)
        ::close(stage);
    if (!staged.isEmpty())
        ::unlinkat(folder, staged.constData(), 0);
    ::close(folder);
    return failure ? systemErrorText(failure) : QString();
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

Cancellation::Cancellation()
    : m_descriptor(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

Cancellation::~Cancellation()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

void Cancellation::cancel()
{
    m_cancelled.store(true, std::memory_order_release);
    if (m_descriptor >= 0)
        ::eventfd_write(m_descriptor, 1);
}

QString writeOutput(const QByteArray &fileName, const std::function<void(QIODevice &)> &write,
                    WhenNobodyReads whenNobodyReads, const Cancellation *cancellation)
{
    if (fileName.isEmpty())
        return writeDescriptor(STDOUT_FILENO, write);
    // The name as given reaches what a link from /proc stands for, a pipe or
    // a socket, which no name that the link reads as does.
    struct stat status;
    if (::stat(fileName.constData(), &status) != 0) {
        if (errno != ENOENT)
            return systemErrorText(errno);
        return replace(followLinks(fileName), nullptr, write, cancellation);
    }
    if (S_ISDIR(status.st_mode))
        return systemErrorText(EISDIR);
    if (!S_ISREG(status.st_mode))
        return writeInPlace(fileName, status, write, whenNobodyReads, cancellation);
    const QByteArray name = followLinks(fileName);
    if (readOnly(name, status))
        return QStringLiteral("文件是只读的，没有替换它（%1）").arg(systemErrorText(EACCES));
    return replace(name, &status, write, cancellation);
}

std::optional<int> namedDescriptor(QByteArrayView name)
{
    if (name == "/dev/stdout")
        return STDOUT_FILENO;
    if (name == "/dev/stderr")
        return STDERR_FILENO;
    const QByteArrayView prefix = "/dev/fd/";
    if (!name.startsWith(prefix) || name.size() == prefix.size())
        return std::nullopt;
    const QByteArrayView digits = name.sliced(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool fits = false;
    const int descriptor = digits.toInt(&fits);
    return fits ? std::optional<int>(descriptor) : std::nullopt;
}

QString writeDescriptor(int descriptor, const std::function<void(QIODevice &)> &write)
{
    const int failure = writeThrough(descriptor, write);
    return failure ? systemErrorText(failure) : QString();
}

void openClosedStandardDescriptors()
{
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF)
            continue;
        // The lowest free number, which is this one: those below are open.
        const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != descriptor) {
            ::dup2(opened, descriptor);
            ::close(opened);
        }
    }
}

} // namespace quorvel
