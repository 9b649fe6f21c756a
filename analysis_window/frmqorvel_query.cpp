// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "analysis_window/texts.h"
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
        sayAfterQuery(*query < birth ? QStringLiteral("无法绘制图表：查询日期早于出生日期。")
                                     : QStringLiteral("无法绘制图表：查询日期离出生日期太近，以它为中心的%1天"
                                                      "会从出生日期之前开始。")
                                           .arg(PROPTION->Value()));
        return;
    }
    POSITION->setValueChecked(*position);

    redrawChart();
    sayAfterQuery(m_drawn ? spokenChart() : NoChartText);
}

void frmQORVEL::txtCXRQ_KeyDown(int keyCode, int)
{
    if (keyCode == KeyEnter)
        CMDcx_Click();
}

} // namespace quorvel
