// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/guidetexts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The program as a user at an X desktop meets it: the real executable on an
// X server of its own (Xvfb), driven by real keys (xdotool), its windows as
// the X server holds them (xprop), and, with the screen reader Orca running
// on an accessibility bus of its own, what Orca says, read from the
// "SPEECH OUTPUT:" lines of its debug log.

using namespace Qt::StringLiterals;

namespace {

constexpr int Timeout = 10000;
constexpr uid_t Nobody = 65534;
// Orca has said all that a step brings once it has been quiet this long.
constexpr int QuietTime = 400;

// Serves events until done holds; false when the time ran out first.
bool waitUntil(const std::function<bool()> &done, int timeout = Timeout)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeout)
            return false;
        QTest::qWait(20);
    }
    return true;
}

class Desktop
{
public:
    // As root, everything on the desktop but the X server runs as the user
    // nobody, who runs no screen reader of a person's: Orca will not start
    // beside another Orca of the same user, and root's own Orca is then
    // neither met nor touched; the program runs as an ordinary user too.
    // That user reaches only this test's folder, which holds a copy of the
    // program.
    Desktop()
    {
        if (::geteuid() == 0) {
            m_user = Nobody;
            if (::chown(QFile::encodeName(m_dir.path()), m_user, m_user) != 0)
                m_failed = u"cannot give the test's folder to the desktop's user"_s;
        }
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            m_environment.insert(QString::fromLatin1(name), folder(QString::fromLatin1(name)));
        QFile::setPermissions(folder(u"XDG_RUNTIME_DIR"_s), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                  | QFileDevice::ExeOwner);
        m_environment.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
        m_environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        // No print server: printing can only go to a file, never to a
        // printer of the machine's.
        m_environment.insert(u"CUPS_SERVER"_s, m_dir.filePath(u"no-print-server"_s));
        m_program = m_dir.filePath(u"quorvel"_s);
        if (!QFile::copy(QStringLiteral(QUORVEL_PROGRAM), m_program)
            || !QFile::setPermissions(m_program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                     | QFileDevice::ReadOther | QFileDevice::ExeOther))
            m_failed = u"cannot copy the program into the test's folder"_s;
    }

    ~Desktop()
    {
        for (auto process = m_processes.rbegin(); process != m_processes.rend(); ++process) {
            (*process)->terminate();
            if (!(*process)->waitForFinished(3000)) {
                (*process)->kill();
                (*process)->waitForFinished();
            }
        }
    }

    // Why the screen reader cannot be tried here; nothing when it can.
    static QString whyNoOrca()
    {
        if (QStandardPaths::findExecutable(u"orca"_s).isEmpty())
            return u"Orca (Debian package orca) is not installed"_s;
        // The test's Orca would be the desktop user's second one, which Orca
        // refuses; and the first may be a person's screen reader, which must
        // go on speaking.
        const uid_t user = ::geteuid() == 0 ? Nobody : ::geteuid();
        QProcess pgrep;
        pgrep.start(u"pgrep"_s, {u"-u"_s, QString::number(user), u"-x"_s, u"orca"_s});
        if (pgrep.waitForFinished() && pgrep.exitCode() == 0)
            return u"another Orca of the user %1 runs (pid %2); the test leaves it alone"_s.arg(
                QString::number(user), QString::fromLatin1(pgrep.readAllStandardOutput().simplified()));
        return {};
    }

