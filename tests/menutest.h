// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for the tests of the window's menus and the dialogs they open:
// two people kept, the menus that reach them, choosing an entry as a user
// does, and answering the dialogs that open.

#include "windowtest.h"

#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>

namespace quorvel::test {

using namespace Qt::StringLiterals;

inline const QByteArray TwoPeople = "# 家人\n1980-01-01 = 张三\n1985-06-15 08:30 = 李四\n"_ba;
inline const QString ZhangSan = u"张三（1980-01-01）"_s;
inline const QString LiSi = u"李四（1985-06-15 08:30）"_s;

// The three ways to the people: the list Alt+Down opens in the birth box,
// the birth box's own menu and the chart's menu (by the Menu key).
enum class Way { List, BirthBoxMenu, ChartMenu };

// Chooses the entries of a path through menus as they open (a submenu by
// Right, the last entry by Return), from a timer; an entry not found closes
// the menu and is noted in `missing`.
inline void chooseInMenus(QObject *context, const QStringList &path, QString *missing, QList<QMenu *> seen = {})
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
inline void openMenu(frmQORVEL &w, Way way)
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
inline QString choose(frmQORVEL &w, Way way, const QString &entry)
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
inline QStringList menuTexts(frmQORVEL &w, Way way)
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

inline Dialogs::Answer typeName(const QString &name)
{
    return [name](QDialog *dialog) {
        auto *input = static_cast<QInputDialog *>(dialog);
        input->setTextValue(name);
        input->accept();
    };
}

inline Dialogs::Answer press(QMessageBox::StandardButton button)
{
    return [button](QDialog *dialog) { static_cast<QMessageBox *>(dialog)->button(button)->click(); };
}

inline const Dialogs::Answer Cancel = [](QDialog *dialog) { dialog->reject(); };

} // namespace quorvel::test
