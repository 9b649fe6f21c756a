// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowtest.h"

#include "startup/frmc.h"
#include "startup/global.h"

#include <QElapsedTimer>
#include <QScopeGuard>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// Stops the loader and closes the analysis window when it goes out of scope,
// so that a failed check cannot leave the test waiting in a modal show.
auto closeAtEnd(Global &global)
{
    return qScopeGuard([&global] {
        global.loader().Timer1->stop();
        if (global.analysisWindow())
            global.analysisWindow()->Unload();
    });
}


bool shown(Global &global)
{
    return global.analysisWindow() && global.analysisWindow()->isVisible();
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void centring_data();
    void centring();
    void stateWhenFirstShown();
    void proptionChangeRunsOnceWhileHidden();
    void startupFrameIsDrawnWithExclusiveOr();
    void firstTickLoadsTheWindow();
    void ticksGoOnInsideTheModalShow();
    void closedWindowComesBackInItsStartingState();
    void exitButtonEndsTheRun();
};

void tst_Startup::initTestCase()
{
    initAssets();
    QApplication::setQuitOnLastWindowClosed(false);
}

void tst_Startup::centring_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("window");
    QTest::addColumn<float>("position");
    QTest::newRow("across") << 15360 << 11970 << 1695.0f;
    QTest::newRow("down") << 11520 << 8970 << 1275.0f;
    QTest::newRow("odd difference keeps the half twip") << 15360 << 11975 << 1692.5f;
    QTest::newRow("exact fit") << 11970 << 11970 << 0.0f;
    // A frameless window pushed off the screen could not be moved back.
    QTest::newRow("window wider than the screen") << 9600 << 11970 << 0.0f;
}

void tst_Startup::centring()
{
    QFETCH(int, screen);
    QFETCH(int, window);
    QFETCH(float, position);
    QCOMPARE(centredPosition(screen, window), position);
}

void tst_Startup::stateWhenFirstShown()
{
    SharedValues shared;
    Runtime runtime;
    withLoadedWindow(shared, runtime, [&](frmQORVEL &w) {
        QVERIFY(w.isVisible());
        QVERIFY(w.isModal());
        QCOMPARE(w.TXTCSRQ->Text(), QString());
        QCOMPARE(w.txtCXRQ->Text(), QString());
        QCOMPARE(QApplication::focusWidget(), w.TXTCSRQ);
        QCOMPARE(w.PROPTION->Value(), 40);
        QCOMPARE(w.PROPTION->minimum(), 40);
        QCOMPARE(w.PROPTION->Max(), 365);
        QCOMPARE(w.PROPTION->singleStep(), 1);
        QCOMPARE(w.PROPTION->pageStep(), 10);
        QCOMPARE(w.POSITION->Value(), 0);
        QCOMPARE(w.POSITION->minimum(), 0);
        QCOMPARE(w.POSITION->Max(), 18250);
        QCOMPARE(w.POSITION->singleStep(), 1);
        QCOMPARE(w.POSITION->pageStep(), 20);
        QCOMPARE(w.LBLts->Caption(), u"<-- 40天 -->"_qs);
        QCOMPARE(w.LBLStartSj->Caption(), QString());
        QVERIFY(w.Label1->isVisible());
        QCOMPARE(w.Label2->ForeColor(), LinkRestingColor);
        QCOMPARE(shared.ChartBirthDate, 21952.0);
        QCOMPARE(shared.CriticalLevel, 0.2f);
        QCOMPARE(w.Left(), centredPosition(Screen::Width(), 11970));
        QCOMPARE(w.Top(), centredPosition(Screen::Height(), 8970));
        QCOMPARE(w.PicBack->surface().scaleRect(), QRectF(QPointF(0, 120), QPointF(40, -120)));
        QCOMPARE(w.PicBack->surface().drawMode(), DrawMode::CopyPen);
    });
}

void tst_Startup::proptionChangeRunsOnceWhileHidden()
{
    SharedValues shared;
    Runtime runtime;
    frmQORVEL w(shared, runtime);
    int runs = 0;
    bool visibleDuringRun = true;
    QWidget *focusAfterRun = nullptr;
    // After the window's own handler.
    QObject::connect(w.PROPTION, &HScrollBar::changed, &w, [&] {
        ++runs;
        visibleDuringRun = w.isVisible();
        focusAfterRun = w.focusWidget();
    });
    QTimer::singleShot(0, &w, [&] { w.Unload(); });
    w.Form_Load();
    QCOMPARE(runs, 1);
    QVERIFY(!visibleDuringRun);
    QVERIFY(focusAfterRun != w.txtCXRQ);
}

void tst_Startup::startupFrameIsDrawnWithExclusiveOr()
{
    SharedValues shared;
    Runtime runtime;
    withLoadedWindow(shared, runtime, [&](frmQORVEL &w) {
        const QImage &image = w.PicBack->surface().image();
        const int zeroRow = w.PicBack->surface().toPixel(QPointF(0, 0)).y();
        int crossings = 0;
        for (int x = 0; x < image.width(); ++x)
            crossings += image.pixel(x, zeroRow) == qRgb(0x20, 0x20, 0x20);
        QCOMPARE(crossings, 40);
        for (int day = 0; day < 40; ++day)
            QCOMPARE(countInColumn(w, chartColumn(w, day), GridColour), ChartSize.height() - 1);
        // And the frame reaches the screen.
        const QImage shown = w.PicBack->grab().toImage();
        QCOMPARE(shown.pixelColor(chartColumn(w, 20), 5).rgb(), GridColour);
    });
}

