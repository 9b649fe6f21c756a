#include "assets/guidetexts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

// The program as a user at an X desktop meets it: the real executable on an
// X server of its own (Xvfb), driven by real keys (xdotool), its windows as
// the X server holds them (xprop), and, with the screen reader Orca running
// on an accessibility bus of its own, what Orca says, read from the
// "SPEECH OUTPUT:" lines of its debug log.

using namespace Qt::StringLiterals;

namespace {

constexpr int StepTimeout = 10000;
// Orca has said all a step brings once it has been quiet this long.
constexpr int QuietTime = 600;

class Desktop
{
public:
    Desktop()
    {
        m_environment.insert(u"HOME"_s, path(u"home"_s));
        m_environment.insert(u"XDG_RUNTIME_DIR"_s, path(u"runtime"_s));
        m_environment.insert(u"XDG_CONFIG_HOME"_s, path(u"home/config"_s));
        m_environment.insert(u"XDG_DATA_HOME"_s, path(u"home/data"_s));
        m_environment.insert(u"XDG_CACHE_HOME"_s, path(u"home/cache"_s));
        m_environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        QFile::setPermissions(path(u"runtime"_s), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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

    // Each start returns what went wrong, empty when nothing did.
    QString startX()
    {
        QProcess *x = start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s,
                                        u"-nolisten"_s, u"tcp"_s});
        if (!x->waitForStarted() || !x->waitForReadyRead(10000))
            return u"Xvfb did not start: "_s + QString::fromLocal8Bit(x->readAllStandardError());
        m_environment.insert(u"DISPLAY"_s, u':' + QString::fromLatin1(x->readLine().trimmed()));
        return {};
    }

    // A session bus and the accessibility bus that a screen reader and the
    // program meet on.
    QString startAccessibilityBus()
    {
        QProcess *bus = start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        if (!bus->waitForStarted() || !bus->waitForReadyRead(10000))
            return u"the session bus did not start: "_s + QString::fromLocal8Bit(bus->readAllStandardError());
        m_environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, QString::fromLatin1(bus->readLine().trimmed()));
        start(u"/usr/libexec/at-spi-bus-launcher"_s, {u"--launch-immediately"_s});
        const QStringList owned{u"--session"_s,      u"--print-reply"_s, u"--dest=org.freedesktop.DBus"_s, u"/"_s,
                                u"org.freedesktop.DBus.NameHasOwner"_s, u"string:org.a11y.Bus"_s};
        QElapsedTimer waited;
        waited.start();
        while (!run(u"dbus-send"_s, owned).contains("boolean true")) {
            if (waited.elapsed() > StepTimeout)
                return u"the accessibility bus did not start"_s;
            QTest::qWait(50);
        }
        return {};
    }

