// SPDX-License-Identifier: GPL-3.0-or-later
// A long random session: the whole program, started as a user starts it,
// takes thousands of random but plausible user actions through the window
// system (keys, pastes, clicks, drags, pointer sweeps, the guide opened and
// closed), and every few hundred actions the windows are held against the
// rules. The seed is printed; give it back to replay a failure:
//   tst_session [SEED [ACTIONS]]   or   QUORVEL_SESSION_SEED / QUORVEL_SESSION_ACTIONS
#include "programtest.h"

#include "startup/frmd.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>
#include <deque>
#include <map>
#include <optional>

using namespace quorvel;
using namespace quorvel::test;

namespace {

constexpr Date FixedNow = 46365.4375; // 2026-12-09 10:30
constexpr int ChecksEvery = 250;
// The session gives up after this long, inside CTest's time-out for it, and
// says how far it came: only a session that hangs, never a slow machine.
constexpr int TimeLimitMs = 540000;

quint32 g_seed = 0;
int g_actions = 2000;

class Session
{
public:
    Session(Global &global, frmQORVEL &w, quint32 seed) : m_global(global), w(w), m_rng(seed)
    {
        // The window is loaded once, before the session starts; it is never
        // loaded again.
        QObject::connect(&global, &Global::analysisWindowLoaded, &w, [this] { ++m_reloads; });
    }

    // Runs the session; returns what broke a rule, or nothing.
    QString run(int actions);

private:
    struct Action {
        const char *name;
        int weight;
        void (Session::*run)();
    };
    static const Action AnalysisActions[];
    static const Action GuideActions[];

    void tick();
    void perform(const Action *table, int count);
    void fail(const QString &what);
    void check();

    // The analysis window.
    void typeDate() { typeInto(randomBox(), goodDate()); }
    void typeNearMiss() { typeInto(randomBox(), nearMiss()); }
    void paste();
    void enter();
    void tab();
    void otherKey();
    void clickQuery() { QTest::mouseClick(w.CMDcx, Qt::LeftButton, {}, pointIn(w.CMDcx->rect())); }
    void scrollArrow();
    void scrollPage();
    void dragThumb();
    void sweepChart();
    void hoverLink();
    void openGuide() { QTest::mouseClick(w.Label2, Qt::LeftButton, {}, pointIn(w.Label2->rect())); }
    // The guide window, open and modal.
    void closeGuide() { QTest::mouseClick(guide()->Command1, Qt::LeftButton); }
    void systemCloseGuide();
    void blockedInput();

    FrmD *guide() const
    {
        FrmD *g = m_global.guideWindow();
        return g && g->isVisible() ? g : nullptr;
    }
    int below(int n) { return int(m_rng.bounded(quint32(n))); }
    bool chance(int percent) { return below(100) < percent; }
    QPoint pointIn(QRect r) { return {r.left() + below(r.width()), r.top() + below(r.height())}; }
    TextBox *randomBox() { return chance(50) ? w.TXTCSRQ : w.txtCXRQ; }
    QString goodDate();
    QString nearMiss();
    void typeInto(TextBox *box, const QString &text);
    void focusABox();
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}, const QString &text = {});
    void pointAtChart(QPoint p);
    HScrollBar *randomBar() { return chance(50) ? w.POSITION : w.PROPTION; }
    QStringList readoutTexts() const;
    // Whether the chart itself is under this point of it (no label in it, no
    // scroll bar over it).
    bool onBareChart(QPoint p) const { return w.childAt(w.PicBack->mapTo(&w, p)) == w.PicBack; }

    Global &m_global;
    int m_reloads = 0;
    frmQORVEL &w;
    QRandomGenerator m_rng;
    QTimer m_timer;
    QEventLoop m_loop;
    QElapsedTimer m_clock;
    int m_count = 0;
    int m_done = 0;
    bool m_busy[2] = {false, false}; // analysis window, guide window
    QString m_failure;
    std::deque<const char *> m_recent;
    std::map<QString, int> m_performed;
    int m_readoutsChecked = 0;
    std::optional<QStringList> m_expectedReadout;
    QPoint m_lastPointer{-1, -1};
    bool m_startLabelShown = false;
};

