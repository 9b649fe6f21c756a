// SPDX-License-Identifier: GPL-3.0-or-later
// The list of people as its file holds it: what a user's text reads as, what
// a change leaves of it, and the file itself meeting what stands at its name
// and other programs changing it at the same time.
#include "people/peoplefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorvel;
using namespace Qt::StringLiterals;

namespace {

// The people of a list as "name=date text", in order.
QStringList entries(const PeopleList &list)
{
    QStringList texts;
    for (const Person &person : list.people)
        texts += person.name + u'=' + dateTimeText(person.birth);
    return texts;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString FortyOne = u"一二三四五六七八九十"_s.repeated(4) + u'零';

} // namespace

class tst_People : public QObject
{
    Q_OBJECT

private slots:
    void textReadsAsAList_data();
    void textReadsAsAList();
    void changeKeepsEveryOtherLine_data();
    void changeKeepsEveryOtherLine();
    void nothingOnDiskUntilSomeoneIsRemembered();
    void fileThatCannotBeUsedIsLeftAsItWas_data();
    void fileThatCannotBeUsedIsLeftAsItWas();
    void programsChangingItAtOnceKeepEachOthersPeople();
    void pathFollowsTheConfigurationFolder_data();
    void pathFollowsTheConfigurationFolder();
};

void tst_People::textReadsAsAList_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("people");
    QTest::addColumn<QStringList>("skipped"); // the line numbers and a word of why

    QTest::newRow("empty") << QByteArray() << QStringList{} << QStringList{};
    QTest::newRow("comments and blank lines") << "# 家人\n\n  \t\n   # 缩进的注释\n1980-01-01 = 张三\n"_ba
                                              << QStringList{u"张三=1980-01-01"_s} << QStringList{};
    QTest::newRow("time of day, seconds") << "1985-06-15 8:30 = 李四\n1990-05-30 18:00:05=王五"_ba
                                          << QStringList{u"李四=1985-06-15 08:30"_s, u"王五=1990-05-30 18:00:05"_s}
                                          << QStringList{};
    QTest::newRow("every form the boxes take") << "1980/1/2 = a\n1980.1.3 = b\n1980年1月4日 = c\n１９８０－０１－０５ = d\n"_ba
                                               << QStringList{u"a=1980-01-02"_s, u"b=1980-01-03"_s, u"c=1980-01-04"_s,
                                                              u"d=1980-01-05"_s}
                                               << QStringList{};
    QTest::newRow("Windows line ends and a byte order mark")
        << "\xEF\xBB\xBF# x\r\n1980-01-01 = 张三\r\n"_ba << QStringList{u"张三=1980-01-01"_s} << QStringList{};
    QTest::newRow("= and # inside a name") << "1980-01-01 = a = b\n1980-01-02 = #1\n"_ba
                                           << QStringList{u"a = b=1980-01-01"_s, u"#1=1980-01-02"_s} << QStringList{};
    QTest::newRow("forty characters, not forty-one")
        << (u"1980-01-01 = "_s + FortyOne.chopped(1) + u"\n1980-01-02 = "_s + FortyOne).toUtf8()
        << QStringList{FortyOne.chopped(1) + u"=1980-01-01"_s} << QStringList{u"第2行：名字“"_s + FortyOne};
    QTest::newRow("forty characters beyond the 16-bit plane")
        << (u"1980-01-01 = "_s + u"😀"_s.repeated(40)).toUtf8() << QStringList{u"😀"_s.repeated(40) + u"=1980-01-01"_s}
        << QStringList{};
    QTest::newRow("entries not taken")
        << "张三 1980-01-01\n1980-02-30 = 李四\n1980-01-01 =  \n1980-01-01 = a\x01z\n1980-01-01 = a\u2028z\n"_ba
        << QStringList{}
        << QStringList{u"第1行：没有“=”"_s, u"第2行：“1980-02-30”不是日期"_s, u"第3行：没有名字"_s,
                       u"第4行：名字里有控制字符"_s, u"第5行：名字里有控制字符"_s};
    QTest::newRow("a name twice: the first counts") << "1980-01-01 = 张三\n1990-01-01 = 张三\n"_ba
                                                    << QStringList{u"张三=1980-01-01"_s}
                                                    << QStringList{u"第2行：“张三”在第1行已经有了"_s};
}

