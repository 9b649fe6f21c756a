// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "chart/chart.h"
#include "platform/dates/conversions.h"

namespace quorvel {

std::int16_t halfSpanStep(int span)
{
    // A span is a scroll bar's value, at most 32767: its half always fits.
    return CInt(span / 2.0).value();
}

void frmQORVEL::POSITION_Change()
{
    LBLStartSj->setCaption(startLabelText(m_shared.ChartBirthDate, POSITION->Value()));
    if (focusBoxWithoutDate())
        return;
    redrawChart();
}

void frmQORVEL::PROPTION_Change()
{
    const int span = PROPTION->Value();
    setSpanLabel(spanLabelText(span), span);
    POSITION->setLargeChange(halfSpanStep(span));
    clearToFrame();
    // While the window is hidden (during start-up) neither box counts as
    // visible, so no focus moves into a window nobody can see yet.
    if (TXTCSRQ->Visible() && !IsDate(TXTCSRQ->Text()))
        TXTCSRQ->SetFocus();
    else if (txtCXRQ->Visible() && !IsDate(txtCXRQ->Text()))
        txtCXRQ->SetFocus();
    else
        DrawPicBack();
}

} // namespace quorvel
