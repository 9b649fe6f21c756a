// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/language/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quorvel {

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

} // namespace quorvel
