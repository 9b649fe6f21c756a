// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/runtime.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace quorvel;

class tst_Runtime : public QObject
{
    Q_OBJECT

private slots:
    void errorsEndTheProgram_data();
    void errorsEndTheProgram();
    void endLeavesEveryLoop();
    void beepsAreHeard();
    void endHandlerReplacesTheEnd();
    void clockIsTheSystemsUnlessSet();
};

namespace {

struct Outcome {
    int exitCode;
    QString output;
};

Outcome runProbe(const QString &mode)
{
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(RUNTIME_PROBE), {mode});
    if (!probe.waitForFinished(30000)) {
        probe.kill();
        return {-1, QString()};
    }
    return {probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -2,
            QString::fromUtf8(probe.readAllStandardOutput())};
}

} // namespace

void tst_Runtime::errorsEndTheProgram_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("overflow reported") << u"report"_qs << u"reported 6 溢出\n"_qs;
    QTest::newRow("scroll bar out of range") << u"scrollbar"_qs << u"in range\nreported 380\n"_qs;
    QTest::newRow("default report is a message box") << u"dialog"_qs << u"box: 运行时错误 '6': 溢出\n"_qs;
}

void tst_Runtime::errorsEndTheProgram()
{
    QFETCH(QString, mode);
    QFETCH(QString, expected);
    const Outcome outcome = runProbe(mode);
    QCOMPARE(outcome.output, expected);
    QCOMPARE(outcome.exitCode, 1);
}

void tst_Runtime::endLeavesEveryLoop()
{
    const Outcome outcome = runProbe(u"end"_qs);
    QCOMPARE(outcome.output, u"nested loop left\nmain loop left 0\n"_qs);
    QCOMPARE(outcome.exitCode, 0);
}

void tst_Runtime::beepsAreHeard()
{
    Runtime runtime;
    QSignalSpy beeps(&runtime, &Runtime::beeped);
    runtime.Beep();
    runtime.Beep();
    QCOMPARE(beeps.size(), 2);
}

void tst_Runtime::endHandlerReplacesTheEnd()
{
    int ends = 0;
    Runtime runtime;
    runtime.setEndHandler([&] { ++ends; });
    QVERIFY(!runtime.isEnding());
    runtime.End();
    QCOMPARE(ends, 1);
    QVERIFY(runtime.isEnding());
    // One run's end is no other's.
    QVERIFY(!Runtime().isEnding());
}

void tst_Runtime::clockIsTheSystemsUnlessSet()
{
    Runtime runtime;
    const Date before = systemNow();
    const Date now = runtime.Now();
    QVERIFY(now >= before && now <= systemNow());
    runtime.setClock([] { return 21952.5; });
    QCOMPARE(runtime.Now(), 21952.5);
    // Another run keeps the system's clock.
    QVERIFY(Runtime().Now() >= before);
}

QTEST_MAIN(tst_Runtime)
#include "tst_runtime.moc"
