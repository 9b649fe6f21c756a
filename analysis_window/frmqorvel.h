// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart/chartcontrols.h"
#include "chart/drawnchart.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/form.h"

#include <QSet>

#include <cstdint>
#include <optional>

// frmQORVEL, the analysis window: the two date boxes, the query and exit
// buttons, the readout row, the chart with its two scroll bars, the guide
// link and the legend. The handlers bear the control's and the event's name;
// they are public so that tests can reach the exact arguments a pointer
// cannot (a pointer only ever stands on whole pixels).
//
// The window shares three values with the rest of the program (the dates of
// the chart last drawn and the critical-day level), and takes the clock, the
// bell, the end and the report of a runtime error from the program's
// runtime; its owner passes both in.

class QMenu;
class QPrinter;

namespace quorvel {

class Runtime;
struct Person;
struct PeopleList;

class frmQORVEL final : public Form
{
    Q_OBJECT

public:
    frmQORVEL(SharedValues &shared, Runtime &runtime, QWidget *parent = nullptr);

    // The controls, in the order the window creates them.
    CommandButton *CMDcx;
    CommandButton *Cmdclose;
    TextBox *txtCXRQ;
    TextBox *TXTCSRQ;
    HScrollBar *PROPTION;
    HScrollBar *POSITION;
    PictureBox *PicBack;
    Label *Label1;
    Label *LBLts;
    Label *LBLStartSj;
    Label *Label2;
    Label *LBLabout;
    ImageBox *Image1;
    Label *LBLrq;
    Label *lblyy;
    Label *lblxx;
    Label *LBLzh;
    Label *LBLtl;
    Label *LBLqx;
    Label *LBLzl;

    // Puts the window into its starting state and shows it modally; returns
    // once the window has been closed.
    void Form_Load();

    // The query command: centres the span on the query date and redraws.
    void CMDcx_Click();

    void txtCXRQ_KeyDown(int keyCode, int shift);
    void TXTCSRQ_KeyDown(int keyCode, int shift);
    void Cmdclose_Click();
    void POSITION_Change();
    void PROPTION_Change();
    void PicBack_MouseMove(int button, int shift, float x, float y);
    // The keyboard readout, while the chart has the focus: Left and Right
    // move a readout day by day, Home and End to the span's first and last
    // day, PageUp and PageDown by a week, never past the span's edges.
    // True when it took the key; any other key is left to the window.
    bool PicBack_KeyDown(int keyCode, int shift);
    void Label2_MouseMove(int button, int shift, float x, float y);
    void Form_MouseMove(int button, int shift, float x, float y);
    void Label2_Click();

    // The chart's own menu (right-click or the Menu key on a drawn chart):
    // copy the chart's picture, save it (PNG, SVG or the PDF sheet, by the
    // file's suffix), print the sheet, export the span's critical days as a
    // calendar, copy the readout's text. The menu asks for the file names;
    // the saving, printing and exporting are reachable here for tests, each
    // giving the reason it failed, empty on success. A span without a
    // critical day exports no calendar: the menu says so instead of asking
    // for a file. Saving, exporting and printing into a file return once the
    // file is written, the window answering meanwhile (writeBeside);
    // SaveCancelled when the user cancelled it or closed the window.
    QString readoutText() const;
    QString saveChart(const QString &path);
    QString exportCriticalDays(const QString &path);
    QString printSheet(QPrinter *printer);
    // The print dialog with a preview of the sheet (also Ctrl+P).
    void printChart();

signals:
    // A click on the guide link, or F1: the guide is to open.
    void guideRequested();

protected:
    // The chart's keys reach PicBack_KeyDown before the chart itself.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void describeControls();
    void connectHandlers();

    void DrawBackground();
    void DrawPicBack();
    void showChartMenu(QPoint position);
    // Writes the bytes to the file on a thread of its own and returns once
    // that has ended, serving the window's events meanwhile; a save that
    // takes a moment shows a dialog, titled `title`, that can cancel it.
    QString writeBeside(const QString &title, const QString &path, const QByteArray &bytes);
    void redrawChart();
    void clearToFrame();
    // LBLts's caption, for a span of so many days.
    void setSpanLabel(const QString &caption, int span);
    // Moves the focus into the first box, birth date before query date, that
    // holds no valid date; false when both hold one.
    bool focusBoxWithoutDate();
    // Writes the five readout labels for chart position x (the day offset
    // since the chart's birth date), as the pointer there would.
    void showReadout(double x);
    // The chart drawn, in words: the query date, the span, the query day's
    // values.
    QString spokenChart() const;
    // The chart's accessible description: what is drawn.
    void describeChart();
    // Tells a screen reader what the query drew, or why it drew nothing.
    void sayAfterQuery(const QString &text);
    // Selects the whole text of a box whose date was not understood, the
    // focus in it, and tells a screen reader why and the forms it takes.
    void refuseDate(TextBox *box);

    // The people kept, read from their file as a menu opens: choosing one
    // puts the birth date into the birth box and acts as Enter there, then
    // queries when the query box holds a date. In a submenu of the chart's
    // menu and of the birth box's own; in the list itself that Alt+Down in
    // the birth box opens.
    enum class PeopleEntries { Submenu, Inline };
    void connectPeople();
    void addPeopleEntries(QMenu &menu, PeopleEntries layout);
    void showPeopleList();
    // The list, nothing when its file cannot be used; a file that cannot be
    // read and entries skipped are said once a run.
    std::optional<PeopleList> readPeople();
    void reportPeopleOnce(const QString &text);
    void choosePerson(const Person &person);
    void rememberPerson();
    void forgetPerson();

    // Two people on one chart (the chart's menu): "与…对比" asks for a person
    // kept or a typed birth date, whose cycles the chart then draws dotted
    // over the first person's, until "取消对比". A new query, a new birth
    // date or a scroll keeps the comparison. While it lasts, labels on the
    // chart say which line is whom and how far the two run in phase, and
    // give the second person's values in the row under the readout.
    void addCompareEntries(QMenu &menu);
    void askForComparison();
    void cancelComparison();
    // The comparison as the chart is to draw it: the first person named as
    // chosen from the list while the birth box holds their date.
    std::optional<Comparison> comparisonRequest() const;
    // Makes, shows or hides, or removes the labels of the pair after every
    // drawing, as the chart drawn compares or not.
    void showComparison();
    void showComparedReadout(double x);
    // What a screen reader hears of the second person: of the chart, and
    // beside a day's values.
    QString spokenComparison() const;
    QString spokenComparedDay(int day) const;

    // What the chart reads of the controls, as they stand now.
    ChartControls chartControls() const;

    SharedValues &m_shared;
    Runtime &m_runtime;
    // What the chart shows: the frame of every redraw, and the curves when
    // they are drawn on it.
    DrawnChart m_drawn;
    // What was said of the people's file in this run.
    QSet<QString> m_peopleReported;
    // The person last chosen from the list, who names the first person of a
    // comparison while the birth box holds their date.
    QString m_chosenName;
    Date m_chosenBirth = 0.0;
    // The second person, while the chart compares; the labels of the pair
    // on the chart meanwhile: which line is whom, the second person's name
    // and four values.
    std::optional<Comparison> m_comparison;
    QList<Label *> m_comparisonLabels;
};

// The link's two colours.
inline constexpr VbColor LinkRestingColor = 192; // dark red
inline constexpr VbColor LinkHoverColor = 0;

// POSITION's page step for a span of s days: s/2, halves to even, so that
// one page moves the chart by about one span.
std::int16_t halfSpanStep(int span);

} // namespace quorvel
