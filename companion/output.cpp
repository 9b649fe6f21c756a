// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/commandline.h"

#include "platform/files/output.h"

#include <QIODevice>

namespace quorvel::companion {

Outcome writeTo(const QString &path, const std::function<void(QIODevice &)> &write)
{
    const bool standardOutput = path == u"-";
    const QString reason = writeOutput(standardOutput ? QByteArray() : argumentBytes(path), write);
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
