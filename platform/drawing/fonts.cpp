// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

namespace quorvel {

namespace {
const QString SongTi = QStringLiteral("宋体");
}

void installFontSubstitutes()
{
    static const bool installed = [] {
        const QStringList faces{u"AR PL UMing CN"_qs, u"AR PL UMing TW"_qs, u"AR PL UMing HK"_qs,
                               u"Noto Serif CJK SC"_qs, u"WenQuanYi Micro Hei"_qs};
        QFont::insertSubstitutions(SongTi, faces);
        return true;
    }();
    (void)installed;
}

QString programFontFamily()
{
    installFontSubstitutes();
    return SongTi;
}

QFont programFont(bool underline)
{
    QFont font(programFontFamily());
    font.setPixelSize(FontPixelSize);
    font.setUnderline(underline);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont drawnProgramFont()
{
    QFont font = programFont();
    font.setFamily(QFontInfo(font).family());
    return font;
}

QFont paperFont()
{
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

int textWidth(const QString &text)
{
    return QFontMetrics(programFont()).horizontalAdvance(text);
}

} // namespace quorvel
