// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis_window/frmqorvel.h"
#include "chart/chartcontrols.h"
#include "startup/frmc.h"
#include "startup/frmd.h"

#include <QPointer>

#include <memory>

// The program's module Global: the start-up routine Main, the values the
// analysis window's handlers share, the runtime its owner hands it (which it
// hands on to the windows), and the program's three window objects,
// each created on first use and kept until the program ends. A window object
// outlives its window: unloading closes the window, and loading it again
// builds it anew in its starting state.
//
// Start-up: Main shows the loader window, whose timer ticks every 50 ms. The
// first tick loads the analysis window, whose load handler ends in a modal
// show, so that tick waits there for the rest of the run while later ticks
// run nested inside it and find the window loaded. Should the analysis window
// be closed other than by its exit button, the next tick loads it anew.

namespace quorvel {

class Runtime;

class Global final : public QObject
{
    Q_OBJECT

public:
    explicit Global(Runtime &runtime);

    void Main();

    // ChartQueryDate, ChartBirthDate and CriticalLevel.
    SharedValues &shared() { return m_shared; }
    Runtime &runtime() { return m_runtime; }

    FrmC &loader();
    // The analysis window while it is loaded, otherwise null.
    frmQORVEL *analysisWindow() const { return m_analysis; }

    // Loads the analysis window when it is not loaded (returning only once it
    // has been closed again); does nothing when it is.
    void loadAnalysisWindow();

    // Opens the guide window modally; returns once it has been closed.
    void openGuide();
    FrmD *guideWindow() const { return m_guide; }

signals:
    // The analysis window is loaded anew, just before its load handler runs.
    void analysisWindowLoaded();

private:
    SharedValues m_shared;
    Runtime &m_runtime;
    std::unique_ptr<FrmC> m_loader;
    QPointer<frmQORVEL> m_analysis;
    QPointer<FrmD> m_guide;
};

} // namespace quorvel
