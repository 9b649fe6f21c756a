// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/program.h"

#include "analysis_window/texts.h"
#include "assets/assets.h"
#include "platform/drawing/fonts.h"
#include "platform/drawing/picture.h"
#include "platform/files/output.h"
#include "platform/language/translations.h"
#include "platform/widgets/runtime.h"
#include "startup/global.h"

#include <QApplication>
#include <QIODevice>
#include <QImage>
#include <QPainter>
#include <QIcon>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

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

// Once the analysis window has first been painted, the heap gives back to
// the system what start-up needed once only: what decoding the pictures and
// laying out the window freed, some 0.5 MB of private memory.
class AfterFirstPaint final : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && dynamic_cast<frmQORVEL *>(watched)) {
            QCoreApplication::instance()->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
#ifdef Q_OS_LINUX
                malloc_trim(0);
#endif
                deleteLater();
            });
        }
        return false;
    }
};

// What the program tried to show its windows on, as its one line names it
// when none of it could be opened: the window system the user chose, and the
// displays the session names.
QString displaysTried(const QByteArray &chosen, const QByteArray &display, const QByteArray &wayland)
{
    QStringList tried;
    if (!chosen.isEmpty())
        tried << QStringLiteral("QT_QPA_PLATFORM=%1").arg(QString::fromLocal8Bit(chosen));
    if (!display.isEmpty())
        tried << QStringLiteral("X 显示“%1”").arg(QString::fromLocal8Bit(display));
    if (!wayland.isEmpty())
        tried << QStringLiteral("Wayland 显示“%1”").arg(QString::fromLocal8Bit(wayland));
    return tried.join(u'、');
}

// Holds back what Qt says while it opens the display. Should no display
// open, Qt would abort with a long English message; the program ends instead
// with one line of its own that names what it tried, and status 1. Once a
// display is open, what Qt said is passed on as it was.
class OpeningDisplay
{
public:
    explicit OpeningDisplay(QString tried) : m_tried(std::move(tried))
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&OpeningDisplay::hold);
    }
    ~OpeningDisplay()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
        for (const Held &message : m_held) {
            const QMessageLogContext context(message.file.constData(), message.line, message.function.constData(),
                                             message.category.constData());
            if (m_previous)
                m_previous(message.type, context, message.text);
            else
                std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(message.type, context, message.text)));
        }
    }
    OpeningDisplay(const OpeningDisplay &) = delete;
    OpeningDisplay &operator=(const OpeningDisplay &) = delete;

private:
    struct Held {
        QtMsgType type;
        QByteArray file, function, category;
        int line;
        QString text;
    };

    // Qt's handler is a plain function: it finds the object through this,
    // which is set only while a display is being opened.
    static inline OpeningDisplay *s_current = nullptr;

    static void hold(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type == QtFatalMsg) {
            std::fputs(qPrintable(QStringLiteral("quorvel：无法打开图形显示（试过 %1）\n").arg(s_current->m_tried)),
                       stderr);
            std::fflush(stderr);
            std::_Exit(1);
        }
        s_current->m_held.push_back({type, context.file, context.function, context.category, context.line, text});
    }

    QString m_tried;
    QtMessageHandler m_previous = nullptr;
    std::vector<Held> m_held;
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
    openClosedStandardDescriptors();
    const ProgramRequest request = programRequest(argc, argv);
    if (request != ProgramRequest::Run) {
        const QByteArray text = request == ProgramRequest::Help ? HelpText : VersionText;
        const QString reason = writeOutput({}, [&](QIODevice &device) { device.write(text); });
        if (reason.isEmpty())
            return 0;
        std::fputs(qPrintable(QStringLiteral("quorvel：无法写到标准输出：%1\n").arg(reason)), stderr);
        return 1;
    }

    // A reader that goes away from whatever the window writes to makes that
    // write fail, never end the program with what the user had in it.
    std::signal(SIGPIPE, SIG_IGN);

    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    // Without a window system Qt would abort with a message of its own.
    if (chosen.isEmpty() && display.isEmpty() && wayland.isEmpty()) {
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
    std::optional<OpeningDisplay> opening(std::in_place, displaysTried(chosen, display, wayland));
    QApplication app(appArgc, appArgv);
    opening.reset();
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
