// SPDX-License-Identifier: GPL-3.0-or-later
// quorvel-chart run as a user runs it, its outputs held against the model
// and against the analysis window's own chart.
#include "windowtest.h"

#include "chart/query.h"
#include "companion/companion.h"
#include "exports/chartexports.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <cmath>
#include <cstddef>
#include <optional>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>

using namespace quorvel;
using namespace quorvel::test;
using namespace Qt::StringLiterals;

namespace {

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

constexpr uid_t User = 65534; // nobody

// The moment every run takes as now: 2026-06-15 12:00 UTC, as
// SOURCE_DATE_EPOCH gives it.
constexpr qint64 Now = 1781524800;

struct Run {
    bool asUser = false; // as an ordinary user
    QString standardOutput; // a file for standard output
    bool appendToOutput = false; // that file opened for appending, as >> does
    int outputDescriptor = -1; // a descriptor handed over as standard output
    bool closedPipe = false; // standard output a pipe that nobody reads
    bool closedOutput = false; // started without standard output
    bool noUnnamedFiles = false; // as on a file system without O_TMPFILE
    qint64 killWhenWritten = 0; // killed once a file it writes holds this many bytes
};

// Where nobody's runs happen, as root: a folder nobody can reach, holding
// the copy of quorvel-chart that nobody runs. The build folder may lie where
// only its owner may enter (a home folder of mode 0700), and so may the
// temporary folder (pam_tmpdir's /tmp/user/0).
QString g_usersBase;
QString g_usersChart;

// Finds that folder among the temporary folder and the system's shared
// ones, beneath `folder`; what went wrong, empty when nothing did.
QString prepareUsersFolder(std::optional<QTemporaryDir> &folder)
{
    for (const QString &base : {QDir::tempPath(), u"/tmp"_s, u"/var/tmp"_s, u"/dev/shm"_s}) {
        folder.emplace(base + u"/quorvel-users-XXXXXX"_s);
        const QString chart = folder->filePath(QStringLiteral("quorvel-chart"));
        if (!folder->isValid() || ::chmod(QFile::encodeName(folder->path()), 0755) != 0
            || !QFile::copy(QStringLiteral(QUORVEL_CHART), chart) || ::chmod(QFile::encodeName(chart), 0755) != 0)
            continue;
        QProcess reach;
        reach.start(QStringLiteral("setpriv"),
                    {"--reuid=65534", "--regid=65534", "--clear-groups", "--", chart, "--version"});
        if (reach.waitForFinished() && reach.exitCode() == 0) {
            g_usersBase = folder->path();
            g_usersChart = chart;
            return {};
        }
    }
    folder.reset();
    return u"no temporary folder that the user nobody can reach (tried %1, /tmp, /var/tmp, /dev/shm)"_s.arg(
        QDir::tempPath());
}

// Makes the system refuse this process and its children unnamed files
// (openat with O_TMPFILE), as a file system without them does. For a child
// between fork and exec: only calls that are safe there.
bool refuseUnnamedFiles()
{
    constexpr unsigned Flags = offsetof(seccomp_data, args[2]) + (Q_BYTE_ORDER == Q_BIG_ENDIAN ? 4 : 0);
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, Flags),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{std::size(filter), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// The size of the largest regular file that process `pid` has open: how
// far the output it makes has come.
qint64 writtenBytes(qint64 pid)
{
    const QByteArray descriptors = "/proc/" + QByteArray::number(pid) + "/fd/";
    qint64 largest = -1;
    for (const QString &descriptor : QDir(QFile::decodeName(descriptors)).entryList(QDir::Files | QDir::System)) {
        struct stat file;
        if (::stat(descriptors + descriptor.toLatin1(), &file) == 0 && S_ISREG(file.st_mode))
            largest = std::max<qint64>(largest, file.st_size);
    }
    return largest;
}

// Runs quorvel-chart; `last` is its last argument, bytes that QProcess would
// take for UTF-8 text, so the shell writes them out. As root, an ordinary
// user's run drops to nobody; as anyone else it already is one.
Result runChart(const QStringList &arguments, const Run &run = {}, const QByteArray &last = {})
{
    const bool dropped = run.asUser && ::geteuid() == 0;
    QStringList command{dropped ? g_usersChart : QStringLiteral(QUORVEL_CHART)};
    command << arguments;
    if (!last.isEmpty()) {
        QString octal;
        for (const char byte : last)
            octal += u"\\%1"_s.arg(uint(uchar(byte)), 3, 8, QLatin1Char('0'));
        command = QStringList{"sh", "-c", u"exec \"$@\" \"$(printf '%1')\""_s.arg(octal), "sh"} + command;
    }
    if (dropped)
        command = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"} + command;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"SOURCE_DATE_EPOCH"_s, QString::number(Now));
    process.setProcessEnvironment(environment);
    if (!run.standardOutput.isEmpty())
        process.setStandardOutputFile(run.standardOutput, run.appendToOutput ? QIODevice::Append : QIODevice::Truncate);
    int pipe[2] = {-1, -1};
    if (run.closedPipe) {
        if (::pipe(pipe) != 0)
            return {};
        ::close(pipe[0]);
    }
    process.setChildProcessModifier([&] {
        if (run.closedPipe)
            ::dup2(pipe[1], STDOUT_FILENO);
        if (run.closedOutput)
            ::close(STDOUT_FILENO);
        if (run.outputDescriptor >= 0)
            ::dup2(run.outputDescriptor, STDOUT_FILENO);
        if (run.noUnnamedFiles && !refuseUnnamedFiles())
            ::_exit(127);
    });
    process.start(command.takeFirst(), command);
    bool finished = false;
    for (QDeadlineTimer deadline(60000); !finished && process.state() != QProcess::NotRunning && !deadline.hasExpired();) {
        finished = process.waitForFinished(run.killWhenWritten ? 1 : 60000);
        if (!finished && run.killWhenWritten && writtenBytes(process.processId()) >= run.killWhenWritten)
            ::kill(pid_t(process.processId()), SIGKILL);
    }
    if (pipe[1] >= 0)
        ::close(pipe[1]);
    if (!finished)
        return {};
    if (process.exitStatus() != QProcess::NormalExit)
        return {-2, {}, {}}; // a signal, as a closed pipe sends
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

void put(const QByteArray &name, const QByteArray &bytes, mode_t mode)
{
    const int file = ::open(name, O_WRONLY | O_CREAT | O_TRUNC, mode);
    QVERIFY(file >= 0 && ::write(file, bytes.constData(), std::size_t(bytes.size())) == bytes.size());
    QCOMPARE(::fchmod(file, mode), 0);
    ::close(file);
}

QByteArray contents(const QByteArray &name)
{
    QFile file(QFile::decodeName(name));
    const int descriptor = ::open(name, O_RDONLY);
    if (descriptor < 0 || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return "cannot be read";
    return file.readAll();
}

// The names in a folder, one a line, sorted.
QByteArray entries(const QByteArray &folder)
{
    QList<QByteArray> names;
    if (DIR *listing = ::opendir(folder)) {
        while (const dirent *entry = ::readdir(listing)) {
            if (qstrcmp(entry->d_name, ".") && qstrcmp(entry->d_name, ".."))
                names << entry->d_name;
        }
        ::closedir(listing);
    }
    std::sort(names.begin(), names.end());
    return names.join('\n') + (names.isEmpty() ? "" : "\n");
}

// A device node of its own, as the system's /dev/null or /dev/full, which
// the suite never hands to a program that could replace it. Only root may
// make one; any other user cannot replace the system's own.
QByteArray scratchDevice(const QByteArray &folder, const char *name)
{
    const QByteArray system = QByteArray("/dev/") + name;
    if (::geteuid() != 0)
        return system;
    struct stat device = {};
    const QByteArray path = folder + name;
    if (::stat(system, &device) != 0 || ::mknod(path, S_IFCHR | 0666, device.st_rdev) != 0
        || ::chmod(path, 0666) != 0)
        qFatal("cannot make a device like %s", system.constData());
    return path;
}

int listeningSocket(const QByteArray &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path, sizeof address.sun_path);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(listener, 1) != 0
        || ::chmod(path, 0666) != 0)
        return -1;
    return listener;
}

// What the one connection to a listening socket sent.
QByteArray acceptAll(int listener)
{
    pollfd waiting{listener, POLLIN, 0};
    if (::poll(&waiting, 1, 0) != 1)
        return "nothing connected";
    const int connection = ::accept(listener, nullptr, nullptr);
    QByteArray bytes;
    char buffer[4096];
    for (ssize_t read; (read = ::read(connection, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, read);
    ::close(connection);
    return bytes;
}

// A 64 KiB tmpfs in a mount namespace of its own, which a shell keeps while
// it waits on its input: nothing stays mounted when the test ends, however
// it ends. The test reaches it through /proc/PID/root; as an ordinary user
// the namespace maps the user to root, who may mount it.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &mountPoint)
    {
        QStringList arguments{"--mount"};
        if (::geteuid() != 0)
            arguments << "--map-root-user";
        arguments << "sh" << "-c" << R"(mount -t tmpfs -o size=64k quorvel "$0" && echo mounted && read -r line)"
                  << mountPoint;
        m_shell.start(QStringLiteral("unshare"), arguments);
        m_shell.waitForReadyRead(10000);
        m_mounted = m_shell.readAllStandardOutput() == "mounted\n";
        if (!m_mounted) {
            m_shell.waitForFinished(1000);
            m_error = "unshare --mount could not mount a 64 KiB tmpfs: " + m_shell.readAllStandardError();
        }
        m_path = QFile::encodeName(u"/proc/%1/root%2"_s.arg(m_shell.processId()).arg(mountPoint));
    }
    ~SmallDisk()
    {
        m_shell.closeWriteChannel();
        m_shell.waitForFinished();
    }

    bool mounted() const { return m_mounted; }
    QByteArray error() const { return m_error; }
    QByteArray path() const { return m_path; }

    // Fills the disk up to `room` bytes.
    void fill(off_t room)
    {
        const int filler = ::open(m_path + "/filler", O_WRONLY | O_CREAT, 0644);
        const QByteArray block(4096, 'x');
        off_t size = 0;
        while (::write(filler, block.constData(), std::size_t(block.size())) == block.size())
            size += block.size();
        QCOMPARE(errno, ENOSPC);
        QCOMPARE(::ftruncate(filler, size - room), 0);
        ::close(filler);
    }

private:
    QProcess m_shell;
    QByteArray m_path;
    QByteArray m_error;
    bool m_mounted = false;
};

enum class Place { NewFile, OldFile, ReadOnly, Fifo, NullDevice, FullDevice, Socket, Link, HardLink, RawName,
                   NoFolder, FullDisk, StandardOutput, LongName, LongNameNamedStage, Acl, AclNamedUser, FolderAcl,
                   KilledHardLink, ClosedOutput, WindowFifo, DevStdoutAppended, DevFdAppended, DevStdoutClosed,
                   DevStdoutSocket, DeadSocket };

// An access control list in the system's form: the owner rw, the user
// nobody rw, the owning group `group`, the mask rw, others r (mode 0664).
QByteArray accessAcl(quint16 group)
{
    QByteArray acl;
    QDataStream out(&acl, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(POSIX_ACL_XATTR_VERSION);
    const quint32 none = quint32(ACL_UNDEFINED_ID);
    for (const auto &[tag, permissions, id] : {std::tuple{ACL_USER_OBJ, 6, none}, {ACL_USER, 6, User},
                                               {ACL_GROUP_OBJ, int(group), none}, {ACL_MASK, 6, none},
                                               {ACL_OTHER, 4, none}})
        out << quint16(tag) << quint16(permissions) << quint32(id);
    return acl;
}

QByteArray attribute(const QByteArray &name, const char *key)
{
    QByteArray value(4096, Qt::Uninitialized);
    const ssize_t size = ::getxattr(name, key, value.data(), std::size_t(value.size()));
    return size < 0 ? QByteArray("none") : value.left(size);
}

QString dayText(Date date) { return Format(date, u"yyyy-mm-dd"); }

const Date Birth1960 = 21952.0; // 1960-02-06

} // namespace

Q_DECLARE_METATYPE(Place)

class tst_Companion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void centredSpanPosition_data();
    void centredSpanPosition();
    void pngIsTheWindowsChart_data();
    void pngIsTheWindowsChart();
    void futureQueryIsToday_data();
    void futureQueryIsToday();
    void tableRowsAreTheModelsValues();
    void criticalDaysAreTheModelsOnes();
    void compare_data();
    void compare();
    void badInput_data();
    void badInput();
    void outputMeetsWhatStandsThere_data();
    void outputMeetsWhatStandsThere();
    void helpAndVersion();
    void spanInFullWidthDigits();
    void personStandsForTheBirthDate_data();
    void personStandsForTheBirthDate();
    void personNotKept_data();
    void personNotKept();
    void lunarDateOptions_data();
    void lunarDateOptions();

private:
    QString peopleFile() const { return m_dir.filePath(QStringLiteral("config/quorvel/people.txt")); }
    void putPeople(const QByteArray &bytes);

    QTemporaryDir m_dir;
    std::optional<QTemporaryDir> m_usersFolder;
};

void tst_Companion::initTestCase()
{
    initAssets();
    QVERIFY(m_dir.isValid());
    // The list of people quorvel-chart reads is this test's.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
    if (::geteuid() == 0) {
        const QString failed = prepareUsersFolder(m_usersFolder);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }
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

// The PNG is the chart area as the window paints it, span labels and all,
// and under it the legend as the window shows it beside the readout.
void tst_Companion::pngIsTheWindowsChart()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    QFETCH(int, span);

    const QString file = m_dir.filePath(QStringLiteral("chart.png"));
    const Result result = runChart({"chart", "--birth", birth, "--query", query, "--span", QString::number(span),
                                    "-o", file});
    QCOMPARE(result.status, 0);
    const QImage png = QImage(file).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(png.size(), ChartSize + QSize(0, LegendStripHeight));

    SharedValues shared;

    Runtime runtime;
    QImage window;
    QImage legend;
    QPoint legendSwatches;
    withLoadedWindow(shared, runtime, [&](frmQORVEL &w) {
        typeInto(w.TXTCSRQ, birth);
        QTest::keyClick(w.TXTCSRQ, Qt::Key_Return);
        w.PROPTION->setValueChecked(span);
        typeInto(w.txtCXRQ, query);
        QTest::keyClick(w.txtCXRQ, Qt::Key_Return);
        QVERIFY(!w.PicBack->hasFocus()); // no focus frame
        window = w.PicBack->grab().toImage().convertToFormat(QImage::Format_RGB32);
        legend = w.Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    });
    QCOMPARE(window.size(), ChartSize);
    QVERIFY(png.copy(QRect(QPoint(), ChartSize)) == window);

    // Every pixel of the window's legend in a curve's colour (the swatches'
    // insides) is that colour in the strip under the chart, at the same
    // place in the legend.
    const QImage strip = png.copy(0, ChartSize.height(), png.width(), LegendStripHeight);
    const QPoint origin(4, (LegendStripHeight - legend.height()) / 2);
    int swatchPixels = 0;
    for (int y = 0; y < legend.height(); ++y)
        for (int x = 0; x < legend.width(); ++x)
            if (const QRgb c = legend.pixel(x, y);
                c == PhysicalColour || c == EmotionalColour || c == IntellectualColour || c == CompositeColour) {
                QCOMPARE(strip.pixel(origin + QPoint(x, y)), c);
                ++swatchPixels;
            }
    QCOMPARE(swatchPixels, 4 * 7 * 15);
}

// A query after the moment taken as now (2026-06-15 12:00) is drawn as
// today at 00:00; one before it as it is.
void tst_Companion::futureQueryIsToday_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("drawnAs");
    QTest::newRow("the last day") << "9999-12-31" << "2026-06-15";
    QTest::newRow("tomorrow") << "2026-06-16" << "2026-06-15";
    QTest::newRow("later today") << "2026-06-15 18:00" << "2026-06-15";
    QTest::newRow("earlier today") << "2026-06-15 06:00" << "2026-06-15 06:00";
    QTest::newRow("yesterday") << "2026-06-14" << "2026-06-14";
}

void tst_Companion::futureQueryIsToday()
{
    QFETCH(QString, query);
    QFETCH(QString, drawnAs);
    const QString asked = m_dir.filePath(QStringLiteral("asked.pdf"));
    const QString drawn = m_dir.filePath(QStringLiteral("drawn.pdf"));
    QCOMPARE(runChart({"chart", "--birth", "1990-05-05 18:00", "--query", query, "-o", asked}).status, 0);
    QCOMPARE(runChart({"chart", "--birth", "1990-05-05 18:00", "--query", drawnAs, "-o", drawn}).status, 0);
    // The sheets as a reader reads them: the dates, the span, the values.
    const auto text = [](const QString &pdf) {
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, {u"-raw"_s, pdf, u"-"_s});
        return pdftotext.waitForFinished(60000) ? pdftotext.readAllStandardOutput() : QByteArray();
    };
    const QByteArray sheet = text(drawn);
    QVERIFY(sheet.contains("查询日期：" + drawnAs.toUtf8() + '\n') && sheet.contains("制作日期：2026-06-15"));
    QCOMPARE(text(asked), sheet);
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
    QTest::newRow("no command") << QStringList{} << "chart、table";
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
    QTest::newRow("--format against the file's ending")
        << QStringList{"chart", "--birth", "1960-02-06", "--query", "2010-01-01", "--format", "svg", "-o", png}
        << "--format svg";
    QTest::newRow("no output file") << QStringList{"chart", "--birth", "1960-02-06", "--query", "2010-01-01"}
                                    << "-o";
    QTest::newRow("missing birth") << QStringList{"compare", "--other", "1960-02-06"} << "--birth";
    QTest::newRow("misspelt option") << QStringList{"compare", "--birth", "1960-02-06", "--othre", "1970-01-01"}
                                     << "--othre";
    QTest::newRow("value missing") << QStringList{"compare", "--birth", "1960-02-06", "--other"} << "--other";
    QTest::newRow("given twice") << QStringList{"compare", "--birth", "1960-02-06", "--birth", "1960-02-07",
                                                "--other", "1970-01-01"}
                                 << "--birth";
    QTest::newRow("standard output without a format")
        << QStringList{"chart", "--birth", "1960-02-06", "--query", "2010-01-01", "-o", "-"} << "--format";
    QTest::newRow("a word left over") << QStringList{"table", "--birth", "1960-02-06", "extra"} << "extra";
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
    QVERIFY2(message.startsWith(u"quorvel-chart：") && message.contains(named), qPrintable(message));
    if (message.contains(u"不是日期"))
        QVERIFY(message.contains(u"yyyy-mm-dd、yyyy/m/d、yyyy.m.d 或 yyyy年m月d日"));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("bad.png"))));
}