const Session::Action Session::AnalysisActions[] = {
    {"type a date", 20, &Session::typeDate},
    {"type a near miss", 8, &Session::typeNearMiss},
    {"paste", 3, &Session::paste},
    {"Enter", 14, &Session::enter},
    {"Tab", 6, &Session::tab},
    {"other key", 6, &Session::otherKey},
    {"click query", 6, &Session::clickQuery},
    {"scroll arrow", 10, &Session::scrollArrow},
    {"scroll page", 5, &Session::scrollPage},
    {"drag thumb", 4, &Session::dragThumb},
    {"sweep chart", 8, &Session::sweepChart},
    {"hover link", 4, &Session::hoverLink},
    {"open guide", 2, &Session::openGuide},
};

const Session::Action Session::GuideActions[] = {
    {"close guide", 6, &Session::closeGuide},
    {"system-close guide", 2, &Session::systemCloseGuide},
    {"input behind guide", 2, &Session::blockedInput},
};

QString Session::run(int actions)
{
    m_count = actions;
    Runtime &runtime = m_global.runtime();
    runtime.setErrorReporter([this](const RuntimeError &error) {
        std::fprintf(stderr, "runtime error %d (%s) after %d actions; replay with seed %u\n", error.code,
                     qPrintable(error.description), m_done, g_seed);
    });
    runtime.setEndHandler([this] { fail(u"the program was ended"_qs); });
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    m_clock.start();
    m_timer.start();
    m_loop.exec();
    m_timer.stop();
    runtime.setErrorReporter(nullptr);
    runtime.setEndHandler(nullptr);
    QStringList performed;
    for (const auto &[name, times] : m_performed)
        performed << u"%1 %2"_qs.arg(times).arg(name);
    std::printf("performed: %s; %d readouts checked\n", qPrintable(performed.join(u", ")), m_readoutsChecked);
    return m_failure;
}

// One action per tick. Actions open modal windows and Qt Test processes
// events, so ticks arrive nested: each window takes one action at a time, and
// the guide window's actions run inside the click that opened it.
void Session::tick()
{
    // A running timer's tick is not delivered inside its own handler; a
    // restarted one is, which is what lets a tick act in a nested modal loop.
    m_timer.start();
    const int level = guide() ? 1 : 0;
    if (m_busy[level] || !m_failure.isEmpty())
        return;
    if (m_clock.hasExpired(TimeLimitMs)) {
        fail(u"the session was still running after %1 s"_qs.arg(TimeLimitMs / 1000));
        return;
    }
    m_busy[level] = true;
    if (level == 1) {
        perform(GuideActions, int(std::size(GuideActions)));
    } else if (m_done >= m_count) {
        check();
        if (m_failure.isEmpty())
            m_loop.quit();
    } else {
        if (m_done % ChecksEvery == 0)
            check();
        if (m_failure.isEmpty())
            perform(AnalysisActions, int(std::size(AnalysisActions)));
    }
    m_busy[level] = false;
}

void Session::perform(const Action *table, int count)
{
    int total = 0;
    for (int i = 0; i < count; ++i)
        total += table[i].weight;
    int pick = below(total);
    const Action *action = table;
    while (pick >= action->weight)
        pick -= (action++)->weight;
    m_recent.push_back(action->name);
    ++m_performed[QString::fromLatin1(action->name)];
    if (m_recent.size() > 12)
        m_recent.pop_front();
    ++m_done;
    (this->*action->run)();
    if (m_global.runtime().isEnding())
        fail(u"the program was ended"_qs);
}

