// SPDX-License-Identifier: GPL-3.0-or-later
// The people kept, as the window offers them: chosen from its three menus,
// remembered and forgotten there, and their file as the user finds it on
// disk afterwards.
#include "menutest.h"

#include "chart/query.h"
#include "people/peoplefile.h"
#include "platform/language/translations.h"

#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

using namespace quorvel;
using namespace quorvel::test;
using namespace Qt::StringLiterals;

namespace {

constexpr Date FixedNow = 46365.4375; // 2026-12-09 10:30

} // namespace

class tst_PeopleMenus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void chosenPersonDrawsTheChart_data();
    void chosenPersonDrawsTheChart();
    void nothingIsWrittenBeforeTheFirstRemember();
    void fileIsReadWhenAMenuOpensNotBefore();
    void rememberWithoutABirthDateSaysWhy_data();
    void rememberWithoutABirthDateSaysWhy();
    void aKeptNameAsksBeforeReplacing();
    void anotherWindowsPersonIsKept();
    void fileThatCannotBeUsedIsSaidOnce_data();
    void fileThatCannotBeUsedIsSaidOnce();
    void forgottenPersonLeavesTheOthers();

private:
    QString peopleFile() const { return m_config->filePath(u"quorvel/people.txt"_s); }
    void putPeople(const QByteArray &bytes);
    QByteArray people() const;

    SharedValues m_shared;
    Runtime m_runtime;
    std::optional<QTemporaryDir> m_config;
    QByteArray m_configBefore;
};

void tst_PeopleMenus::initTestCase()
{
    initAssets();
    QVERIFY(installChineseTranslations());
    m_runtime.setClock([] { return FixedNow; });
    m_configBefore = qgetenv("XDG_CONFIG_HOME");
}

void tst_PeopleMenus::init()
{
    m_shared = SharedValues{};
    m_config.emplace();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
}

void tst_PeopleMenus::cleanup()
{
    qputenv("XDG_CONFIG_HOME", m_configBefore);
    m_config.reset();
}

void tst_PeopleMenus::putPeople(const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(m_config->filePath(u"quorvel"_s)));
    QFile file(peopleFile());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray tst_PeopleMenus::people() const
{
    QFile file(peopleFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void tst_PeopleMenus::chosenPersonDrawsTheChart_data()
{
    QTest::addColumn<Way>("way");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("Alt+Down, a query date") << Way::List << u"2009-11-03"_s << true;
    QTest::newRow("the birth box's menu, a query date") << Way::BirthBoxMenu << u"2009-11-03"_s << true;
    QTest::newRow("the chart's menu") << Way::ChartMenu << u"2009-11-03"_s << true;
    QTest::newRow("Alt+Down, no query date") << Way::List << QString() << false;
    QTest::newRow("the birth box's menu, a query that is no date") << Way::BirthBoxMenu << u"2009-13-01"_s << false;
}

// The birth box takes the person's date with its time of day, the focus
// moves on as Enter there moves it, and with a query date the chart drawn is
// the one typing the date and querying draws.
void tst_PeopleMenus::chosenPersonDrawsTheChart()
{
    QFETCH(Way, way);
    QFETCH(QString, query);
    QFETCH(bool, drawn);
    putPeople(TwoPeople);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        if (way == Way::ChartMenu)
            showQueriedSpan(w, MinSpan, 5440); // 张三's chart
        w.txtCXRQ->setText(query);
        QCOMPARE(choose(w, way, LiSi), QString());
        QCOMPARE(w.TXTCSRQ->Text(), u"1985-06-15 08:30"_s);
        // (Offscreen, the window may not be given back the keyboard after
        // the first menu; the desktop test has it.)
        QCOMPARE(w.focusWidget(), w.txtCXRQ);
        QCOMPARE(chartHasCurves(w), drawn);
        if (!drawn)
            return;
        QCOMPARE(m_shared.ChartBirthDate, *CDate(u"1985-06-15 08:30"));
        const QImage chosen = w.PicBack->surface().image();
        const int position = w.POSITION->Value();
        // As typed.
        typeInto(w.TXTCSRQ, u"1985-06-15 08:30"_s);
        QTest::keyClick(w.TXTCSRQ, Qt::Key_Return);
        w.CMDcx_Click();
        QCOMPARE(w.POSITION->Value(), position);
        QVERIFY(w.PicBack->surface().image() == chosen);
    });
    QCOMPARE(people(), TwoPeople);
}

