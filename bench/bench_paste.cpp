// SPDX-License-Identifier: GPL-3.0-or-later
// Huge texts in a date box, through the window system as a user makes them:
// the time until the window answers again after a paste of 100,000
// characters (the paste, the events it leaves, Enter on the text and the
// repaint of the window), and the time of each further key in that box.
#include "windowbench.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

using namespace quorvel;
using quorvel::bench::g_window;

namespace {

constexpr int PasteSize = 100000;

// One line of 100,000 characters: dates and blanks (arg 0), or dates and
// Chinese text, which the box sets in a fallback face (arg 1).
QString hugeText(int kind)
{
    const QString piece = kind == 0 ? QStringLiteral("1960-02-06 ") : QStringLiteral("1960年2月6日 出生日期 ");
    QString text;
    text.reserve(PasteSize + piece.size());
    while (text.size() < PasteSize)
        text += piece;
    text.truncate(PasteSize);
    return text;
}

void key(Qt::Key code, Qt::KeyboardModifiers modifiers = {}, const QString &text = {})
{
    QWidget *target = QApplication::focusWidget();
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

// The window answers again: every pending event handled, the whole window
// painted anew.
void answer()
{
    QCoreApplication::processEvents();
    g_window->repaint();
}

void emptyBox(TextBox *box)
{
    box->setText(QString());
    answer();
}

void PasteThenEnter(benchmark::State &state)
{
    frmQORVEL &w = *g_window;
    QGuiApplication::clipboard()->setText(hugeText(int(state.range(0))));
    w.TXTCSRQ->setText(QStringLiteral("1960-02-06"));
    w.txtCXRQ->SetFocus();
    for (auto _ : state) {
        key(Qt::Key_V, Qt::ControlModifier);
        answer();
        key(Qt::Key_Return);
        answer();
        state.PauseTiming();
        if (w.txtCXRQ->Text().size() != PasteSize)
            state.SkipWithError("the paste did not arrive whole");
        emptyBox(w.txtCXRQ);
        state.ResumeTiming();
    }
}
BENCHMARK(PasteThenEnter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Typing at the end of the huge text, then taking the character back.
void KeyAfterPaste(benchmark::State &state)
{
    frmQORVEL &w = *g_window;
    w.txtCXRQ->SetFocus();
    w.txtCXRQ->setText(hugeText(int(state.range(0))));
    w.txtCXRQ->end(false);
    answer();
    bool typed = false;
    for (auto _ : state) {
        if ((typed = !typed))
            key(Qt::Key_5, {}, QStringLiteral("5"));
        else
            key(Qt::Key_Backspace);
        answer();
    }
    emptyBox(w.txtCXRQ);
}
BENCHMARK(KeyAfterPaste)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return quorvel::bench::runInAnalysisWindow(argc, argv);
}
