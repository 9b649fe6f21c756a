// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "people/peoplefile.h"
#include "platform/widgets/accessibility.h"
#include "platform/widgets/runtime.h"

#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>

#include <memory>

// The people a user keeps, so as not to type a birth date again: chosen from
// the chart's menu, from the birth box's own context menu, or by Alt+Down in
// the birth box, as a combo box opens its list; remembered and forgotten
// from the same menus. The list is read from its file when a menu opens,
// never before, and the file is written only when someone is remembered or
// forgotten, so that a user who keeps no one finds nothing on disk.

namespace quorvel {
namespace {

const QString PeopleTitle = QStringLiteral("人员列表");
const QString ChooseEntry = QStringLiteral("选择人员");
const QString RememberEntry = QStringLiteral("记住这个人…");
const QString ForgetEntry = QStringLiteral("忘记…");
const QString RememberTitle = QStringLiteral("记住这个人");
const QString ForgetTitle = QStringLiteral("忘记");

constexpr int AltMask = 4;

// A menu takes "&" for a mnemonic; a name shows it as it is.
QString menuText(const QString &text) { return QString(text).replace(u'&', QStringLiteral("&&")); }

} // namespace

void frmQORVEL::connectPeople()
{
    // The birth box's own menu: the box's standard entries, then the people.
    TXTCSRQ->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TXTCSRQ, &QWidget::customContextMenuRequested, this, [this](QPoint position) {
        const std::unique_ptr<QMenu> menu(TXTCSRQ->createStandardContextMenu());
        menu->addSeparator();
        addPeopleEntries(*menu, PeopleEntries::Submenu);
        menu->exec(TXTCSRQ->mapToGlobal(position));
    });
    connect(TXTCSRQ, &TextBox::keyDown, this, [this](int keyCode, int shift) {
        if (keyCode == Qt::Key_Down && shift == AltMask)
            showPeopleList();
    });
}

void frmQORVEL::showPeopleList()
{
    QMenu menu(this);
    addPeopleEntries(menu, PeopleEntries::Inline);
    // As a combo box's list opens on its current item.
    if (QAction *first = menu.actions().value(0); first && first->isEnabled())
        menu.setActiveAction(first);
    menu.exec(TXTCSRQ->mapToGlobal(QPoint(0, TXTCSRQ->height())));
}

void frmQORVEL::addPeopleEntries(QMenu &menu, PeopleEntries layout)
{
    const std::optional<PeopleList> people = readPeople();
    QMenu *list = layout == PeopleEntries::Inline ? &menu : menu.addMenu(ChooseEntry);
    if (!people || people->people.empty()) {
        list->addAction(people ? QStringLiteral("（还没有记住任何人）") : QStringLiteral("（无法读取人员列表）"))
            ->setEnabled(false);
    } else {
        for (const Person &person : people->people)
            list->addAction(menuText(personText(person)), this, [this, person] { choosePerson(person); });
    }
    if (layout == PeopleEntries::Inline)
        menu.addSeparator();
    menu.addAction(RememberEntry, this, &frmQORVEL::rememberPerson);
    menu.addAction(ForgetEntry, this, &frmQORVEL::forgetPerson)->setEnabled(people && !people->people.empty());
}

std::optional<PeopleList> frmQORVEL::readPeople()
{
    const PeopleFile file;
    PeopleRead read = file.read();
    if (!read.problem.isEmpty()) {
        reportPeopleOnce(QStringLiteral("无法读取人员列表文件“%1”：%2。\n这个文件保持原样；没有人员列表，程序照常工作。")
                             .arg(file.path(), read.problem));
        return std::nullopt;
    }
    if (!read.list.skipped.isEmpty()) {
        reportPeopleOnce(QStringLiteral("人员列表文件“%1”中有些行无法使用，已跳过：\n").arg(file.path())
                         + read.list.skipped.join(u'\n'));
    }
    return std::move(read.list);
}

void frmQORVEL::reportPeopleOnce(const QString &text)
{
    if (m_peopleReported.contains(text))
        return;
    m_peopleReported.insert(text);
    QMessageBox::warning(this, PeopleTitle, text);
    // The window takes the keyboard back, which nothing gives it where no
    // window manager runs.
    activateWindow();
}

void frmQORVEL::choosePerson(const Person &person)
{
    m_chosenName = person.name;
    m_chosenBirth = person.birth;
    TXTCSRQ->setText(dateTimeText(person.birth));
    TXTCSRQ_KeyDown(KeyEnter, 0);
    if (IsDate(txtCXRQ->Text()))
        CMDcx_Click();
}

void frmQORVEL::rememberPerson()
{
    const auto birth = CDate(TXTCSRQ->Text());
    if (!birth) {
        m_runtime.Beep();
        refuseDate(TXTCSRQ);
        return;
    }
    const PeopleFile file;
    const QString question = QStringLiteral("出生日期 %1 的人叫什么名字？（1到%2个字）")
                                 .arg(dateTimeText(*birth))
                                 .arg(MaxNameLength);
    QString name;
    for (;;) {
        bool ok = false;
        name = trimmedName(QInputDialog::getText(this, RememberTitle, question, QLineEdit::Normal, name, &ok));
        activateWindow();
        if (!ok)
            return;
        if (const QString why = nameProblem(name); !why.isEmpty()) {
            QMessageBox::warning(this, RememberTitle, why + u'。');
            continue;
        }
        const Person *kept = nullptr;
        const PeopleRead now = file.read();
        if (now.problem.isEmpty())
            kept = now.list.find(name);
        if (!kept
            || QMessageBox::question(this, RememberTitle,
                                     QStringLiteral("已经记住了%1。改为出生日期 %2 吗？")
                                         .arg(personText(*kept), dateTimeText(*birth)))
                   == QMessageBox::Yes)
            break;
    }
    const Person person{name, *birth};
    if (const QString why = file.remember(person); !why.isEmpty()) {
        QMessageBox::warning(this, RememberTitle,
                             QStringLiteral("无法记住“%1”：人员列表文件“%2”：%3。文件保持原样。")
                                 .arg(name, file.path(), why));
    } else {
        announce(this, QStringLiteral("已记住%1。").arg(personText(person)));
    }
    activateWindow();
}

void frmQORVEL::forgetPerson()
{
    const std::optional<PeopleList> people = readPeople();
    if (!people || people->people.empty())
        return;
    QStringList items;
    for (const Person &person : people->people)
        items += personText(person);
    bool ok = false;
    const QString item = QInputDialog::getItem(this, ForgetTitle, QStringLiteral("要忘记哪一个人？"), items, 0, false, &ok);
    activateWindow();
    const qsizetype index = items.indexOf(item);
    if (!ok || index < 0)
        return;
    const Person &person = people->people[std::size_t(index)];
    const PeopleFile file;
    if (const QString why = file.forget(person.name); !why.isEmpty()) {
        QMessageBox::warning(this, ForgetTitle,
                             QStringLiteral("无法忘记“%1”：人员列表文件“%2”：%3。文件保持原样。")
                                 .arg(person.name, file.path(), why));
    } else {
        announce(this, QStringLiteral("已忘记%1。").arg(personText(person)));
    }
}

} // namespace quorvel