// Every way an output can meet what stands at its name: written, or status 1
// with the system's reason and what stood there as it was; killed midway,
// what stood there as it was; never replaced by surprise, and nothing left
// beside it. The window's save, through the same writer, never waits.
void tst_Companion::outputMeetsWhatStandsThere_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("asUser");
    QTest::addColumn<QString>("reason"); // of the failure; empty when written

    QTest::newRow("new file") << Place::NewFile << "csv" << true << "";
    QTest::newRow("old file: mode and owner kept") << Place::OldFile << "png" << false << "";
    QTest::newRow("read-only, as root") << Place::ReadOnly << "csv" << false << "只读";
    QTest::newRow("read-only, the user's own") << Place::ReadOnly << "svg" << true << "只读";
    QTest::newRow("FIFO with a reader") << Place::Fifo << "svg" << true << "";
    QTest::newRow("device") << Place::NullDevice << "csv" << true << "";
    QTest::newRow("full device") << Place::FullDevice << "png" << true << "设备中已没有剩余空间";
    QTest::newRow("socket") << Place::Socket << "csv" << true << "";
    // Beyond the program's own words, the C library's Chinese ones.
    QTest::newRow("socket nobody listens on") << Place::DeadSocket << "csv" << true << "拒绝连接";
    QTest::newRow("symbolic link") << Place::Link << "csv" << true << "";
    QTest::newRow("hard link") << Place::HardLink << "csv" << true << "";
    QTest::newRow("name not UTF-8") << Place::RawName << "csv" << true << "";
    QTest::newRow("no such folder") << Place::NoFolder << "png" << true << "不是目录";
    for (const char *format : {"csv", "svg", "png", "pdf"})
        QTest::addRow("full disk, %s", format) << Place::FullDisk << format << false << "设备中已没有剩余空间";
    QTest::newRow("standard output, full") << Place::StandardOutput << "png" << true << "设备中已没有剩余空间";
    QTest::newRow("standard output closed") << Place::ClosedOutput << "csv" << true << "文件描述符无效";
    QTest::newRow("255-byte name") << Place::LongName << "csv" << true << "";
    QTest::newRow("255-byte name, no unnamed files") << Place::LongNameNamedStage << "csv" << true << "";
    QTest::newRow("ACL and attribute kept") << Place::Acl << "svg" << false << "";
    QTest::newRow("ACL, written by the user it names") << Place::AclNamedUser << "csv" << true << "";
    QTest::newRow("no ACL, the folder's default one") << Place::FolderAcl << "csv" << false << "";
    QTest::newRow("hard link, killed") << Place::KilledHardLink << "csv" << true << "";
    QTest::newRow("window's save, FIFO without a reader") << Place::WindowFifo << "png" << false << "没有程序在读取";
    // The names of a descriptor are that descriptor, as - is: a file the
    // shell opened to append to (here another user's, in a sticky folder,
    // which no new file could replace), a closed output, a socket.
    QTest::newRow("/dev/stdout, appended to") << Place::DevStdoutAppended << "csv" << true << "";
    QTest::newRow("/dev/fd/1, appended to") << Place::DevFdAppended << "svg" << true << "";
    QTest::newRow("/dev/stdout closed") << Place::DevStdoutClosed << "csv" << true << "文件描述符无效";
    QTest::newRow("/dev/stdout, a socket") << Place::DevStdoutSocket << "csv" << true << "";
}

