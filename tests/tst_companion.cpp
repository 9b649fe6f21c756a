// quorvel-chart run as a user runs it, its outputs held against the model
// and against the analysis window's own chart.
#include "windowtest.h"

#include "chart/span.h"
#include "companion/companion.h"

#include <cmath>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

using namespace quorvel;
using namespace quorvel::test;

namespace {

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result runChart(const QStringList &arguments, const QString &stdoutFile = QString())
{
    QProcess process;
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(QStringLiteral(QUORVEL_CHART), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QString dayText(Date date) { return Format(date, u"yyyy-mm-dd"); }

const Date Birth1960 = 21952.0; // 1960-02-06

} // namespace

class tst_Companion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void centredSpanPosition_data();
    void centredSpanPosition();
    void pngIsTheWindowsChart_data();
    void pngIsTheWindowsChart();
    void futureQueryIsToday();
    void tableRowsAreTheModelsValues();
    void criticalDaysAreTheModelsOnes();
    void compare_data();
    void compare();
    void badInput_data();
    void badInput();
    void unwritableOutput_data();
    void unwritableOutput();
    void existingFileIsReplacedWhole();

private:
    QTemporaryDir m_dir;
};

void tst_Companion::initTestCase()
{
    initAssets();
    QVERIFY(m_dir.isValid());
}

void tst_Companion::centredSpanPosition_data()
{
    QTest::addColumn<double>("d");
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("position"); // -1: the empty frame

    const double b = DateSerial(1980, 1, 1);
    QTest::newRow("half to even up") << DateSerial(2009, 11, 3) - b << 40 << 5440;
    QTest::newRow("odd span") << DateSerial(2009, 11, 3) - b << 41 << 5439;
    QTest::newRow("d = 1") << 21.0 << 40 << 0;
    QTest::newRow("d = 3") << 23.0 << 40 << 2;
    QTest::newRow("d = 0") << 20.0 << 40 << -1;
    QTest::newRow("query before birth") << -5.0 << 40 << -1;
    QTest::newRow("held at 100 years") << 40000.0 << 40 << 18250;
}

void tst_Companion::centredSpanPosition()
{
    QFETCH(double, d);
    QFETCH(int, span);
    QFETCH(int, position);
    const double birth = DateSerial(1980, 1, 1);
    QCOMPARE(quorvel::centredSpanPosition(birth + d, birth, span).value_or(-1), position);
}

void tst_Companion::pngIsTheWindowsChart_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("span");

    QTest::newRow("narrow span") << "1980-01-01" << "2009-11-03" << 40;
    QTest::newRow("odd span, time of day") << "1960-02-06" << "2010-02-06 18:00" << 41;
    QTest::newRow("widest span, other forms") << "1960.2.6" << "1999/7/1" << 365;
    QTest::newRow("held at 100 years") << "1900-01-01" << "2020-01-01" << 100;
    QTest::newRow("empty frame") << "1980-01-01" << "1980-01-10" << 40;
}

void tst_Companion::pngIsTheWindowsChart()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    QFETCH(int, span);

    const QString file = m_dir.filePath(QStringLiteral("chart.png"));
    const Result result = runChart({"chart", "--birth", birth, "--query", query, "--span", QString::number(span),
                                    "-o", file});
    QCOMPARE(result.status, 0);
    const QImage png(file);
    QCOMPARE(png.size(), ChartSize);

    SharedValues shared;
    QImage window;
    withLoadedWindow(shared, [&](frmQORVEL &w) {
        typeInto(w.TXTCSRQ, birth);
        QTest::keyClick(w.TXTCSRQ, Qt::Key_Return);
        w.PROPTION->setValueChecked(span);
        typeInto(w.txtCXRQ, query);
        QTest::keyClick(w.txtCXRQ, Qt::Key_Return);
        window = w.PicBack->surface().image();
    });
    QVERIFY(png.convertToFormat(QImage::Format_RGB32) == window);
}

void tst_Companion::futureQueryIsToday()
{
    const QString future = m_dir.filePath(QStringLiteral("future.png"));
    const QString today = m_dir.filePath(QStringLiteral("today.png"));
    QCOMPARE(runChart({"chart", "--birth", "1990-05-05", "--query", "9999-12-31", "-o", future}).status, 0);
    QCOMPARE(runChart({"chart", "--birth", "1990-05-05", "--query", dayText(Now()), "-o", today}).status, 0);
    QVERIFY(QImage(future) == QImage(today));
}

