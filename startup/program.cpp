#include "startup/program.h"

#include "assets/assets.h"
#include "platform/drawing/fonts.h"
#include "platform/widgets/translations.h"
#include "startup/global.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>

namespace quorvel {

namespace {

constexpr char HelpText[] = "用法：quorvel [--help | --version]\n"
                            "显示一个人的体力、情绪和智力生物节律图。其他参数一概不起作用。\n"
                            "  --help     显示本说明后退出\n"
                            "  --version  显示版本后退出\n";
constexpr char VersionText[] = "quorvel " QUORVEL_VERSION "\n";

} // namespace

ProgramRequest programRequest(int argc, const char *const argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0)
            return ProgramRequest::Help;
        if (std::strcmp(argv[i], "--version") == 0)
            return ProgramRequest::Version;
    }
    return ProgramRequest::Run;
}

int runProgram(int argc, char *argv[])
{
    switch (programRequest(argc, argv)) {
    case ProgramRequest::Help:
        std::fputs(HelpText, stdout);
        return 0;
    case ProgramRequest::Version:
        std::fputs(VersionText, stdout);
        return 0;
    case ProgramRequest::Run:
        break;
    }

    // The application sees the program's name alone. Both outlive it, as
    // QApplication requires.
    char name[] = "quorvel";
    int appArgc = 1;
    char *appArgv[] = {argc > 0 && argv[0] ? argv[0] : name, nullptr};
    QApplication app(appArgc, appArgv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // The installed menu entry's name: Wayland matches windows to their entry
    // by it; X matches them by the application name above, the window class.
    QApplication::setDesktopFileName(QStringLiteral("org.quorvel.Quorvel"));
    // The program ends through its exit button; a window closed any other way
    // is brought back by the loader.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    initAssets();
    installFontSubstitutes();
    installChineseTranslations();
    QApplication::setWindowIcon(windowIcon());

    Global global;
    global.Main();
    return app.exec();
}

} // namespace quorvel
