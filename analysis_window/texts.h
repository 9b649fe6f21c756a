// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart/chart.h"
#include "chart/query.h"

#include <QString>

namespace quorvel {

// The window's caption and its controls' texts as the window creates them.
inline const QString WindowCaption = QStringLiteral("Quorvel分析");
inline const QString QueryButtonCaption = QStringLiteral("查 询");
inline const QString ExitButtonCaption = QStringLiteral("退 出");
inline const QString BirthDateCaption = QStringLiteral("出生日期：");
inline const QString QueryDateCaption = QStringLiteral("查询日期：");
inline const QString ReadoutDateCaption = QStringLiteral("当前日期");
inline const QString GuideLinkCaption = QStringLiteral(" 分析指南 ");
// A readout label's caption before the first readout: the curve's word and 值.
inline QString readoutCaption(std::size_t curve) { return QString::fromUtf16(Curves[curve].name) + u'值'; }

// The explanatory text shown over the chart until the first query.
inline const QString ExplanatoryText = QStringLiteral(
    "生物钟是生物体内一种无形的“时钟”，它按照固定的节奏支配着生命活动：睡眠与清醒、体温的起伏、激素的分泌，无不随之而动。近几十年来，时间生物学、时间医学、时间药理学等新兴学科相继诞生，专门研究生物钟的奥秘。\n"
    "生物节律查询也常被用来安排生活中的大事。不少年轻夫妇参考双方的节律曲线，选择两人状态俱佳的日子计划受孕，希望孕育出健康聪慧的宝宝。\n"
    "每个人都有这样的体会：有些日子精力充沛、思维敏捷、心情舒畅，做什么都得心应手；另一些日子却疲惫乏力、反应迟钝、情绪低落。这并非偶然。\n"
    "科学家经过长期观察发现，人的体力、情绪和智力从出生之日起直到生命终结，都按照各自固定的周期高低起伏：体力周期为二十三天，情绪周期为二十八天，智力周期为三十三天。这就是人体的三种生物节律，即体力节律、情绪节律和智力节律。\n");

// The forms a date box takes, as a screen reader hears them.
inline const QString DateFormsText = QStringLiteral("1980-01-01、1980/1/1、1980.1.1、1980年1月1日或农历1980年正月初一");

// What a screen reader hears of the chart and its scroll bars before any
// chart is drawn.
inline const QString NoChartYet = QStringLiteral("尚未绘制图表");
inline const QString NoChartText = NoChartYet + QStringLiteral("：请输入出生日期和查询日期，然后按回车键。");

// What a save that the user cancelled, or that the window's closing ended,
// gives instead of a reason: nothing to report.
inline const QString SaveCancelled = QStringLiteral("已取消保存");

// One line of credits: the makers, a chat contact, a hotline and a web
// address. The numbers and the address are placeholders that reach nobody.
inline const QString CreditsText = QStringLiteral(
    "Quorvel开发组 聊天号：00000000 热线：000-0000-0000 网址：www.example.com");

// Every text the window shows when it first appears, the span label with
// it: start-up loads their glyphs while the loader waits.
inline QString startupTexts()
{
    QString texts = WindowCaption + QueryButtonCaption + ExitButtonCaption + BirthDateCaption + QueryDateCaption
        + ReadoutDateCaption + GuideLinkCaption + spanLabelText(MinSpan) + ExplanatoryText + CreditsText;
    for (std::size_t curve = 0; curve < Curves.size(); ++curve)
        texts += readoutCaption(curve);
    return texts;
}

} // namespace quorvel
