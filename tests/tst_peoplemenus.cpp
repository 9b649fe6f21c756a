// SPDX-License-Identifier: GPL-3.0-or-later
// The people kept, as the window offers them: chosen from its three menus,
// remembered and forgotten there, and their file as the user finds it on
// disk afterwards; and a second person compared with the first on the
// chart.
#include "windowtest.h"

#include "chart/query.h"
#include "people/peoplefile.h"
#include "platform/language/translations.h"

#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

using namespace quorvel;
using namespace quorvel::test;
using namespace Qt::StringLiterals;

namespace {

constexpr Date FixedNow = 46365.4375; // 2026-12-09 10:30

const QByteArray TwoPeople = "# 家人\n1980-01-01 = 张三\n1985-06-15 08:30 = 李四\n"_ba;
const QString ZhangSan = u"张三（1980-01-01）"_s;
const QString LiSi = u"李四（1985-06-15 08:30）"_s;

// The three ways to the people: the list Alt+Down opens in the birth box,
// the birth box's own menu and the chart's menu (by the Menu key).
enum class Way { List, BirthBoxMenu, ChartMenu };

// Chooses the entries of a path through menus as they open (a submenu by
// Right, the last entry by Return), from a timer; an entry not found closes
// the menu and is noted in `missing`.
void chooseInMenus(QObject *context, const QStringList &path, QString *missing, QList<QMenu *> seen = {})
{
    whenTrue(
        context,
        [seen] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            return menu && !seen.contains(menu);
        },
        [=] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QAction *entry = nullptr;
            for (QAction *action : menu->actions()) {
                if (QString(action->text()).replace(u"&&"_s, u"&"_s) == path.first() && action->isEnabled())
                    entry = action;
            }
            if (!entry) {
                *missing = path.first();
                while (QApplication::activePopupWidget())
                    QApplication::activePopupWidget()->close();
                return;
            }
            menu->setActiveAction(entry);
            if (path.size() > 1)
                chooseInMenus(context, path.mid(1), missing, seen + QList<QMenu *>{menu});
            QTest::keyClick(menu, path.size() > 1 ? Qt::Key_Right : Qt::Key_Return);
        });
}

// Opens the menu of the way given; returns once it has closed.
void openMenu(frmQORVEL &w, Way way)
{
    if (way == Way::List) {
        w.TXTCSRQ->setFocus();
        QTest::keyClick(w.TXTCSRQ, Qt::Key_Down, Qt::AltModifier);
        return;
    }
    QWidget *target = way == Way::ChartMenu ? static_cast<QWidget *>(w.PicBack) : w.TXTCSRQ;
    target->setFocus();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(target, &menuKey);
}

// Opens the people's entries the way given and chooses `entry` there, a
// person or an entry below them; returns what could not be found.
QString choose(frmQORVEL &w, Way way, const QString &entry)
{
    QString missing;
    QStringList path{entry};
    if (way != Way::List && entry.contains(u'（'))
        path.prepend(u"选择人员"_s);
    chooseInMenus(&w, path, &missing);
    openMenu(w, way);
    return missing;
}

// The texts of the menu the way given opens, closed unchosen.
QStringList menuTexts(frmQORVEL &w, Way way)
{
    QStringList texts;
    whenTrue(&w, [] { return QApplication::activePopupWidget() != nullptr; }, [&] {
        for (const QAction *action : QApplication::activePopupWidget()->actions())
            texts += action->text();
        QApplication::activePopupWidget()->close();
    });
    openMenu(w, way);
    return texts;
}

// Answers the modal dialogs as they open, each by the next answer, and keeps
// what each asked ("QInputDialog: label", "QMessageBox: text"). A dialog
// beyond the answers is cancelled.
class Dialogs final : public QObject
{
public:
    using Answer = std::function<void(QDialog *)>;

