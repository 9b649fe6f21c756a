// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/companion.h"
#include "platform/language/translations.h"

#include "platform/files/output.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// The companion says what went wrong in its own words; Qt's notes about the
// session it runs in (no runtime folder, no window system) are not the
// user's concern. Only a critical message gets through.
void reportCritical(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "quorvel-chart：%s\n", qPrintable(message));
}

// The moment quorvel-chart takes as now: the one SOURCE_DATE_EPOCH gives
// (seconds since 1970-01-01 00:00 UTC, day 25569, read as a UTC date and
// time), so that the same arguments make the same files again, else the
// system's clock.
quorvel::Date now()
{
    bool number = false;
    const qint64 seconds = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&number);
    return number ? 25569.0 + double(seconds) / 86400.0 : quorvel::systemNow();
}

} // namespace

int main(int argc, char *argv[])
{
    quorvel::openClosedStandardDescriptors();
    // The arguments as the system passed them, bytes that need not be UTF-8,
    // and none of them taken by Qt as its own options.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    char name[] = "quorvel-chart";
    int appArgc = 1;
    char *appArgv[] = {name, nullptr};

    // The chart is drawn into files and never shown: fonts, but no window
    // system.
    qInstallMessageHandler(reportCritical);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(appArgc, appArgv);
    // Qt's words in Chinese, as the window has them: the system's reasons
    // for a failure among them.
    quorvel::installChineseTranslations();
    return quorvel::companion::run(arguments, now());
}
