// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/frmd.h"

#include "analysis_window/frmqorvel.h"
#include "assets/assets.h"
#include "assets/guidetexts.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/geometry.h"

#include <QShortcut>

namespace quorvel {

FrmD::FrmD(frmQORVEL *analysisWindow)
    : Form(QSize(639, 540), QStringLiteral("Form1"), 0x00D6D96C)
    , m_analysisWindow(analysisWindow)
{
    setWindowIcon(quorvel::windowIcon());
    Command1 = new CommandButton(this, twipsRect(7080, 7620, 1245, 405), QStringLiteral("关 闭"));
    Image2 = new ImageBox(this, twipsRect(0, 0, 9585, 7515), Picture(QString::fromLatin1(GuidePicturePath)));
    // The system keeps the guide above the analysis window, which it blocks.
    setOwnerWindow(analysisWindow);
    connect(Command1, &CommandButton::clicked, this, &FrmD::Command1_Click);
    // Escape closes the guide as the system's close command does: no query.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { Unload(); });

    // The caption is only a placeholder; a screen reader hears a real name,
    // and the picture's words as text, read out with the dialog.
    setAccessibleName(QStringLiteral("分析指南"));
    setAccessibleDescription(guide::tableText());
    Command1->setAccessibleName(QStringLiteral("关闭"));
    Image2->setAccessibleName(QStringLiteral("生物节律分析指南表"));
    Image2->setAccessibleDescription(guide::tableText());
    centreOnScreen();
    Command1->setFocus();
}

void FrmD::Command1_Click()
{
    Unload();
    if (m_analysisWindow)
        m_analysisWindow->CMDcx_Click();
}

} // namespace quorvel
