// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The controls the windows are built from (see events.h for their event
// model): labels, text boxes, command buttons, horizontal scroll bars, the
// chart's picture box and pictures.

#include "platform/widgets/commandbutton.h"
#include "platform/widgets/label.h"
#include "platform/widgets/picturebox.h"
#include "platform/widgets/scrollbar.h"
#include "platform/widgets/textbox.h"
