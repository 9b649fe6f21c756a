#pragma once

#include "platform/widgets/form.h"

#include <QTimer>

namespace quorvel {

class Global;

// FrmC, the loader window: holds the timer that loads the analysis window.
// It stays loaded for the whole run but is never seen: a black square
// behind the analysis window would only puzzle the user.
class FrmC final : public Form
{
public:
    explicit FrmC(Global &global);

    QTimer *Timer1;

    void Timer1_Timer();

    // How deep the timer's handler is nested in itself right now.
    int tickDepth() const { return m_tickDepth; }
    int ticks() const { return m_ticks; }

private:
    Global &m_global;
    int m_tickDepth = 0;
    int m_ticks = 0;
};

} // namespace quorvel