void tst_Companion::outputMeetsWhatStandsThere()
{
    QFETCH(Place, place);
    QFETCH(QString, format);
    QFETCH(bool, asUser);
    QFETCH(QString, reason);
    const bool killed = place == Place::KilledHardLink;
    const bool window = place == Place::WindowFifo;
    // Killed while it writes a thousand years of rows, some 40 MB.
    const QStringList arguments = killed
        ? QStringList{"table", "--birth", "1960-02-06", "--from", "1900-01-01", "--to", "2899-12-31"}
        : format == u"csv"
        ? QStringList{"table", "--birth", "1960-02-06", "--from", "2000-01-01", "--to", "2000-12-31"}
        : QStringList{"chart", "--birth", "1960-02-06", "--query", "2000-01-01", "--made", "2026-01-02",
                      "--format", format};
    const bool root = ::geteuid() == 0;
    if (!asUser && !root && place == Place::ReadOnly)
        QSKIP("root's own run needs root");
    const Result reference = killed || window ? Result{0, {}, {}} : runChart(arguments + QStringList{"-o", "-"});
    QCOMPARE(reference.status, 0);

    QTemporaryDir dir(asUser && root ? g_usersBase + u"/row-XXXXXX"_s : QDir::tempPath() + u"/tst_companion-XXXXXX"_s);
    QVERIFY(dir.isValid());
    if (asUser && root)
        QCOMPARE(::chown(QFile::encodeName(dir.path()), User, User), 0);
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    QByteArray path = folder + "out." + format.toLatin1();
    QByteArray target = path; // where the output is read back
    const QByteArray old = "what stood there\n";
    Run run;
    run.asUser = asUser;
    QProcess reader;
    std::optional<SmallDisk> disk;
    int listener = -1;
    int socketEnds[2] = {-1, -1};
    switch (place) {
    case Place::NewFile:
        break;
    case Place::OldFile:
        put(path, old, 0640);
        if (root) // another user's file, which root may give back to them
            QCOMPARE(::chown(path, User, User), 0);
        break;
    case Place::ReadOnly:
        put(path, old, 0444);
        if (asUser && root)
            QCOMPARE(::chown(path, User, User), 0);
        break;
    case Place::Fifo:
        QCOMPARE(::mkfifo(path, 0666), 0);
        QCOMPARE(::chmod(path, 0666), 0);
        target = folder + "read";
        reader.setStandardOutputFile(QFile::decodeName(target));
        reader.start(QStringLiteral("cat"), {QFile::decodeName(path)});
        QVERIFY(reader.waitForStarted());
        break;
    case Place::WindowFifo:
        QCOMPARE(::mkfifo(path, 0666), 0);
        break;
    case Place::NullDevice:
    case Place::FullDevice:
        path = target = scratchDevice(folder, place == Place::NullDevice ? "null" : "full");
        break;
    case Place::Socket:
        listener = listeningSocket(path);
        QVERIFY(listener >= 0);
        break;
    case Place::DeadSocket:
        // Its name stays when it closes.
        QCOMPARE(::close(listeningSocket(path)), 0);
        break;
    case Place::Link:
        target = folder + "linked.csv";
        put(target, old, 0666);
        QCOMPARE(::symlink("linked.csv", path), 0);
        break;
    case Place::HardLink:
    case Place::KilledHardLink:
        put(folder + "other name.csv", old, 0666);
        if (asUser && root)
            QCOMPARE(::chown(folder + "other name.csv", User, User), 0);
        QCOMPARE(::link(folder + "other name.csv", path), 0);
        break;
    case Place::RawName:
        path = target = folder + "raw\xff.csv";
        break;
    case Place::NoFolder:
        put(folder + "file", old, 0666);
        path = folder + "file/out.png";
        break;
    case Place::FullDisk:
        QVERIFY(::mkdir(folder + "disk", 0755) == 0);
        disk.emplace(QFile::decodeName(folder + "disk"));
        // An ordinary user mounts it in a user namespace, which a system
        // may not allow.
        if (!disk->mounted() && !root)
            QSKIP(disk->error().constData());
        QVERIFY2(disk->mounted(), disk->error().constData());
        path = target = disk->path() + "/out." + format.toLatin1();
        put(path, old, 0644);
        disk->fill(4096);
        break;
    case Place::StandardOutput:
        run.standardOutput = QStringLiteral("/dev/full"); // handed over open, never by name
        path = "-";
        break;
    case Place::ClosedOutput:
    case Place::DevStdoutClosed:
        run.closedOutput = true;
        path = place == Place::ClosedOutput ? "-" : "/dev/stdout";
        break;
    case Place::DevStdoutAppended:
    case Place::DevFdAppended:
        // The folder and the file another user's (root's, for nobody).
        if (asUser && root)
            QCOMPARE(::chown(folder, 0, 0), 0);
        QCOMPARE(::chmod(folder, 01777), 0);
        put(target, old, 0666);
        run.standardOutput = QFile::decodeName(target);
        run.appendToOutput = true;
        path = place == Place::DevStdoutAppended ? "/dev/stdout" : "/dev/fd/1";
        break;
    case Place::DevStdoutSocket:
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, socketEnds), 0);
        run.outputDescriptor = socketEnds[1];
        path = "/dev/stdout";
        break;
    case Place::LongName:
    case Place::LongNameNamedStage:
        // 83 Chinese characters of three bytes each, then 6 bytes.
        path = target = folder + QString(83, u'名').toUtf8() + "xx.csv";
        put(path, old, 0644);
        if (root)
            QCOMPARE(::chown(path, User, User), 0);
        run.noUnnamedFiles = place == Place::LongNameNamedStage;
        break;
    case Place::Acl:
    case Place::AclNamedUser:
        put(path, old, 0664);
        if (::setxattr(path, "user.note", "kept", 4, 0) != 0)
            QSKIP(qPrintable(u"no extended attributes here: "_s + qt_error_string(errno)));
        QCOMPARE(::setxattr(path, "system.posix_acl_access", accessAcl(6), accessAcl(6).size(), 0), 0);
        break;
    case Place::FolderAcl:
        put(path, old, 0664);
        if (::setxattr(folder, "system.posix_acl_default", accessAcl(6), accessAcl(6).size(), 0) != 0)
            QSKIP(qPrintable(u"no access control lists here: "_s + qt_error_string(errno)));
        break;
    }
    if (killed)
        run.killWhenWritten = 1 << 20;
    const QByteArray before = entries(disk ? disk->path() : folder);
    struct stat was = {};
    const bool existed = ::lstat(path, &was) == 0;

    QString message;
    Result result;
    if (window) {
        // The window's thread answers at once. A writer stuck in open() is
        // let go after 60 s by a reader, far longer than loading the window
        // and saving take on any machine, so that the test fails, not hangs.
        std::atomic<bool> answered = false;
        std::thread unblock([&] {
            for (int wait = 0; wait < 6000 && !answered; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const int fifo = answered ? -1 : ::open(path, O_RDONLY | O_NONBLOCK);
            for (char buffer[4096]; fifo >= 0 && !answered;)
                if (::read(fifo, buffer, sizeof buffer) <= 0)
                    std::this_thread::yield();
            ::close(fifo);
        });
        SharedValues shared;
        Runtime runtime;
        withLoadedWindow(shared, runtime, [&](frmQORVEL &w) {
            w.TXTCSRQ->setText(u"1960-02-06"_s);
            w.txtCXRQ->setText(u"2000-01-01"_s);
            w.CMDcx_Click();
            message = w.saveChart(QFile::decodeName(path));
        });
        answered = true;
        unblock.join();
    } else {
        result = runChart(arguments + QStringList{"-o"}, run, path);
        message = QString::fromUtf8(result.err);
    }
    QByteArray sent; // through the socket handed over as standard output
    if (socketEnds[0] >= 0) {
        ::close(socketEnds[1]);
        char buffer[4096];
        for (ssize_t size; (size = ::read(socketEnds[0], buffer, sizeof buffer)) > 0;)
            sent.append(buffer, size);
        ::close(socketEnds[0]);
    }
    const bool written = reason.isEmpty() && !killed;
    struct stat is = {};
    QCOMPARE(::lstat(path, &is), existed || written ? 0 : -1);
    if (existed) {
        // The same thing stands there, but for a file replaced: by one of
        // the same mode and owner.
        if (!(S_ISREG(was.st_mode) && written))
            QCOMPARE(is.st_ino, was.st_ino);
        QCOMPARE(is.st_mode, was.st_mode);
        if (place != Place::AclNamedUser)
            QCOMPARE(is.st_uid, was.st_uid);
    }
    if (killed) {
        QCOMPARE(result.status, -2);
        if (existed)
            QCOMPARE(contents(path), old);
    } else if (window) {
        QVERIFY2(message.contains(reason), qPrintable(message));
    } else if (!reason.isEmpty()) {
        QCOMPARE(result.status, 1);
        QCOMPARE(message.count(u'\n'), 1);
        const QString named = path == "-" ? QStringLiteral("标准输出") : u"“%1”"_s.arg(QString::fromUtf8(path));
        QVERIFY2(message.contains(named) && message.contains(reason), qPrintable(message));
        if (S_ISREG(was.st_mode))
            QCOMPARE(contents(path), old);
    } else {
        QCOMPARE(message, QString());
        QCOMPARE(result.status, 0);
        if (place == Place::Fifo)
            QVERIFY(reader.waitForFinished());
        if (place == Place::Socket)
            QCOMPARE(acceptAll(listener), reference.out);
        else if (place == Place::DevStdoutSocket)
            QCOMPARE(sent, reference.out);
        else if (place == Place::DevStdoutAppended || place == Place::DevFdAppended)
            QCOMPARE(contents(target), old + reference.out);
        else
            QCOMPARE(contents(target), place == Place::NullDevice ? QByteArray() : reference.out);
    }
    // A file's other name keeps what it held, also when the file is replaced.
    if (place == Place::HardLink || place == Place::KilledHardLink) {
        QCOMPARE(contents(folder + "other name.csv"), old);
        QCOMPARE(is.st_nlink, killed ? 2u : 1u);
    }
    // A replaced file has the list of who may do what, the owning group
    // narrowed to what others may where the writer could not keep the group,
    // and the user's attributes.
    if (place == Place::Acl || place == Place::AclNamedUser) {
        QCOMPARE(attribute(path, "system.posix_acl_access"), accessAcl(place == Place::Acl ? 6 : 4));
        QCOMPARE(attribute(path, "user.note"), "kept");
    }
    if (place == Place::FolderAcl)
        QCOMPARE(attribute(path, "system.posix_acl_access"), "none");
    if (listener >= 0)
        ::close(listener);
    // Nothing left beside it but a new file, under the very name given.
    const bool created = !existed && written;
    QCOMPARE(entries(disk ? disk->path() : folder),
             created ? before + path.mid(path.lastIndexOf('/') + 1) + '\n' : before);
    // QTemporaryDir cannot remove a name that is not UTF-8; a name of the
    // system's (/dev/stdout) is never touched.
    if (path.startsWith(folder))
        ::unlink(path);
}