// A user who opens every menu, even the name's dialog, and remembers no one
// finds nothing on disk; the first person remembered makes the file. The
// birth box's menu keeps the box's own entries.
void tst_PeopleMenus::nothingIsWrittenBeforeTheFirstRemember()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showQueriedSpan(w, MinSpan, 5440);
        const QStringList birthBox = menuTexts(w, Way::BirthBoxMenu);
        for (const QString &entry : {u"粘贴"_s, u"选择人员"_s, u"记住这个人…"_s, u"忘记…"_s})
            QVERIFY2(!birthBox.filter(entry).isEmpty(), qPrintable(birthBox.join(u" | ")));
        const QStringList chart = menuTexts(w, Way::ChartMenu);
        QVERIFY2(chart.startsWith(u"复制图表"_s) && chart.endsWith(u"忘记…"_s), qPrintable(chart.join(u" | ")));
        QCOMPARE(menuTexts(w, Way::List), (QStringList{u"（还没有记住任何人）"_s, QString(), u"记住这个人…"_s, u"忘记…"_s}));
        QCOMPARE(choose(w, Way::List, u"忘记…"_s), u"忘记…"_s); // nobody to forget
        {
            Dialogs dialogs({Cancel});
            QCOMPARE(choose(w, Way::ChartMenu, u"记住这个人…"_s), QString());
            QCOMPARE(dialogs.asked, QStringList{u"QInputDialog: 出生日期 1980-01-01 的人叫什么名字？（1到40个字）"_s});
        }
        QVERIFY(QDir(m_config->path()).isEmpty());

        Dialogs named({typeName(u"  张三 "_s)});
        QCOMPARE(choose(w, Way::BirthBoxMenu, u"记住这个人…"_s), QString());
        QVERIFY2(people().endsWith("\n1980-01-01 = 张三\n"), people().constData());
        QCOMPARE(menuTexts(w, Way::List).first(), ZhangSan);
    });
}

// Loading the window leaves the file unread; opening a menu reads it. Seen
// by its access time, set before its change time, which any read then moves
// (unless the file system records no reads at all).
void tst_PeopleMenus::fileIsReadWhenAMenuOpensNotBefore()
{
    putPeople(TwoPeople);
    const QByteArray name = QFile::encodeName(peopleFile());
    const timespec times[2] = {{946684800, 0}, {0, UTIME_NOW}}; // read 2000-01-01, changed now
    QCOMPARE(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
    const auto lastRead = [&] {
        struct stat status {};
        return ::stat(name.constData(), &status) == 0 ? status.st_atim.tv_sec : -1;
    };
    bool readByMenu = false;
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        QCOMPARE(lastRead(), 946684800);
        QCOMPARE(menuTexts(w, Way::List).first(), ZhangSan);
        readByMenu = lastRead() != 946684800;
    });
    if (!readByMenu && !QTest::currentTestFailed())
        QSKIP("the file system records no reads (noatime): whether loading the window reads the file is not seen");
}

void tst_PeopleMenus::rememberWithoutABirthDateSaysWhy_data()
{
    QTest::addColumn<QString>("birth");
    QTest::newRow("empty") << QString();
    QTest::newRow("no such day") << u"2001-03-33"_s;
}

// As Enter on it does: a beep, the whole text selected to retype, no
// question asked and nothing written.
void tst_PeopleMenus::rememberWithoutABirthDateSaysWhy()
{
    QFETCH(QString, birth);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(birth);
        w.txtCXRQ->setFocus();
        QSignalSpy beeps(&m_runtime, &Runtime::beeped);
        Dialogs dialogs({});
        QCOMPARE(choose(w, Way::BirthBoxMenu, u"记住这个人…"_s), QString());
        QCOMPARE(beeps.size(), 1);
        QCOMPARE(w.focusWidget(), w.TXTCSRQ);
        QCOMPARE(w.TXTCSRQ->selectedText(), birth);
        QTest::qWait(50);
        QCOMPARE(dialogs.asked, QStringList{});
    });
    QVERIFY(QDir(m_config->path()).isEmpty());
}

