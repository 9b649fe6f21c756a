#include "platform/conversions.h"

#include <QTest>

#include <limits>

using namespace quorvel;

class tst_Conversions : public QObject
{
    Q_OBJECT

private slots:
    void toInteger_data();
    void toInteger();
    void toLong_data();
    void toLong();
    void roundDown_data();
    void roundDown();
    void text_data();
    void text();
};

void tst_Conversions::toInteger_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected"); // -99999: overflow
    QTest::newRow("half to even, down") << 0.5 << 0;
    QTest::newRow("half to even, up") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("query position 5439.5") << 5439.5 << 5440;
    QTest::newRow("query position 5439.25") << 5439.25 << 5439;
    QTest::newRow("page step of 41 days") << 20.5 << 20;
    QTest::newRow("page step of 43 days") << 21.5 << 22;
    QTest::newRow("largest") << 32767.4 << 32767;
    QTest::newRow("just too large") << 32767.5 << -99999;
    QTest::newRow("smallest") << -32768.5 << -32768;
    QTest::newRow("just too small") << -32768.6 << -99999;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << -99999;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << -99999;
}

void tst_Conversions::toInteger()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    const auto result = CInt(value);
    QCOMPARE(result.has_value(), expected != -99999);
    if (result)
        QCOMPARE(int(*result), expected);
}

void tst_Conversions::toLong_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("expected"); // -1: overflow
    QTest::newRow("query day 18263") << 18263.0 << qint64(18263);
    QTest::newRow("evening rounds up") << 18263.75 << qint64(18264);
    QTest::newRow("half to even") << 18262.5 << qint64(18262);
    QTest::newRow("largest") << 2147483647.4 << qint64(2147483647);
    QTest::newRow("too large") << 2147483647.5 << qint64(-1);
    QTest::newRow("smallest") << -2147483648.0 << qint64(-2147483648LL);
    QTest::newRow("too small") << -2147483649.0 << qint64(-1);
}

void tst_Conversions::toLong()
{
    QFETCH(double, value);
    QFETCH(qint64, expected);
    const auto result = CLng(value);
    QCOMPARE(result.has_value(), expected != -1);
    if (result)
        QCOMPARE(qint64(*result), expected);
}

void tst_Conversions::roundDown_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("negative rounds away from zero") << -13.6 << -14.0;
    QTest::newRow("positive") << 98.4 << 98.0;
    QTest::newRow("whole") << -100.0 << -100.0;
    QTest::newRow("tiny negative") << -1e-9 << -1.0;
}

void tst_Conversions::roundDown()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(Int(value), expected);
}

void tst_Conversions::text_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << u"0"_qs;
    QTest::newRow("positive, no plus, no blank") << qint64(365) << u"365"_qs;
    QTest::newRow("negative") << qint64(-14) << u"-14"_qs;
}

void tst_Conversions::text()
{
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QCOMPARE(CStr(value), text);
}

QTEST_APPLESS_MAIN(tst_Conversions)
#include "tst_conversions.moc"