void Session::fail(const QString &what)
{
    if (!m_failure.isEmpty())
        return;
    QStringList recent;
    for (const char *name : m_recent)
        recent << QString::fromLatin1(name);
    m_failure = u"after %1 actions (seed %2, last: %3): %4"_qs.arg(m_done).arg(g_seed).arg(recent.join(u", "), what);
    // Back out of the guide's modal loop, should it be open, to end the session.
    if (FrmD *open = guide())
        open->close();
    m_loop.quit();
}

// --- The rules

QStringList Session::readoutTexts() const
{
    return {w.LBLrq->Caption(), w.LBLtl->Caption(), w.LBLqx->Caption(), w.LBLzl->Caption(), w.LBLzh->Caption()};
}

QStringList expectedReadout(Date birth, float x)
{
    const auto day = CDate(birth + double(x));
    const double o = double(x) - 0.5;
    const auto number = [](double v) { return QString::number(qlonglong(Int(v))); };
    return {u"当前日期："_qs + (day ? Format(*day, u"yyyy-mm-dd") : QString()),
            u"体力值："_qs + number(CycleValue(o, BiorhythmCycle::Physical) * 100),
            u"情绪值："_qs + number(CycleValue(o, BiorhythmCycle::Emotional) * 100),
            u"智力值："_qs + number(CycleValue(o, BiorhythmCycle::Intellectual) * 100),
            u"综合值："_qs + number(CompositeValue(o))};
}

void Session::check()
{
    const auto rule = [this](bool holds, const QString &what) {
        if (!holds)
            fail(what);
        return holds;
    };
    if (!rule(!m_global.runtime().isEnding(), u"the program was ended"_qs))
        return;

    int shown = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        shown += window->isVisible() && dynamic_cast<frmQORVEL *>(window);
    rule(shown == 1 && m_global.analysisWindow() == &w && m_reloads == 0,
         u"%1 analysis windows shown, %2 reloads"_qs.arg(shown).arg(m_reloads));

    const int p = w.POSITION->Value(), s = w.PROPTION->Value();
    int half = s / 2;
    if (s % 2 && half % 2)
        ++half; // s/2 ends in .5: the even neighbour
    rule(w.POSITION->minimum() == 0 && w.POSITION->Max() == 18250 && p >= 0 && p <= 18250,
         u"POSITION %1 in %2..%3"_qs.arg(p).arg(w.POSITION->minimum()).arg(w.POSITION->Max()));
    rule(w.PROPTION->minimum() == 40 && w.PROPTION->Max() == 365 && s >= 40 && s <= 365,
         u"PROPTION %1 in %2..%3"_qs.arg(s).arg(w.PROPTION->minimum()).arg(w.PROPTION->Max()));
    rule(w.POSITION->pageStep() == half, u"POSITION's page step %1 for a span of %2"_qs.arg(w.POSITION->pageStep()).arg(s));

    rule(w.LBLts->Caption() == u"<-- %1天 -->"_qs.arg(s), u"span label \"%1\" for %2"_qs.arg(w.LBLts->Caption()).arg(s));
    const auto start = CDate(m_global.shared().ChartBirthDate + 2.0 * p);
    const QString startText = start ? Format(*start, u"yyyy-mm-dd") : QString();
    const QString startLabel = w.LBLStartSj->Caption();
    rule(startLabel == startText || (startLabel.isEmpty() && !m_startLabelShown),
         u"start label \"%1\", expected \"%2\""_qs.arg(startLabel, startText));
    m_startLabelShown = m_startLabelShown || !startLabel.isEmpty();

    for (TextBox *box : {w.TXTCSRQ, w.txtCXRQ})
        rule(!box->Text().contains(u'\n') && !box->Text().contains(u'\r'), u"a line break in a date box"_qs);

    // The pointer on a bare spot of the chart: the readout follows it, or the
    // focus goes to the box that lacks a date.
    QPoint spot;
    do
        spot = pointIn(w.PicBack->rect());
    while (!onBareChart(spot));
    const QStringList before = readoutTexts();
    pointAtChart(spot);
    rule(w.Label2->ForeColor() == LinkRestingColor, u"the link is not at rest over the chart"_qs);
    TextBox *lacking = !IsDate(w.TXTCSRQ->Text()) ? w.TXTCSRQ : !IsDate(w.txtCXRQ->Text()) ? w.txtCXRQ : nullptr;
    if (lacking) {
        rule(w.focusWidget() == lacking, u"the focus is not in the box that lacks a date"_qs);
        rule(readoutTexts() == before, u"the readout changed without dates"_qs);
    }
    m_readoutsChecked += bool(m_expectedReadout);
    if (m_expectedReadout)
        rule(readoutTexts() == *m_expectedReadout,
             u"readout %1, expected %2"_qs.arg(readoutTexts().join(u' '), m_expectedReadout->join(u' ')));
}