    // Each start says what went wrong; nothing when nothing did.
    QString startX()
    {
        if (!m_failed.isEmpty())
            return m_failed;
        QProcess *x = start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s,
                                        u"-nolisten"_s, u"tcp"_s});
        if (!x->waitForReadyRead(Timeout))
            return u"Xvfb did not start: "_s + x->errorString() + QString::fromLocal8Bit(x->readAllStandardError());
        m_environment.insert(u"DISPLAY"_s, u':' + QString::fromLatin1(x->readLine().trimmed()));
        // The desktop's session bus, which ends with the test: a program
        // without one would have one started that outlives it.
        QProcess *bus = start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        if (!bus->waitForReadyRead(Timeout))
            return u"the session bus did not start"_s;
        m_environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, QString::fromLatin1(bus->readLine().trimmed()));
        return {};
    }

    // The accessibility bus on the session bus. The program offers its
    // accessible objects there even without a screen reader.
    QString startAccessibilityBus()
    {
        start(u"/usr/libexec/at-spi-bus-launcher"_s, {u"--launch-immediately"_s});
        if (!waitUntil([&] {
                return run(u"dbus-send"_s, {u"--session"_s, u"--print-reply"_s, u"--dest=org.freedesktop.DBus"_s, u"/"_s,
                                            u"org.freedesktop.DBus.NameHasOwner"_s, u"string:org.a11y.Bus"_s})
                    .contains("true");
            }))
            return u"the accessibility bus did not start"_s;
        m_environment.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
        return {};
    }

    // The accessibility bus, and Orca with a settings folder of its own: no
    // key echo, so that every line spoken is the program's, and its debug
    // log written line by line.
    QString startOrca()
    {
        if (const QString failed = startAccessibilityBus(); !failed.isEmpty())
            return failed;

        const QString settings = folder(u"orca"_s);
        QFile customizations(settings + u"/orca-customizations.py"_s);
        if (!customizations.open(QIODevice::WriteOnly)
            || customizations.write("import orca.debug, orca.settings\n"
                                    "orca.debug.debugFile.reconfigure(line_buffering=True)\n"
                                    "orca.settings.enableKeyEcho = False\n")
                < 0)
            return u"cannot write Orca's settings"_s;
        customizations.close();
        m_log.setFileName(m_dir.filePath(u"orca.log"_s));
        QProcessEnvironment environment = m_environment;
        environment.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s);
        QProcess *orca = start(u"orca"_s, {u"-u"_s, settings, u"--debug-file="_s + m_log.fileName()}, environment);
        if (!orca->waitForStarted())
            return u"Orca did not start: "_s + orca->errorString();
        const bool started = waitUntil(
            [&] {
                if (m_log.isOpen() || m_log.open(QIODevice::ReadOnly))
                    m_unread += m_log.readAll();
                return m_unread.contains("Startup complete notification made") || orca->state() != QProcess::Running;
            },
            2 * Timeout);
        if (!started || orca->state() != QProcess::Running)
            return u"Orca did not start: "_s + QString::fromLocal8Bit(orca->readAllStandardError().right(1500));
        return {};
    }

    QString startProgram()
    {
        QProcessEnvironment environment = m_environment;
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        m_running = start(m_program, {}, environment);
        return m_running->waitForStarted() ? QString() : u"the program did not start"_s;
    }

    // What reads the program's accessible objects: nothing, a client of the
    // accessibility bus, or Orca.
    enum class Reader { None, Tree, Orca };

    // The X server, what the reader needs, and the program; what went wrong,
    // nothing when nothing did.
    QString startWithProgram(Reader reader)
    {
        QString failed = startX();
        if (failed.isEmpty() && reader == Reader::Tree)
            failed = startAccessibilityBus();
        if (failed.isEmpty() && reader == Reader::Orca)
            failed = startOrca();
        return failed.isEmpty() ? startProgram() : failed;
    }

    QString programErrors() { return QString::fromLocal8Bit(m_running->readAllStandardError()); }

    // Gives the analysis window the keyboard, as a window manager would.
    void focusAnalysisWindow()
    {
        const QByteArray window = run(u"xdotool"_s, {u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--class"_s,
                                                     u"Quorvel"_s}).trimmed();
        run(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, QString::fromLatin1(window)});
    }

    // The desktop user's home folder.
    QString home() const { return m_dir.filePath(u"HOME"_s); }

    // Puts the list of people the program reads for the desktop's user.
    bool putPeople(const QByteArray &text)
    {
        QFile file(folder(u"XDG_CONFIG_HOME/quorvel"_s) + u"/people.txt"_s);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

    // Runs a tool on the desktop to its end: its output, nothing when it
    // failed.
    QByteArray run(const QString &tool, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(u"setpriv"_s, asUser(tool, arguments));
        if (process.waitForFinished(Timeout) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return process.readAllStandardOutput();
        qWarning("%s failed: %s", qPrintable(tool), process.readAllStandardError().constData());
        return {};
    }

    // Presses keys (xdotool's names, or text after "type:"), then collects
    // what Orca says until a line said after the keys satisfies done, if
    // given, and Orca is quiet. Whatever came late for the step before
    // counts here too.
    QStringList say(const QStringList &keys, const std::function<bool(const QString &)> &done = {},
                    int timeout = Timeout)
    {
        QStringList lines = spoken();
        const qsizetype late = lines.size();
        for (const QString &key : keys) {
            run(u"xdotool"_s, key.startsWith(u"type:"_s) ? QStringList{u"type"_s, u"--delay"_s, u"20"_s, key.mid(5)}
                                                          : QStringList{u"key"_s, key});
        }
        waitUntil(
            [&] {
                lines += spoken();
                return !done || std::any_of(lines.cbegin() + late, lines.cend(), done);
            },
            timeout);
        QElapsedTimer quiet;
        quiet.start();
        while (quiet.elapsed() < QuietTime) {
            QTest::qWait(20);
            const QStringList more = spoken();
            if (!more.isEmpty())
                quiet.restart();
            lines += more;
        }
        return lines;
    }

private:
    // What Orca said since the last call, an utterance a line (some span
    // several), without the full stop Orca adds at a pause.
    QStringList spoken()
    {
        static const QRegularExpression utterance(
            u"SPEECH OUTPUT: '((?:(?!SPEECH OUTPUT: ').)*?)'(?: voice=\\w+)? ?(?:\\{[^\\n]*\\}|None)\\n"_s,
            QRegularExpression::DotMatchesEverythingOption);
        m_unread += m_log.readAll();
        // Only whole lines: the last may still be on its way.
        const QString text = QString::fromUtf8(m_unread.left(m_unread.lastIndexOf('\n') + 1));
        QStringList said;
        qsizetype consumed = 0;
        for (const QRegularExpressionMatch &match : utterance.globalMatch(text)) {
            said += match.captured(1);
            if (said.last().endsWith(u'.'))
                said.last().chop(1);
            consumed = match.capturedEnd();
        }
        // Keeps an utterance that is not whole yet.
        const qsizetype open = text.indexOf(u"SPEECH OUTPUT: '"_s, consumed);
        m_unread.remove(0, (open < 0 ? text : text.left(open)).toUtf8().size());
        return said;
    }

    QString folder(const QString &name) const
    {
        const QString path = m_dir.filePath(name);
        if (!QDir().mkpath(path) || (m_user > 0 && ::chown(QFile::encodeName(path), m_user, m_user) != 0))
            m_failed = u"cannot make the folder "_s + path;
        return path;
    }

    // The command line that runs a program as the desktop's user: itself,
    // with setpriv changing nothing, when that is the test's own.
    QStringList asUser(const QString &program, const QStringList &arguments) const
    {
        QStringList command;
        if (m_user > 0)
            command << u"--reuid=%1"_s.arg(m_user) << u"--regid=%1"_s.arg(m_user) << u"--clear-groups"_s;
        return command << u"--"_s << program << arguments;
    }

    // Starts a program on the desktop, as its user; the X server runs as
    // the test.
    QProcess *start(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment = {})
    {
        m_processes.push_back(std::make_unique<QProcess>());
        QProcess *process = m_processes.back().get();
        process->setProcessEnvironment(environment.isEmpty() ? m_environment : environment);
        if (program == u"Xvfb")
            process->start(program, arguments);
        else
            process->start(u"setpriv"_s, asUser(program, arguments));
        return process;
    }

    QTemporaryDir m_dir;
    uid_t m_user = 0; // the test's own user
    mutable QString m_failed; // what went wrong in making the desktop
    QProcessEnvironment m_environment;
    QString m_program;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QProcess *m_running = nullptr;
    QFile m_log;
    QByteArray m_unread;
};

auto startsWith(const QString &start)
{
    return [start](const QString &line) { return line.startsWith(start); };
}

QByteArray joined(const QStringList &lines) { return lines.join(u" | "_s).toUtf8(); }

} // namespace

