// SPDX-License-Identifier: GPL-3.0-or-later
#include "people/peoplefile.h"

#include "platform/files/output.h"
#include "platform/language/systemerror.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QScopeGuard>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

// How long a change waits for another program's change to end: each holds
// the lock for one read and one write of a small file.
constexpr int LockPatienceMs = 10000;

// The file's bytes, nothing for a file that does not exist, or why it
// cannot be read. Only a regular file is read: a FIFO or a device at its
// name is neither waited on nor disturbed.
QString readBytes(const QString &path, std::optional<QByteArray> &bytes)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0)
        return errno == ENOENT ? QString() : systemErrorText(errno);
    const auto closing = qScopeGuard([file] { ::close(file); });
    struct stat status {};
    if (::fstat(file, &status) != 0)
        return systemErrorText(errno);
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("不是普通文件");
    QByteArray read;
    char buffer[16384];
    // One byte more than a list may have tells a longer file.
    while (read.size() <= MaxPeopleFileSize) {
        const ssize_t got = ::read(file, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return systemErrorText(errno);
        }
        read.append(buffer, got);
    }
    bytes = read;
    return {};
}

// Makes the folder and those above it that are missing, each for the user
// alone, as a configuration folder is made.
int makeFolders(const QByteArray &folder)
{
    struct stat status {};
    if (::stat(folder.constData(), &status) == 0)
        return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const qsizetype slash = folder.lastIndexOf('/');
    if (slash > 0) {
        if (const int error = makeFolders(folder.first(slash)))
            return error;
    }
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

// Takes the lock on the folder, waiting for another program's change to
// end; why not, empty once held.
QString lockFolder(int folder)
{
    const QDeadlineTimer patience(LockPatienceMs);
    while (::flock(folder, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return systemErrorText(errno);
        if (patience.hasExpired())
            return QStringLiteral("另一个程序正在修改它，等了%1秒仍未结束").arg(LockPatienceMs / 1000);
        QThread::msleep(10);
    }
    return {};
}

} // namespace

QString peopleFilePath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is ignored, as freedesktop.org's base directories say.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/quorvel/people.txt");
}

PeopleFile::PeopleFile(QString path) : m_path(std::move(path)) {}

PeopleRead PeopleFile::read() const
{
    std::optional<QByteArray> bytes;
    PeopleRead result;
    result.problem = readBytes(m_path, bytes);
    if (!result.problem.isEmpty() || !bytes)
        return result;
    if (auto list = parsePeople(*bytes, &result.problem))
        result.list = std::move(*list);
    return result;
}

QString PeopleFile::remember(const Person &person) const
{
    return change([&](const QByteArray &text) { return withPerson(text, person); });
}

QString PeopleFile::forget(const QString &name) const
{
    // Nothing to forget makes no folder and takes no lock.
    if (const PeopleRead now = read(); now.problem.isEmpty() && !now.list.find(name))
        return {};
    return change([&](const QByteArray &text) { return withoutPerson(text, name); });
}

QString PeopleFile::change(const std::function<QByteArray(const QByteArray &)> &edit) const
{
    const QByteArray folder = QFile::encodeName(QFileInfo(m_path).absolutePath());
    if (const int error = makeFolders(folder))
        return systemErrorText(error);
    // Closing the folder lets the lock go.
    const int lock = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock < 0)
        return systemErrorText(errno);
    const auto unlocking = qScopeGuard([lock] { ::close(lock); });
    if (const QString why = lockFolder(lock); !why.isEmpty())
        return why;

    // The file as it stands now, which another program may have changed.
    std::optional<QByteArray> bytes;
    if (const QString why = readBytes(m_path, bytes); !why.isEmpty())
        return why;
    const QByteArray text = bytes.value_or(QByteArray());
    QString problem;
    if (!parsePeople(text, &problem))
        return problem;
    const QByteArray changed = edit(text);
    if (changed == text)
        return {};
    return writeOutput(
        QFile::encodeName(m_path), [&](QIODevice &device) { device.write(changed); }, WhenNobodyReads::Fail);
}

} // namespace quorvel
