// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "chart/chart.h"

namespace quorvel {

void frmQORVEL::PicBack_MouseMove(int, int, float x, float)
{
    if (Label2->ForeColor() != LinkRestingColor)
        Label2->setForeColor(LinkRestingColor);
    if (focusBoxWithoutDate())
        return;

    showReadout(double(x));
}

void frmQORVEL::showReadout(double x)
{
    const Readout readout = readoutAt(m_shared.ChartBirthDate, x);
    LBLrq->setCaption(readout.date);
    LBLtl->setCaption(readout.values[0]);
    LBLqx->setCaption(readout.values[1]);
    LBLzl->setCaption(readout.values[2]);
    LBLzh->setCaption(readout.values[3]);
}

} // namespace quorvel
