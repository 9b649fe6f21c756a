// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/query.h"

#include "platform/dates/conversions.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

std::optional<int> centredSpanPosition(Date query, Date birth, int span, int maxPosition)
{
    const double d = (query - span / 2.0) - birth;
    // Written so that a NaN lands here too; maxPosition lies within
    // 0..32767, so the rounding cannot overflow.
    if (!(d > 0.0))
        return std::nullopt;
    return CInt(std::min(d / 2.0, double(maxPosition)));
}

QueryPlan planQuery(const QString &queryText, const QString &birthText, Date storedBirth, int span, int maxPosition,
                    Date now)
{
    QueryPlan plan;
    const auto query = CDate(queryText);
    if (!query) {
        plan.refusal = QueryRefusal::NotADate;
        return plan;
    }
    plan.query = *query;
    if (plan.query > now) {
        // Read back from the text, as the box holds it: today at 00:00.
        plan.todayText = Format(now, u"YYYY-MM-DD");
        plan.query = CDate(*plan.todayText).value_or(std::floor(now));
    }
    // The birth box's date, else the date stored.
    const Date birth = CDate(birthText).value_or(storedBirth);
    plan.position = centredSpanPosition(plan.query, birth, span, maxPosition);
    if (!plan.position)
        plan.refusal = plan.query < birth ? QueryRefusal::BeforeBirth : QueryRefusal::TooNearBirth;
    return plan;
}

QString refusalText(const QueryPlan &plan, int span)
{
    if (plan.refusal == QueryRefusal::BeforeBirth)
        return QStringLiteral("无法绘制图表：查询日期早于出生日期。");
    return QStringLiteral("无法绘制图表：查询日期离出生日期太近，以它为中心的%1天会从出生日期之前开始。").arg(span);
}

} // namespace quorvel
