// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "chart/chart.h"
#include "platform/dates/datetime.h"
#include "platform/widgets/accessibility.h"

#include <algorithm>

// The window without a mouse and without sight: the keyboard readout on the
// chart, and what the chart tells a screen reader.

namespace quorvel {
namespace {

constexpr int DaysInWeek = 7;

} // namespace

bool frmQORVEL::PicBack_KeyDown(int keyCode, int)
{
    // The days of the chart drawn; with the frame alone, those of the span
    // in the scroll bars.
    const SpanDays days = m_drawn ? m_drawn->days : spanDays(POSITION->Value(), PROPTION->Value());
    const int first = days.first;
    const int last = days.last;
    // The first key shows the day the query bar marks, when the span shows it.
    const bool barShown = m_drawn && m_drawn->queryBarDrawn && days.shows(*m_drawn->queryDay);
    const int from = m_keyDay.value_or(barShown ? *m_drawn->queryDay : first);
    const int step = m_keyDay ? 1 : 0;

    int day;
    switch (keyCode) {
    case Qt::Key_Left: day = from - step; break;
    case Qt::Key_Right: day = from + step; break;
    case Qt::Key_PageUp: day = from - step * DaysInWeek; break;
    case Qt::Key_PageDown: day = from + step * DaysInWeek; break;
    case Qt::Key_Home: day = first; break;
    case Qt::Key_End: day = last; break;
    default: return false;
    }

    // As under the pointer: a box without a date takes the focus instead.
    if (focusBoxWithoutDate())
        return true;
    m_keyDay = std::clamp(day, first, last);
    const double middle = *m_keyDay + 0.5;
    showReadout(middle);
    // The labels' words without their colons: "2009-11-04，体力值-62，…".
    QStringList spoken{LBLrq->Caption().section(u'：', 1)};
    for (const Label *value : {LBLtl, LBLqx, LBLzl, LBLzh})
        spoken += value->Caption().remove(u'：');
    PicBack->setMarker(middle, spoken.join(u'，'));
    return true;
}

void frmQORVEL::forgetKeyboardDay()
{
    m_keyDay.reset();
    PicBack->setMarker(std::nullopt);
}

void frmQORVEL::describeChart()
{
    QString text;
    if (!m_drawn) {
        text = QStringLiteral("尚未绘制图表：请输入出生日期和查询日期，然后按回车键。");
    } else {
        const DrawnChart &chart = *m_drawn;
        const Date birth = chart.birthDate;
        // The query day's own values, as the readout shows them in the
        // middle of the column the query bar stands on.
        QStringList values;
        for (const QString &value : readoutAt(birth, chart.queryDay.value_or(chart.days.first) + 0.5).values)
            values += QString(value).remove(u'：');
        text = QStringLiteral("出生日期%1，查询日期%2。图表显示%3至%4，共%5天。查询日：%6。用方向键逐日查看数值。")
                   .arg(dateText(birth), dateText(chart.queryDate), dateText(birth + chart.days.first),
                        dateText(birth + chart.days.last), QString::number(chart.span), values.join(u'，'));
    }
    if (PicBack->accessibleDescription() != text)
        PicBack->setAccessibleDescription(text);
}

void frmQORVEL::sayDateNotUnderstood(TextBox *box)
{
    announce(box, QStringLiteral("无法识别这个日期，请按1980-01-01、1980/1/1、1980.1.1或1980年1月1日的格式输入。"));
}

} // namespace quorvel
