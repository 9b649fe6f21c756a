// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The words of the guide picture: what the high phase, the critical day and
// the low phase of each rhythm mean. The picture generator paints them and
// the guide window gives them to a screen reader, from this one place.

namespace quorvel::guide {

// Column headings: high phase, critical day, low phase.
inline const QString PhaseHeadings[3] = {QStringLiteral("生物节律高潮期"), QStringLiteral("生物节律临界日"),
                                         QStringLiteral("生物节律低潮期")};

// Row headings: the physical, emotional and intellectual rhythm.
inline const QString RhythmNames[3] = {QStringLiteral("体力节律"), QStringLiteral("情绪节律"),
                                       QStringLiteral("智力节律")};

// Cells[rhythm][phase]. A paragraph opens with the usual two-character
// indent.
inline const QString Cells[3][3] = {
    {QStringLiteral("　　体力充沛，精力旺盛，动作敏捷协调，耐力持久。此时适宜从事繁重的体力劳动和体育锻炼。"
                    "身体抵抗力强，不易患病。"),
     QStringLiteral("　　身体抵抗力下降，浑身乏力，动作容易失调、笨拙，易发生扭伤、碰伤等意外伤害，"
                    "慢性病也容易复发。重病患者和老年人在这一天尤其危险，应格外当心。"),
     QStringLiteral("　　容易疲倦，做事懒散，耐力下降，体力不支。身体抵抗力减弱，容易受到病菌感染，"
                    "患病时治疗效果也较差。")},
    {QStringLiteral("　　心情愉快，乐观开朗，充满自信，富有创造力和艺术感染力。待人热情，善于与人相处，"
                    "人际关系融洽。"),
     QStringLiteral("　　情绪很不稳定，烦躁易怒，自我控制能力差，做事容易出差错，容易发生事故，"
                    "也容易与人争吵甚至斗殴。精神疾病和心脏病也容易在此时发作。"),
     QStringLiteral("　　情绪低落，心情烦闷，缺乏干劲和信心，做事容易心不在焉、丢三落四，"
                    "容易出现差错和发生意外事故。")},
    {QStringLiteral("　　头脑灵活，思维敏捷清晰，记忆力强，判断准确。此时适宜学习新知识、钻研难题和"
                    "作出重要决策。"),
     QStringLiteral("　　判断力差，容易健忘，注意力分散，做事容易出错。这一天不宜从事计算、买卖交易和"
                    "写作等需要细心思考的工作。"),
     QStringLiteral("　　思维迟钝，反应缓慢，记忆力和判断力减退，注意力难以集中，学习和工作效率降低。")},
};

// The whole table as text, a rhythm after another, each cell after its
// heading, without the indents.
inline QString tableText()
{
    QString text;
    for (int rhythm = 0; rhythm < 3; ++rhythm) {
        text += RhythmNames[rhythm] + QLatin1Char('\n');
        for (int phase = 0; phase < 3; ++phase)
            text += PhaseHeadings[phase] + QStringLiteral("：") + Cells[rhythm][phase].trimmed() + QLatin1Char('\n');
    }
    return text;
}

} // namespace quorvel::guide
