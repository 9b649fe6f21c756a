// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "analysis_window/texts.h"
#include "chart/chart.h"
#include "people/peoplelist.h"
#include "platform/drawing/geometry.h"
#include "platform/widgets/accessibility.h"
#include "platform/widgets/runtime.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>

#include <functional>

// Two people on one chart: the chart's menu asks for the second person, the
// chart draws them (DrawPicBack), and the window shows on the chart which
// line is whom, how far the two run in phase and the second person's values
// under the readout; cancelled, every label goes and the chart is the one
// person's again.

namespace quorvel {
namespace {

const QString CompareEntry = QStringLiteral("与…对比");
const QString CancelEntry = QStringLiteral("取消对比");
const QString CompareTitle = QStringLiteral("对比");

// The labels of the pair, in m_comparisonLabels: the legend, then the
// second person's name and four values.
constexpr qsizetype LegendLabel = 0;
constexpr qsizetype NameLabel = 1;
constexpr qsizetype FirstValueLabel = 2;
// The second person's row lies in the chart's top margin, under the
// readout row, one line below the span labels.
constexpr int ComparedRowTop = 20; // pixels

// Asks for the second person: a person kept, chosen from the list or named,
// or a typed birth date. Anything else beeps, selects the text and stays.
class CompareDialog final : public QInputDialog
{
public:
    CompareDialog(QWidget *parent, const std::vector<Person> &people, std::function<void()> beep)
        : QInputDialog(parent)
        , m_people(people)
        , m_beep(std::move(beep))
    {
        setWindowTitle(CompareTitle);
        setLabelText(m_people.empty() ? QStringLiteral("与谁对比？请输入出生日期：")
                                      : QStringLiteral("与谁对比？请选一个记住的人，或输入出生日期："));
        QStringList items;
        for (const Person &person : m_people)
            items += personText(person);
        setComboBoxItems(items);
        setComboBoxEditable(true);
    }

    std::optional<Comparison> chosen;

    void done(int result) override
    {
        if (result == Accepted) {
            chosen = read(textValue().trimmed());
            if (!chosen) {
                m_beep();
                // The box of the list, or without people kept the plain one.
                for (QLineEdit *box : findChildren<QLineEdit *>()) {
                    if (box->isVisible()) {
                        box->setFocus();
                        box->selectAll();
                    }
                }
                announce(this, QStringLiteral("无法识别“%1”：请选一个记住的人，或按%2的格式输入出生日期。")
                                   .arg(textValue(), DateFormsText));
                return;
            }
        }
        QInputDialog::done(result);
    }

private:
    std::optional<Comparison> read(const QString &text) const
    {
        for (const Person &person : m_people) {
            if (text == personText(person) || text == person.name)
                return Comparison{QString(), person.name, person.birth};
        }
        if (const auto birth = CDate(text))
            return Comparison{QString(), QString(), *birth};
        return std::nullopt;
    }

    std::vector<Person> m_people;
    std::function<void()> m_beep;
};

} // namespace

void frmQORVEL::addCompareEntries(QMenu &menu)
{
    menu.addAction(CompareEntry, this, &frmQORVEL::askForComparison);
    if (m_comparison)
        menu.addAction(CancelEntry, this, &frmQORVEL::cancelComparison);
}

void frmQORVEL::askForComparison()
{
    const std::optional<PeopleList> people = readPeople();
    CompareDialog dialog(this, people ? people->people : std::vector<Person>(), [this] { m_runtime.Beep(); });
    const int accepted = dialog.exec();
    // The window takes the keyboard back, which nothing gives it where no
    // window manager runs.
    activateWindow();
    if (accepted != QDialog::Accepted || !dialog.chosen)
        return;
    m_comparison = dialog.chosen;
    redrawChart();
    if (m_drawn.compared)
        announce(this, spokenComparison());
}

void frmQORVEL::cancelComparison()
{
    if (!m_comparison)
        return;
    m_comparison.reset();
    redrawChart();
    announce(this, QStringLiteral("已取消对比。"));
}

std::optional<Comparison> frmQORVEL::comparisonRequest() const
{
    if (!m_comparison)
        return std::nullopt;
    Comparison request = *m_comparison;
    const auto birth = CDate(TXTCSRQ->Text());
    request.firstName = !m_chosenName.isEmpty() && birth == m_chosenBirth ? m_chosenName : QString();
    return request;
}

void frmQORVEL::showComparison()
{
    if (!m_comparison) {
        qDeleteAll(m_comparisonLabels);
        m_comparisonLabels.clear();
        return;
    }
    if (m_comparisonLabels.isEmpty()) {
        const QPoint legend = ComparisonLabelTwips;
        m_comparisonLabels += new Label(PicBack, twipsRect(legend.x(), legend.y(), 90, 180), QString(),
                                        ComparisonLabelColor, Label::Sizing::AutoSize);
        // Under the date and each value of the readout row.
        for (const Label *readout : {LBLrq, LBLtl, LBLqx, LBLzl, LBLzh}) {
            m_comparisonLabels += new Label(PicBack, QRect(readout->x() - PicBack->x(), ComparedRowTop, 6, 12),
                                            QString(), ComparisonLabelColor, Label::Sizing::AutoSize);
        }
        // The pointer reads the chart through them.
        for (Label *label : std::as_const(m_comparisonLabels))
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    const bool shown = m_drawn.compared.has_value();
    if (shown)
        m_comparisonLabels[LegendLabel]->setCaption(m_drawn.compared->legendText());
    for (Label *label : std::as_const(m_comparisonLabels))
        label->setVisible(shown);
}

void frmQORVEL::showComparedReadout(double x)
{
    if (!m_drawn.compared || m_comparisonLabels.isEmpty())
        return;
    // The row shows with the first readout after the comparison begins.
    m_comparisonLabels[NameLabel]->setCaption(QStringLiteral("点线：") + m_drawn.compared->secondWho());
    const std::array<long long, 4> numbers = m_drawn.compared->valuesAt(x);
    for (std::size_t curve = 0; curve < numbers.size(); ++curve)
        m_comparisonLabels[FirstValueLabel + qsizetype(curve)]->setCaption(valueCaption(curve, numbers[curve]));
}

QString frmQORVEL::spokenComparison() const
{
    if (!m_drawn.compared)
        return {};
    const ComparedChart &compared = *m_drawn.compared;
    QStringList critical;
    for (const int day : compared.criticalDays)
        critical += m_drawn.dayText(day);
    const QString who = compared.secondWho();
    return QStringLiteral("点线：%1，查询日%2。%3。同步：%4。")
        .arg(compared.secondInFull(),
             spokenValues(compared.valuesOf(m_drawn.queryDay.value_or(m_drawn.days.first))),
             critical.isEmpty() ? who + NoCriticalDayWords : who + u'的' + CriticalDayWord + u'：' + critical.join(u'、'),
             compared.synchronyText());
}

QString frmQORVEL::spokenComparedDay(int day) const
{
    if (!m_drawn.compared)
        return {};
    QStringList spoken{m_drawn.compared->secondWho()};
    if (m_drawn.compared->marksCriticalDay(day))
        spoken += CriticalDayWord;
    spoken += spokenValues(m_drawn.compared->valuesOf(day));
    return u'；' + spoken.join(u'，');
}

} // namespace quorvel
