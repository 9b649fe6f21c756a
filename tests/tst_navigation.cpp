// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowtest.h"

#include <QStyle>

using namespace quorvel;
using namespace quorvel::test;

namespace {

double chartStart(frmQORVEL &w) { return w.PicBack->surface().scaleRect().left(); }
double chartWidth(frmQORVEL &w) { return w.PicBack->surface().scaleRect().width(); }

} // namespace

class tst_Navigation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void halfSpanStep_data();
    void halfSpanStep();
    void startLabelBeforeAnyChart_data();
    void startLabelBeforeAnyChart();
    void stepsMoveTheChart_data();
    void stepsMoveTheChart();
    void spanChangesWidthLabelAndPageStep_data();
    void spanChangesWidthLabelAndPageStep();
    void missingDatesSendTheFocus_data();
    void missingDatesSendTheFocus();
    void draggedThumbChangesOnRelease();
    void settingTheSameValueRunsNothing();
    void startLabelPastTheLastDate();

private:
    SharedValues m_shared;
    Runtime m_runtime;
};

void tst_Navigation::initTestCase()
{
    initAssets();
}

void tst_Navigation::halfSpanStep_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("step");
    QTest::newRow("40") << 40 << 20;
    QTest::newRow("41 rounds down to even") << 41 << 20;
    QTest::newRow("43 rounds up to even") << 43 << 22;
    QTest::newRow("45") << 45 << 22;
    QTest::newRow("365") << 365 << 182;
}

void tst_Navigation::halfSpanStep()
{
    QFETCH(int, span);
    QFETCH(int, step);
    QCOMPARE(int(quorvel::halfSpanStep(span)), step);
}

void tst_Navigation::startLabelBeforeAnyChart_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label");
    QTest::newRow("100 steps") << 100 << u"1960-08-24"_qs;
    QTest::newRow("100 years") << 18250 << u"2060-01-12"_qs;
    QTest::newRow("one step") << 1 << u"1960-02-08"_qs;
}

void tst_Navigation::startLabelBeforeAnyChart()
{
    QFETCH(int, position);
    QFETCH(QString, label);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.txtCXRQ->SetFocus();
        w.POSITION->setValueChecked(position);
        QCOMPARE(w.LBLStartSj->Caption(), label);
        QCOMPARE(QApplication::focusWidget(), w.TXTCSRQ);
    });
}

void tst_Navigation::stepsMoveTheChart_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("days");
    QTest::newRow("small step") << 40 << int(Qt::Key_Right) << 2.0;
    QTest::newRow("small step back") << 40 << int(Qt::Key_Left) << -2.0;
    QTest::newRow("page, span 40") << 40 << int(Qt::Key_PageDown) << 40.0;
    QTest::newRow("page, span 41") << 41 << int(Qt::Key_PageDown) << 40.0;
    QTest::newRow("page, span 43") << 43 << int(Qt::Key_PageDown) << 44.0;
    QTest::newRow("page back, span 365") << 365 << int(Qt::Key_PageUp) << -364.0;
}

void tst_Navigation::stepsMoveTheChart()
{
    QFETCH(int, span);
    QFETCH(int, key);
    QFETCH(double, days);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.PROPTION->setValueChecked(span);
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"2010-02-06"_qs);
        w.CMDcx_Click();
        const double before = chartStart(w);
        const QString label = w.LBLStartSj->Caption();
        w.POSITION->setFocus();
        QTest::keyClick(w.POSITION, Qt::Key(key));
        QCOMPARE(chartStart(w) - before, days);
        QCOMPARE(chartWidth(w), double(span));
        QVERIFY(chartHasCurves(w));
        QCOMPARE(w.LBLStartSj->Caption(), Format(21952.0 + chartStart(w), u"yyyy-mm-dd"));
        QVERIFY(w.LBLStartSj->Caption() != label);
    });
}

void tst_Navigation::spanChangesWidthLabelAndPageStep_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("pageStep");
    QTest::newRow("41") << 41 << u"<-- 41天 -->"_qs << 20;
    QTest::newRow("43") << 43 << u"<-- 43天 -->"_qs << 22;
    QTest::newRow("100") << 100 << u"<-- 100天 -->"_qs << 50;
    QTest::newRow("365") << 365 << u"<-- 365天 -->"_qs << 182;
}

