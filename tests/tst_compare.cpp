// SPDX-License-Identifier: GPL-3.0-or-later
// Two people on one chart, as the window offers it: asked for from the
// chart's menu, kept through what moves the chart, read by the pointer, the
// keys and a screen reader, and cancelled back to the one person's chart.
#include "menutest.h"

#include "analysis_window/texts.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace quorvel;
using namespace quorvel::test;
using namespace Qt::StringLiterals;

namespace {

// Compares the chart with the person `second` (an entry of the list, a name
// or a date), as the dialog of "与…对比" takes it.
QString compareWith(frmQORVEL &w, const QString &second)
{
    Dialogs dialogs({typeName(second)});
    return choose(w, Way::ChartMenu, u"与…对比"_s);
}

// The labels on the chart whose text starts so.
QList<Label *> chartLabels(frmQORVEL &w, const QString &start)
{
    QList<Label *> found;
    for (Label *label : w.PicBack->findChildren<Label *>()) {
        if (label->isVisible() && label->Caption().startsWith(start))
            found += label;
    }
    return found;
}

// The readout's four numbers of a life at a day offset, spoken.
QString spokenNumbers(double offset)
{
    QStringList words;
    for (std::size_t curve = 0; curve < Curves.size(); ++curve)
        words += QString::fromUtf16(Curves[curve].name) + u'值' + QString::number(Int(curveValue(curve, offset)));
    return words.join(u'，');
}

} // namespace

class tst_Compare : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cancelGivesBackTheOnePersonsChart();
    void secondPersonIsReadBesideTheFirst_data();
    void secondPersonIsReadBesideTheFirst();
    void aTextThatIsNoOneBeepsAndStays();

private:
    SharedValues m_shared;
    Runtime m_runtime;
    std::optional<QTemporaryDir> m_config;
    QByteArray m_configBefore;
};

void tst_Compare::initTestCase()
{
    initAssets();
    m_configBefore = qgetenv("XDG_CONFIG_HOME");
}

void tst_Compare::init()
{
    m_shared = SharedValues{};
    m_config.emplace();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    QVERIFY(QDir().mkpath(m_config->filePath(u"quorvel"_s)));
    QFile file(m_config->filePath(u"quorvel/people.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(TwoPeople) == TwoPeople.size());
}

void tst_Compare::cleanup()
{
    qputenv("XDG_CONFIG_HOME", m_configBefore);
    m_config.reset();
}

// While compared, every redraw draws the pair: a new query, a new birth
// date, either scroll bar. "取消对比" then gives back the window the one
// person's chart showed, every pixel of it, and the chart's children as
// they were.
void tst_Compare::cancelGivesBackTheOnePersonsChart()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showQueriedSpan(w, MinSpan, 5440);
        // The menus are opened on the focused chart.
        w.PicBack->setFocus();
        QTRY_VERIFY(w.PicBack->hasFocus());
        const QImage window = w.grab().toImage();
        const QImage chart = w.PicBack->surface().image();
        const qsizetype children = w.PicBack->children().size();
        QCOMPARE(choose(w, Way::ChartMenu, u"取消对比"_s), u"取消对比"_s); // nothing to cancel yet

        QCOMPARE(compareWith(w, LiSi), QString());
        const QImage pair = w.PicBack->surface().image();
        QVERIFY(pair != chart);
        const struct {
            const char *what;
            std::function<void()> act;
            bool drawn;
        } moves[] = {
            {"a scroll", [&] { w.POSITION->setValueChecked(5450); }, true},
            {"a wider span", [&] { w.PROPTION->setValueChecked(MinSpan + 1); }, true},
            {"back", [&] { w.PROPTION->setValueChecked(MinSpan); w.POSITION->setValueChecked(5440); }, true},
            {"a new birth date", [&] { typeInto(w.TXTCSRQ, u"1980-01-03"_s); QTest::keyClick(w.TXTCSRQ, Qt::Key_Return); },
             true},
            {"a query too near the birth", [&] { w.txtCXRQ->setText(u"1980-01-10"_s); w.CMDcx_Click(); }, false},
            {"a new query", [&] {
                 w.TXTCSRQ->setText(u"1980-01-01"_s);
                 w.txtCXRQ->setText(u"2009-11-03"_s);
                 w.CMDcx_Click();
             }, true},
        };
        for (const auto &move : moves) {
            move.act();
            QVERIFY2(chartHasCurves(w) == move.drawn, move.what);
            QCOMPARE(chartLabels(w, u"实线："_s).size(), move.drawn ? 1 : 0);
            if (!move.drawn)
                continue;
            ChartFixture alone;
            alone.controls = {w.TXTCSRQ->Text(), w.txtCXRQ->Text(), w.POSITION->Value(), w.PROPTION->Value()};
            alone.redraw();
            QVERIFY2(w.PicBack->surface().image() != alone.surface.image(), move.what);
        }
        QCOMPARE(w.PicBack->surface().image(), pair);

        QCOMPARE(choose(w, Way::ChartMenu, u"取消对比"_s), QString());
        QCOMPARE(lastMessage(w), u"已取消对比。"_s);
        QCOMPARE(w.PicBack->surface().image(), chart);
        QCOMPARE(w.PicBack->children().size(), children);
        QApplication::setActiveWindow(&w);
        w.PicBack->setFocus();
        QTRY_VERIFY(w.PicBack->hasFocus());
        QCOMPARE(w.grab().toImage(), window);
    });
}

