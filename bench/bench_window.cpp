// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's hot handlers, run inside the window's own modal show:
// the pointer readout per movement, the query command's whole path, and a
// key on the chart, the screen painted after it.
#include "windowbench.h"

#include <QApplication>
#include <QMouseEvent>

using namespace quorvel;
using quorvel::bench::g_window;

namespace {

void Readout(benchmark::State &state)
{
    frmQORVEL &w = *g_window;
    w.TXTCSRQ->setText(QStringLiteral("1960-02-06"));
    w.txtCXRQ->setText(QStringLiteral("2010-02-06"));
    w.CMDcx_Click();
    float x = float(w.PicBack->surface().scaleRect().left());
    for (auto _ : state) {
        w.PicBack_MouseMove(0, 0, x, 0.0f);
        x += 0.37f;
    }
}
BENCHMARK(Readout)->Unit(benchmark::kMicrosecond);

void ReadoutFromMouseEvent(benchmark::State &state)
{
    frmQORVEL &w = *g_window;
    w.TXTCSRQ->setText(QStringLiteral("1960-02-06"));
    w.txtCXRQ->setText(QStringLiteral("2010-02-06"));
    w.CMDcx_Click();
    int x = 0;
    for (auto _ : state) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 100), w.PicBack->mapToGlobal(QPointF(x, 100)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w.PicBack, &move);
        x = (x + 7) % 767;
    }
}
BENCHMARK(ReadoutFromMouseEvent)->Unit(benchmark::kMicrosecond);

// Alternating query dates move the span each time, so the chart is drawn
// twice per query (once by POSITION_Change, once by the command itself).
void QueryCommand(benchmark::State &state)
{
    frmQORVEL &w = *g_window;
    w.PROPTION->setValueChecked(int(state.range(0)));
    w.TXTCSRQ->setText(QStringLiteral("1960-02-06"));
    const QString dates[] = {QStringLiteral("2010-02-06"), QStringLiteral("2011-07-20")};
    int i = 0;
    for (auto _ : state) {
        w.txtCXRQ->setText(dates[i ^= 1]);
        w.CMDcx_Click();
    }
}
BENCHMARK(QueryCommand)->Arg(40)->Arg(365)->Unit(benchmark::kMicrosecond);

// A key on the chart of 365 days moves the readout a day, and the window
// paints what changed on its screen. Run with QT_SCALE_FACTOR=2 for a
// screen of twice the density (the counter "density" says which it was).
void KeyStep(benchmark::State &state)
{
    frmQORVEL &w = *g_window;
    w.PROPTION->setValueChecked(365);
    w.TXTCSRQ->setText(QStringLiteral("1960-02-06"));
    w.txtCXRQ->setText(QStringLiteral("2010-02-06"));
    w.CMDcx_Click();
    w.PicBack->setFocus();
    QApplication::processEvents();
    int key = Qt::Key_Right;
    int steps = 0;
    for (auto _ : state) {
        w.PicBack_KeyDown(key, 0);
        QApplication::processEvents();
        // Back and forth across the span.
        if (++steps % 300 == 0)
            key = key == Qt::Key_Right ? Qt::Key_Left : Qt::Key_Right;
    }
    state.counters["density"] = w.PicBack->devicePixelRatioF();
}
BENCHMARK(KeyStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return quorvel::bench::runInAnalysisWindow(argc, argv);
}
