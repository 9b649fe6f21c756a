// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowtest.h"

using namespace quorvel;
using namespace quorvel::test;

namespace {

// 2026-12-09 10:30 as the clock's "now".
constexpr Date FixedNow = 46365.4375;

bool chartIsEmptyFrame(frmQORVEL &w)
{
    const QImage &image = w.PicBack->surface().image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p != Black && p != GridColour && p != ZeroLineColour)
                return false;
        }
    return true;
}

} // namespace

class tst_Query : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void centresTheSpan_data();
    void centresTheSpan();
    void emptyFrameWhenTheSpanWouldBeginTooEarly_data();
    void emptyFrameWhenTheSpanWouldBeginTooEarly();
    void futureDateBecomesToday_data();
    void futureDateBecomesToday();
    void rejectedQueryDate_data();
    void rejectedQueryDate();
    void withoutBirthDateCountsFromTheStoredOne();
    void enterKeys_data();
    void enterKeys();
    void focusedButtonsAnswerSpaceAndEnter_data();
    void focusedButtonsAnswerSpaceAndEnter();
    void birthDateEntry_data();
    void birthDateEntry();
    void rejectedBirthDate();
    void newBirthDateIsUsedByTheNextQuery();
    void exitButtonEnds();

private:
    SharedValues m_shared;
    // Anew for every test: one may end the program.
    std::optional<Runtime> m_runtime;
    int m_ends = 0;
};

void tst_Query::initTestCase()
{
    initAssets();
}

void tst_Query::init()
{
    m_runtime.emplace();
    m_runtime->setClock([] { return FixedNow; });
    m_ends = 0;
    m_runtime->setEndHandler([this] { ++m_ends; });
}

void tst_Query::cleanup()
{
    m_runtime.reset();
}

void tst_Query::centresTheSpan_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("startLabel");

    QTest::newRow("half to even up") << u"1980-01-01"_qs << u"2009-11-03"_qs << 40 << 5440 << u"2009-10-15"_qs;
    QTest::newRow("odd span") << u"1980-01-01"_qs << u"2009-11-03"_qs << 41 << 5439 << u"2009-10-13"_qs;
    QTest::newRow("d = 1 rounds to 0") << u"2000-01-01"_qs << u"2000-01-22"_qs << 40 << 0 << u"2000-01-01"_qs;
    QTest::newRow("d = 3 rounds to 2") << u"2000-01-01"_qs << u"2000-01-24"_qs << 40 << 2 << u"2000-01-05"_qs;
    QTest::newRow("clamped at 100 years") << u"1900-01-01"_qs << u"2020-01-01"_qs << 40 << 18250
                                          << u"1999-12-08"_qs;
    QTest::newRow("widest span") << u"1960-02-06"_qs << u"2010-02-06"_qs << 365 << 9040 << u"2009-08-07"_qs;
    QTest::newRow("query with a time") << u"1980-01-01"_qs << u"2009-11-03 23:59"_qs << 40 << 5440
                                       << u"2009-10-15"_qs;
    // d = 10878.5, p = 5439.25: the birth's noon moves the span back a step.
    QTest::newRow("birth with a time") << u"1980-01-01 12:00"_qs << u"2009-11-03"_qs << 40 << 5439
                                       << u"2009-10-13"_qs;
}

void tst_Query::centresTheSpan()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    QFETCH(int, span);
    QFETCH(int, position);
    QFETCH(QString, startLabel);
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.PROPTION->setValueChecked(span);
        w.POSITION->setValueChecked(7);
        w.TXTCSRQ->setText(birth);
        w.txtCXRQ->setText(query);
        w.CMDcx_Click();
        QCOMPARE(w.POSITION->Value(), position);
        QCOMPARE(w.LBLStartSj->Caption(), startLabel);
        QVERIFY(!w.Label1->isVisible());
        QCOMPARE(m_shared.ChartBirthDate, *CDate(birth));
        QCOMPARE(m_shared.ChartQueryDate, *CDate(query));
        // The query day's bar stands in the chart, near its middle.
        // Nearest whole day, halves to the even one.
        const double queryDay = std::nearbyint(*CDate(query) - *CDate(birth));
        const double start = 2.0 * position;
        if (queryDay < start + span) {
            const int x = chartColumn(w, queryDay) + 1;
            QVERIFY(countInColumn(w, x, QueryBarColour) > ChartSize.height() / 2);
            if (position < 18250)
                QVERIFY(std::abs(queryDay + 0.5 - (start + span / 2.0)) <= 1.5);
        }
    });
}

