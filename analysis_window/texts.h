#pragma once

#include <QString>

namespace quorvel {

// The explanatory text shown over the chart until the first query.
inline const QString ExplanatoryText = QStringLiteral(
    "生物钟是生物体内一种无形的“时钟”，它支配着生命活动的节奏。研究生物钟的时间生物学、时间医学等新兴学科，正在揭示人体奥秘的一个个侧面。\n"
    "不少年轻夫妇借助生物节律查询，选择双方状态俱佳的日子来计划受孕。\n"
    "人们常有这样的体会：有些日子精力充沛、思维敏捷、心情舒畅；另一些日子却疲惫乏力、反应迟钝、情绪低落。\n"
    "科学家发现，人的体力、情绪和智力从出生到死亡都按固定的周期起伏，这就是人体的三种生物节律，即体力节律、情绪节律和智力节律。\n");

// One line of credits: the makers, a chat contact, a hotline and a web
// address. The numbers and the address are placeholders that reach nobody.
inline const QString CreditsText = QStringLiteral(
    "Quorvel开发组 聊天号：00000000 热线：000-0000-0000 网址：www.example.com");

} // namespace quorvel