void tst_Companion::tableRowsAreTheModelsValues()
{
    const Result result = runChart({"table", "--birth", "1960年2月6日", "--from", "1960-02-04", "--to", "1960-3-17"});
    QCOMPARE(result.status, 0);
    QVERIFY(result.err.isEmpty());
    // Every line ends in CRLF, the last one too.
    QList<QByteArray> lines = result.out.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    for (QByteArray &line : lines) {
        QVERIFY(line.endsWith('\r'));
        line.chop(1);
    }
    QCOMPARE(lines.size(), 1 + 43);
    QCOMPARE(lines[0], "date,day,physical,emotional,intellectual,composite,"
                       "physical_value,emotional_value,intellectual_value,composite_value,critical");
    // Day 1 at full precision, and the readout's numbers of day 40.
    QCOMPARE(lines[4], "1960-02-07,1,26,22,18,22,0.26979676666984703,0.22252093022444405,0.18925124117123715,"
                       "22.718964602184272,0");
    QVERIFY(lines[43].startsWith("1960-03-17,40,-100,43,97,80,"));

    const std::array cycles{BiorhythmCycle::Physical, BiorhythmCycle::Emotional, BiorhythmCycle::Intellectual};
    for (int row = 1; row < lines.size(); ++row) {
        const QList<QByteArray> f = lines[row].split(',');
        QCOMPARE(f.size(), 11);
        const int d = row - 3;
        QCOMPARE(f[0], dayText(Birth1960 + d).toLatin1());
        QCOMPARE(f[1].toInt(), d);
        for (int i = 0; i < 3; ++i) {
            const double value = CycleValue(d, cycles[i]);
            QCOMPARE(f[6 + i].toDouble(), value); // exact: the text reads back as the same double
            QCOMPARE(f[2 + i].toDouble(), Int(value * 100.0));
        }
        QCOMPARE(f[9].toDouble(), CompositeValue(d));
        QCOMPARE(f[5].toDouble(), Int(CompositeValue(d)));
        QCOMPARE(f[10], IsCriticalDay(d, ProgramCriticalLevel) ? "1" : "0");
    }
    QVERIFY(lines[1].startsWith("1960-02-04,-2,"));
    QCOMPARE(lines[3], "1960-02-06,0,0,0,0,0,0,0,0,0,1");
}

void tst_Companion::criticalDaysAreTheModelsOnes()
{
    const Result result = runChart({"critical", "--birth", "1960-02-06", "--from", "1960-02-06", "--to",
                                    dayText(Birth1960 + 6566)});
    QCOMPARE(result.status, 0);
    QStringList expected;
    for (const int d : {0, 644, 1288, 1484, 2128, 2772, 3416, 4060, 6566})
        expected << dayText(Birth1960 + d);
    QCOMPARE(QString::fromLatin1(result.out).split(u'\n', Qt::SkipEmptyParts), expected);

    // A range with no critical day in it prints nothing.
    const Result none = runChart({"critical", "--birth", "1960-02-06", "--from", "1960-02-07", "--to",
                                  dayText(Birth1960 + 643)});
    QCOMPARE(none.status, 0);
    QVERIFY(none.out.isEmpty());
}

void tst_Companion::compare_data()
{
    QTest::addColumn<int>("apart");
    QTest::addColumn<QString>("expected");

    QTest::newRow("same day") << 0 << "体力\t100%\n情绪\t100%\n智力\t100%\n平均\t100%\n";
    QTest::newRow("half an Emotional period") << 14 << "体力\t11%\n情绪\t0%\n智力\t6%\n平均\t6%\n";
    QTest::newRow("other way round") << -14 << "体力\t11%\n情绪\t0%\n智力\t6%\n平均\t6%\n";
    QTest::newRow("14 Physical periods") << 322 << "体力\t100%\n情绪\t0%\n智力\t52%\n平均\t51%\n";
}

void tst_Companion::compare()
{
    QFETCH(int, apart);
    QFETCH(QString, expected);
    const Result result = runChart({"compare", "--birth", "1960-02-06", "--other", dayText(Birth1960 + apart)});
    QCOMPARE(result.status, 0);
    QCOMPARE(QString::fromUtf8(result.out), expected);

    // On a given day: both people's numbers as the table gives them.
    const QString on = QStringLiteral("2010-02-06");
    const Result withDay =
        runChart({"compare", "--birth", "1960-02-06", "--other", dayText(Birth1960 + apart), "--on", on});
    const auto numbers = [&](Date birth) {
        const auto row = runChart({"table", "--birth", dayText(birth), "--from", on, "--to", on})
                             .out.split('\n')[1].split(',');
        return row.mid(2, 4);
    };
    const auto first = numbers(Birth1960);
    const auto second = numbers(Birth1960 + apart);
    const QStringList lines = QString::fromUtf8(withDay.out).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    const QStringList plain = expected.split(u'\n', Qt::SkipEmptyParts);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(lines[i], plain[i] + u'\t' + first[i] + u'\t' + second[i]);
    QCOMPARE(lines[3], QStringLiteral("综合\t-\t") + first[3] + u'\t' + second[3]);
    QCOMPARE(lines[4], plain[3]);
}

