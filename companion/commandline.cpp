// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/commandline.h"

#include "people/peoplefile.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>

namespace quorvel::companion {
namespace {

// The length of the valid UTF-8 sequence at `at`, or 0 when it is none.
int sequenceLength(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return uchar(bytes[i]); };
    const uchar lead = byte(at);
    if (lead < 0x80)
        return 1;
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || at + length > bytes.size())
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// "--birth" for the option "birth", "-o" for "o".
QString optionName(const QString &name) { return QLatin1String(name.size() == 1 ? "-" : "--") + name; }

bool escapedByte(QStringView text, qsizetype at)
{
    return text[at] >= u'\xDC80' && text[at] <= u'\xDCFF' && (at == 0 || !text[at - 1].isHighSurrogate());
}

// Qt's parser names two mistakes itself. Qt's Chinese translation has words
// for them that read wrongly inside the companion's messages (one of them
// means "an unusual value"); these are the companion's.
class ParserWords final : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *source, const char *, int) const override
    {
        static const QHash<QByteArray, QString> words{
            {"Missing value after '%1'.", QStringLiteral("“%1”后面缺少值")},
            {"Unexpected value after '%1'.", QStringLiteral("“%1”不带值")},
        };
        return qstrcmp(context, "QCommandLineParser") == 0 ? words.value(source) : QString();
    }
    bool isEmpty() const override { return false; }
};

void installParserWords()
{
    static const bool installed = QCoreApplication::installTranslator(new ParserWords(QCoreApplication::instance()));
    Q_UNUSED(installed);
}

} // namespace

QString argumentText(QByteArrayView bytes)
{
    QString text;
    for (qsizetype at = 0; at < bytes.size();) {
        if (const int length = sequenceLength(bytes, at)) {
            text += QString::fromUtf8(bytes.sliced(at, length));
            at += length;
        } else {
            text += QChar(0xDC00 + uchar(bytes[at++]));
        }
    }
    return text;
}

QByteArray argumentBytes(QStringView text)
{
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        if (at < text.size() && !escapedByte(text, at))
            continue;
        bytes += text.sliced(start, at - start).toUtf8();
        if (at < text.size())
            bytes += char(text[at].unicode() - 0xDC00);
        start = at + 1;
    }
    return bytes;
}

QString dateForms(const QString &joint)
{
    return QStringList{
        QStringLiteral("日期写作 yyyy-mm-dd、yyyy/m/d、yyyy.m.d 或 yyyy年m月d日，从 %1 到 %2")
            .arg(Format(FirstDateSerial, u"yyyy-mm-dd"), Format(LastDateSerial, u"yyyy-mm-dd")),
        QStringLiteral("或者写农历日期，年份 %1 到 %2：农历1985年五月廿七、1985年农历五月廿七、农历2023年闰二月初三")
            .arg(FirstLunarYear)
            .arg(LastLunarYear),
        QStringLiteral("农历的月和日也可以写数字：农历1985年5月27日、农历1985-5-27"),
        QStringLiteral("都可以带时间 H:MM 或 H:MM:SS，数字可以是全角的"),
    }.join(joint);
}

QCommandLineOption dateOption(const QString &name, const QString &description)
{
    return QCommandLineOption(name, description, QStringLiteral("日期"));
}

// The person option that stands for a date option.
QString personOptionFor(const QString &dateName)
{
    return dateName == u"birth" ? QStringLiteral("person") : dateName + QStringLiteral("-person");
}

QCommandLineOption personOption(const QString &dateOptionName)
{
    return QCommandLineOption(personOptionFor(dateOptionName),
                              QStringLiteral("记住的人的名字：用这个人的出生日期代替 %1").arg(optionName(dateOptionName)),
                              QStringLiteral("名字"));
}

QCommandLineOption outputOption(const QString &description)
{
    return QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")}, description, QStringLiteral("文件"));
}