// A file a user wrote reads as they meant it; what the program would not
// take is skipped with its line and why, never taken half.
void tst_People::textReadsAsAList()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, people);
    QFETCH(QStringList, skipped);
    QString problem;
    const auto list = parsePeople(text, &problem);
    QVERIFY2(list, qPrintable(problem));
    QCOMPARE(entries(*list), people);
    QCOMPARE(list->skipped.size(), skipped.size());
    for (qsizetype i = 0; i < skipped.size(); ++i)
        QVERIFY2(list->skipped[i].startsWith(skipped[i]), qPrintable(list->skipped[i]));
}

void tst_People::changeKeepsEveryOtherLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("remember"); // "name=date", or empty to forget `forget`
    QTest::addColumn<QString>("forget");
    QTest::addColumn<QByteArray>("after"); // empty: a new file, whose last line is `line`

    const QByteArray user = "# 我的\r\nbad line\r\n1980-01-01 = 张三\r\n\r\n1985-06-15 08:30 = 李四"_ba;
    QTest::newRow("replaced in place, line end kept")
        << user << u"张三=1981-02-03 04:05"_s << QString()
        << "# 我的\r\nbad line\r\n1981-02-03 04:05 = 张三\r\n\r\n1985-06-15 08:30 = 李四"_ba;
    QTest::newRow("added after a last line without its end")
        << user << u"A&B=2001-01-01"_s << QString() << user + "\n2001-01-01 = A&B\n"_ba;
    QTest::newRow("forgotten, with the lines of the same name it skipped")
        << "1980-01-01 = 张三\n# c\n1990-01-01 = 张三\n1980-01-01 = 李四\n"_ba << QString() << u"张三"_s
        << "# c\n1980-01-01 = 李四\n"_ba;
    QTest::newRow("forgetting a name not kept changes nothing") << user << QString() << u"王五"_s << user;
    QTest::newRow("a skipped line of that name is not the person")
        << "1980-02-30 = 张三\n"_ba << u"张三=1980-03-01"_s << QString() << "1980-02-30 = 张三\n1980-03-01 = 张三\n"_ba;
}

// A change touches the one line concerned: the user's comments, line ends
// and entries the program does not take stay as they were.
void tst_People::changeKeepsEveryOtherLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, remember);
    QFETCH(QString, forget);
    QFETCH(QByteArray, after);
    const QByteArray changed = remember.isEmpty()
        ? withoutPerson(before, forget)
        : withPerson(before, Person{remember.section(u'=', 0, 0), *CDate(remember.section(u'=', 1))});
    QCOMPARE(changed, after);
    // The person remembered reads back as given, time of day and all.
    if (!remember.isEmpty()) {
        const auto list = parsePeople(changed, nullptr);
        QVERIFY(list);
        QVERIFY(entries(*list).contains(remember));
    }
}

// Reading, and forgetting someone not kept, make neither the folder nor the
// file; the first person remembered makes both, the file saying what it is.
void tst_People::nothingOnDiskUntilSomeoneIsRemembered()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"config/quorvel"_s);
    const PeopleFile file(folder + u"/people.txt"_s);
    const PeopleRead read = file.read();
    QVERIFY(read.problem.isEmpty());
    QVERIFY(read.list.people.empty());
    QCOMPARE(file.forget(u"张三"_s), QString());
    QVERIFY(QDir(dir.path()).isEmpty());

    QCOMPARE(file.remember(Person{u"张三"_s, *CDate(u"1980-01-01 08:30")}), QString());
    const QByteArray text = contents(file.path());
    QVERIFY2(text.startsWith("# ") && text.endsWith("\n1980-01-01 08:30 = 张三\n"), text.constData());
    // Made for the user alone, as a configuration folder is.
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(dir.filePath(u"config"_s)).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, 0700u);
    QCOMPARE(entries(file.read().list), QStringList{u"张三=1980-01-01 08:30"_s});
}

