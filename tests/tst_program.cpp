// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/program.h"

#include <QProcess>
#include <QTest>

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
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");
    QTest::newRow("help") << QStringList{u"--help"_qs} << 0 << u"用法：quorvel"_qs << QString();
    QTest::newRow("version") << QStringList{u"--version"_qs} << 0 << u"quorvel " QUORVEL_VERSION "\n"_qs << QString();
    // One line in place of Qt's abort.
    QTest::newRow("the program") << QStringList() << 1 << QString() << u"quorvel：需要图形会话"_qs;
}

void tst_Program::answersWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_qs, u"WAYLAND_DISPLAY"_qs, u"QT_QPA_PLATFORM"_qs})
        environment.remove(name);
    const Outcome outcome = run(QStringLiteral(QUORVEL_PROGRAM), arguments, environment);
    QCOMPARE(outcome.exitCode, status);
    for (const auto &[text, expected] : {std::pair{outcome.output, output}, std::pair{outcome.errors, errors}}) {
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
    QVERIFY(onFullDisk.readAllStandardError().contains("No space left on device"));

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