CommandLine::CommandLine(const QString &command, const QList<QCommandLineOption> &options,
                         const QStringList &arguments)
    : m_command(command)
{
    installParserWords();
    m_parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                          QStringLiteral("显示本说明后退出")));
    m_parser.addOptions(options);
    const QString where = command.isEmpty() ? QString() : command + u'：';
    const QString see = seeHelp();
    if (!m_parser.parse(QStringList{QStringLiteral("quorvel-chart")} + arguments)) {
        // Unknown options first, with the options there are.
        if (const QStringList unknown = m_parser.unknownOptionNames(); !unknown.isEmpty()) {
            QStringList known{optionName(QStringLiteral("help"))};
            for (const QCommandLineOption &option : options)
                known << optionName(option.names().constLast());
            fail(QStringLiteral("%1未知选项“%2”；可用的选项是 %3%4")
                     .arg(where, optionName(unknown.first()), known.join(u'、'), see));
        } else {
            fail(where + m_parser.errorText() + see);
        }
        return;
    }
    for (const QCommandLineOption &option : options) {
        if (m_parser.values(option.names().constFirst()).size() > 1) {
            fail(QStringLiteral("%1选项 %2 只能给一次").arg(where, optionName(option.names().constFirst())));
            return;
        }
    }
    if (!m_parser.positionalArguments().isEmpty()) {
        fail(QStringLiteral("%1多余的参数“%2”%3").arg(where, m_parser.positionalArguments().constFirst(), see));
        return;
    }
    for (const QCommandLineOption &option : options)
        m_names += option.names();
    for (const QString &date : std::as_const(m_names)) {
        const QString person = personOptionFor(date);
        if (m_names.contains(person) && m_parser.isSet(person))
            readPerson(person, date);
    }
}

void CommandLine::readPerson(const QString &personName, const QString &dateName)
{
    const QString person = optionName(personName);
    if (m_parser.isSet(dateName)) {
        fail(QStringLiteral("%1 和 %2 只能给一个").arg(optionName(dateName), person));
        return;
    }
    const QString name = trimmedName(m_parser.value(personName));
    const PeopleFile file;
    const PeopleRead read = file.read();
    if (!read.problem.isEmpty()) {
        fail(QStringLiteral("%1：无法读取人员列表文件“%2”：%3").arg(person, file.path(), read.problem));
        return;
    }
    if (const Person *kept = read.list.find(name)) {
        m_personDates.insert(dateName, dateTimeText(kept->birth));
        m_personNames.insert(dateName, kept->name);
        return;
    }
    QString known = read.list.people.empty()
        ? QStringLiteral("人员列表文件“%1”里还没有记住任何人").arg(file.path())
        : QStringLiteral("记住的人有：%1").arg(read.list.names().join(u'、'));
    if (!read.list.skipped.isEmpty())
        known += QStringLiteral("；文件里跳过了无法使用的行：%1").arg(read.list.skipped.join(u'；'));
    fail(QStringLiteral("%1：没有记住叫“%2”的人；%3").arg(person, name, known));
}

QString CommandLine::seeHelp() const
{
    return QStringLiteral("（见 quorvel-chart %1--help）").arg(m_command.isEmpty() ? QString() : m_command + u' ');
}

QString CommandLine::text(const QString &name)
{
    if (const auto person = m_personDates.constFind(name); person != m_personDates.cend())
        return *person;
    if (!has(name)) {
        const QString person = personOptionFor(name);
        fail(QStringLiteral("缺少 %1%2")
                 .arg(optionName(name) + (m_names.contains(person) ? QStringLiteral(" 或 ") + optionName(person)
                                                                    : QString()),
                      seeHelp()));
    }
    return m_parser.value(name);
}

Date CommandLine::date(const QString &name)
{
    const bool given = has(name);
    const QString text = this->text(name);
    const auto date = CDate(text);
    if (given && !date) {
        // A lunar date written well that names no day says why, as the window does.
        const QString why = whyNoSuchDate(text);
        fail(why.isEmpty() ? QStringLiteral("%1：“%2”不是日期；%3").arg(optionName(name), text, dateForms())
                           : QStringLiteral("%1：“%2”不是日期：%3").arg(optionName(name), text, why));
    }
    return date.value_or(0.0);
}

int CommandLine::number(const QString &name, int low, int high, int fallback)
{
    if (!has(name))
        return fallback;
    const QString text = m_parser.value(name);
    QString digits;
    for (const QChar c : text)
        digits += QChar(halfWidth(c.unicode()));
    bool ok = false;
    const int value = digits.trimmed().toInt(&ok);
    if (ok && value >= low && value <= high)
        return value;
    fail(QStringLiteral("%1：“%2”不是 %3 到 %4 之间的整数")
             .arg(optionName(name), text, QString::number(low), QString::number(high)));
    return fallback;
}

QString CommandLine::output()
{
    if (!has(QStringLiteral("o")))
        return QStringLiteral("-");
    const QString path = m_parser.value(QStringLiteral("o"));
    if (path.isEmpty())
        fail(QStringLiteral("-o：文件名是空的；写到标准输出用 -o -"));
    return path;
}

void CommandLine::fail(const QString &message)
{
    if (m_problem.isEmpty())
        m_problem = message;
}

std::optional<Outcome> CommandLine::problem() const
{
    if (m_problem.isEmpty())
        return std::nullopt;
    return Outcome{StatusInvalid, m_problem};
}

} // namespace quorvel::companion