void tst_Compare::secondPersonIsReadBesideTheFirst_data()
{
    QTest::addColumn<QString>("second"); // as given to the dialog
    QTest::addColumn<QString>("who");    // as the chart names them
    QTest::addColumn<QString>("full");   // with the birth date
    QTest::addColumn<QString>("birth");
    QTest::newRow("a person of the list") << LiSi << u"李四"_s << LiSi << u"1985-06-15 08:30"_s;
    QTest::newRow("a name kept") << u"李四"_s << u"李四"_s << LiSi << u"1985-06-15 08:30"_s;
    QTest::newRow("a typed date, born earlier") << u" 1979-12-31 18:00 "_s << u"1979-12-31 18:00"_s
                                                << u"1979-12-31 18:00"_s << u"1979-12-31 18:00"_s;
    QTest::newRow("a date in full-width digits, born after the span")
        << u"２０１２年１月１日"_s << u"2012-01-01"_s << u"2012-01-01"_s << u"2012-01-01"_s;
}

// The second person's values stand under the readout's, each under its
// own, where the pointer is and at each key, their values at the same
// instant; a screen reader hears them after the first person's, and hears
// the pair in the chart's description and when the comparison begins.
void tst_Compare::secondPersonIsReadBesideTheFirst()
{
    QFETCH(QString, second);
    QFETCH(QString, who);
    QFETCH(QString, full);
    QFETCH(QString, birth);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        // 张三's chart, chosen from the list: the solid lines are named so.
        w.txtCXRQ->setText(u"2009-11-03"_s);
        QCOMPARE(choose(w, Way::List, ZhangSan), QString());
        QCOMPARE(compareWith(w, second), QString());
        const double shift = CDate(u"1980-01-01"_s).value() - CDate(birth).value();

        const QList<Label *> legend = chartLabels(w, u"实线："_s);
        QCOMPARE(legend.size(), 1);
        QVERIFY2(legend[0]->Caption().startsWith(u"实线：张三（1980-01-01）　点线：%1　同步：体力"_s.arg(full)),
                 qPrintable(legend[0]->Caption()));
        QVERIFY(lastMessage(w).startsWith(u"点线：%1，查询日"_s.arg(full)));
        QVERIFY(w.PicBack->accessibleDescription().contains(u"点线：%1，"_s.arg(full)));

        const float x = 10899.3f;
        w.PicBack_MouseMove(0, 0, x, 0.0f);
        const QList<Label *> names = chartLabels(w, u"点线："_s + who);
        QCOMPARE(names.size(), 1);
        const std::array<Label *, 5> readout{w.LBLrq, w.LBLtl, w.LBLqx, w.LBLzl, w.LBLzh};
        QCOMPARE(names[0]->mapTo(&w, QPoint()).x(), readout[0]->x());
        for (std::size_t curve = 0; curve < Curves.size(); ++curve) {
            const QString caption =
                valueCaption(curve, static_cast<long long>(Int(curveValue(curve, double(x) - 0.5 + shift))));
            const QList<Label *> shown = chartLabels(w, caption);
            QVERIFY2(shown.size() == 1, qPrintable(caption));
            QCOMPARE(shown[0]->mapTo(&w, QPoint()), QPoint(readout[curve + 1]->x(), names[0]->mapTo(&w, QPoint()).y()));
        }

        w.PicBack->setFocus();
        QTRY_VERIFY(w.PicBack->hasFocus());
        QTest::keyClick(w.PicBack, Qt::Key_Right);
        QCOMPARE(markedDay(w), u"2009-11-03，查询日，%1；%2，%3"_s.arg(spokenNumbers(10899), who,
                                                                        spokenNumbers(10899 + shift)));
    });
}

// A text that names no one kept and is no date: a beep, the text selected,
// the dialog still open; a date then starts the comparison.
void tst_Compare::aTextThatIsNoOneBeepsAndStays()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showQueriedSpan(w, MinSpan, 5440);
        QSignalSpy beeps(&m_runtime, &Runtime::beeped);
        bool stayed = false;
        QString selected;
        Dialogs dialogs({[&](QDialog *dialog) {
            auto *input = static_cast<QInputDialog *>(dialog);
            input->setTextValue(u"王五"_s);
            input->accept();
            stayed = input->isVisible();
            selected = input->findChild<QComboBox *>()->lineEdit()->selectedText();
            input->setTextValue(u"1985-06-15"_s);
            input->accept();
        }});
        QCOMPARE(choose(w, Way::ChartMenu, u"与…对比"_s), QString());
        QVERIFY(stayed);
        QCOMPARE(selected, u"王五"_s);
        QCOMPARE(beeps.size(), 1);
        QCOMPARE(chartLabels(w, u"实线：1980-01-01　点线：1985-06-15　"_s).size(), 1);
    });
}

QTEST_MAIN(tst_Compare)
#include "tst_compare.moc"
