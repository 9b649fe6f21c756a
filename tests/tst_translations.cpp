// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/controls.h"
#include "platform/language/systemerror.h"
#include "platform/language/translations.h"
#include "platform/widgets/runtime.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <cerrno>

using namespace quorvel;

namespace {

// Right-clicks the middle of a control as the pointer does and returns the
// texts of the menu that comes up, then closes it. A scroll bar's menu runs
// its own loop until closed, a text box's returns at once: the timer serves
// both.
QStringList contextMenuTexts(QWidget *control)
{
    QStringList texts;
    bool read = false;
    QTimer::singleShot(0, control, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *action : menu->actions())
                texts << action->text();
            menu->close();
        }
        read = true;
    });
    const QPoint centre = control->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, centre, control->mapToGlobal(centre));
    QApplication::sendEvent(control, &event);
    if (!QTest::qWaitFor([&] { return read; }))
        qWarning("no menu came up");
    return texts;
}

} // namespace

class tst_Translations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void contextMenusAreChinese_data();
    void contextMenusAreChinese();
    void systemReasonsAreChinese_data();
    void systemReasonsAreChinese();
    void noReasonHasEnglishWords();
};

void tst_Translations::initTestCase()
{
    // The program runs the same under any locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY2(installChineseTranslations(), "Qt's zh_CN translation did not load");
}

void tst_Translations::contextMenusAreChinese_data()
{
    QTest::addColumn<bool>("scrollBar");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text box: paste") << false << u"粘贴"_qs;
    QTest::newRow("scroll bar: scroll here") << true << u"滚动至此"_qs;
}

void tst_Translations::contextMenusAreChinese()
{
    QFETCH(bool, scrollBar);
    QFETCH(QString, expected);
    Runtime runtime;
    QWidget window;
    window.resize(200, 60);
    auto *box = new TextBox(&window, QRect(0, 0, 120, 18), u"2009-11-03"_qs, 0x80000005);
    auto *bar = new HScrollBar(&window, QRect(0, 30, 200, 17), runtime);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QStringList texts = contextMenuTexts(scrollBar ? static_cast<QWidget *>(bar) : box);
    QVERIFY2(!texts.filter(expected).isEmpty(), qPrintable(texts.join(u" | ")));
}

void tst_Translations::systemReasonsAreChinese_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("qtText"); // what Qt translates; empty where it does not
    QTest::addColumn<QString>("expected"); // the words; empty where the program's own are not pinned
    QTest::newRow("ENOENT") << ENOENT << u"No such file or directory"_qs << QString();
    QTest::newRow("EACCES") << EACCES << u"Permission denied"_qs << QString();
    QTest::newRow("ENOSPC") << ENOSPC << u"No space left on device"_qs << QString();
    for (const int error : {EPERM, EROFS, EDQUOT, EISDIR, ENOTDIR, ELOOP, ENAMETOOLONG, EIO, EPIPE, ETXTBSY, EFBIG})
        QTest::addRow("%s", strerrorname_np(error)) << error << QString() << QString();
    // Beyond the program's own words, the C library's Chinese ones; where
    // those keep English words, or there are none, the error's number.
    QTest::newRow("ECONNREFUSED") << ECONNREFUSED << QString() << u"拒绝连接"_qs;
    QTest::newRow("EBUSY") << EBUSY << QString() << u"设备或资源忙"_qs;
    QTest::newRow("ENOTTY, its translation says ioctl") << ENOTTY << QString() << u"系统错误（错误号 25）"_qs;
    QTest::newRow("no such error") << 4321 << QString() << u"系统错误（错误号 4321）"_qs;
}

// The words the window's message boxes show, in any locale; Qt's own where
// Qt has them.
void tst_Translations::systemReasonsAreChinese()
{
    QFETCH(int, error);
    QFETCH(QString, qtText);
    QFETCH(QString, expected);
    QVERIFY2(QFile::exists(u"/usr/share/locale/zh_CN/LC_MESSAGES/libc.mo"_qs),
             "the C library's Chinese messages (Debian package libc-l10n) are not installed");
    const QString text = systemErrorText(error);
    if (!qtText.isEmpty())
        QCOMPARE(text, QCoreApplication::translate("QIODevice", qtText.toLatin1()));
    if (!expected.isEmpty())
        QCOMPARE(text, expected);
    // Chinese, and never the system's English.
    QVERIFY2(text.front().unicode() >= 0x4E00, qPrintable(text));
    QVERIFY2(!text.contains(QString::fromLocal8Bit(std::strerror(error))), qPrintable(text));
}

// No reason the system can give holds an English word, whichever it is.
void tst_Translations::noReasonHasEnglishWords()
{
    for (int error = 0; error < 256; ++error) {
        const QString text = systemErrorText(error);
        QVERIFY2(!text.isEmpty() && !text.contains(QRegularExpression(u"[A-Za-z]"_qs)),
                 qPrintable(u"%1: %2"_qs.arg(error).arg(text)));
    }
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
