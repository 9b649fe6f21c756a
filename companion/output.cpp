// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/commandline.h"

#include "platform/files/output.h"

#include <QIODevice>

namespace quorvel::companion {

Outcome writeTo(const QString &path, const std::function<void(QIODevice &)> &write)
{
    const bool standardOutput = path == u"-";
    const QByteArray name = standardOutput ? QByteArray() : argumentBytes(path);
    // /dev/stdout and its kin name the descriptor the program was given, as
    // for GNU tools: written as - is, not opened anew (which would truncate
    // a file the shell opened for appending, or fail on a socket).
    const std::optional<int> descriptor = namedDescriptor(name);
    const QString reason = descriptor ? writeDescriptor(*descriptor, write) : writeOutput(name, write);
    if (reason.isEmpty())
        return {};
    if (standardOutput)
        return {StatusWriteFailed, QStringLiteral("无法写到标准输出：%1").arg(reason)};
    return {StatusWriteFailed, QStringLiteral("无法写入“%1”：%2").arg(path, reason)};
}

Outcome writeText(const QString &path, const QByteArray &bytes)
{
    return writeTo(path, [&](QIODevice &device) { device.write(bytes); });
}

} // namespace quorvel::companion