class tst_Desktop : public QObject
{
    Q_OBJECT

private slots:
    void windowsAsTheXServerHoldsThem();
    void chartLabelsInTheAccessibilityTree();
    void keyboardSessionIsSpoken();
    void personChosenFromTheMenusIsSpoken();
};

// Both windows without decorations (no border, no title bar), and the
// analysis window as the guide's WM_TRANSIENT_FOR, so that a window manager
// keeps the guide above it, the guide a modal dialog.
void tst_Desktop::windowsAsTheXServerHoldsThem()
{
    Desktop desktop;
    const QString failed = desktop.startWithProgram(Desktop::Reader::None);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    const QStringList search{u"search"_s, u"--sync"_s, u"--onlyvisible"_s};
    const QByteArray analysis = desktop.run(u"xdotool"_s, search + QStringList{u"--class"_s, u"Quorvel"_s}).trimmed();
    QVERIFY2(!analysis.isEmpty() && !analysis.contains('\n'), analysis.constData());
    desktop.run(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, QString::fromLatin1(analysis)});
    desktop.run(u"xdotool"_s, {u"key"_s, u"F1"_s});
    const QByteArray guide = desktop.run(u"xdotool"_s, search + QStringList{u"--name"_s, u"^Form1$"_s}).trimmed();
    QVERIFY(!guide.isEmpty());

    // The third field of the Motif hints: no decorations.
    const QRegularExpression undecorated(u"_MOTIF_WM_HINTS\\(_MOTIF_WM_HINTS\\) = 0x\\w+, 0x\\w+, 0x0,"_s);
    const QString analysisHints = QString::fromUtf8(
        desktop.run(u"xprop"_s, {u"-id"_s, QString::fromLatin1(analysis), u"_MOTIF_WM_HINTS"_s}));
    QVERIFY2(undecorated.match(analysisHints).hasMatch(), qPrintable(analysisHints));
    const QString properties = QString::fromUtf8(desktop.run(
        u"xprop"_s, {u"-id"_s, QString::fromLatin1(guide), u"WM_TRANSIENT_FOR"_s, u"_NET_WM_WINDOW_TYPE"_s,
                     u"_NET_WM_STATE"_s, u"_MOTIF_WM_HINTS"_s}));
    const QRegularExpressionMatch owner =
        QRegularExpression(u"WM_TRANSIENT_FOR\\(WINDOW\\): window id # (0x[0-9a-f]+)"_s).match(properties);
    QVERIFY2(owner.hasMatch(), qPrintable(properties));
    QCOMPARE(owner.captured(1).toULongLong(nullptr, 16), analysis.toULongLong());
    QVERIFY2(properties.contains(u"_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG"_s), qPrintable(properties));
    QVERIFY2(properties.contains(u"_NET_WM_STATE_MODAL"_s), qPrintable(properties));
    QVERIFY2(undecorated.match(properties).hasMatch(), qPrintable(properties));
}

