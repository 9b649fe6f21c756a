// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/runtime.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace quorvel {

void Runtime::Beep()
{
    QApplication::beep();
    emit beeped();
}

void Runtime::RaiseRuntimeError(const RuntimeError &error) const
{
    if (m_reporter) {
        m_reporter(error);
    } else {
        const QString text = QStringLiteral("运行时错误 '%1':\n\n%2").arg(error.code).arg(error.description);
        std::fprintf(stderr, "quorvel: %s\n", qPrintable(text.simplified()));
        if (qobject_cast<QApplication *>(QCoreApplication::instance()))
            QMessageBox::critical(nullptr, QStringLiteral("Quorvel"), text);
    }
    std::exit(EXIT_FAILURE);
}

void Runtime::End()
{
    m_ending = true;
    if (m_endHandler) {
        m_endHandler();
        return;
    }
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

} // namespace quorvel