// --help and --version answer on standard output; when it cannot take them,
// the status says so.
void tst_Companion::helpAndVersion()
{
    const Result version = runChart({"--version"});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, "quorvel-chart " QUORVEL_VERSION "\n");
    const Result help = runChart({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.startsWith("用法：quorvel-chart 命令 [选项]\n"));
    const Result chartHelp = runChart({"chart", "--help"});
    QCOMPARE(chartHelp.status, 0);
    for (const char *option : {"--birth <日期>", "--span <天数>", "-o, --output <文件>", "--format <格式>"})
        QVERIFY2(chartHelp.out.contains(option), option);

    Run full;
    full.standardOutput = QStringLiteral("/dev/full"); // handed over open, never by name
    const Result onFullDisk = runChart({"--help"}, full);
    QCOMPARE(onFullDisk.status, 1);
    QVERIFY(onFullDisk.err.contains("标准输出") && QString::fromUtf8(onFullDisk.err).contains(u"设备中已没有剩余空间"_s));
    Run closedPipe;
    closedPipe.closedPipe = true;
    QCOMPARE(runChart({"table", "--help"}, closedPipe).status, -2); // SIGPIPE, as the help says
}

// --span takes the digits a Chinese input method types, as the date boxes do.
void tst_Companion::spanInFullWidthDigits()
{
    const QStringList arguments{"chart", "--birth", "1960-02-06", "--query", "2000-01-01", "--format", "svg",
                                "-o", "-", "--span"};
    const Result wide = runChart(arguments + QStringList{"１２０"});
    QCOMPARE(wide.status, 0);
    QCOMPARE(wide.out, runChart(arguments + QStringList{"120"}).out);
}