void tst_Navigation::spanChangesWidthLabelAndPageStep()
{
    QFETCH(int, span);
    QFETCH(QString, label);
    QFETCH(int, pageStep);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"2010-02-06"_qs);
        w.CMDcx_Click();
        const int position = w.POSITION->Value();
        w.PROPTION->setValueChecked(span);
        QCOMPARE(w.LBLts->Caption(), label);
        QCOMPARE(w.POSITION->pageStep(), pageStep);
        QCOMPARE(w.POSITION->Value(), position);
        QCOMPARE(chartWidth(w), double(span));
        QVERIFY(chartHasCurves(w));
    });
}

void tst_Navigation::missingDatesSendTheFocus_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("moveSpan"); // PROPTION, else POSITION
    QTest::addColumn<bool>("focusOnBirth");
    QTest::newRow("span, query empty") << u"1960-02-06"_qs << QString() << true << false;
    QTest::newRow("position, query empty") << u"1960-02-06"_qs << QString() << false << false;
    QTest::newRow("span, both empty") << QString() << QString() << true << true;
    QTest::newRow("position, both empty") << QString() << QString() << false << true;
    QTest::newRow("position, birth invalid") << u"1960-02-30"_qs << u"2010-02-06"_qs << false << true;
}

void tst_Navigation::missingDatesSendTheFocus()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    QFETCH(bool, moveSpan);
    QFETCH(bool, focusOnBirth);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"2010-02-06"_qs);
        w.CMDcx_Click();
        const QImage drawn = w.PicBack->surface().image();
        w.TXTCSRQ->setText(birth);
        w.txtCXRQ->setText(query);
        w.CMDcx->setFocus();
        QSignalSpy beeps(&m_runtime, &Runtime::beeped);

        if (moveSpan) {
            // The curves go and the empty frame takes the new width.
            w.PROPTION->setValueChecked(60);
            QVERIFY(!chartHasCurves(w));
            QCOMPARE(chartWidth(w), 60.0);
        } else {
            // The old picture stays; only the start label moves.
            w.POSITION->setValueChecked(w.POSITION->Value() + 5);
            QCOMPARE(w.PicBack->surface().image(), drawn);
            QCOMPARE(w.LBLStartSj->Caption(), Format(21952.0 + 2.0 * w.POSITION->Value(), u"yyyy-mm-dd"));
        }
        QCOMPARE(QApplication::focusWidget(), focusOnBirth ? w.TXTCSRQ : w.txtCXRQ);
        QCOMPARE(beeps.size(), 0);
        QVERIFY(!w.TXTCSRQ->hasSelectedText() && !w.txtCXRQ->hasSelectedText());
    });
}

void tst_Navigation::draggedThumbChangesOnRelease()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"2010-02-06"_qs);
        w.CMDcx_Click();
        int changes = 0;
        QObject::connect(w.POSITION, &HScrollBar::changed, &w, [&] { ++changes; });

        // Drag the thumb with the mouse: nothing happens until it is let go.
        const QRect thumb = w.POSITION->partRect(QStyle::SC_ScrollBarSlider);
        const int before = w.POSITION->Value();
        const double start = chartStart(w);
        QTest::mousePress(w.POSITION, Qt::LeftButton, {}, thumb.center());
        QMouseEvent move(QEvent::MouseMove, QPointF(thumb.center() + QPoint(60, 0)),
                         w.POSITION->mapToGlobal(QPointF(thumb.center() + QPoint(60, 0))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.POSITION, &move);
        QCOMPARE(changes, 0);
        QCOMPARE(w.POSITION->Value(), before);
        QCOMPARE(chartStart(w), start);
        QTest::mouseRelease(w.POSITION, Qt::LeftButton, {}, thumb.center() + QPoint(60, 0));
        QCOMPARE(changes, 1);
        QVERIFY(w.POSITION->Value() > before);
        QCOMPARE(chartStart(w), 2.0 * w.POSITION->Value());
    });
}

void tst_Navigation::settingTheSameValueRunsNothing()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        int changes = 0;
        QObject::connect(w.POSITION, &HScrollBar::changed, &w, [&] { ++changes; });
        w.POSITION->setValueChecked(0);
        QCOMPARE(changes, 0);
        w.POSITION->setValueChecked(3);
        w.POSITION->setValueChecked(3);
        QCOMPARE(changes, 1);
    });
}

void tst_Navigation::startLabelPastTheLastDate()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        m_shared.ChartBirthDate = *CDate(u"9990-01-01");
        w.POSITION->setValueChecked(18250);
        QCOMPARE(w.LBLStartSj->Caption(), QString());
        w.POSITION->setValueChecked(1000);
        QCOMPARE(w.LBLStartSj->Caption(), u"9995-06-24"_qs);
    });
}

QTEST_MAIN(tst_Navigation)
#include "tst_navigation.moc"