    explicit Dialogs(QList<Answer> answers) : m_answers(std::move(answers))
    {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog == m_last || !dialog->isVisible())
                return;
            m_last = dialog;
            if (auto *input = qobject_cast<QInputDialog *>(dialog))
                asked += u"QInputDialog: "_s + input->labelText();
            else if (auto *box = qobject_cast<QMessageBox *>(dialog))
                asked += u"QMessageBox: "_s + box->text();
            if (m_answers.isEmpty())
                dialog->reject();
            else
                m_answers.takeFirst()(dialog);
        });
        poll->start(5);
    }

    QStringList asked;

private:
    QList<Answer> m_answers;
    QPointer<QDialog> m_last;
};

Dialogs::Answer typeName(const QString &name)
{
    return [name](QDialog *dialog) {
        auto *input = static_cast<QInputDialog *>(dialog);
        input->setTextValue(name);
        input->accept();
    };
}

Dialogs::Answer press(QMessageBox::StandardButton button)
{
    return [button](QDialog *dialog) { static_cast<QMessageBox *>(dialog)->button(button)->click(); };
}

const Dialogs::Answer Cancel = [](QDialog *dialog) { dialog->reject(); };

// Compares the chart with `second` (a person of the list, a name or a date)
// by "与…对比"; returns what could not be found.
QString compareWith(frmQORVEL &w, const QString &second)
{
    Dialogs dialogs({typeName(second)});
    return choose(w, Way::ChartMenu, u"与…对比"_s);
}

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
    void comparisonIsKeptUntilCancelled();
    void secondPersonIsReadBesideTheFirst_data();
    void secondPersonIsReadBesideTheFirst();
    void aTextThatIsNoOneBeepsAndStays_data();
    void aTextThatIsNoOneBeepsAndStays();

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

// While compared, every redraw draws the pair; a query that draws only the
// frame shows no pair. "取消对比" then gives back the window the one
// person's chart showed, every pixel of it, and the chart's children.
void tst_PeopleMenus::comparisonIsKeptUntilCancelled()
{
    putPeople(TwoPeople);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showQueriedSpan(w, MinSpan, 5440);
        w.PicBack->setFocus(); // where the menus open
        QTRY_VERIFY(w.PicBack->hasFocus());
        const QImage window = w.grab().toImage();
        const QImage chart = w.PicBack->surface().image();
        const qsizetype children = w.PicBack->children().size();
        QCOMPARE(choose(w, Way::ChartMenu, u"取消对比"_s), u"取消对比"_s); // nothing to cancel yet

        QCOMPARE(compareWith(w, LiSi), QString());
        const QImage pair = w.PicBack->surface().image();
        const struct {
            const char *what;
            std::function<void()> act;
            bool drawn;
        } moves[] = {
            {"a scroll", [&] { w.POSITION->setValueChecked(5450); }, true},
            {"a wider span", [&] { w.PROPTION->setValueChecked(MinSpan + 1); }, true},
            {"a new birth date", [&] { typeInto(w.TXTCSRQ, u"1980-01-03"_s); QTest::keyClick(w.TXTCSRQ, Qt::Key_Return); },
             true},
            {"a query too near the birth", [&] { w.txtCXRQ->setText(u"1980-01-10"_s); w.CMDcx_Click(); }, false},
            {"the first query again", [&] { showQueriedSpan(w, MinSpan, 5440); }, true},
        };
        for (const auto &move : moves) {
            move.act();
            ChartFixture alone;
            alone.show(w.TXTCSRQ->Text(), w.txtCXRQ->Text(), w.POSITION->Value(), w.PROPTION->Value());
            QVERIFY2(move.drawn ? w.PicBack->surface().image() != alone.surface.image() : !chartHasCurves(w), move.what);
            QCOMPARE(chartLabels(w, u"实线："_s).size(), move.drawn ? 1 : 0);
        }
        QCOMPARE(w.PicBack->surface().image(), pair);

        QCOMPARE(choose(w, Way::ChartMenu, u"取消对比"_s), QString());
        QCOMPARE(w.PicBack->surface().image(), chart);
        QCOMPARE(w.PicBack->children().size(), children);
        QApplication::setActiveWindow(&w);
        w.PicBack->setFocus();
        QTRY_VERIFY(w.PicBack->hasFocus());
        QCOMPARE(w.grab().toImage(), window);
    });
}