// The chart's labels are children of the chart in the accessibility tree,
// where a screen reader's review (Orca's flat review among them) finds them:
// on the chart's picture while shown, the explanatory text until the first
// query, and beside them the spot that speaks the day marked by a key. Read
// with AT-SPI's own client library, as any screen reader reads it.
void tst_Desktop::chartLabelsInTheAccessibilityTree()
{
    Desktop desktop;
    const QString failed = desktop.startWithProgram(Desktop::Reader::Tree);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    desktop.focusAnalysisWindow();

    // One line a child of the chart: its role, whether it shows, and where
    // (outside the chart, or in its left or right half), and its name.
    const QString script = uR"(
import pyatspi
app = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.name == 'Quorvel')
chart = next(c for c in next(w for w in app if w.name == 'Quorvel分析') if c.getRole() == pyatspi.ROLE_CHART)
at = chart.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
for child in chart:
    box = child.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    shown = child.getState().contains(pyatspi.STATE_SHOWING)
    where = 'left' if box.x - at.x < at.width / 2 else 'right'
    if shown and not (box.x >= at.x and box.y >= at.y and box.x + box.width <= at.x + at.width and box.y + box.height <= at.y + at.height):
        where = 'outside'
    print('|'.join([child.getRoleName(), 'shown' if shown else 'hidden', where, child.name.replace('\n', ' ')]))
)"_s;
    QStringList children;
    auto treeHas = [&](const QStringList &expected) {
        return waitUntil([&] {
            children = QString::fromUtf8(desktop.run(u"/usr/bin/python3"_s, {u"-c"_s, script})).split(u'\n', Qt::SkipEmptyParts);
            return std::all_of(expected.cbegin(), expected.cend(), [&](const QString &line) { return children.contains(line); });
        });
    };

    const QString explanation = u"label|shown|left|生物钟是生物体内一种无形的“时钟”"_s;
    QVERIFY2(waitUntil([&] {
                 treeHas({u"label|shown|right|共40天"_s});
                 return std::any_of(children.cbegin(), children.cend(), startsWith(explanation));
             }),
             joined(children).constData());

    for (const QString &date : {u"1980-01-01"_s, u"2009-11-03"_s}) {
        desktop.run(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"20"_s, date});
        desktop.run(u"xdotool"_s, {u"key"_s, u"Return"_s});
    }
    QVERIFY2(treeHas({u"label|shown|left|2009-10-15"_s, u"label|shown|right|共40天"_s}), joined(children).constData());
    QCOMPARE(children.size(), 3);
    QVERIFY2(std::any_of(children.cbegin(), children.cend(), startsWith(u"label|hidden|"_s)), joined(children).constData());

    // The spot a key marks joins them; the labels stay.
    desktop.run(u"xdotool"_s, {u"key"_s, u"Tab"_s, u"Right"_s});
    QVERIFY2(treeHas({u"list item|shown|left|2009-11-03，查询日，体力值-74，情绪值99，智力值98，综合值90"_s,
                      u"label|shown|left|2009-10-15"_s, u"label|shown|right|共40天"_s}),
             joined(children).constData());
}