void tst_Companion::badInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");

    const QString png = QStringLiteral("bad.png");
    QTest::newRow("no command") << QStringList{} << "command";
    QTest::newRow("unknown command") << QStringList{"plot"} << "plot";
    QTest::newRow("no such day") << QStringList{"chart", "--birth", "1960-02-30", "--query", "2010-01-01", "-o", png}
                                 << "--birth";
    QTest::newRow("not a date") << QStringList{"table", "--birth", "1960-02-06", "--from", "yesterday", "--to",
                                               "2010-01-01"}
                                << "--from";
    QTest::newRow("year out of range") << QStringList{"critical", "--birth", "1960-02-06", "--from", "1960-02-06",
                                                      "--to", "10000-01-01"}
                                       << "--to";
    QTest::newRow("range backwards") << QStringList{"table", "--birth", "1960-02-06", "--from", "2010-01-02",
                                                    "--to", "2010-01-01"}
                                     << "--to";
    QTest::newRow("span too narrow") << QStringList{"chart", "--birth", "1960-02-06", "--query", "2010-01-01",
                                                    "--span", "39", "-o", png}
                                     << "--span";
    QTest::newRow("span not a number") << QStringList{"chart", "--birth", "1960-02-06", "--query", "2010-01-01",
                                                      "--span=wide", "-o", png}
                                       << "--span";
    QTest::newRow("scale 3") << QStringList{"chart", "--birth", "1960-02-06", "--query", "2010-01-01", "--scale",
                                            "3", "-o", png}
                             << "--scale";
    QTest::newRow("other image type") << QStringList{"chart", "--birth", "1960-02-06", "--query", "2010-01-01",
                                                     "-o", "bad.jpg"}
                                      << "-o";
    QTest::newRow("no output file") << QStringList{"chart", "--birth", "1960-02-06", "--query", "2010-01-01"}
                                    << "-o";
    QTest::newRow("missing birth") << QStringList{"compare", "--other", "1960-02-06"} << "--birth";
    QTest::newRow("misspelt option") << QStringList{"compare", "--birth", "1960-02-06", "--othre", "1970-01-01"}
                                     << "--othre";
    QTest::newRow("value missing") << QStringList{"compare", "--birth", "1960-02-06", "--other"} << "--other";
    QTest::newRow("given twice") << QStringList{"compare", "--birth", "1960-02-06", "--birth", "1960-02-07",
                                                "--other", "1970-01-01"}
                                 << "--birth";
}

void tst_Companion::badInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    QDir::setCurrent(m_dir.path());
    const Result result = runChart(arguments);
    QCOMPARE(result.status, 2);
    QVERIFY(result.out.isEmpty());
    const QString message = QString::fromUtf8(result.err);
    QCOMPARE(message.count(u'\n'), 1);
    QVERIFY2(message.startsWith(u"quorvel-chart: ") && message.contains(named), qPrintable(message));
    if (message.contains(u"not a date"))
        QVERIFY(message.contains(u"yyyy-mm-dd"));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("bad.png"))));
}

void tst_Companion::unwritableOutput_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "chart.png";
    QTest::newRow("svg") << "chart.svg";
    QTest::newRow("csv") << "table.csv";
}

void tst_Companion::unwritableOutput()
{
    QFETCH(QString, name);
    // A folder that does not exist: a plain file stands where it should be.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    QFile(blocker).open(QIODevice::WriteOnly);
    const QString path = blocker + u'/' + name;
    const QStringList arguments = name.endsWith(u".csv")
        ? QStringList{"table", "--birth", "1960-02-06", "--from", "2000-01-01", "--to", "2000-12-31", "-o", path}
        : QStringList{"chart", "--birth", "1960-02-06", "--query", "2000-01-01", "-o", path};
    const Result result = runChart(arguments);
    QCOMPARE(result.status, 1);
    QCOMPARE(QString::fromUtf8(result.err).count(u'\n'), 1);
    QVERIFY(result.err.contains(path.toUtf8()));
    QVERIFY(!QFile::exists(path));

    // Standard output that cannot take the table is a failure too.
    if (name.endsWith(u".csv")) {
        const Result full = runChart(arguments.mid(0, 7), QStringLiteral("/dev/full"));
        QCOMPARE(full.status, 1);
        QVERIFY(full.err.contains("standard output"));
    }
}

void tst_Companion::existingFileIsReplacedWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("table.csv"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(1 << 20, 'x'));
    old.close();

    const QStringList arguments{"table", "--birth", "1960-02-06", "--from", "2000-01-01", "--to", "2000-01-31"};
    const Result printed = runChart(arguments);
    QCOMPARE(runChart(arguments + QStringList{"-o", path}).status, 0);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), printed.out);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"table.csv"});
}

QTEST_MAIN(tst_Companion)
#include "tst_companion.moc"