// A name already kept asks before it is given the new date: No asks for
// another name, and the file is changed only by Yes. A name the program
// would not keep is refused, saying why, and asked for again.
void tst_PeopleMenus::aKeptNameAsksBeforeReplacing()
{
    putPeople(TwoPeople);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1990-05-30 18:00"_s);
        {
            Dialogs refused({typeName(u"名"_s.repeated(41)), [](QDialog *box) { box->accept(); },
                             typeName(u"张三"_s), press(QMessageBox::No), Cancel});
            QCOMPARE(choose(w, Way::List, u"记住这个人…"_s), QString());
            QCOMPARE(refused.asked.size(), 5);
            QVERIFY2(refused.asked[1].contains(u"超过40个字"_s), qPrintable(refused.asked[1]));
            QCOMPARE(refused.asked[3],
                     u"QMessageBox: 已经记住了张三（1980-01-01）。改为出生日期 1990-05-30 18:00 吗？"_s);
        }
        QCOMPARE(people(), TwoPeople);

        Dialogs replaced({typeName(u"张三"_s), press(QMessageBox::Yes)});
        QCOMPARE(choose(w, Way::List, u"记住这个人…"_s), QString());
        QCOMPARE(people(), "# 家人\n1990-05-30 18:00 = 张三\n1985-06-15 08:30 = 李四\n"_ba);
    });
}

// Another window remembers someone while this one asks for a name: both are
// kept, as this window changes the file as it then stands.
void tst_PeopleMenus::anotherWindowsPersonIsKept()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_s);
        const QStringList before = menuTexts(w, Way::List); // the list read
        Dialogs dialogs({[&](QDialog *dialog) {
            QCOMPARE(PeopleFile().remember(Person{u"李四"_s, *CDate(u"1985-06-15 08:30")}), QString());
            typeName(u"张三"_s)(dialog);
        }});
        QCOMPARE(choose(w, Way::List, u"记住这个人…"_s), QString());
        QCOMPARE(menuTexts(w, Way::List).mid(0, 2), (QStringList{LiSi, ZhangSan}));
    });
}

void tst_PeopleMenus::fileThatCannotBeUsedIsSaidOnce_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("list"); // the first entries of the list Alt+Down opens
    QTest::addColumn<bool>("written"); // whether a person remembered is written
    QTest::newRow("not UTF-8") << "1980-01-01 = \xD5\xC5\xC8\xFD\n"_ba << u"无法读取人员列表文件“%1”：文件不是 UTF-8 文本"_s
                               << QStringList{u"（无法读取人员列表）"_s} << false;
    QTest::newRow("an entry skipped") << "1980-02-30 = 王五\n1980-01-01 = 张三\n"_ba
                                      << u"人员列表文件“%1”中有些行无法使用，已跳过：\n第1行：“1980-02-30”不是日期"_s
                                      << QStringList{ZhangSan} << true;
}

// A file that cannot be read is said once a run, naming the file, and stays
// byte for byte as it was, a person remembered included, which says why it
// was not; the window works on without the list. Entries skipped are said
// once too, and the rest of the list is used.
void tst_PeopleMenus::fileThatCannotBeUsedIsSaidOnce()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, said);
    QFETCH(QStringList, list);
    QFETCH(bool, written);
    putPeople(bytes);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        Dialogs dialogs({[](QDialog *box) { box->accept(); }, typeName(u"李四"_s)});
        QCOMPARE(menuTexts(w, Way::List).mid(0, list.size()), list);
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY2(dialogs.asked.first().startsWith(u"QMessageBox: "_s + said.arg(peopleFile())),
                 qPrintable(dialogs.asked.first()));
        showQueriedSpan(w, MinSpan, 5440);
        QCOMPARE(menuTexts(w, Way::ChartMenu).size(), 10);
        QCOMPARE(choose(w, Way::BirthBoxMenu, u"记住这个人…"_s), QString());
        QCOMPARE(dialogs.asked.size(), written ? 2 : 3);
        if (!written)
            QVERIFY2(dialogs.asked.last().contains(u"无法记住“李四”：人员列表文件“%1”"_s.arg(peopleFile())),
                     qPrintable(dialogs.asked.last()));
        QCOMPARE(people() == bytes, !written);
        QVERIFY(chartHasCurves(w));
    });
}

// Forgetting asks which person, and takes out that line alone.
void tst_PeopleMenus::forgottenPersonLeavesTheOthers()
{
    putPeople(TwoPeople);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        QStringList offered;
        Dialogs dialogs({[&](QDialog *dialog) {
            auto *input = static_cast<QInputDialog *>(dialog);
            offered = input->comboBoxItems();
            input->setTextValue(LiSi);
            input->accept();
        }});
        QCOMPARE(choose(w, Way::BirthBoxMenu, u"忘记…"_s), QString());
        QCOMPARE(offered, (QStringList{ZhangSan, LiSi}));
        QCOMPARE(people(), "# 家人\n1980-01-01 = 张三\n"_ba);
    });
}

QTEST_MAIN(tst_PeopleMenus)
#include "tst_peoplemenus.moc"