    // Orca with a settings folder of its own: no key echo, so that every
    // spoken line is the program's, and its debug log written line by line.
    QString startOrca()
    {
        const QString settings = path(u"orca"_s);
        QFile customizations(settings + u"/orca-customizations.py"_s);
        if (!customizations.open(QIODevice::WriteOnly))
            return u"cannot write Orca's settings"_s;
        customizations.write("import orca.debug\n"
                             "import orca.settings\n"
                             "orca.debug.debugFile.reconfigure(line_buffering=True)\n"
                             "orca.settings.enableKeyEcho = False\n");
        customizations.close();
        m_log.setFileName(m_dir.filePath(u"orca.log"_s));
        QProcessEnvironment environment = m_environment;
        environment.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s);
        QProcess *orca = start(u"orca"_s, {u"-u"_s, settings, u"--debug-file="_s + m_log.fileName()}, environment);
        if (!orca->waitForStarted())
            return u"Orca did not start: "_s + orca->errorString();
        QByteArray log;
        QElapsedTimer waited;
        waited.start();
        while (orca->state() == QProcess::Running && waited.elapsed() < 2 * StepTimeout) {
            QFile file(m_log.fileName());
            if (file.open(QIODevice::ReadOnly))
                log = file.readAll();
            if (log.contains("Startup complete notification made"))
                return m_log.open(QIODevice::ReadOnly) ? QString() : u"cannot read Orca's log"_s;
            QTest::qWait(50);
        }
        return u"Orca did not start: "_s + QString::fromLocal8Bit(orca->readAllStandardError().right(2000))
            + QString::fromLocal8Bit(log.right(2000));
    }

    QString startProgram()
    {
        QProcessEnvironment environment = m_environment;
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        m_program = start(QStringLiteral(QUORVEL_PROGRAM), {}, environment);
        return m_program->waitForStarted() ? QString() : u"the program did not start: "_s + m_program->errorString();
    }

    // What the program wrote to its standard error so far.
    QString programErrors() { return QString::fromLocal8Bit(m_program->readAllStandardError()); }

    // Runs a tool on the desktop to its end; its output, or nothing when it
    // failed.
    QByteArray run(const QString &tool, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(tool, arguments);
        if (!process.waitForFinished(StepTimeout) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0) {
            qWarning("%s failed: %s", qPrintable(tool), process.readAllStandardError().constData());
            return {};
        }
        return process.readAllStandardOutput();
    }

    // What Orca has said since the last call, an utterance a line, without
    // the full stop Orca adds at a pause.
    QStringList spoken()
    {
        m_unread += m_log.readAll();
        QStringList said;
        // The text, possibly of several lines, then the voice.
        static const QRegularExpression utterance(
            u"SPEECH OUTPUT: '((?:(?!SPEECH OUTPUT: ').)*?)'(?: voice=\\w+)? ?(?:\\{[^\\n]*\\}|None)\\n"_s,
            QRegularExpression::DotMatchesEverythingOption);
        // Only whole lines: a line may still be on its way.
        const qsizetype end = m_unread.lastIndexOf('\n') + 1;
        const QString text = QString::fromUtf8(m_unread.left(end));
        qsizetype consumed = 0;
        for (const QRegularExpressionMatch &match : utterance.globalMatch(text)) {
            QString line = match.captured(1);
            if (line.endsWith(u'.'))
                line.chop(1);
            said += line;
            consumed = match.capturedEnd();
        }
        // An utterance of several lines may still be incomplete.
        const qsizetype open = text.indexOf(u"SPEECH OUTPUT: '"_s, consumed);
        m_unread.remove(0, open < 0 ? end : text.left(open).toUtf8().size());
        return said;
    }

    // Presses keys (xdotool's names, or text to type after "type:"), then
    // collects what Orca says until a line satisfies done, if given, and
    // Orca is quiet. Anything said late for the step before counts here.
    QStringList say(const QStringList &keys, const std::function<bool(const QString &)> &done)
    {
        QStringList lines = spoken();
        for (const QString &key : keys) {
            if (key.startsWith(u"type:"_s))
                run(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"20"_s, key.mid(5)});
            else
                run(u"xdotool"_s, {u"key"_s, key});
        }
        QElapsedTimer waited;
        waited.start();
        while (done && waited.elapsed() < StepTimeout && std::none_of(lines.cbegin(), lines.cend(), done)) {
            QTest::qWait(20);
            lines += spoken();
        }
        QElapsedTimer quiet;
        quiet.start();
        while (quiet.elapsed() < QuietTime) {
            QTest::qWait(20);
            const QStringList more = spoken();
            if (!more.isEmpty()) {
                lines += more;
                quiet.restart();
            }
        }
        return lines;
    }

private:
    QString path(const QString &name) const
    {
        QDir().mkpath(m_dir.filePath(name));
        return m_dir.filePath(name);
    }

    QProcess *start(const QString &program, const QStringList &arguments)
    {
        return start(program, arguments, m_environment);
    }

    QProcess *start(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
    {
        m_processes.push_back(std::make_unique<QProcess>());
        QProcess *process = m_processes.back().get();
        process->setProcessEnvironment(environment);
        process->start(program, arguments);
        return process;
    }

    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QProcess *m_program = nullptr;
    QFile m_log;
    QByteArray m_unread;
};

auto startsWith(const QString &start)
{
    return [start](const QString &line) { return line.startsWith(start); };
}

// Whether the text holds the pieces in this order.
bool inOrder(const QString &text, const QStringList &pieces)
{
    qsizetype at = 0;
    for (const QString &piece : pieces) {
        at = text.indexOf(piece, at);
        if (at < 0)
            return false;
        at += piece.size();
    }
    return true;
}

} // namespace

