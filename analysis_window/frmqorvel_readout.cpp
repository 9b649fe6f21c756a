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
    // The date of the instant x, and the values the curves, whose day d is
    // drawn at d + 0.5, pass through there; one past the last representable
    // date shows no date, while the values are still shown.
    LBLrq->setCaption(QStringLiteral("当前日期：") + dateText(m_shared.ChartBirthDate + x));
    const std::array<long long, 4> numbers = readoutNumbers(AllCycleValues(x - 0.5));
    const std::array<Label *, 4> labels{LBLtl, LBLqx, LBLzl, LBLzh};
    for (std::size_t curve = 0; curve < labels.size(); ++curve)
        labels[curve]->setCaption(valueCaption(curve, numbers[curve]));
    showComparedReadout(x);
}

} // namespace quorvel
