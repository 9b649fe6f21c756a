#include "assets/assets.h"
#include "platform/fonts.h"
#include "startup/global.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // The installed menu entry's name: Wayland matches windows to their entry
    // by it; X matches them by the application name above, the window class.
    QApplication::setDesktopFileName(QStringLiteral("org.quorvel.Quorvel"));
    // The program ends through its exit button; a window closed any other way
    // is brought back by the loader.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    quorvel::initAssets();
    quorvel::installFontSubstitutes();
    QApplication::setWindowIcon(quorvel::windowIcon());

    quorvel::Global global;
    global.Main();
    return app.exec();
}