void tst_Companion::putPeople(const QByteArray &bytes)
{
    QDir(m_dir.filePath(QStringLiteral("config"))).removeRecursively();
    if (bytes.isNull())
        return;
    QVERIFY(QDir().mkpath(QFileInfo(peopleFile()).path()));
    QFile file(peopleFile());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

const QByteArray TwoPeople = "# 家人\n1980-01-01 = 张三\n1985-06-15 08:30 = 李四\n"_ba;

void tst_Companion::personStandsForTheBirthDate_data()
{
    QTest::addColumn<QStringList>("withPerson");
    QTest::addColumn<QStringList>("withBirth");
    const QStringList svg{"--query", "2009-11-03", "--format", "svg", "-o", "-"};
    QTest::newRow("chart, its time of day counted") << QStringList{"chart", "--person", "李四"} + svg
                                                    << QStringList{"chart", "--birth", "1985-06-15 08:30"} + svg;
    const QStringList days{"--from", "2009-01-01", "--to", "2009-03-31"};
    QTest::newRow("table, blanks around the name") << QStringList{"table", "--person", " 张三 "} + days
                                                   << QStringList{"table", "--birth", "1980-01-01"} + days;
    QTest::newRow("calendar") << QStringList{"calendar", "--made", "2020-01-01", "--person=李四"} + days
                              << QStringList{"calendar", "--made", "2020-01-01", "--birth=1985-06-15"} + days;
    QTest::newRow("compare, two people") << QStringList{"compare", "--person", "张三", "--other-person", "李四", "--on",
                                                        "2010-01-01"}
                                         << QStringList{"compare", "--birth", "1980-01-01", "--other", "1985-06-15",
                                                        "--on", "2010-01-01"};
}

// --person gives what --birth with the person's date gives.
void tst_Companion::personStandsForTheBirthDate()
{
    QFETCH(QStringList, withPerson);
    QFETCH(QStringList, withBirth);
    putPeople(TwoPeople);
    const Result person = runChart(withPerson);
    QCOMPARE(person.status, 0);
    QVERIFY(!person.out.isEmpty());
    QCOMPARE(person.out, runChart(withBirth).out);
    QCOMPARE(QFile(peopleFile()).size(), TwoPeople.size());
}

void tst_Companion::personNotKept_data()
{
    QTest::addColumn<QByteArray>("people"); // null: no file
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    const QStringList days{"--from", "2009-01-01", "--to", "2009-03-31"};
    QTest::newRow("unknown name") << TwoPeople << QStringList{"critical", "--person", "王五"} + days
                                  << u"--person：没有记住叫“王五”的人；记住的人有：张三、李四"_s;
    QTest::newRow("no list yet") << QByteArray() << QStringList{"critical", "--person", "张三"} + days
                                 << u"--person：没有记住叫“张三”的人；人员列表文件“%1”里还没有记住任何人"_s;
    QTest::newRow("the other person unknown")
        << TwoPeople << QStringList{"compare", "--person", "张三", "--other-person", "王五"}
        << u"--other-person：没有记住叫“王五”的人"_s;
    QTest::newRow("the person to compare with unknown")
        << TwoPeople << QStringList{"chart", "--birth", "1980-01-01", "--query", "2009-11-03", "--with-person", "王五",
                                    "-o", "-", "--format", "png"}
        << u"--with-person：没有记住叫“王五”的人"_s;
    QTest::newRow("an entry skipped is said") << "1980-02-30 = 王五\n"_ba << QStringList{"table", "--person", "王五"} + days
                                              << u"第1行：“1980-02-30”不是日期"_s;
    QTest::newRow("both --birth and --person")
        << TwoPeople << QStringList{"table", "--birth", "1980-01-01", "--person", "张三"} + days
        << u"--birth 和 --person 只能给一个"_s;
    QTest::newRow("a list that cannot be read") << "1980-01-01 = \xD5\xC5\n"_ba
                                                << QStringList{"table", "--person", "张三"} + days
                                                << u"--person：无法读取人员列表文件“%1”：文件不是 UTF-8 文本"_s;
}

// A name the list does not hold ends with status 2 in one line that says
// what the list holds; the list is only read, a missing one never made.
void tst_Companion::personNotKept()
{
    QFETCH(QByteArray, people);
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    putPeople(people);
    const Result result = runChart(arguments);
    QCOMPARE(result.status, 2);
    QVERIFY(result.out.isEmpty());
    const QString message = QString::fromUtf8(result.err);
    QCOMPARE(message.count(u'\n'), 1);
    QVERIFY2(message.contains(said.contains(u"%1") ? said.arg(peopleFile()) : said), qPrintable(message));
    if (people.isNull()) {
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("config"))));
    } else {
        QFile file(peopleFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), people);
    }
}

