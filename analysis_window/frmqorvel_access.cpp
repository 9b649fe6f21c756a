// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "analysis_window/texts.h"
#include "chart/chart.h"
#include "platform/dates/datetime.h"
#include "platform/widgets/accessibility.h"

#include <algorithm>
#include <cmath>

// The window without a mouse and without sight: the keyboard readout on the
// chart, and what the chart tells a screen reader.

namespace quorvel {
namespace {

constexpr int DaysInWeek = 7;

} // namespace

bool frmQORVEL::PicBack_KeyDown(int keyCode, int)
{
    const SpanDays &days = m_drawn.days;
    // The day the marker stands in the middle of; the first key shows the
    // day the query bar marks, when the span shows it.
    const std::optional<double> marked = PicBack->marker();
    const int from = marked ? int(std::floor(*marked)) : m_drawn.showsQueryDay() ? *m_drawn.queryDay : days.first;
    const int step = marked ? 1 : 0;

    int day;
    switch (keyCode) {
    case Qt::Key_Left: day = from - step; break;
    case Qt::Key_Right: day = from + step; break;
    case Qt::Key_PageUp: day = from - step * DaysInWeek; break;
    case Qt::Key_PageDown: day = from + step * DaysInWeek; break;
    case Qt::Key_Home: day = days.first; break;
    case Qt::Key_End: day = days.last; break;
    default: return false;
    }

    // Before a chart is drawn there is nothing to read: say why, rather than
    // send the focus away unannounced.
    if (!m_drawn.curvesDrawn) {
        announce(PicBack, NoChartText);
        return true;
    }
    // As under the pointer: a box without a date takes the focus instead.
    if (focusBoxWithoutDate())
        return true;
    const int keyDay = std::clamp(day, days.first, days.last);
    const double middle = keyDay + 0.5;
    showReadout(middle);
    // The day, what the chart marks on it and its values:
    // "2010-11-09，查询日，临界日，体力值-1，…".
    QStringList spoken{m_drawn.dayText(keyDay)};
    if (m_drawn.marksQueryDay(keyDay))
        spoken += QueryDayWord;
    if (m_drawn.marksCriticalDay(keyDay))
        spoken += CriticalDayWord;
    spoken += spokenValues(m_drawn.valuesOf(keyDay));
    PicBack->setMarker(middle, spoken.join(u'，') + spokenComparedDay(keyDay));
    return true;
}

QString frmQORVEL::spokenChart() const
{
    const DrawnChart &chart = m_drawn;
    QStringList critical;
    for (const int day : chart.criticalDays)
        critical += chart.dayText(day);
    const QStringList notes = chart.queryDayNotes();
    return QStringLiteral("查询日期%1。图表显示%2至%3，共%4天。%5：%6。%7。")
        .arg(withLunarDate(dateText(chart.queryDate), chart.queryDate, chart.queryTypedLunar),
             chart.dayText(chart.days.first), chart.dayText(chart.days.last), QString::number(chart.span()),
             notes.isEmpty() ? QueryDayWord : QueryDayWord + u'（' + notes.join(u'，') + u'）',
             spokenValues(chart.valuesOf(chart.queryDay.value_or(chart.days.first))),
             critical.isEmpty() ? NoCriticalDayWords : CriticalDayWord + u'：' + critical.join(u'、'))
        + spokenComparison();
}

void frmQORVEL::describeChart()
{
    QString text = NoChartText;
    if (m_drawn.curvesDrawn) {
        text = QStringLiteral("出生日期%1，")
                   .arg(withLunarDate(dateText(m_drawn.birthDate), m_drawn.birthDate, m_drawn.birthTypedLunar))
            + spokenChart()
            + QStringLiteral("用方向键逐日查看数值。");
    }
    if (PicBack->accessibleDescription() != text)
        PicBack->setAccessibleDescription(text);
}

void frmQORVEL::sayAfterQuery(const QString &text)
{
    // A query run from elsewhere (the guide closing) would be cut short by
    // the window coming back; the chart's description tells it then.
    if (isActiveWindow())
        announce(this, text);
}

void frmQORVEL::refuseDate(TextBox *box)
{
    box->SetFocus();
    box->setSelStart(0);
    box->setSelLength(int(box->Text().size()));
    // A lunar date written well that names no day: why.
    if (const QString why = whyNoSuchDate(box->Text()); !why.isEmpty())
        announce(box, QStringLiteral("没有这个日期：%1。").arg(why));
    else
        announce(box, box->Text().trimmed().isEmpty()
                          ? QStringLiteral("请输入日期，可按%1的格式输入。").arg(DateFormsText)
                          : QStringLiteral("无法识别这个日期，请按%1的格式输入。").arg(DateFormsText));
}

} // namespace quorvel