class tst_Desktop : public QObject
{
    Q_OBJECT

private slots:
    void guideIsADialogOfTheAnalysisWindow();
    void keyboardSessionIsSpoken();
};

// The window system keeps the guide above the analysis window and treats it
// as that window's dialog: X holds the analysis window as the guide's
// WM_TRANSIENT_FOR, the guide as a modal dialog without decorations.
void tst_Desktop::guideIsADialogOfTheAnalysisWindow()
{
    Desktop desktop;
    QString failed = desktop.startX();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    failed = desktop.startProgram();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    const QByteArray analysis =
        desktop.run(u"xdotool"_s, {u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--class"_s, u"Quorvel"_s}).trimmed();
    QVERIFY2(!analysis.isEmpty() && !analysis.contains('\n'), analysis.constData());
    desktop.run(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, QString::fromLatin1(analysis)});
    desktop.run(u"xdotool"_s, {u"key"_s, u"F1"_s});
    const QByteArray guide =
        desktop.run(u"xdotool"_s, {u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, u"^Form1$"_s}).trimmed();
    QVERIFY(!guide.isEmpty());

    const QString properties = QString::fromUtf8(
        desktop.run(u"xprop"_s, {u"-id"_s, QString::fromLatin1(guide), u"WM_TRANSIENT_FOR"_s, u"_NET_WM_WINDOW_TYPE"_s,
                                 u"_NET_WM_STATE"_s, u"_MOTIF_WM_HINTS"_s}));
    const QRegularExpressionMatch owner =
        QRegularExpression(u"WM_TRANSIENT_FOR\\(WINDOW\\): window id # (0x[0-9a-f]+)"_s).match(properties);
    QVERIFY2(owner.hasMatch(), qPrintable(properties));
    QCOMPARE(owner.captured(1).toULongLong(nullptr, 16), analysis.toULongLong());
    QVERIFY2(properties.contains(u"_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG"_s), qPrintable(properties));
    QVERIFY2(properties.contains(u"_NET_WM_STATE_MODAL"_s), qPrintable(properties));
    // Motif hints: the decorations field (the third) given and empty.
    QVERIFY2(QRegularExpression(u"_MOTIF_WM_HINTS\\(_MOTIF_WM_HINTS\\) = 0x[0-9a-f]*[2367abef], 0x[0-9a-f]+, 0x0,"_s)
                 .match(properties)
                 .hasMatch(),
             qPrintable(properties));
}

// Every step of a session without mouse and sight, as Orca says it.
void tst_Desktop::keyboardSessionIsSpoken()
{
    if (QStandardPaths::findExecutable(u"orca"_s).isEmpty())
        QSKIP("Orca is not installed (Debian package orca); the screen reader's session is not tried.");
    Desktop desktop;
    QString failed = desktop.startX();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    failed = desktop.startAccessibilityBus();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    failed = desktop.startOrca();
    if (!failed.isEmpty())
        QSKIP(qPrintable(u"Orca cannot start here, the screen reader's session is not tried: "_s + failed));

    failed = desktop.startProgram();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QStringList all;
    QStringList said = desktop.say({}, startsWith(u"出生日期"_s));
    QVERIFY2(!said.isEmpty() && said.last().startsWith(u"出生日期"_s), said.join(u" | "_s).toUtf8().constData());
    all += said;

    auto step = [&](const QStringList &keys, const std::function<bool(const QString &)> &done) {
        said = desktop.say(keys, done);
        all += said;
        return said;
    };
    auto speaks = [](const QStringList &said, const QString &start) {
        return std::any_of(said.cbegin(), said.cend(), startsWith(start));
    };
    const auto lines = [](const QStringList &said) { return said.join(u" | "_s).toUtf8(); };

    step({u"type:1980-01-01"_s, u"Return"_s}, startsWith(u"查询日期"_s));

    // The query, then onto the chart: its name, then what it shows.
    said = step({u"type:2009-11-03"_s, u"Return"_s, u"Tab"_s},
                startsWith(u"出生日期1980-01-01，查询日期2009-11-03。图表显示2009-10-15至2009-11-23"_s));
    QVERIFY2(speaks(said, u"生物节律图"_s), lines(said).constData());

    // Each key on the chart: the day and its four values, and that alone.
    const QString first = u"2009-11-03，体力值-74，情绪值99，智力值98，综合值90"_s;
    said = step({u"Right"_s}, startsWith(u"2009-11-03"_s));
    QCOMPARE(said, QStringList{first});
    const QRegularExpression dayWithValues(u"^(\\d{4}-\\d\\d-\\d\\d)，体力值-?\\d+，情绪值-?\\d+，智力值-?\\d+，综合值\\d+$"_s);
    const struct {
        const char *key;
        QString day;
    } keys[] = {{"Right", u"2009-11-04"_s}, {"Home", u"2009-10-15"_s},    {"Left", u"2009-10-15"_s},
                {"End", u"2009-11-23"_s},   {"Prior", u"2009-11-16"_s},   {"Next", u"2009-11-23"_s}};
    for (const auto &key : keys) {
        said = step({QString::fromLatin1(key.key)}, startsWith(key.day));
        QVERIFY2(said.size() == 1 && dayWithValues.match(said[0]).captured(1) == key.day,
                 (key.key + QByteArray(": ") + lines(said)).constData());
    }

    // The scroll bars: the span's first day and its width, in words.
    said = step({u"Tab"_s}, startsWith(u"起始日期"_s));
    QVERIFY2(speaks(said, u"起始日期 2009-10-15"_s), lines(said).constData());
    said = step({u"Right"_s}, startsWith(u"起始日期"_s));
    QCOMPARE(said, QStringList{u"起始日期 2009-10-17"_s});
    said = step({u"Next"_s}, startsWith(u"起始日期"_s));
    QCOMPARE(said, QStringList{u"起始日期 2009-11-26"_s});
    said = step({u"Tab"_s}, startsWith(u"显示天数"_s));
    QVERIFY2(speaks(said, u"显示天数 40天"_s), lines(said).constData());
    said = step({u"Right"_s}, startsWith(u"显示天数"_s));
    QCOMPARE(said, QStringList{u"显示天数 41天"_s});

    // The guide: its title, then its table row by row; Escape returns.
    said = step({u"F1"_s}, startsWith(u"关闭"_s));
    QVERIFY2(said.size() == 2 && said[0].startsWith(u"分析指南"_s), lines(said).constData());
    QStringList table;
    for (int rhythm = 0; rhythm < 3; ++rhythm) {
        table += quorvel::guide::RhythmNames[rhythm];
        for (int phase = 0; phase < 3; ++phase)
            table += quorvel::guide::PhaseHeadings[phase] + u"："_s + quorvel::guide::Cells[rhythm][phase].trimmed();
    }
    QVERIFY2(inOrder(said[0], table), lines(said).constData());
    said = step({u"Escape"_s}, startsWith(u"显示天数"_s));
    QVERIFY2(said.size() >= 2 && said[0].startsWith(u"Quorvel分析"_s), lines(said).constData());

    // A date the program cannot read: the selection, and why.
    step({u"shift+Tab"_s, u"shift+Tab"_s, u"shift+Tab"_s}, startsWith(u"查询日期"_s));
    const QString notUnderstood = u"无法识别这个日期，请按1980-01-01、1980/1/1、1980.1.1或1980年1月1日的格式输入。"_s;
    step({u"ctrl+a"_s, u"type:abc"_s}, {});
    said = step({u"Return"_s}, startsWith(notUnderstood));
    QVERIFY2(said.count(notUnderstood) == 1 && speaks(said, u"selected"_s), lines(said).constData());

    // Never a scroll bar's bare number; and no complaint from the program.
    for (const QString &line : all)
        QVERIFY2(!QRegularExpression(u"^\\d+$"_s).match(line).hasMatch(), lines(all).constData());
    const QString errors = desktop.programErrors();
    QVERIFY2(!errors.contains(u"qt.accessibility"_s) && !errors.contains(u"Sanitizer"_s), qPrintable(errors));
}

QTEST_GUILESS_MAIN(tst_Desktop)
#include "tst_desktop.moc"
