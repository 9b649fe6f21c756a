#include "platform/fonts.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

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

QFont programFont(bool underline)
{
    installFontSubstitutes();
    QFont font(SongTi);
    font.setPixelSize(FontPixelSize);
    font.setUnderline(underline);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

bool installChineseTranslations()
{
    static const bool installed = [] {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(u"qtbase_zh_CN"_qs, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
            && QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
        return false;
    }();
    return installed;
}

int textWidth(const QString &text)
{
    return QFontMetrics(programFont()).horizontalAdvance(text);
}

} // namespace quorvel
