// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/program.h"

#include "analysis_window/texts.h"
#include "assets/assets.h"
#include "platform/drawing/fonts.h"
#include "platform/drawing/picture.h"
#include "platform/files/output.h"
#include "platform/widgets/runtime.h"
#include "platform/widgets/translations.h"
#include "startup/global.h"

#include <QApplication>
#include <QIODevice>
#include <QImage>
#include <QPainter>
#include <QIcon>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>
#include <cstring>

#ifdef Q_OS_LINUX
#include <malloc.h>
#endif

namespace quorvel {

namespace {

constexpr char HelpText[] = "用法：quorvel [--help | --version]\n"
                            "显示一个人的体力、情绪和智力生物节律图。其他参数一概不起作用。\n"
                            "  --help     显示本说明后退出\n"
                            "  --version  显示版本后退出\n";
constexpr char VersionText[] = "quorvel " QUORVEL_VERSION "\n";

// Gives back what start-up needed once only: the heap returns to the
// system what decoding the pictures and laying out the window freed, some
// 0.5 MB of private memory.
void releaseStartupMemory()
{
#ifdef Q_OS_LINUX
    malloc_trim(0);
#endif
}

// Loads, in the loader's first 50 ms, what the analysis window's load and
// first painting would otherwise wait for: the font system with the
// program's face and the glyphs of the window's texts (Qt keeps them with the
// face), and the panel picture, which Qt keeps in its picture cache, where
// the window finds it.
void preloadAnalysisWindow()
{
    QImage scratch(16, 16, QImage::Format_RGB32);
    QPainter painter(&scratch);
    painter.setFont(programFont());
    // The explanatory text, the credits and the captions of buttons and labels.
    painter.drawText(0, 12, startupTexts());
    painter.end();
    readPicture(QString::fromLatin1(PanelPicturePath));
}

// Runs releaseStartupMemory once the analysis window has first been painted.
class AfterFirstPaint final : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && dynamic_cast<frmQORVEL *>(watched)) {
            QCoreApplication::instance()->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                releaseStartupMemory();
                deleteLater();
            });
        }
        return false;
    }
};

} // namespace

QByteArray preferredPlatform(const QByteArray &chosen, const QByteArray &display)
{
    // An X session, or a Wayland one with Xwayland: either way X is there,
    // unless DISPLAY outlived its server; Wayland is then Qt's next choice.
    if (chosen.isEmpty() && !display.isEmpty())
        return QByteArrayLiteral("xcb;wayland");
    return {};
}

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
    const ProgramRequest request = programRequest(argc, argv);
    if (request != ProgramRequest::Run) {
        const QByteArray text = request == ProgramRequest::Help ? HelpText : VersionText;
        const QString reason = writeOutput({}, [&](QIODevice &device) { device.write(text); });
        if (reason.isEmpty())
            return 0;
        std::fputs(qPrintable(QStringLiteral("quorvel：无法写到标准输出：%1\n").arg(reason)), stderr);
        return 1;
    }

    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    // Without a window system Qt would abort with a message of its own.
    if (chosen.isEmpty() && display.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("quorvel：需要图形会话才能运行，但 DISPLAY 和 WAYLAND_DISPLAY 都没有设置\n", stderr);
        return 1;
    }
    // The application sees the program's name alone. Both outlive it, as
    // QApplication requires.
    const QByteArray platform = preferredPlatform(chosen, display);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);

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

    app.installEventFilter(new AfterFirstPaint(&app));
    Runtime runtime;
    Global global(runtime);
    global.Main();
    preloadAnalysisWindow();
    return app.exec();
}

} // namespace quorvel