void tst_Startup::firstTickLoadsTheWindow()
{
    Runtime runtime;
    Global global(runtime);
    QSignalSpy loads(&global, &Global::analysisWindowLoaded);
    QElapsedTimer clock;
    clock.start();
    global.Main();
    QVERIFY(global.loader().isVisible());
    // The loader is loaded for the whole run, but never seen on the screen.
    QVERIFY(global.loader().testAttribute(Qt::WA_DontShowOnScreen));
    QVERIFY(!global.analysisWindow());
    QCOMPARE(global.loader().Timer1->interval(), 50);

    qint64 shownAfter = -1;
    whenTrue(this, [&] { return shown(global); }, [&] {
        const auto guard = closeAtEnd(global);
        shownAfter = clock.elapsed();
        QVERIFY(global.analysisWindow()->isModal());
        global.loader().Timer1->stop();
        global.analysisWindow()->Unload();
    });
    QTRY_VERIFY_WITH_TIMEOUT(shownAfter >= 0 && !global.analysisWindow(), 5000);
    QVERIFY2(shownAfter >= 45, qPrintable(QString::number(shownAfter)));
    QCOMPARE(int(loads.size()), 1);
}

void tst_Startup::ticksGoOnInsideTheModalShow()
{
    Runtime runtime;
    Global global(runtime);
    QSignalSpy loads(&global, &Global::analysisWindowLoaded);
    global.Main();
    QSignalSpy ticks(&global.loader(), &FrmC::ticked);
    int ticksWhenShown = -1;
    int deepestTick = 0;
    bool ticksCame = false;
    whenTrue(this, [&] { return shown(global); }, [&] {
        const auto guard = closeAtEnd(global);
        ticksWhenShown = int(ticks.size());
        // A few more ticks, however busy the machine: every one of them
        // arrives inside the first tick's modal show.
        ticksCame = QTest::qWaitFor([&] { return ticks.size() >= ticksWhenShown + 4; }, 10000);
        for (const QList<QVariant> &tick : std::as_const(ticks).mid(ticksWhenShown))
            deepestTick = std::max(deepestTick, tick.first().toInt());
        global.loader().Timer1->stop();
        global.analysisWindow()->Unload();
    });
    QTRY_VERIFY_WITH_TIMEOUT(ticksWhenShown >= 0 && !global.analysisWindow(), 15000);
    QVERIFY(ticksCame);
    // Each nested inside the first one, and none of them loaded a second
    // window.
    QCOMPARE(deepestTick, 2);
    QCOMPARE(int(loads.size()), 1);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](QWidget *w) { return dynamic_cast<frmQORVEL *>(w) && w->isVisible(); }),
             0);
}

// The window closed by other means than the exit button is loaded again by
// the first tick after the closed window has gone, in its starting state:
// ticks that come while it goes (nested in the tick that showed it, however
// many a busy machine lets through) load nothing; the next one, no longer
// nested, loads it.
void tst_Startup::closedWindowComesBackInItsStartingState()
{
    Runtime runtime;
    Global global(runtime);
    QSignalSpy loads(&global, &Global::analysisWindowLoaded);
    global.Main();
    QSignalSpy ticks(&global.loader(), &FrmC::ticked);
    // The number of ticks when each window was loaded, the loading one counted.
    QList<qsizetype> ticksAtLoad;
    connect(&global, &Global::analysisWindowLoaded, this, [&] { ticksAtLoad << ticks.size(); });
    QPointer<frmQORVEL> first;
    qsizetype ticksAtClose = -1;
    bool reloaded = false;
    whenTrue(this, [&] { return shown(global); }, [&] {
        first = global.analysisWindow();
        first->TXTCSRQ->setText(u"1980-01-01"_qs);
        first->PROPTION->setValueChecked(100);
        ticksAtClose = ticks.size();
        first->close(); // as the system's close command would
        whenTrue(this, [&] { return shown(global) && global.analysisWindow() != first; }, [&] {
            const auto guard = closeAtEnd(global);
            reloaded = true;
            frmQORVEL &again = *global.analysisWindow();
            QCOMPARE(again.TXTCSRQ->Text(), QString());
            QCOMPARE(again.PROPTION->Value(), 40);
            QTRY_COMPARE(QApplication::focusWidget(), again.TXTCSRQ);
            global.loader().Timer1->stop();
            again.Unload();
        });
    });
    QTRY_VERIFY_WITH_TIMEOUT(reloaded && !global.analysisWindow(), 15000);
    QCOMPARE(int(loads.size()), 2);
    QCOMPARE(ticksAtLoad.size(), 2);
    const qsizetype loading = ticksAtLoad[1] - 1;
    QVERIFY(loading >= ticksAtClose);
    // The loading tick ran on its own; every tick between the closing and
    // it ran nested.
    QCOMPARE(ticks[loading].first().toInt(), 1);
    for (qsizetype tick = ticksAtClose; tick < loading; ++tick)
        QVERIFY2(ticks[tick].first().toInt() > 1, qPrintable(u"tick %1 of %2"_qs.arg(tick).arg(loading)));
}

void tst_Startup::exitButtonEndsTheRun()
{
    int ends = 0;
    Runtime runtime;
    runtime.setEndHandler([&] { ++ends; });
    Global global(runtime);
    QSignalSpy loads(&global, &Global::analysisWindowLoaded);
    global.Main();
    bool clicked = false;
    whenTrue(this, [&] { return shown(global); }, [&] {
        QTest::mouseClick(global.analysisWindow()->Cmdclose, Qt::LeftButton);
        clicked = true;
        // Once the program is ending, ticks load nothing.
        global.analysisWindow()->close();
    });
    QTRY_VERIFY_WITH_TIMEOUT(clicked && !global.analysisWindow(), 5000);
    QTest::qWait(150);
    QCOMPARE(ends, 1);
    QVERIFY(runtime.isEnding());
    QCOMPARE(int(loads.size()), 1);
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
