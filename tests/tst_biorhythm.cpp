// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/biorhythm.h"

#include <QTest>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace quorvel;

namespace {

// The model is defined to the last bit, so values are compared as bit
// patterns (QCOMPARE on doubles would forgive the last bits).
std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

} // namespace

Q_DECLARE_METATYPE(quorvel::BiorhythmCycle)

class tst_Biorhythm : public QObject
{
    Q_OBJECT

private slots:
    void circleConstant();
    void cycleValue_data();
    void cycleValue();
    void compositeValue_data();
    void compositeValue();
    void compositeIsMeanOfMagnitudes();
    void criticalDays();
    void criticalLevelIsStrict();
    void criticalLevelBoundary_data();
    void criticalLevelBoundary();
};

void tst_Biorhythm::circleConstant()
{
    QCOMPARE(bits(CyclePi), std::uint64_t(0x400921FB4D12D84A));
    QCOMPARE(std::bit_cast<std::uint32_t>(0.2f), std::uint32_t(0x3E4CCCCD));
    QCOMPARE(CyclePeriod(BiorhythmCycle::Physical), 23);
    QCOMPARE(CyclePeriod(BiorhythmCycle::Emotional), 28);
    QCOMPARE(CyclePeriod(BiorhythmCycle::Intellectual), 33);
}

void tst_Biorhythm::cycleValue_data()
{
    QTest::addColumn<double>("offset");
    QTest::addColumn<BiorhythmCycle>("cycle");
    QTest::addColumn<double>("expected");

    QTest::newRow("birth physical") << 0.0 << BiorhythmCycle::Physical << 0.0;
    QTest::newRow("birth emotional") << 0.0 << BiorhythmCycle::Emotional << 0.0;
    QTest::newRow("birth intellectual") << 0.0 << BiorhythmCycle::Intellectual << 0.0;
    QTest::newRow("day 1 physical") << 1.0 << BiorhythmCycle::Physical << 0.26979676666984703;
    QTest::newRow("day 1 emotional") << 1.0 << BiorhythmCycle::Emotional << 0.22252093022444405;
    QTest::newRow("day 1 intellectual") << 1.0 << BiorhythmCycle::Intellectual << 0.18925124117123715;
    // CyclePi is not pi, so the half and whole periods miss zero.
    QTest::newRow("half physical period") << 11.5 << BiorhythmCycle::Physical << 5.3589793170057245e-08;
    QTest::newRow("whole physical period") << 23.0 << BiorhythmCycle::Physical << -1.0717958634011435e-07;
    QTest::newRow("emotional peak") << 7.0 << BiorhythmCycle::Emotional << 0.9999999999999997;
    QTest::newRow("negative offset mirrors") << -0.5 << BiorhythmCycle::Physical << -0.13616664678795723;
}

void tst_Biorhythm::cycleValue()
{
    QFETCH(double, offset);
    QFETCH(BiorhythmCycle, cycle);
    QFETCH(double, expected);
    const double actual = CycleValue(offset, cycle);
    if (bits(actual) != bits(expected))
        QFAIL(qPrintable(QString::number(actual, 'g', 17) + " != " + QString::number(expected, 'g', 17)));
}

void tst_Biorhythm::compositeValue_data()
{
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("expected");
    QTest::newRow("birth") << 0.0 << 0.0;
    QTest::newRow("day 1") << 1.0 << 22.718964602184272;
}

void tst_Biorhythm::compositeValue()
{
    QFETCH(double, offset);
    QFETCH(double, expected);
    const double actual = CompositeValue(offset);
    if (bits(actual) != bits(expected))
        QFAIL(qPrintable(QString::number(actual, 'g', 17) + " != " + QString::number(expected, 'g', 17)));
}

void tst_Biorhythm::compositeIsMeanOfMagnitudes()
{
    // Signs are ignored and the sum is taken emotional + physical first.
    for (double offset = -50.0; offset <= 400.0; offset += 0.25) {
        const double e = std::abs(CycleValue(offset, BiorhythmCycle::Emotional));
        const double p = std::abs(CycleValue(offset, BiorhythmCycle::Physical));
        const double i = std::abs(CycleValue(offset, BiorhythmCycle::Intellectual));
        const double composite = CompositeValue(offset);
        QCOMPARE(bits(composite), bits(((e + p) + i) * 100.0 / 3.0));
        QCOMPARE(bits(CompositeValue(AllCycleValues(offset))), bits(composite));
        QVERIFY(composite >= 0.0 && composite <= 100.0);
    }
}

void tst_Biorhythm::criticalDays()
{
    std::vector<int> critical;
    for (int day = 0; day < 40000; ++day) {
        if (IsCriticalDay(day, 0.2f))
            critical.push_back(day);
        // The chart decides from values it has already worked out.
        if (IsCriticalDay(AllCycleValues(day), 0.2f) != IsCriticalDay(day, 0.2f))
            QFAIL(qPrintable(u"the rule from the values differs on day %1"_qs.arg(day)));
    }
    QCOMPARE(critical.size(), std::size_t(56));
    const std::vector<int> first{0, 644, 1288, 1484, 2128, 2772, 3416, 4060, 6566};
    QCOMPARE(std::vector<int>(critical.begin(), critical.begin() + 9), first);
}

void tst_Biorhythm::criticalLevelIsStrict()
{
    // Day 0 has three zero magnitudes: a level of 0 itself must not qualify.
    QVERIFY(IsCriticalDay(0.0, 0.2f));
    QVERIFY(!IsCriticalDay(0.0, 0.0f));
    // On day 1 the largest magnitude is 0.2698 (physical): just above it
    // qualifies, that very single-precision value does not.
    const float largest = static_cast<float>(CycleValue(1.0, BiorhythmCycle::Physical));
    QVERIFY(!IsCriticalDay(1.0, largest));
    QVERIFY(IsCriticalDay(1.0, std::nextafter(largest, 1.0f)));
}

void tst_Biorhythm::criticalLevelBoundary_data()
{
    QTest::addColumn<double>("magnitude");
    QTest::addColumn<bool>("critical");
    const float level = 0.2f;
    QTest::newRow("exactly at the level") << double(level) << false;
    QTest::newRow("at the level, negative") << -double(level) << false;
    QTest::newRow("just under, in single precision") << double(std::nextafter(level, 0.0f)) << true;
    QTest::newRow("just over, in single precision") << double(std::nextafter(level, 1.0f)) << false;
    // Under the level as a double, but the nearest single is the level.
    QTest::newRow("under in double, at in single") << double(level) - 1e-12 << false;
}

// The chart's bars decide from the three values it has worked out: each
// magnitude, rounded to single precision, must lie strictly below the level,
// whichever cycle it is.
void tst_Biorhythm::criticalLevelBoundary()
{
    QFETCH(double, magnitude);
    QFETCH(bool, critical);
    QCOMPARE(IsCriticalDay(CycleValues{magnitude, 0.0, 0.0}, 0.2f), critical);
    QCOMPARE(IsCriticalDay(CycleValues{0.0, magnitude, 0.0}, 0.2f), critical);
    QCOMPARE(IsCriticalDay(CycleValues{0.0, 0.0, magnitude}, 0.2f), critical);
}

QTEST_APPLESS_MAIN(tst_Biorhythm)
#include "tst_biorhythm.moc"