void tst_Query::emptyFrameWhenTheSpanWouldBeginTooEarly_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::newRow("d = 0") << u"2000-01-01"_qs << u"2000-01-21"_qs;
    QTest::newRow("query before birth") << u"2000-01-01"_qs << u"1999-06-01"_qs;
    QTest::newRow("birth after today") << u"2030-01-01"_qs << u"2026-12-01"_qs;
    QTest::newRow("query near the first date") << u"0100-01-01"_qs << u"0100-01-15"_qs;
    QTest::newRow("first date, no birth date") << QString() << u"0100-01-01"_qs;
}

void tst_Query::emptyFrameWhenTheSpanWouldBeginTooEarly()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"1990-01-01"_qs);
        w.CMDcx_Click();
        QVERIFY(chartHasCurves(w));
        const int position = w.POSITION->Value();
        QSignalSpy beeps(&*m_runtime, &Runtime::beeped);
        w.txtCXRQ->SetFocus();

        w.TXTCSRQ->setText(birth);
        w.txtCXRQ->setText(query);
        w.CMDcx_Click();
        QVERIFY(chartIsEmptyFrame(w));
        QCOMPARE(w.POSITION->Value(), position);
        QCOMPARE(beeps.size(), 0);
        QCOMPARE(QApplication::focusWidget(), w.txtCXRQ);
        QCOMPARE(w.txtCXRQ->Text(), query);
        QCOMPARE(m_ends, 0);
    });
}

void tst_Query::futureDateBecomesToday_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tomorrow") << u"2026-12-10"_qs << u"2026-12-09"_qs;
    QTest::newRow("far future") << u"9999-12-31"_qs << u"2026-12-09"_qs;
    QTest::newRow("later today") << u"2026-12-09 10:31"_qs << u"2026-12-09"_qs;
    QTest::newRow("earlier today") << u"2026-12-09 10:29"_qs << u"2026-12-09 10:29"_qs;
    QTest::newRow("today without a time") << u"2026-12-09"_qs << u"2026-12-09"_qs;
    QTest::newRow("yesterday") << u"2026-12-08"_qs << u"2026-12-08"_qs;
}

void tst_Query::futureDateBecomesToday()
{
    QFETCH(QString, query);
    QFETCH(QString, shown);
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1990-05-05"_qs);
        w.txtCXRQ->setText(query);
        w.CMDcx_Click();
        QCOMPARE(w.txtCXRQ->Text(), shown);
        QCOMPARE(m_shared.ChartQueryDate, *CDate(shown));
        QVERIFY(chartHasCurves(w));
    });
}

void tst_Query::rejectedQueryDate_data()
{
    QTest::addColumn<QString>("query");
    QTest::newRow("empty") << QString();
    QTest::newRow("impossible day") << u"2009-03-33"_qs;
    QTest::newRow("words") << u"明天"_qs;
    QTest::newRow("two-digit year") << u"09-03-03"_qs;
}

void tst_Query::rejectedQueryDate()
{
    QFETCH(QString, query);
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"1990-01-01"_qs);
        w.CMDcx_Click();
        const int position = w.POSITION->Value();
        const SharedValues before = m_shared;
        w.TXTCSRQ->SetFocus();
        QSignalSpy beeps(&*m_runtime, &Runtime::beeped);

        w.txtCXRQ->setText(query);
        w.CMDcx_Click();
        QCOMPARE(beeps.size(), 1);
        QVERIFY(chartIsEmptyFrame(w));
        QCOMPARE(QApplication::focusWidget(), w.txtCXRQ);
        QCOMPARE(w.txtCXRQ->selectedText(), query);
        QCOMPARE(w.txtCXRQ->selectionStart(), query.isEmpty() ? -1 : 0);
        QCOMPARE(w.POSITION->Value(), position);
        QCOMPARE(w.TXTCSRQ->Text(), u"1960-02-06"_qs);
        QCOMPARE(m_shared.ChartBirthDate, before.ChartBirthDate);
        QCOMPARE(m_shared.ChartQueryDate, before.ChartQueryDate);
    });
}

void tst_Query::withoutBirthDateCountsFromTheStoredOne()
{
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        // Nothing drawn yet: the start-up birth date 1960-02-06 is used.
        w.txtCXRQ->setText(u"2010-02-06"_qs);
        w.CMDcx_Click();
        QCOMPARE(w.POSITION->Value(), 9122); // (18263 - 20) / 2 = 9121.5
        QCOMPARE(w.LBLStartSj->Caption(), u"2010-01-18"_qs);
        QCOMPARE(QApplication::focusWidget(), w.TXTCSRQ);
        QVERIFY(chartIsEmptyFrame(w));
    });
}

void tst_Query::enterKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("acts");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << true;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << true;
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << false;
    QTest::newRow("End") << int(Qt::Key_End) << int(Qt::NoModifier) << false;
    QTest::newRow("F5") << int(Qt::Key_F5) << int(Qt::NoModifier) << false;
}

