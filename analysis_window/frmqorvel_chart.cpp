// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "chart/chart.h"
#include "platform/dates/datetime.h"

// The chart on the window: drawing it, and where the focus goes when a date
// box holds no date.

namespace quorvel {

void frmQORVEL::DrawBackground()
{
    m_drawn = quorvel::DrawBackground(PicBack->surface(), chartControls());
    PicBack->update();
    PicBack->setMarker(std::nullopt);
    showComparison();
    describeChart();
}

void frmQORVEL::DrawPicBack()
{
    m_drawn = quorvel::DrawPicBack(PicBack->surface(), chartControls(), m_shared);
    PicBack->update();
    if (m_drawn.curvesDrawn) {
        LBLStartSj->setCaption(m_drawn.startLabel);
        setSpanLabel(m_drawn.spanLabel, m_drawn.span());
        // Both repaint at once, the start label first.
        LBLStartSj->Refresh();
        LBLts->Refresh();
    }
    showComparison();
    describeChart();
}

void frmQORVEL::clearToFrame()
{
    PicBack->surface().Cls();
    DrawBackground();
}

void frmQORVEL::redrawChart()
{
    clearToFrame();
    DrawPicBack();
}

bool frmQORVEL::focusBoxWithoutDate()
{
    for (TextBox *box : {TXTCSRQ, txtCXRQ}) {
        if (!IsDate(box->Text())) {
            box->SetFocus();
            return true;
        }
    }
    return false;
}

void frmQORVEL::setSpanLabel(const QString &caption, int span)
{
    LBLts->setCaption(caption);
    // Read out, the arrows would be only dashes and signs.
    LBLts->setAccessibleName(QStringLiteral("共%1天").arg(span));
}

ChartControls frmQORVEL::chartControls() const
{
    return {TXTCSRQ->Text(), txtCXRQ->Text(), POSITION->Value(), PROPTION->Value(), comparisonRequest()};
}

} // namespace quorvel
