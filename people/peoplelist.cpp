// SPDX-License-Identifier: GPL-3.0-or-later
#include "people/peoplelist.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>

namespace quorvel {
namespace {

constexpr QByteArrayView Bom = "\xEF\xBB\xBF";

// What a new file starts with: what it is and how to write it.
constexpr QByteArrayView NewFileHeader = "# Quorvel 记住的人：每行一个，写作“出生日期 = 名字”，\n"
                                         "# 出生日期可以带时间（1980-01-01 8:30）。以 # 开头的行是注释。\n";

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

QStringView trimmedBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// The file's lines, each without its line end ("\n", or "\r\n").
QList<QByteArrayView> linesOf(QByteArrayView text)
{
    if (text.startsWith(Bom))
        text = text.sliced(Bom.size());
    QList<QByteArrayView> lines;
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf('\n');
        QByteArrayView line = end < 0 ? text : text.first(end);
        text = end < 0 ? QByteArrayView() : text.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        lines += line;
    }
    return lines;
}

// One line read: a person, or why the entry is not taken; neither for a
// comment or a blank line.
struct Entry {
    std::optional<Person> person;
    QString problem;
};

Entry readLine(QByteArrayView bytes)
{
    const QString line = QString::fromUtf8(bytes);
    const QStringView text = trimmedBlanks(line);
    if (text.isEmpty() || text.startsWith(u'#'))
        return {};
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return {std::nullopt, QStringLiteral("没有“=”：一个人写作“出生日期 = 名字”")};
    const QStringView dateText = trimmedBlanks(text.first(equals));
    const auto birth = CDate(dateText);
    if (!birth)
        return {std::nullopt, QStringLiteral("“%1”不是日期").arg(dateText)};
    const QString name = trimmedName(text.sliced(equals + 1).toString());
    if (const QString why = nameProblem(name); !why.isEmpty())
        return {std::nullopt, why};
    return {Person{name, *birth}, QString()};
}

QByteArray entryLine(const Person &person)
{
    return (dateTimeText(person.birth) + QStringLiteral(" = ") + person.name).toUtf8();
}

// The text with the line of the first entry of that name replaced by
// `line`, or, when `line` is empty, every entry of that name taken out;
// nothing when no entry has that name. Every other line stays byte for
// byte, its line end included.
std::optional<QByteArray> replacedEntry(QByteArrayView text, const QString &name, QByteArrayView line)
{
    QByteArray changed;
    bool found = false;
    qsizetype kept = 0; // the bytes before it are in `changed`
    for (qsizetype start = text.startsWith(Bom) ? Bom.size() : 0; start < text.size();) {
        const qsizetype newline = text.indexOf('\n', start);
        const qsizetype end = newline < 0 ? text.size() : newline + 1;
        QByteArrayView content = text.sliced(start, (newline < 0 ? end : newline) - start);
        if (content.endsWith('\r'))
            content.chop(1);
        const Entry entry = readLine(content);
        if (entry.person && entry.person->name == name && !(found && !line.isEmpty())) {
            changed += text.sliced(kept, start - kept);
            if (!line.isEmpty()) {
                changed += line;
                changed += text.sliced(start + content.size(), end - start - content.size());
            }
            kept = end;
            found = true;
        }
        start = end;
    }
    if (!found)
        return std::nullopt;
    return changed += text.sliced(kept);
}

} // namespace

QString trimmedName(const QString &name) { return trimmedBlanks(name).toString(); }

QString nameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("没有名字");
    if (!QStringView(name).isValidUtf16())
        return QStringLiteral("名字里有无效的字符");
    // A line break of any kind would break the file's line, or the menu's.
    const auto breaking = [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph;
    };
    if (std::any_of(name.cbegin(), name.cend(), breaking))
        return QStringLiteral("名字里有控制字符");
    if (name.toUcs4().size() > MaxNameLength)
        return QStringLiteral("名字“%1”超过%2个字").arg(name).arg(MaxNameLength);
    return {};
}

QString personText(const Person &person)
{
    return person.name + u'（' + dateTimeText(person.birth) + u'）';
}

const Person *PeopleList::find(const QString &name) const
{
    const auto found = std::find_if(people.cbegin(), people.cend(), [&](const Person &p) { return p.name == name; });
    return found == people.cend() ? nullptr : &*found;
}

QStringList PeopleList::names() const
{
    QStringList names;
    for (const Person &person : people)
        names += person.name;
    return names;
}

std::optional<PeopleList> parsePeople(QByteArrayView text, QString *problem)
{
    const auto fail = [&](const QString &why) {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (text.size() > MaxPeopleFileSize)
        return fail(QStringLiteral("文件大于%1 MB，不是人员列表").arg(MaxPeopleFileSize / (1024 * 1024)));
    if (text.contains('\0'))
        return fail(QStringLiteral("文件含有空字符，不是文本"));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(text);
    if (utf8.hasError())
        return fail(QStringLiteral("文件不是 UTF-8 文本"));

    PeopleList list;
    QHash<QString, int> lineOfName;
    int number = 0;
    for (const QByteArrayView line : linesOf(text)) {
        ++number;
        Entry entry = readLine(line);
        if (entry.person) {
            if (const int first = lineOfName.value(entry.person->name)) {
                entry.problem = QStringLiteral("“%1”在第%2行已经有了").arg(entry.person->name).arg(first);
            } else {
                lineOfName.insert(entry.person->name, number);
                list.people.push_back(*entry.person);
            }
        }
        if (!entry.problem.isEmpty())
            list.skipped += QStringLiteral("第%1行：%2").arg(number).arg(entry.problem);
    }
    return list;
}

QByteArray withPerson(QByteArrayView text, const Person &person)
{
    const QByteArray line = entryLine(person);
    if (auto replaced = replacedEntry(text, person.name, line))
        return *replaced;
    QByteArray changed = text.isEmpty() ? NewFileHeader.toByteArray() : text.toByteArray();
    if (!changed.endsWith('\n'))
        changed += '\n';
    return changed + line + '\n';
}

QByteArray withoutPerson(QByteArrayView text, const QString &name)
{
    return replacedEntry(text, name, {}).value_or(text.toByteArray());
}

} // namespace quorvel
