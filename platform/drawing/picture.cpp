#include "platform/drawing/picture.h"

#include <QFileInfo>
#include <QPainter>

namespace quorvel {

QPixmap doubledPicture(const QString &path)
{
    const QFileInfo file(path);
    const QString doubledPath = file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral("@2x.")
        + file.suffix();
    if (!QFileInfo::exists(doubledPath))
        return {};
    QPixmap doubled(doubledPath);
    doubled.setDevicePixelRatio(2.0);
    return doubled;
}

const QPixmap &pictureFor(QPainter &painter, const QPixmap &picture, const QPixmap &doubled)
{
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (ratio <= 1.0 || doubled.isNull())
        return picture;
    if (ratio != 2.0)
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    return doubled;
}

} // namespace quorvel
