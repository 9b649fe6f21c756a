// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/picture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>

namespace quorvel {
namespace {

QPixmap readPng(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace

QPixmap readPicture(const QString &path)
{
    QPixmap picture;
    if (QPixmapCache::find(path, &picture))
        return picture;
    picture = readPng(path);
    if (!picture.isNull())
        QPixmapCache::insert(path, picture);
    return picture;
}

QPixmap doubledPicture(const QString &path)
{
    const QFileInfo file(path);
    const QString doubledPath = file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral("@2x.")
        + file.suffix();
    if (!QFileInfo::exists(doubledPath))
        return {};
    // Not through the cache: a copy kept there would be a second copy once
    // the ratio is set on this one.
    QPixmap doubled = readPng(doubledPath);
    doubled.setDevicePixelRatio(2.0);
    return doubled;
}

Picture::Picture(const QString &path)
    : m_path(path)
    , m_picture(readPicture(path))
{
}

const QPixmap &Picture::forPainter(QPainter &painter) const
{
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (ratio <= 1.0 || m_path.isEmpty())
        return m_picture;
    if (!m_doubledRead) {
        m_doubled = doubledPicture(m_path);
        m_doubledRead = true;
    }
    if (m_doubled.isNull())
        return m_picture;
    if (ratio != 2.0)
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    return m_doubled;
}

} // namespace quorvel
