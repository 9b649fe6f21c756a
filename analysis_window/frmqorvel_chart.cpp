#include "analysis_window/frmqorvel.h"

#include "chart/chart.h"
#include "platform/dates/datetime.h"

#include <QPainter>

// The chart on the window: drawing it, and the two helpers every handler
// that may draw uses, on the date boxes.

namespace quorvel {

// Every drawing starts from a cleared surface with the frame: the chart
// shown is then that frame alone, until DrawPicBack draws into it. What is
// shown is recorded before the drawing, since a drawing may repaint at once
// (DrawPicBack repaints the span labels, and the chart under them).
void frmQORVEL::DrawBackground()
{
    ChartView frame;
    frame.position = positionValue();
    frame.span = proptionValue();
    frame.exclusiveOrFrame = PicBack->surface().drawMode() == DrawMode::XorPen;
    m_chartShown = frame;
    quorvel::DrawBackground(PicBack->surface(), *this);
    m_chartDrawn = false;
    forgetKeyboardDay();
    describeChart();
}

void frmQORVEL::DrawPicBack()
{
    // The dates DrawPicBack draws with, when it draws.
    const auto query = CDate(queryText());
    const auto birth = CDate(birthText());
    if (query && birth && m_chartShown) {
        m_chartShown->queryDate = *query;
        m_chartShown->birthDate = *birth;
        m_chartShown->criticalLevel = m_shared.CriticalLevel;
    }
    quorvel::DrawPicBack(PicBack->surface(), *this, m_shared);
    // It draws exactly when both boxes hold dates.
    m_chartDrawn = IsDate(TXTCSRQ->Text()) && IsDate(txtCXRQ->Text());
    describeChart();
}

void frmQORVEL::paintChartDensely(QPainter &painter, QSize size) const
{
    if (m_chartShown)
        paintChartOnPixels(painter, *m_chartShown, QSizeF(size));
    else
        painter.fillRect(QRect(QPoint(), size), QColor::fromRgb(resolveColor(SystemMenuText)));
}

void frmQORVEL::clearToFrame()
{
    PicBack->surface().Cls();
    DrawBackground();
}

void frmQORVEL::redrawChart()
{
    clearToFrame();
    DrawPicBack();
}

void frmQORVEL::selectWholeText(TextBox *box)
{
    box->SetFocus();
    box->setSelStart(0);
    box->setSelLength(int(box->Text().size()));
}

bool frmQORVEL::focusBoxWithoutDate()
{
    for (TextBox *box : {TXTCSRQ, txtCXRQ}) {
        if (!IsDate(box->Text())) {
            box->SetFocus();
            return true;
        }
    }
    return false;
}

// --- What the chart reads and writes

int frmQORVEL::positionValue() const { return POSITION->Value(); }
int frmQORVEL::proptionValue() const { return PROPTION->Value(); }
QString frmQORVEL::birthText() const { return TXTCSRQ->Text(); }
QString frmQORVEL::queryText() const { return txtCXRQ->Text(); }
void frmQORVEL::setStartLabel(const QString &text) { LBLStartSj->setCaption(text); }
void frmQORVEL::setSpanLabel(const QString &text) { LBLts->setCaption(text); }

void frmQORVEL::refreshSpanLabels()
{
    LBLStartSj->Refresh();
    LBLts->Refresh();
}

} // namespace quorvel
