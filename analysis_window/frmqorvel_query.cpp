// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "chart/chart.h"
#include "chart/span.h"
#include "platform/dates/conversions.h"
#include "platform/widgets/runtime.h"

namespace quorvel {

void frmQORVEL::CMDcx_Click()
{
    Label1->setVisible(false);

    auto query = CDate(txtCXRQ->Text());
    if (!query) {
        m_runtime.Beep();
        clearToFrame();
        selectWholeText(txtCXRQ);
        sayDateNotUnderstood(txtCXRQ);
        return;
    }

    if (const auto today = futureQueryAsToday(*query, m_runtime.Now())) {
        txtCXRQ->setText(*today);
        query = CDate(txtCXRQ->Text());
        if (!query)
            m_runtime.RaiseRuntimeError(OverflowError());
    }

    const auto birthInBox = CDate(TXTCSRQ->Text());
    const Date birth = birthInBox ? *birthInBox : m_shared.ChartBirthDate;
    const auto position = centredSpanPosition(*query, birth, PROPTION->Value(), POSITION->Max());
    if (!position) {
        clearToFrame();
        return;
    }
    POSITION->setValueChecked(*position);

    redrawChart();
}

void frmQORVEL::txtCXRQ_KeyDown(int keyCode, int)
{
    if (keyCode == KeyEnter)
        CMDcx_Click();
}

} // namespace quorvel
