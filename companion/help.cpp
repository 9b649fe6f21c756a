// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/commandline.h"
#include "companion/companion.h"

#include "chart/chart.h"
#include "exports/chartexports.h"

// What the parser cannot say of the program and its commands: what each
// does and how it counts. The options and their values the parser lists
// itself, under these texts.

namespace quorvel::companion {
namespace {

QString programDescription()
{
    return QStringLiteral(
               "写出 Quorvel 分析窗口的生物节律图和它的数值。\n"
               "\n"
               "命令：\n"
               "  chart     图表，PNG、SVG 或 PDF 文件\n"
               "  table     一段日子里每天的数值，CSV 表格\n"
               "  critical  一段日子里的临界日，每行一个日期\n"
               "  calendar  一段日子里的临界日，iCalendar 日历\n"
               "  compare   两个人的周期有多同步\n"
               "每个命令的说明和选项：quorvel-chart 命令 --help。\n"
               "\n"
               "%1。\n"
               "chart 像窗口一样计入一天中的时间；其他命令只计整天。\n"
               "选项的值写在下一个参数里，或者写在“=”后面（--birth=1980-01-01）。\n"
               "\n"
               "凡是要 --birth 的地方都可以用 --person 名字代替（compare 的 --other 用 --other-person，\n"
               "chart 的 --with 用 --with-person）：\n"
               "quorvel 窗口用“记住这个人…”记下的这个人的出生日期，连同时间。人员列表读自\n"
               "$XDG_CONFIG_HOME/quorvel/people.txt（默认 ~/.config/quorvel/people.txt），只读不写；\n"
               "列表里没有这个名字时状态 2，并列出记住的人。\n"
               "\n"
               "-o 的文件要么完整写成，要么保持原样，程序在任何时刻被终止也一样。输出先写在同一文件夹里的\n"
               "无名文件中，完整写好后才取得文件名。替换已有的文件时，它在改名替换旧文件前的一瞬间有一个\n"
               "隐藏的名字 .quorvel-XXXXXX，恰好在这一瞬间被终止（例如 kill -9）就会留下它；文件系统不支持\n"
               "无名文件时，输出从头就用这个名字，被终止时也会留下它。除此以外旁边不留下任何文件。\n"
               "替换的文件保留权限、访问控制列表和 user.* 扩展属性，能给回原来的所有者时也保留所有者。\n"
               "有其他名字（硬链接）的文件只替换给出的这个名字，其他名字保留原来的内容。\n"
               "设备、管道和套接字就地写入；- 是标准输出。/dev/stdout、/dev/stderr 和 /dev/fd/N 是程序\n"
               "得到的那个已打开的描述符，像 - 一样写入，shell 用 >> 打开的就接在原有内容后面。\n"
               "\n"
               "设置了 SOURCE_DATE_EPOCH（1970-01-01 00:00 UTC 以来的秒数）时，以它的 UTC 时刻为现在：\n"
               "这样同样的参数再次写出同样的文件。\n"
               "\n"
               "退出状态：0 完成，1 无法写出输出，2 参数无效。\n"
               "读取输出的程序提前关闭管道时，quorvel-chart 像其他过滤程序一样由 SIGPIPE 结束（shell 里的状态是 141）。")
        .arg(dateForms(QStringLiteral("；\n")));
}

QString chartDescription()
{
    return QStringLiteral(
               "画出分析窗口查询这两个日期后显示的图表：以查询日期为中心的范围，\n"
               "查询日期晚于现在时按今天算。这样的范围若从出生日期当天或之前开始，\n"
               "就像窗口那样只画出空图框，并在标准错误上说明。\n"
               "PNG 是窗口显示的图表区域，带着起始日期和范围标签，下面是一条 %3 像素高的图例：\n"
               "比例 1 的图表是窗口本身的 %1 x %2 像素，比例 2 是它的两倍大；SVG 显示同样的内容。\n"
               "PDF 是一页 A4 的图表页，为纸张而作：两个日期；白底的图表，有日期轴和数值轴，\n"
               "查询日标在图的上方；图例；查询条所在那天的数值；范围内的临界日；制作日期。\n"
               "图中的每一天都以读数在它那一列正中显示的日期命名：出生时刻在中午之前时是出生日期加上\n"
               "天数，在中午或之后时再加一天。查询条所在的那一天，是出生到查询的天数最近的整数。\n"
               "只画出图框时，图表页说明没有图表。\n"
               "给出 --with 时像窗口的“与…对比”一样对比两个人：第二个人的三个周期用同样颜色的点线\n"
               "画在第一个人的上面，图的底部说明哪条线是谁，并给出每个周期的同步程度（和 compare 的数相同）；\n"
               "图表页写出两个人、第二个人在查询日的数值、同步程度和各自的临界日。\n"
               "格式由文件的扩展名决定；写到标准输出（-o -）时用 --format 给出。\n"
               "--format 与文件的扩展名不符时不执行（状态 2）。")
        .arg(ChartPixelSize.width())
        .arg(ChartPixelSize.height())
        .arg(LegendStripHeight);
}

QString tableDescription()
{
    return QStringLiteral(
        "从 --from 到 --to 每天一行的 CSV 表格（RFC 4180，UTF-8，CRLF 换行，第一行是列名）。各列：\n"
        "  date            yyyy-mm-dd\n"
        "  day             生命的第几天：距出生日期的天数\n"
        "  physical, emotional, intellectual, composite\n"
        "                  指针读数在这一天显示的数：周期值乘 100 和综合值，向下取整\n"
        "  physical_value, emotional_value, intellectual_value\n"
        "                  周期值（-1 到 1），完整精度：读回仍是同一个数的最短写法\n"
        "  composite_value 综合值（0 到 100），完整精度\n"
        "  critical        临界日为 1，否则为 0\n"
        "一天的数值取在它的生命天数上，也就是图中这一天那一列正中的值。\n"
        "出生日期之前的日子以负的生命天数列出，数值由同样的公式得出。");
}

QString criticalDescription()
{
    return QStringLiteral("从 --from 到 --to 的临界日，每行一个 yyyy-mm-dd：三个周期都在零的 %1 以内的日子，\n"
                          "和图表标出的一样。出生日期之前的日子也按这个规则。")
        .arg(double(ProgramCriticalLevel), 0, 'g', 6);
}

QString calendarDescription()
{
    return QStringLiteral("从 --from 到 --to 的临界日，写成日历程序能导入的 iCalendar 文件：\n"
                          "每个临界日一个全天事件“生物节律临界日”，带这一天的三个周期值。\n"
                          "事件的时间戳是 --made 的日期，所以同样的参数写出同样的文件。\n"
                          "范围内没有临界日时，写出的是有效的空日历，并在标准错误上说明。");
}

QString compareDescription()
{
    return QStringLiteral(
        "两个人的每个周期（体力、情绪、智力）有多同步，整数百分比：\n"
        "100 x (1 + cos(2 pi d / 周期)) / 2，d 是两个出生日期相差的天数（100 同步，0 相反），\n"
        "取最近的整数，恰在正中时取偶数；然后一行“平均”：三个未取整的值的平均，同样取整。\n"
        "给出 --on 时，每个周期的一行还给出两人在这一天的数（先 --birth，后 --other），\n"
        "和 table 里的一样，另有一行“综合”给出两人的综合值。各栏以制表符分隔。");
}

} // namespace

Outcome CommandLine::showHelp()
{
    static const QHash<QString, QString (*)()> descriptions{
        {QString(), programDescription},
        {QStringLiteral("chart"), chartDescription},
        {QStringLiteral("table"), tableDescription},
        {QStringLiteral("critical"), criticalDescription},
        {QStringLiteral("calendar"), calendarDescription},
        {QStringLiteral("compare"), compareDescription},
    };
    m_parser.setApplicationDescription(descriptions.value(m_command)());
    QStringList lines = m_parser.helpText().split(u'\n');
    lines.first() = m_command.isEmpty() ? QStringLiteral("用法：quorvel-chart 命令 [选项]")
                                        : QStringLiteral("用法：quorvel-chart %1 [选项]").arg(m_command);
    // Qt lines the descriptions up by characters; every value name is two
    // Chinese characters, two columns wider on a terminal than they count, so
    // the options without a value move their descriptions along with them.
    const bool valueNames = !lines.filter(QStringLiteral("<")).isEmpty();
    for (QString &line : lines) {
        if (valueNames && line.startsWith(u"  -") && !line.contains(u'<'))
            line.insert(line.indexOf(u"  ", 2), u"  ");
    }
    return writeText(QStringLiteral("-"), lines.join(u'\n').toUtf8());
}

} // namespace quorvel::companion
