// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "analysis_window/texts.h"
#include "chart/chart.h"
#include "chart/query.h"
#include "platform/widgets/runtime.h"

namespace quorvel {

void frmQORVEL::CMDcx_Click()
{
    Label1->setVisible(false);

    const QueryPlan plan = planQuery(txtCXRQ->Text(), TXTCSRQ->Text(), m_shared.ChartBirthDate, PROPTION->Value(),
                                     POSITION->Max(), m_runtime.Now());
    if (plan.refusal == QueryRefusal::NotADate) {
        m_runtime.Beep();
        clearToFrame();
        refuseDate(txtCXRQ);
        return;
    }
    if (plan.todayText)
        txtCXRQ->setText(*plan.todayText);
    if (!plan.position) {
        clearToFrame();
        sayAfterQuery(refusalText(plan, PROPTION->Value()));
        return;
    }
    POSITION->setValueChecked(*plan.position);

    redrawChart();
    sayAfterQuery(m_drawn.curvesDrawn ? spokenChart() : NoChartText);
}

void frmQORVEL::txtCXRQ_KeyDown(int keyCode, int)
{
    if (keyCode == KeyEnter)
        CMDcx_Click();
}

} // namespace quorvel