void tst_Query::enterKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, acts);
    QImage clicked;
    int clickedPosition = -1;
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        QTest::mouseClick(w.CMDcx, Qt::LeftButton);
        clicked = w.PicBack->surface().image();
        clickedPosition = w.POSITION->Value();
    });
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.txtCXRQ->SetFocus();
        QTest::keyClick(w.txtCXRQ, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w.POSITION->Value() == clickedPosition, acts);
        QCOMPARE(w.PicBack->surface().image() == clicked, acts);
        QCOMPARE(w.Label1->isVisible(), !acts);
    });
    // The birth-date box answers the same keys.
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        QTest::keyClick(w.TXTCSRQ, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(QApplication::focusWidget() == w.txtCXRQ, acts);
    });
}

void tst_Query::focusedButtonsAnswerSpaceAndEnter_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

void tst_Query::focusedButtonsAnswerSpaceAndEnter()
{
    QFETCH(int, key);
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx->setFocus();
        QTest::keyClick(w.CMDcx, Qt::Key(key));
        QTRY_COMPARE(w.POSITION->Value(), 5440);
        w.Cmdclose->setFocus();
        QTest::keyClick(w.Cmdclose, Qt::Key(key));
        QTRY_COMPARE(m_ends, 1);
    });
}

void tst_Query::birthDateEntry_data()
{
    QTest::addColumn<int>("positionBefore");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("redrawn");
    QTest::addColumn<QString>("startLabel");
    QTest::newRow("at the start already") << 0 << u"2009-11-03"_qs << false << u"untouched"_qs;
    QTest::newRow("moved, query valid") << 5440 << u"2009-11-03"_qs << true << u"1985-03-04"_qs;
    QTest::newRow("moved, query empty") << 5440 << QString() << false << u"1990-01-01"_qs;
}

void tst_Query::birthDateEntry()
{
    QFETCH(int, positionBefore);
    QFETCH(QString, query);
    QFETCH(bool, redrawn);
    QFETCH(QString, startLabel);
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        // A chart drawn for an earlier birth date.
        w.TXTCSRQ->setText(u"1990-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        w.POSITION->setValueChecked(positionBefore);
        w.LBLStartSj->setCaption(u"untouched"_qs);
        w.txtCXRQ->setText(query);
        const QImage before = w.PicBack->surface().image();
        QSignalSpy beeps(&*m_runtime, &Runtime::beeped);

        w.TXTCSRQ->setText(u"1985-03-04"_qs);
        w.TXTCSRQ->SetFocus();
        QTest::keyClick(w.TXTCSRQ, Qt::Key_Return);
        QCOMPARE(w.POSITION->Value(), 0);
        QCOMPARE(QApplication::focusWidget(), w.txtCXRQ);
        QCOMPARE(w.LBLStartSj->Caption(), startLabel);
        QCOMPARE(w.PicBack->surface().image() != before, redrawn);
        QCOMPARE(m_shared.ChartBirthDate, redrawn ? *CDate(u"1985-03-04") : *CDate(u"1990-01-01"));
        QCOMPARE(beeps.size(), 0);
    });
}

void tst_Query::rejectedBirthDate()
{
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1990-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        const QImage before = w.PicBack->surface().image();
        const int position = w.POSITION->Value();
        QSignalSpy beeps(&*m_runtime, &Runtime::beeped);

        typeInto(w.TXTCSRQ, u"2001-03-33"_qs);
        QTest::keyClick(w.TXTCSRQ, Qt::Key_Return);
        QCOMPARE(beeps.size(), 1);
        QCOMPARE(QApplication::focusWidget(), w.TXTCSRQ);
        QCOMPARE(w.TXTCSRQ->selectedText(), u"2001-03-33"_qs);
        QCOMPARE(w.TXTCSRQ->selectionStart(), 0);
        // Unlike a rejected query, the chart stays.
        QCOMPARE(w.PicBack->surface().image(), before);
        QCOMPARE(w.POSITION->Value(), position);
        QCOMPARE(m_shared.ChartBirthDate, *CDate(u"1990-01-01"));
    });
}

void tst_Query::newBirthDateIsUsedByTheNextQuery()
{
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1990-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.CMDcx_Click();
        QCOMPARE(w.POSITION->Value(), 5440);
        QCOMPARE(w.LBLStartSj->Caption(), u"2009-10-15"_qs);
    });
}

void tst_Query::exitButtonEnds()
{
    withLoadedWindow(m_shared, *m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1990-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        QTest::mouseClick(w.Cmdclose, Qt::LeftButton);
        QCOMPARE(m_ends, 1);
    });
}

QTEST_MAIN(tst_Query)
#include "tst_query.moc"
