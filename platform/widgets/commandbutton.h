// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/widgets/events.h"

#include <QPushButton>

#include <optional>

namespace quorvel {

// A push button that, when it holds the focus, answers Space and Enter alike.
// A background colour gives it the graphical look: its face takes the colour.
class CommandButton final : public QPushButton
{
public:
    CommandButton(QWidget *parent, QRect geometry, const QString &caption,
                  std::optional<VbColor> faceColor = std::nullopt);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::optional<VbColor> m_faceColor;
};

} // namespace quorvel