// --- Texts

QString Session::goodDate()
{
    // Mostly the last hundred years or so; sometimes anywhere in range.
    const QDate first = chance(90) ? QDate(1900, 1, 1) : QDate(100, 1, 1);
    const QDate last = chance(90) ? QDate(2030, 12, 31) : QDate(9999, 12, 31);
    const QDate d = QDate::fromJulianDay(first.toJulianDay() + below(int(last.toJulianDay() - first.toJulianDay()) + 1));
    const int y = d.year(), m = d.month(), day = d.day();
    QString text;
    switch (below(5)) {
    case 0: text = QString::asprintf("%04d-%d-%d", y, m, day); break;
    case 1: text = QString::asprintf("%04d/%d/%d", y, m, day); break;
    case 2: text = QString::asprintf("%04d.%02d.%02d", y, m, day); break;
    case 3: text = u"%1年%2月%3日"_qs.arg(y, 4, 10, QChar(u'0')).arg(m).arg(day); break;
    default: text = QString::asprintf("%04d-%02d-%02d", y, m, day); break;
    }
    if (chance(15))
        text += chance(50) ? QString::asprintf(" %d:%02d", below(24), below(60))
                           : QString::asprintf(" %02d:%02d:%02d", below(24), below(60), below(60));
    if (chance(10))
        text = u"  "_qs + text + u" "_qs;
    if (chance(15)) { // a Chinese input method in full-width mode
        for (QChar &c : text) {
            if (c.isDigit())
                c = QChar(0xFF10 + c.digitValue());
            else if (c == u'-' || c == u'/' || c == u'.' || c == u':')
                c = QChar(c.unicode() - 0x20 + 0xFF00);
            else if (c == u' ')
                c = QChar(0x3000);
        }
    }
    return text;
}

QString Session::nearMiss()
{
    static const QStringList misses{
        u""_qs, u"2001-03-33"_qs, u"2001-02-29"_qs, u"1900-02-29"_qs, u"2000-13-01"_qs, u"2000-00-10"_qs,
        u"0099-12-31"_qs, u"10000-01-01"_qs, u"9999-12-32"_qs, u"1980-06"_qs, u"1980--06-01"_qs,
        u"1980-06-01x"_qs, u"x1980-06-01"_qs, u"1980-06-01 24:00"_qs, u"1980-06-01 12:60"_qs,
        u"1980-06-01 1:2"_qs, u"1980年6月"_qs, u"1980年6月31日"_qs, u"abc"_qs, u"-"_qs, u"19800601"_qs,
        u"1980-06-01-"_qs, u"1980/06-01"_qs, u"٢٠٠١-٠٣-٠٣"_qs, u"1e3-1-1"_qs, u"+1980-06-01"_qs};
    QString text = misses.at(below(int(misses.size())));
    if (chance(20)) { // a good date with one character changed
        text = goodDate();
        text[below(int(text.size()))] = u"x0 -9年/:"_qs.at(below(8));
    }
    return text;
}

// --- Keys and pointer

void Session::key(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QTest::sendKeyEvent(QTest::Click, w.windowHandle(), key, text, modifiers);
}

