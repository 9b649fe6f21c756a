#include "startup/program.h"

#include "analysis_window/texts.h"
#include "assets/assets.h"
#include "platform/drawing/fonts.h"
#include "platform/drawing/picture.h"
#include "platform/widgets/translations.h"
#include "startup/global.h"

#include <QApplication>
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

// Gives back to the system what start-up needed once only: the heap pages
// that decoding the pictures and laying out the window freed (about 0.4 MB
// of private memory).
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
    // An X session, or a Wayland one with Xwayland: either way X is there.
    if (chosen.isEmpty() && !display.isEmpty())
        return QByteArrayLiteral("xcb");
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
    const QByteArray platform = preferredPlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"));
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
    Global global;
    global.Main();
    preloadAnalysisWindow();
    return app.exec();
}

} // namespace quorvel