void tst_People::fileThatCannotBeUsedIsLeftAsItWas_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");

    QTest::newRow("not UTF-8") << u"file"_s << "1980-01-01 = \xD5\xC5\xC8\xFD\n"_ba << u"UTF-8"_s;
    QTest::newRow("NUL bytes") << u"file"_s << "1980-01-01 = a\0b\n"_ba << u"空字符"_s;
    QTest::newRow("too large") << u"file"_s << QByteArray(MaxPeopleFileSize + 1, '#') << u"1 MB"_s;
    QTest::newRow("a folder") << u"folder"_s << QByteArray() << u"不是普通文件"_s;
    // Neither waited on nor read: a writer at its other end would block.
    QTest::newRow("a FIFO") << u"fifo"_s << QByteArray() << u"不是普通文件"_s;
}

// A file that cannot be read or understood says why, and is neither
// overwritten by a person remembered nor touched by one forgotten.
void tst_People::fileThatCannotBeUsedIsLeftAsItWas()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const PeopleFile file(dir.filePath(u"people.txt"_s));
    const QByteArray name = QFile::encodeName(file.path());
    if (kind == u"file")
        QVERIFY(put(file.path(), bytes));
    else if (kind == u"folder")
        QVERIFY(QDir().mkdir(file.path()));
    else
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);

    QVERIFY2(file.read().problem.contains(why), qPrintable(file.read().problem));
    QVERIFY(!file.remember(Person{u"张三"_s, 29221.0}).isEmpty());
    QVERIFY(!file.forget(u"张三"_s).isEmpty());
    struct stat status {};
    QCOMPARE(::lstat(name.constData(), &status), 0);
    if (kind == u"file")
        QCOMPARE(contents(file.path()), bytes);
    QCOMPARE(S_ISDIR(status.st_mode), kind == u"folder");
    QCOMPARE(S_ISFIFO(status.st_mode), kind == u"fifo");
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"people.txt"_s});
}

// Programs remembering people at the same moment each change the file as the
// others left it: every name is kept.
void tst_People::programsChangingItAtOnceKeepEachOthersPeople()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"quorvel/people.txt"_s);
    constexpr int Programs = 4;
    constexpr int EachRemembers = 15;
    std::vector<pid_t> children;
    for (int program = 0; program < Programs; ++program) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const PeopleFile file(path);
            int failed = 0;
            for (int i = 0; i < EachRemembers; ++i)
                failed += !file.remember(Person{u"p%1-%2"_s.arg(program).arg(i), 29221.0 + i}).isEmpty();
            ::_exit(failed);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
    const PeopleRead read = PeopleFile(path).read();
    QVERIFY(read.problem.isEmpty());
    QCOMPARE(read.list.people.size(), std::size_t(Programs * EachRemembers));
}

void tst_People::pathFollowsTheConfigurationFolder_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("path");
    QTest::newRow("XDG_CONFIG_HOME") << "/srv/cfg"_ba << u"/srv/cfg/quorvel/people.txt"_s;
    QTest::newRow("unset") << QByteArray() << u"/home/u/.config/quorvel/people.txt"_s;
    QTest::newRow("relative, ignored as freedesktop.org says") << "cfg"_ba << u"/home/u/.config/quorvel/people.txt"_s;
}

void tst_People::pathFollowsTheConfigurationFolder()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, path);
    const QByteArray home = qgetenv("HOME");
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", "/home/u");
    config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
    const QString found = peopleFilePath();
    qputenv("HOME", home);
    before.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", before);
    QCOMPARE(found, path);
}

QTEST_APPLESS_MAIN(tst_People)
#include "tst_people.moc"