void tst_PeopleMenus::secondPersonIsReadBesideTheFirst_data()
{
    QTest::addColumn<QString>("second"); // as given to the dialog
    QTest::addColumn<QString>("who");    // as the chart names them
    QTest::addColumn<QString>("full");   // with the birth date
    QTest::newRow("a person of the list") << LiSi << u"李四"_s << LiSi;
    QTest::newRow("a name kept") << u"李四"_s << u"李四"_s << LiSi;
    QTest::newRow("a typed date, born earlier") << u" 1979-12-31 18:00 "_s << u"1979-12-31 18:00"_s
                                                << u"1979-12-31 18:00"_s;
}

// The second person's values stand under the readout's, each under its
// own, where the pointer is: those of the same instant. A screen reader
// hears the pair in the chart's description (and each key's, in the desktop
// test). The solid lines are named as chosen from the list.
void tst_PeopleMenus::secondPersonIsReadBesideTheFirst()
{
    QFETCH(QString, second);
    QFETCH(QString, who);
    QFETCH(QString, full);
    putPeople(TwoPeople);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.txtCXRQ->setText(u"2009-11-03"_s);
        QCOMPARE(choose(w, Way::List, ZhangSan), QString());
        QCOMPARE(compareWith(w, second), QString());
        const double shift = CDate(u"1980-01-01"_s).value() - CDate(full.section(u'（', -1).remove(u'）')).value();

        QCOMPARE(chartLabels(w, u"实线：张三（1980-01-01）　点线：%1　同步：体力"_s.arg(full)).size(), 1);
        QVERIFY(w.PicBack->accessibleDescription().contains(u"点线：%1，"_s.arg(full)));
        const float x = 10899.3f;
        w.PicBack_MouseMove(0, 0, x, 0.0f);
        const QList<Label *> name = chartLabels(w, u"点线："_s + who);
        QCOMPARE(name.size(), 1);
        const std::array<Label *, 5> readout{w.LBLrq, w.LBLtl, w.LBLqx, w.LBLzl, w.LBLzh};
        QCOMPARE(name[0]->mapTo(&w, QPoint()).x(), readout[0]->x());
        for (std::size_t curve = 0; curve < Curves.size(); ++curve) {
            const QString caption = valueCaption(curve, Int(curveValue(curve, double(x) - 0.5 + shift)));
            const QList<Label *> shown = chartLabels(w, caption);
            QVERIFY2(shown.size() == 1, qPrintable(caption));
            QCOMPARE(shown[0]->mapTo(&w, QPoint()), QPoint(readout[curve + 1]->x(), name[0]->mapTo(&w, QPoint()).y()));
        }
    });
}

void tst_PeopleMenus::aTextThatIsNoOneBeepsAndStays_data()
{
    QTest::addColumn<QByteArray>("people");
    QTest::newRow("a list to choose from") << TwoPeople;
    QTest::newRow("no one kept: a plain box") << QByteArray();
}

// A text that names no one kept and is no date: a beep, the text selected,
// the dialog still open.
void tst_PeopleMenus::aTextThatIsNoOneBeepsAndStays()
{
    QFETCH(QByteArray, people);
    if (!people.isNull())
        putPeople(people);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showQueriedSpan(w, MinSpan, 5440);
        QSignalSpy beeps(&m_runtime, &Runtime::beeped);
        QString selected;
        Dialogs dialogs({[&](QDialog *dialog) {
            auto *input = static_cast<QInputDialog *>(dialog);
            input->setTextValue(u"王五"_s);
            input->accept();
            for (const QLineEdit *box : input->findChildren<QLineEdit *>())
                selected += input->isVisible() && box->isVisible() ? box->selectedText() : QString();
            input->reject();
        }});
        QCOMPARE(choose(w, Way::ChartMenu, u"与…对比"_s), QString());
        QCOMPARE(selected, u"王五"_s);
        QCOMPARE(beeps.size(), 1);
        QVERIFY(chartLabels(w, u"实线："_s).isEmpty());
    });
}

QTEST_MAIN(tst_PeopleMenus)
#include "tst_peoplemenus.moc"
