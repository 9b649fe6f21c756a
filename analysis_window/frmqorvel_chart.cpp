// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "chart/chart.h"
#include "platform/dates/datetime.h"

// The chart on the window: drawing it, and the two helpers every handler
// that may draw uses, on the date boxes.

namespace quorvel {

void frmQORVEL::DrawBackground()
{
    quorvel::DrawBackground(PicBack->surface(), *this);
    PicBack->update();
    m_drawn.reset();
    forgetKeyboardDay();
    describeChart();
}

void frmQORVEL::DrawPicBack()
{
    m_drawn = quorvel::DrawPicBack(PicBack->surface(), *this, m_shared);
    PicBack->update();
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

void frmQORVEL::selectWholeText(TextBox *box)
{
    box->SetFocus();
    box->setSelStart(0);
    box->setSelLength(int(box->Text().size()));
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

// --- What the chart reads and writes

int frmQORVEL::positionValue() const { return POSITION->Value(); }
int frmQORVEL::proptionValue() const { return PROPTION->Value(); }
QString frmQORVEL::birthText() const { return TXTCSRQ->Text(); }
QString frmQORVEL::queryText() const { return txtCXRQ->Text(); }
void frmQORVEL::setStartLabel(const QString &text) { LBLStartSj->setCaption(text); }
void frmQORVEL::setSpanLabel(const QString &text) { LBLts->setCaption(text); }

void frmQORVEL::refreshSpanLabels()
{
    LBLStartSj->Refresh();
    LBLts->Refresh();
}

} // namespace quorvel
