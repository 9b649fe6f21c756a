// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "analysis_window/texts.h"
#include "chart/chart.h"
#include "chart/query.h"
#include "platform/dates/datetime.h"

namespace quorvel {

void frmQORVEL::Form_Load()
{
    TXTCSRQ->setText(QString());
    txtCXRQ->setText(QString());

    // Raising the minimum to 40 moves the value there, which runs
    // PROPTION_Change once while the window is still hidden.
    PROPTION->setMin(MinSpan);
    PROPTION->setMax(MaxSpan);
    PROPTION->setSmallChange(1);
    PROPTION->setLargeChange(10);
    PROPTION->setValueChecked(MinSpan);

    POSITION->setMin(0);
    POSITION->setMax(MaxPosition);
    POSITION->setSmallChange(1);
    POSITION->setLargeChange(halfSpanStep(PROPTION->Value()));
    POSITION->setValueChecked(0);

    centreOnScreen();

    m_shared.ChartBirthDate = DateSerial(1960, 2, 6);
    m_shared.CriticalLevel = ProgramCriticalLevel;

    // The start-up frame alone is drawn with the exclusive-or pen.
    PicBack->surface().setDrawMode(DrawMode::XorPen);
    clearToFrame();
    PicBack->surface().setDrawMode(DrawMode::CopyPen);
    DrawPicBack();

    LBLabout->setCaption(CreditsText);
    TXTCSRQ->SetFocus();
    ShowModal();
}

} // namespace quorvel
