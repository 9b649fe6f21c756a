// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "platform/dates/datetime.h"
#include "platform/widgets/runtime.h"

namespace quorvel {

void frmQORVEL::TXTCSRQ_KeyDown(int keyCode, int)
{
    if (keyCode != KeyEnter)
        return;
    if (IsDate(TXTCSRQ->Text())) {
        POSITION->setValueChecked(0);
        txtCXRQ->SetFocus();
    } else {
        m_runtime.Beep();
        refuseDate(TXTCSRQ);
    }
}

void frmQORVEL::Cmdclose_Click()
{
    m_runtime.End();
}

} // namespace quorvel
