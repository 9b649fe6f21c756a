// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/language/systemerror.h"

#include "platform/language/messagecatalogue.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quorvel {
namespace {

// Debian's Chinese translation of the C library's messages (libc-l10n).
constexpr char LibraryCatalogue[] = "/usr/share/locale/zh_CN/LC_MESSAGES/libc.mo";

// The translation of the C library's description of the error; empty where
// it has none, or where it keeps English words (ioctl, socket, XENIX).
QString libraryTranslation(int error)
{
    static const MessageCatalogue catalogue = MessageCatalogue::read(QString::fromLatin1(LibraryCatalogue));
    const char *description = strerrordesc_np(error);
    if (!description)
        return {};
    const QString translated = catalogue.translate(description);
    const bool english = std::any_of(translated.cbegin(), translated.cend(), [](QChar c) {
        return c.isLetter() && c.unicode() < 0x80;
    });
    return english ? QString() : translated;
}

} // namespace

QString systemErrorText(int error)
{
    // Qt's words come from its translation, when that is loaded; they are
    // the same as these (a test holds them together).
    struct Reason {
        int error;
        const char *qtText; // what Qt translates, when it does
        const char16_t *text;
    };
    static constexpr Reason Reasons[] = {
        {ENOENT, "No such file or directory", u"此文件或目录不存在"},
        {EACCES, "Permission denied", u"权限被拒绝"},
        {ENOSPC, "No space left on device", u"设备中已没有剩余空间"},
        {EMFILE, "Too many open files", u"打开的文件太多"},
        {EPERM, nullptr, u"不允许的操作"},
        {EROFS, nullptr, u"只读文件系统"},
        {EDQUOT, nullptr, u"超出磁盘配额"},
        {EISDIR, nullptr, u"是一个目录"},
        {ENOTDIR, nullptr, u"不是目录"},
        {ELOOP, nullptr, u"符号链接层数过多"},
        {ENAMETOOLONG, nullptr, u"文件名过长"},
        {EIO, nullptr, u"输入/输出错误"},
        {EPIPE, nullptr, u"管道已断开，读取的一方已关闭"},
        {ETXTBSY, nullptr, u"文件正被执行，不能写入"},
        {EFBIG, nullptr, u"文件过大"},
        {ENXIO, nullptr, u"没有这个设备或地址"},
        {EBADF, nullptr, u"文件描述符无效"},
    };
    for (const Reason &reason : Reasons) {
        if (reason.error != error)
            continue;
        if (reason.qtText) {
            const QString translated = QCoreApplication::translate("QIODevice", reason.qtText);
            if (translated != QLatin1String(reason.qtText))
                return translated;
        }
        return QString::fromUtf16(reason.text);
    }
    if (const QString translated = libraryTranslation(error); !translated.isEmpty())
        return translated;
    return QStringLiteral("系统错误（错误号 %1）").arg(error);
}

} // namespace quorvel
