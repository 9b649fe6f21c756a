// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/program.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>

#include <unistd.h>

using namespace quorvel;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ProgramRequest)

class tst_Program : public QObject
{
    Q_OBJECT

private slots:
    void onlyHelpAndVersionAnswer_data();
    void onlyHelpAndVersionAnswer();
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();
    void unwrittenHelpFails();
    void qtOptionsChangeNothing();
    void platformChoice_data();
    void platformChoice();
};

namespace {

struct Outcome {
    int exitCode = -1;
    QString output;
    QString errors;
};

Outcome run(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

void tst_Program::onlyHelpAndVersionAnswer_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<ProgramRequest>("request");
    QTest::newRow("none") << QStringList() << ProgramRequest::Run;
    QTest::newRow("Qt options") << QStringList{u"-reverse"_qs, u"-style"_qs, u"windows"_qs} << ProgramRequest::Run;
    QTest::newRow("look-alikes") << QStringList{u"-help"_qs, u"--HELP"_qs, u"--version=1"_qs, u"-v"_qs, u"help"_qs}
                                 << ProgramRequest::Run;
    QTest::newRow("help") << QStringList{u"--help"_qs} << ProgramRequest::Help;
    QTest::newRow("version after a Qt option") << QStringList{u"-platform"_qs, u"xcb"_qs, u"--version"_qs}
                                               << ProgramRequest::Version;
    QTest::newRow("the first one answers") << QStringList{u"--version"_qs, u"--help"_qs} << ProgramRequest::Version;
}

void tst_Program::onlyHelpAndVersionAnswer()
{
    QFETCH(QStringList, arguments);
    QFETCH(ProgramRequest, request);
    std::vector<QByteArray> bytes{"quorvel"};
    for (const QString &argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<const char *> argv;
    for (const QByteArray &argument : bytes)
        argv.push_back(argument.constData());
    argv.push_back(nullptr);
    QCOMPARE(programRequest(int(bytes.size()), argv.data()), request);
}

void tst_Program::answersWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment"); // NAME=VALUE; @x a display no server holds, @gone a dead socket
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");
    const QStringList none;
    const QStringList staleX{u"DISPLAY=@x"_s};
    QTest::newRow("help") << QStringList{u"--help"_s} << none << 0 << u"用法：quorvel"_s << QString();
    QTest::newRow("version") << QStringList{u"--version"_s} << none << 0 << u"quorvel " QUORVEL_VERSION "\n"_s
                             << QString();
    QTest::newRow("help, stale X") << QStringList{u"--help"_s} << staleX << 0 << u"用法：quorvel"_s << QString();
    // One line in place of Qt's abort.
    QTest::newRow("no display") << none << none << 1 << QString() << u"quorvel：需要图形会话"_s;
    QTest::newRow("stale X") << none << staleX << 1 << QString() << u"quorvel：无法打开图形显示（试过 X 显示“@x”）"_s;
    QTest::newRow("stale X, Wayland's socket gone")
        << none << QStringList{u"DISPLAY=@x"_s, u"WAYLAND_DISPLAY=@gone"_s} << 1 << QString()
        << u"quorvel：无法打开图形显示（试过 X 显示“@x”、Wayland 显示“@gone”）"_s;
    QTest::newRow("stale Wayland") << none << QStringList{u"WAYLAND_DISPLAY=wayland-gone"_s} << 1 << QString()
                                   << u"quorvel：无法打开图形显示（试过 Wayland 显示“wayland-gone”）"_s;
}

void tst_Program::answersWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);

    // A display number whose server would have its socket or lock file.
    int free = 900;
    while (QFile::exists(u"/tmp/.X11-unix/X%1"_s.arg(free)) || QFile::exists(u"/tmp/.X%1-lock"_s.arg(free)))
        ++free;
    // A socket whose listener has gone: its name is left.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString gone = dir.filePath(u"wayland-0"_s);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(gone).constData(), sizeof address.sun_path);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    ::close(listener);
    QVERIFY(QFileInfo(gone).exists());
    const auto placed = [&](QString text) {
        return text.replace(u"@x"_s, u":%1"_s.arg(free)).replace(u"@gone"_s, gone);
    };

    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        bare.remove(name);
    bare.insert(u"XDG_RUNTIME_DIR"_s, dir.path());
    for (const QString &variable : environment)
        bare.insert(variable.section(u'=', 0, 0), placed(variable.section(u'=', 1)));
    const Outcome outcome = run(QStringLiteral(QUORVEL_PROGRAM), arguments, bare);
    QCOMPARE(outcome.exitCode, status);
    for (const auto &[text, expected] : {std::pair{outcome.output, output}, std::pair{outcome.errors, placed(errors)}}) {
        QVERIFY2(expected.isEmpty() ? text.isEmpty() : text.startsWith(expected) && text.count(u'\n') >= 1,
                 qPrintable(text));
    }
    if (status != 0)
        QCOMPARE(outcome.errors.count(u'\n'), 1);
}

// Help that cannot be written, to a full disk or into a pipe nobody reads,
// is a failure.
void tst_Program::unwrittenHelpFails()
{
    // The program is handed the device open, never its name.
    QProcess onFullDisk;
    onFullDisk.setStandardOutputFile(u"/dev/full"_qs);
    onFullDisk.start(QStringLiteral(QUORVEL_PROGRAM), {u"--help"_qs});
    QVERIFY(onFullDisk.waitForFinished());
    QCOMPARE(onFullDisk.exitCode(), 1);
    QVERIFY(QString::fromUtf8(onFullDisk.readAllStandardError()).contains(u"设备中已没有剩余空间"_s));

    int pipe[2];
    QCOMPARE(::pipe(pipe), 0);
    ::close(pipe[0]);
    QProcess closedPipe;
    closedPipe.setChildProcessModifier([&] { ::dup2(pipe[1], STDOUT_FILENO); });
    closedPipe.start(QStringLiteral(QUORVEL_PROGRAM), {u"--version"_qs});
    QVERIFY(closedPipe.waitForFinished());
    ::close(pipe[1]);
    QVERIFY(closedPipe.exitStatus() == QProcess::CrashExit || closedPipe.exitCode() != 0);
}

void tst_Program::qtOptionsChangeNothing()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    const Outcome outcome = run(QStringLiteral(PROGRAM_PROBE), {}, environment);
    QCOMPARE(outcome.output, u"left-to-right fusion no-style-sheet\n"_qs);
    QCOMPARE(outcome.exitCode, 0);
}

void tst_Program::platformChoice_data()
{
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("expected");

    // An X display: X alone, or Xwayland on a Wayland desktop.
    QTest::newRow("X display, then Wayland") << QByteArray() << ":0"_ba << "xcb;wayland"_ba;
    // Wayland alone, or no display at all.
    QTest::newRow("no X display") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("user chose Wayland") << "wayland"_ba << ":0"_ba << QByteArray();
    QTest::newRow("user chose offscreen") << "offscreen"_ba << ":0"_ba << QByteArray();
}

// The user's choice of window system always stands; otherwise X wins
// wherever there is an X display.
void tst_Program::platformChoice()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, expected);
    QCOMPARE(preferredPlatform(chosen, display), expected);
}

QTEST_MAIN(tst_Program)
#include "tst_program.moc"
