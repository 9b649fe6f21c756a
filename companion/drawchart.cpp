// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/companion.h"

#include "chart/chart.h"

namespace quorvel::companion {
namespace {

// The window's controls as far as the chart reads them: fixed dates and
// scroll values; the span labels are not part of the picture.
class FixedControls final : public ChartControls
{
public:
    explicit FixedControls(const ChartRequest &request) : m_request(request) {}

    int positionValue() const override { return m_request.position; }
    int proptionValue() const override { return m_request.span; }
    QString birthText() const override { return m_request.birthText; }
    QString queryText() const override { return m_request.queryText; }
    void setStartLabel(const QString &) override {}
    void setSpanLabel(const QString &) override {}
    void refreshSpanLabels() override {}

private:
    const ChartRequest &m_request;
};

} // namespace

std::optional<DrawnChart> drawChart(DrawingSurface &surface, SharedValues &shared, const ChartRequest &request)
{
    FixedControls controls(request);
    surface.Cls();
    DrawBackground(surface, controls);
    return DrawPicBack(surface, controls, shared);
}

} // namespace quorvel::companion
