// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QString>

class QPainter;

// Pictures for screens of any density. Each picture is a PNG file painted for
// one device pixel a pixel ("name.png") and for two ("name@2x.png", twice as
// wide and high, painted at that resolution). A painter on a denser device
// gets the doubled one, drawn at the picture's own size; a painter at one
// device pixel a pixel gets the picture itself, pixel for pixel.

namespace quorvel {

// The picture at path, kept in Qt's picture cache: read once while it stays
// there. Read as PNG by name: a file whose format is left to be found out
// is offered to every image plugin first, which loads them all.
QPixmap readPicture(const QString &path);

// The doubled version of the picture at path, with its device pixel ratio
// of 2; a null pixmap when there is none.
QPixmap doubledPicture(const QString &path);

// A picture and its doubled version. The doubled one is four times the
// memory and is read only when a denser screen first asks for it: on an
// ordinary screen it never is.
class Picture
{
public:
    Picture() = default;
    explicit Picture(const QString &path);

    const QPixmap &pixmap() const { return m_picture; }

    // The version to paint with this painter: doubled when the painter's
    // device has more than one device pixel a pixel and there is a doubled
    // version. Sets smooth scaling on the painter where the device's density
    // lies between the two.
    const QPixmap &forPainter(QPainter &painter) const;

private:
    QString m_path;
    QPixmap m_picture;
    mutable QPixmap m_doubled;
    mutable bool m_doubledRead = false;
};

} // namespace quorvel
