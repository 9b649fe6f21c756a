// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/comparison.h"

#include "chart/chart.h"
#include "chart/drawnchart.h"
#include "platform/dates/conversions.h"

#include <algorithm>

namespace quorvel {
namespace {

QString shortName(const QString &name)
{
    return name.size() > ShownNameLength ? name.left(ShownNameLength - 1) + u'…' : name;
}

QString who(const QString &name, Date birth) { return name.isEmpty() ? dateTimeText(birth) : shortName(name); }

QString inFull(const QString &name, Date birth)
{
    return name.isEmpty() ? dateTimeText(birth) : shortName(name) + u'（' + dateTimeText(birth) + u'）';
}

} // namespace

QString percentText(double value) { return CStr(CInt(value).value_or(0)) + u'%'; }

std::array<long long, 4> ComparedChart::valuesOf(int day) const { return readoutNumbers(AllCycleValues(day + shift)); }

std::array<long long, 4> ComparedChart::valuesAt(double x) const
{
    return readoutNumbers(AllCycleValues(x - 0.5 + shift));
}

bool ComparedChart::marksCriticalDay(int day) const
{
    return std::binary_search(criticalDays.begin(), criticalDays.end(), day);
}

QString ComparedChart::secondWho() const { return who(secondName, secondBirth); }

QString ComparedChart::firstInFull() const { return inFull(firstName, firstBirth); }

QString ComparedChart::secondInFull() const { return inFull(secondName, secondBirth); }

QString ComparedChart::synchronyText() const
{
    QStringList parts;
    for (std::size_t i = 0; i < synchrony.cycles.size(); ++i)
        parts += QString::fromUtf16(Curves[i].name) + percentText(synchrony.cycles[i]);
    parts += QStringLiteral("平均") + percentText(synchrony.mean);
    return parts.join(u'，');
}

QString ComparedChart::legendText() const
{
    return QStringLiteral("实线：%1　点线：%2　同步：%3").arg(firstInFull(), secondInFull(), synchronyText());
}

ComparedChart compareOn(const Comparison &comparison, Date firstBirth, int first, int last, float criticalLevel)
{
    ComparedChart compared;
    compared.firstName = comparison.firstName;
    compared.secondName = comparison.secondName;
    compared.firstBirth = firstBirth;
    compared.secondBirth = comparison.secondBirth;
    compared.shift = firstBirth - comparison.secondBirth;
    compared.criticalDays = criticalDaysBetween(first, last, criticalLevel, compared.shift);
    compared.synchrony = synchronyOf(firstBirth, comparison.secondBirth);
    return compared;
}

} // namespace quorvel