void Session::typeInto(TextBox *box, const QString &text)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, pointIn(box->rect()));
    if (chance(85)) {
        key(Qt::Key_A, Qt::ControlModifier);
        key(Qt::Key_Delete);
    }
    for (QChar c : text) {
        const char ascii = c.toLatin1();
        key(c.unicode() < 0x80 && ascii ? QTest::asciiToKey(ascii) : Qt::Key_unknown, {}, QString(c));
    }
    if (chance(10))
        key(Qt::Key_Backspace);
}

void Session::focusABox()
{
    if (!dynamic_cast<TextBox *>(w.focusWidget()) || chance(30)) {
        TextBox *box = randomBox();
        QTest::mouseClick(box, Qt::LeftButton, {}, pointIn(box->rect()));
    }
}

void Session::paste()
{
    // Tens of thousands of characters: a date with more lines after it (the
    // box keeps the first), or one long line of digits, dates or anything.
    const int size = 10000 + below(50000);
    QString text;
    switch (below(3)) {
    case 0:
        text = goodDate() + (chance(50) ? u"\n"_qs : u"\r\n"_qs);
        while (text.size() < size)
            text += u"1960-02-06 一二三\n"_qs;
        break;
    case 1:
        text = QString(size, QChar(u"0123456789-"_qs.at(below(11))));
        break;
    default:
        text.reserve(size);
        while (text.size() < size)
            text += QChar(u"0123456789-/.: 年月日x\t"_qs.at(below(20)));
        break;
    }
    QGuiApplication::clipboard()->setText(text);
    focusABox();
    if (chance(70))
        key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_V, Qt::ControlModifier);
}

void Session::enter()
{
    // The exit button answers Enter too, and the session never ends the program.
    if (w.focusWidget() == w.Cmdclose)
        return tab();
    static const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier,
                                                      Qt::ControlModifier};
    key(chance(80) ? Qt::Key_Return : Qt::Key_Enter, modifiers[below(4)]);
}

void Session::tab()
{
    key(chance(80) ? Qt::Key_Tab : Qt::Key_Backtab, {});
}

void Session::otherKey()
{
    static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End,
                                   Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Backspace, Qt::Key_Delete};
    const int chosen = below(int(std::size(keys)));
    key(keys[chosen], chance(20) ? Qt::ShiftModifier : Qt::NoModifier);
    // On the chart the first six keys move the keyboard readout: the labels
    // then show the day the marker stands on, read at the middle of its column.
    if (chosen < 6 && w.PicBack->hasFocus() && w.PicBack->marker())
        m_expectedReadout = expectedReadout(m_global.shared().ChartBirthDate, float(*w.PicBack->marker()));
}

void Session::pointAtChart(QPoint p)
{
    const QPoint global = w.PicBack->mapToGlobal(p);
    if (global == m_lastPointer) // a move to where the pointer stands is no move
        QTest::mouseMove(w.PicBack, p + QPoint(p.x() > 0 ? -1 : 1, 0));
    QTest::mouseMove(w.PicBack, p);
    m_lastPointer = global;
    if (onBareChart(p) && IsDate(w.TXTCSRQ->Text()) && IsDate(w.txtCXRQ->Text()))
        m_expectedReadout = expectedReadout(m_global.shared().ChartBirthDate, float(w.PicBack->surface().toUser(p).x()));
}

void Session::sweepChart()
{
    const QPoint from = pointIn(w.PicBack->rect()), to = pointIn(w.PicBack->rect());
    const int steps = 2 + below(30);
    for (int i = 0; i <= steps; ++i)
        pointAtChart(from + (to - from) * i / steps);
}

void Session::hoverLink()
{
    QTest::mouseMove(w.Label2, pointIn(w.Label2->rect()));
    // Then onto the window's bare surface, or straight onto another control.
    QTest::mouseMove(&w, chance(50) ? QPoint(2 + below(20), 2 + below(20)) : w.lblyy->geometry().center());
    m_lastPointer = QPoint(-1, -1);
}

