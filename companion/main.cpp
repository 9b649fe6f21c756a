#include "companion/companion.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// The companion says what went wrong in its own words; Qt's notes about the
// session it runs in (no runtime folder, no window system) are not the
// user's concern. Only a critical message gets through.
void reportCritical(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "quorvel-chart: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    // The chart is drawn into files and never shown: fonts, but no window
    // system.
    qInstallMessageHandler(reportCritical);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return quorvel::companion::run(QCoreApplication::arguments().mid(1));
}
