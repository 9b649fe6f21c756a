// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

// The guide link: dark red at rest, black under the pointer, and a click
// opens the guide.

namespace quorvel {

void frmQORVEL::Label2_MouseMove(int, int, float, float)
{
    Label2->setForeColor(LinkHoverColor);
}

void frmQORVEL::Form_MouseMove(int, int, float, float)
{
    Label2->setForeColor(LinkRestingColor);
}

void frmQORVEL::Label2_Click()
{
    emit guideRequested();
}

} // namespace quorvel