// Every step of a session without mouse and sight, as Orca says it.
void tst_Desktop::keyboardSessionIsSpoken()
{
    if (const QString why = Desktop::whyNoOrca(); !why.isEmpty())
        QSKIP(qPrintable(why + u": the session with a screen reader is not tried"_s));
    Desktop desktop;
    const QString failed = desktop.startWithProgram(Desktop::Reader::Orca);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));

    // What was said, but for the echo of typed text (Orca may speak a typed
    // date's last digit).
    QStringList said, all;
    auto step = [&](const QStringList &keys, const QString &until) {
        said = desktop.say(keys, startsWith(until));
        if (std::none_of(keys.cbegin(), keys.cend(), startsWith(u"type:"_s)))
            all += said;
        return std::any_of(said.cbegin(), said.cend(), startsWith(until));
    };
    // Presses each key in turn: the first that brought more or other than
    // its own words said, and what; nothing when none did.
    struct KeySaid {
        const char *key;
        QString spoken;
    };
    auto eachAlone = [&](const std::vector<KeySaid> &keys) -> QString {
        for (const KeySaid &key : keys) {
            step({QString::fromLatin1(key.key)}, key.spoken);
            if (said != QStringList{key.spoken})
                return QString::fromLatin1(key.key) + u": "_s + said.join(u" | "_s);
        }
        return {};
    };
    // A query typed by the keys given speaks the chart it drew, once; Tab
    // onto the chart then its name and what it shows, and the keys on it
    // each their day alone.
    auto queryAndKeys = [&](const QStringList &typing, const QString &drawn,
                            const std::vector<KeySaid> &keys) -> QString {
        if (!step(typing, drawn) || said.count(drawn) != 1)
            return u"the query: "_s + said.join(u" | "_s);
        if (!step({u"Tab"_s}, u"出生日期1980-01-01，"_s + drawn) || said.first() != u"生物节律图 chart"_s)
            return u"the chart: "_s + said.join(u" | "_s);
        return eachAlone(keys);
    };
    // F1 reads the guide: its name, then its table row by row; Escape
    // returns to the control, which speaks again.
    auto guideIsRead = [&](const QString &control) {
        if (!step({u"F1"_s}, u"关闭"_s) || said.size() != 2 || !said[0].startsWith(u"分析指南"_s))
            return false;
        qsizetype at = 0;
        for (int rhythm = 0; rhythm < 3 && at >= 0; ++rhythm) {
            at = said[0].indexOf(quorvel::guide::RhythmNames[rhythm], at);
            for (int phase = 0; phase < 3 && at >= 0; ++phase) {
                at = said[0].indexOf(
                    quorvel::guide::PhaseHeadings[phase] + u"："_s + quorvel::guide::Cells[rhythm][phase].trimmed(), at);
            }
        }
        return at >= 0 && step({u"Escape"_s}, control) && said.first().startsWith(u"Quorvel分析"_s);
    };

    // The window, with the focus in the birth date's box.
    QVERIFY2(step({}, u"出生日期"_s), joined(said).constData());
    QVERIFY2(guideIsRead(u"出生日期 text"_s), joined(said).constData());

    // Before any chart: the chart and the scroll bars say there is none, an
    // arrow on the chart says why it reads nothing and leaves the focus
    // there, and F1 on every control reads the guide.
    const QString noChart = u"尚未绘制图表：请输入出生日期和查询日期，然后按回车键。"_s;
    const struct {
        const char *key;
        QStringList spoken;
    } emptyWindow[] = {
        {"Tab", {u"查询日期 text"_s}},
        {"Tab", {u"生物节律图 chart"_s, noChart}},
        {"Right", {noChart}},
        {"Tab", {u"起始日期 尚未绘制图表 scroll bar"_s}},
        {"Tab", {u"显示天数 40天，尚未绘制图表 scroll bar"_s}},
        {"Tab", {u"退出 push button"_s}},
        {"Tab", {u"查询 push button"_s}},
        {"Tab", {u"出生日期 text"_s}},
    };
    for (const auto &key : emptyWindow) {
        step({QString::fromLatin1(key.key)}, key.spoken.last());
        QCOMPARE(said, key.spoken);
        if (qstrcmp(key.key, "Tab") == 0)
            QVERIFY2(guideIsRead(key.spoken.first()), joined(said).constData());
    }

    QVERIFY2(step({u"type:1980-01-01"_s, u"Return"_s}, u"查询日期"_s), joined(said).constData());
    // The query speaks the chart it drew, once; the chart, then, its name and
    // what it shows; each key on it the day it marks, alone.
    const QString firstChart = queryAndKeys(
        {u"type:2009-11-03"_s, u"Return"_s},
        u"查询日期2009-11-03。图表显示2009-10-15至2009-11-23，共40天。"
        "查询日：体力值-74，情绪值99，智力值98，综合值90。无临界日。"_s,
        {
            {"Right", u"2009-11-03，查询日，体力值-74，情绪值99，智力值98，综合值90"_s},
            {"Right", u"2009-11-04，体力值-52，情绪值97，智力值94，综合值81"_s},
            {"Home", u"2009-10-15，体力值26，情绪值-44，智力值-95，综合值54"_s},
            {"Left", u"2009-10-15，体力值26，情绪值-44，智力值-95，综合值54"_s},
            {"End", u"2009-11-23，体力值-100，情绪值-23，智力值-70，综合值63"_s},
            {"Prior", u"2009-11-16，体力值39，情绪值-98，智力值-87，综合值74"_s},
            {"Next", u"2009-11-23，体力值-100，情绪值-23，智力值-70，综合值63"_s},
        });
    QVERIFY2(firstChart.isEmpty(), qPrintable(firstChart));

    // Printing without a mouse: Ctrl+P opens the preview and Escape closes
    // it; Tab reaches every button of its toolbar, each spoken by its name,
    // the print button last; it opens the print dialog, where Escape returns
    // to the preview, Ctrl+P there opens it again, and Return prints to the
    // file it proposes.
    QVERIFY2(step({u"ctrl+p"_s}, u"打印 dialog"_s), joined(said).constData());
    QVERIFY2(step({u"Escape"_s}, u"生物节律图 chart"_s) && said.first().startsWith(u"Quorvel分析"_s),
             joined(said).constData());
    QVERIFY2(step({u"ctrl+p"_s}, u"打印 dialog"_s), joined(said).constData());
    QStringList buttons;
    static const QRegularExpression button(u"^(.*) (push button|check box)"_s);
    // Each Tab waits for Orca to name a control (one Tab names none), so
    // that a busy Orca, slow to speak of the focus, passes no button over; a
    // name Orca says again, or late, counts where it was first said. The
    // page number's box is read as its bare number: not counted.
    static const QRegularExpression control(u" (push button|check box|combo box|text)( |$)"_s);
    const auto namesControl = [](const QString &line) { return control.match(line).hasMatch(); };
    for (int tab = 0; tab < 30 && !buttons.contains(u"打印"_s); ++tab) {
        for (const QString &line : desktop.say({u"Tab"_s}, namesControl, 5000)) {
            const QRegularExpressionMatch named = button.match(line);
            if (named.hasMatch() && !buttons.contains(named.captured(1)))
                buttons += named.captured(1);
        }
    }
    QCOMPARE(buttons, (QStringList{u"适应宽度"_s, u"适应页面"_s, u"缩小"_s, u"放大"_s, u"纵向"_s, u"横向"_s,
                                   u"单页显示"_s, u"对页显示"_s, u"显示全部页面概览"_s, u"打印设置"_s, u"打印"_s}));
    QVERIFY2(step({u"Return"_s}, u"名称(N)："_s), joined(said).constData());
    QVERIFY2(step({u"Escape"_s}, u"打印 dialog"_s), joined(said).constData());
    QVERIFY2(step({u"ctrl+p"_s}, u"名称(N)："_s), joined(said).constData());
    QVERIFY2(step({u"Return"_s}, u"生物节律图 chart"_s) && said.first().startsWith(u"Quorvel分析"_s),
             joined(said).constData());
    // What a PDF reader finds on the page: the chart sheet of the span.
    QProcess reader;
    reader.start(u"pdftotext"_s, {desktop.home() + u"/Quorvel生物节律图.pdf"_s, u"-"_s});
    QVERIFY(reader.waitForFinished(Timeout));
    const QString page = QString::fromUtf8(reader.readAllStandardOutput());
    for (const QString &line : {u"出生日期：1980-01-01"_s, u"查询日期：2009-11-03"_s,
                                u"图表范围：2009-10-15 至 2009-11-23，共40天"_s})
        QVERIFY2(page.contains(line), qPrintable(page + QString::fromLocal8Bit(reader.readAllStandardError())));

    // A save that waits on its reader: the chart saved, through its menu,
    // into a FIFO whose reader holds it without reading (and whose pipe is
    // full). The dialog that says so after a moment is spoken, with its
    // cancel button; Return cancels the save, which lets the FIFO go, and
    // the chart has the keyboard again.
    const QString fifo = desktop.home() + u"/reader.svg"_s;
    QCOMPARE(::mkfifo(QFile::encodeName(fifo), 0666), 0);
    QCOMPARE(::chmod(QFile::encodeName(fifo), 0666), 0);
    const int reading = ::open(QFile::encodeName(fifo), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int filling = ::open(QFile::encodeName(fifo), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(reading >= 0 && filling >= 0);
    const QByteArray block(4096, 'x');
    qsizetype filled = 0;
    for (ssize_t written; (written = ::write(filling, block.constData(), block.size())) > 0;)
        filled += written;
    ::close(filling);
    QVERIFY2(step({u"Menu"_s, u"Down"_s, u"Down"_s}, u"保存图表…"_s), joined(said).constData());
    QVERIFY2(step({u"Return"_s}, u"文件名称(N)： text"_s), joined(said).constData());
    desktop.say({u"ctrl+a"_s, u"type:"_s + fifo});
    // The file dialog asks whether to replace what stands there.
    QVERIFY2(step({u"Return"_s}, u"否(N) push button"_s), joined(said).constData());
    QVERIFY2(step({u"alt+y"_s}, u"取消 push button"_s)
                 && said.contains(u"保存图表 dialog 正在保存文件“%1”…"_s.arg(fifo)),
             joined(said).constData());
    QVERIFY2(step({u"Return"_s}, u"生物节律图 chart"_s), joined(said).constData());
    // What the reader finds: what filled the pipe, then the end of the file.
    QByteArray got;
    char buffer[4096];
    ssize_t size = 0;
    while ((size = ::read(reading, buffer, sizeof buffer)) > 0)
        got.append(buffer, size);
    ::close(reading);
    QCOMPARE(size, 0);
    QCOMPARE(got.left(filled), QByteArray(filled, 'x'));

    // Each key on the scroll bars: what it shows, alone.
    const QString scrollKeys = eachAlone({
        {"Tab", u"起始日期 2009-10-15 scroll bar"_s},
        {"Right", u"起始日期 2009-10-17"_s},
        {"Next", u"起始日期 2009-11-26"_s},
        {"Tab", u"显示天数 40天 scroll bar"_s},
        {"Right", u"显示天数 41天"_s},
    });
    QVERIFY2(scrollKeys.isEmpty(), qPrintable(scrollKeys));
    // The guide after a move of the bar.
    QVERIFY2(guideIsRead(u"显示天数"_s), joined(said).constData());

    // A date the program cannot read: the selection, and why.
    QVERIFY(step({u"shift+Tab"_s, u"shift+Tab"_s, u"shift+Tab"_s}, u"查询日期"_s));
    desktop.say({u"ctrl+a"_s, u"type:abc"_s});
    const QString notUnderstood = u"无法识别这个日期，请按1980-01-01、1980/1/1、1980.1.1、1980年1月1日或农历1980年正月初一的格式输入。"_s;
    QVERIFY2(step({u"Return"_s}, notUnderstood), joined(said).constData());
    // A busy Orca may leave the new selection unspoken; asked where the
    // focus is (KP_Enter), it reads the selected text.
    if (!said.contains(u"selected"_s))
        said += desktop.say({u"KP_Enter"_s}, [](const QString &line) { return line == u"abc selected"_s; });
    QVERIFY2(said.count(notUnderstood) == 1 && (said.contains(u"selected"_s) || said.contains(u"abc selected"_s)),
             joined(said).constData());

    // What the chart marks: a query whose span holds a critical day names it,
    // and the keys say 查询日 on the query day and 临界日 on the critical day.
    const QString marked = queryAndKeys(
        {u"ctrl+a"_s, u"type:2010-11-20"_s, u"Return"_s},
        u"查询日期2010-11-20。图表显示2010-10-30至2010-12-09，共41天。"
        "查询日：体力值13，情绪值-63，智力值-82，综合值52。临界日：2010-11-09。"_s,
        {
            {"Right", u"2010-11-20，查询日，体力值13，情绪值-63，智力值-82，综合值52"_s},
            {"Prior", u"2010-11-13，体力值88，情绪值-79，智力值-76，综合值80"_s},
            {"Left", u"2010-11-12，体力值73，情绪值-63，智力值-62，综合值65"_s},
            {"Left", u"2010-11-11，体力值51，情绪值-44，智力值-46，综合值47"_s},
            {"Left", u"2010-11-10，体力值26，情绪值-23，智力值-29，综合值25"_s},
            {"Left", u"2010-11-09，临界日，体力值-1，情绪值0，智力值-10，综合值3"_s},
        });
    QVERIFY2(marked.isEmpty(), qPrintable(marked));

    // Never a scroll bar's bare number; and no complaint from the program.
    for (qsizetype line = 0; line < all.size(); ++line) {
        QVERIFY2(!QRegularExpression(u"^\\d+$"_s).match(all[line]).hasMatch(),
                 joined(all.mid(std::max<qsizetype>(0, line - 3), 6)).constData());
    }
    const QString errors = desktop.programErrors();
    QVERIFY2(!errors.contains(u"qt.accessibility"_s) && !errors.contains(u"Sanitizer"_s), qPrintable(errors));
}

// The people kept, without mouse and sight: the list Alt+Down opens in the
// birth box and the chart's menu speak each person, choosing one speaks the
// chart drawn for them, and comparing with another speaks the pair.
void tst_Desktop::personChosenFromTheMenusIsSpoken()
{
    if (const QString why = Desktop::whyNoOrca(); !why.isEmpty())
        QSKIP(qPrintable(why + u": the people's menus are not tried with a screen reader"_s));
    Desktop desktop;
    QVERIFY(desktop.putPeople("1980-01-01 = 张三\n1985-06-15 08:30 = 李四\n"));
    const QString failed = desktop.startWithProgram(Desktop::Reader::Orca);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QStringList said;
    auto step = [&](const QStringList &keys, const QString &until) {
        said = desktop.say(keys, startsWith(until));
        return std::any_of(said.cbegin(), said.cend(), startsWith(until));
    };
    QVERIFY2(step({}, u"出生日期"_s), joined(said).constData());

    QVERIFY2(step({u"alt+Down"_s}, u"张三（1980-01-01）"_s), joined(said).constData());
    QVERIFY2(step({u"Down"_s}, u"李四（1985-06-15 08:30）"_s), joined(said).constData());
    QVERIFY2(step({u"Return"_s}, u"查询日期"_s), joined(said).constData());
    QVERIFY2(step({u"type:2009-11-03"_s, u"Return"_s}, u"查询日期2009-11-03。图表显示2009-10-13至2009-11-21，共40天。"_s),
             joined(said).constData());

    QVERIFY2(step({u"Tab"_s}, u"生物节律图 chart"_s), joined(said).constData());
    // The menu opens with no entry chosen; Up starts from its last.
    QVERIFY2(step({u"Menu"_s, u"Up"_s}, u"忘记…"_s), joined(said).constData());
    QVERIFY2(step({u"Up"_s}, u"记住这个人…"_s), joined(said).constData());
    QVERIFY2(step({u"Up"_s}, u"选择人员"_s), joined(said).constData());
    QVERIFY2(step({u"Right"_s}, u"张三（1980-01-01）"_s), joined(said).constData());
    const QString chart = u"查询日期2009-11-03。图表显示2009-10-15至2009-11-23，共40天。"
                          "查询日：体力值-74，情绪值99，智力值98，综合值90。无临界日。"_s;
    QVERIFY2(step({u"Return"_s}, chart) && said.count(chart) == 1, joined(said).constData());

    // Compared with 李四 by the chart's menu: the dialog offers the people
    // kept, the pair is said as it is drawn, and a key on the chart speaks
    // 李四's values of the day after 张三's.
    QVERIFY2(step({u"Tab"_s}, u"生物节律图 chart"_s), joined(said).constData());
    QVERIFY2(step({u"Menu"_s, u"Up"_s, u"Up"_s, u"Up"_s, u"Up"_s}, u"与…对比"_s), joined(said).constData());
    QVERIFY2(step({u"Return"_s}, u"张三（1980-01-01）"_s), joined(said).constData());
    // Down takes the next person into the box, silently.
    QVERIFY2(step({u"Down"_s, u"Return"_s}, u"点线：李四（1985-06-15 08:30），查询日体力值99，情绪值55，智力值-60，综合值71。"_s),
             joined(said).constData());
    QVERIFY2(step({u"Right"_s}, u"2009-11-03，查询日，体力值-74，情绪值99，智力值98，综合值90；"
                                 "李四，体力值99，情绪值55，智力值-60，综合值71"_s),
             joined(said).constData());
}

QTEST_GUILESS_MAIN(tst_Desktop)
#include "tst_desktop.moc"
