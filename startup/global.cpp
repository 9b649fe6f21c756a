// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/global.h"

#include "analysis_window/frmqorvel.h"
#include "platform/widgets/runtime.h"
#include "startup/frmd.h"

namespace quorvel {

Global::Global(Runtime &runtime)
    : m_runtime(runtime)
{
}

void Global::Main()
{
    loader().show();
}

FrmC &Global::loader()
{
    if (!m_loader)
        m_loader = std::make_unique<FrmC>(*this);
    return *m_loader;
}

void Global::loadAnalysisWindow()
{
    if (m_analysis || m_runtime.isEnding())
        return;
    // Form_Load returns once the window has closed and every handler of it
    // has returned; then the window is unloaded, and the next load builds it
    // anew.
    const auto window = std::make_unique<frmQORVEL>(m_shared, m_runtime);
    connect(window.get(), &frmQORVEL::guideRequested, this, &Global::openGuide);
    m_analysis = window.get();
    emit analysisWindowLoaded();
    window->Form_Load();
}

void Global::openGuide()
{
    if (m_guide)
        return;
    FrmD guide(m_analysis);
    m_guide = &guide;
    guide.ShowModal();
    // Back to the analysis window, which the query command may just have
    // given a focus to.
    if (m_analysis && m_analysis->isVisible())
        m_analysis->activateWindow();
}

} // namespace quorvel