void tst_Companion::lunarDateOptions_data()
{
    QTest::addColumn<QString>("lunar");
    QTest::addColumn<QString>("gregorian"); // the same day; empty when refused
    QTest::addColumn<QString>("said");      // on standard error when refused
    QTest::newRow("names, leap month") << "2023年农历闰二月初三" << "2023-03-24" << "";
    QTest::newRow("full-width digits") << "农历１９８５－５－２７" << "1985-07-14" << "";
    QTest::newRow("no such leap month") << "农历2023年闰三月初一" << ""
                                        << "不是日期：农历2023年没有闰三月，这一年闰二月";
    QTest::newRow("year out of range") << "农历1900年正月初一" << "" << "不是日期：农历日期的年份要在1901到2099之间";
    QTest::newRow("not well formed") << "农历1985年五月" << ""
                                     << "不是日期；日期写作 yyyy-mm-dd、yyyy/m/d、yyyy.m.d 或 yyyy年m月d日";
}

// A lunar date in a date option is its Gregorian day; one that does not
// exist is refused with status 2, saying why on one line.
void tst_Companion::lunarDateOptions()
{
    QFETCH(QString, lunar);
    QFETCH(QString, gregorian);
    QFETCH(QString, said);
    const QStringList range{"--from", "2010-01-01", "--to", "2010-01-05"};
    const Result result = runChart(QStringList{"table", "--birth", lunar} + range);
    if (!gregorian.isEmpty()) {
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, runChart(QStringList{"table", "--birth", gregorian} + range).out);
        return;
    }
    QCOMPARE(result.status, 2);
    QVERIFY(result.out.isEmpty());
    const QString message = QString::fromUtf8(result.err);
    QCOMPARE(message.count(u'\n'), 1);
    QVERIFY2(message.startsWith(u"quorvel-chart：--birth：“"_s + lunar + u"”"_s + said), qPrintable(message));
}

QTEST_MAIN(tst_Companion)
#include "tst_companion.moc"
