// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/runtime.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace quorvel {
namespace {

bool g_ending = false;
std::function<void(const RuntimeError &)> g_reporter;
std::function<void()> g_endHandler;

void showErrorBox(const RuntimeError &error)
{
    const QString text = QStringLiteral("运行时错误 '%1':\n\n%2").arg(error.code).arg(error.description);
    std::fprintf(stderr, "quorvel: %s\n", qPrintable(text.simplified()));
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, QStringLiteral("Quorvel"), text);
}

void endApplication()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

} // namespace

RuntimeError OverflowError() { return {6, QStringLiteral("溢出")}; }
RuntimeError InvalidPropertyValueError() { return {380, QStringLiteral("无效的属性值")}; }

void RaiseRuntimeError(const RuntimeError &error)
{
    if (g_reporter)
        g_reporter(error);
    else
        showErrorBox(error);
    std::exit(EXIT_FAILURE);
}

void setRuntimeErrorReporter(std::function<void(const RuntimeError &)> reporter)
{
    g_reporter = std::move(reporter);
}

RuntimeEvents &runtimeEvents()
{
    static RuntimeEvents events;
    return events;
}

void Beep()
{
    QApplication::beep();
    emit runtimeEvents().beeped();
}

void End()
{
    g_ending = true;
    if (g_endHandler)
        g_endHandler();
    else
        endApplication();
}

bool isEnding() { return g_ending; }

void setEndHandler(std::function<void()> handler) { g_endHandler = std::move(handler); }

void resetEnd()
{
    g_ending = false;
    g_endHandler = nullptr;
}

} // namespace quorvel
