#include "analysis_window/frmqorvel.h"

#include "model/biorhythm.h"
#include "platform/dates/conversions.h"
#include "platform/dates/datetime.h"

namespace quorvel {
namespace {

QString valueText(double value)
{
    return CStr(static_cast<long long>(Int(value)));
}

} // namespace

void frmQORVEL::PicBack_MouseMove(int, int, float x, float)
{
    if (Label2->ForeColor() != LinkRestingColor)
        Label2->setForeColor(LinkRestingColor);
    if (focusBoxWithoutDate())
        return;

    showReadout(double(x));
}

void frmQORVEL::showReadout(double x)
{
    // The day under the pointer; one past the last representable date shows
    // no date, while the values are still shown.
    const auto day = CDate(m_shared.ChartBirthDate + x);
    LBLrq->setCaption(QStringLiteral("当前日期：") + (day ? Format(*day, u"yyyy-mm-dd") : QString()));

    // The curves draw day d's values at d + 0.5.
    const double offset = x - 0.5;
    LBLtl->setCaption(QStringLiteral("体力值：")
                      + valueText(CycleValue(offset, BiorhythmCycle::Physical) * ValueScale));
    LBLqx->setCaption(QStringLiteral("情绪值：")
                      + valueText(CycleValue(offset, BiorhythmCycle::Emotional) * ValueScale));
    LBLzl->setCaption(QStringLiteral("智力值：")
                      + valueText(CycleValue(offset, BiorhythmCycle::Intellectual) * ValueScale));
    LBLzh->setCaption(QStringLiteral("综合值：") + valueText(CompositeValue(offset)));
}

} // namespace quorvel