void Session::scrollArrow()
{
    HScrollBar *bar = randomBar();
    const QRect arrow = bar->partRect(chance(50) ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine);
    QTest::mouseClick(bar, Qt::LeftButton, {}, arrow.center());
    m_lastPointer = QPoint(-1, -1);
}

void Session::scrollPage()
{
    HScrollBar *bar = randomBar();
    const QRect page = bar->partRect(chance(50) ? QStyle::SC_ScrollBarSubPage : QStyle::SC_ScrollBarAddPage);
    if (!page.isEmpty())
        QTest::mouseClick(bar, Qt::LeftButton, {}, pointIn(page));
    m_lastPointer = QPoint(-1, -1);
}

void Session::dragThumb()
{
    HScrollBar *bar = randomBar();
    const QPoint thumb = bar->partRect(QStyle::SC_ScrollBarSlider).center();
    const QRect groove = bar->partRect(QStyle::SC_ScrollBarGroove);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
    const int steps = 1 + below(6);
    for (int i = 0; i < steps; ++i) // sometimes beyond either end of the bar
        QTest::mouseMove(bar, QPoint(groove.left() - 20 + below(groove.width() + 40), thumb.y()));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(groove.left() + below(groove.width()), thumb.y()));
    m_lastPointer = QPoint(-1, -1);
}

void Session::systemCloseGuide()
{
    QCloseEvent close;
    QApplication::sendEvent(guide()->windowHandle(), &close);
}

// While the guide is open, the analysis window takes no input.
void Session::blockedInput()
{
    const auto state = [this] {
        return QStringList{w.TXTCSRQ->Text(), w.txtCXRQ->Text(), QString::number(w.POSITION->Value()),
                           QString::number(w.PROPTION->Value()), QString::number(w.Label1->isVisible())};
    };
    const QStringList before = state();
    if (chance(50))
        QTest::mouseClick(w.CMDcx, Qt::LeftButton);
    else
        QTest::mouseClick(w.POSITION, Qt::LeftButton, {}, w.POSITION->partRect(QStyle::SC_ScrollBarAddLine).center());
    key(Qt::Key_Return);
    if (state() != before || !guide())
        fail(u"the analysis window took input behind the guide"_qs);
}

} // namespace

class tst_Session : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initAssets();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void randomSession()
    {
        std::printf("session seed %u, %d actions (replay: tst_session %u %d)\n", g_seed, g_actions, g_seed, g_actions);
        std::fflush(stdout);
        Runtime runtime;
        runtime.setClock([] { return FixedNow; });
        runProgram(
            runtime,
            [](Global &global, frmQORVEL &w) {
                Session session(global, w, g_seed);
                const QString failure = session.run(g_actions);
                QVERIFY2(failure.isEmpty(), qPrintable(failure));
            },
            TimeLimitMs + 30000);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    g_seed = QRandomGenerator::system()->generate();
    if (qEnvironmentVariableIsSet("QUORVEL_SESSION_SEED"))
        g_seed = qEnvironmentVariable("QUORVEL_SESSION_SEED").toUInt();
    if (qEnvironmentVariableIsSet("QUORVEL_SESSION_ACTIONS"))
        g_actions = qEnvironmentVariableIntValue("QUORVEL_SESSION_ACTIONS");
    // Bare numbers on the command line: the seed, then the number of actions.
    QList<char *> args;
    int numbers = 0;
    for (int i = 0; i < argc; ++i) {
        bool isNumber = false;
        const uint value = QByteArray(argv[i]).toUInt(&isNumber);
        if (i > 0 && isNumber && numbers < 2) {
            if (numbers++ == 0)
                g_seed = value;
            else
                g_actions = int(value);
        } else
            args << argv[i];
    }
    tst_Session test;
    return QTest::qExec(&test, int(args.size()), args.data());
}

#include "tst_session.moc"
