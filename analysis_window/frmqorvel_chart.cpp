#include "analysis_window/frmqorvel.h"

#include "chart/chart.h"
#include "platform/dates/datetime.h"

#include <QPainter>

// The chart on the window: drawing it, and the two helpers every handler
// that may draw uses, on the date boxes.

namespace quorvel {

// Every drawing starts from a cleared surface with the frame: the chart
// shown is then that frame alone, until DrawPicBack draws into it.
void frmQORVEL::DrawBackground()
{
    quorvel::DrawBackground(PicBack->surface(), *this);
    ChartView frame;
    frame.position = positionValue();
    frame.span = proptionValue();
    frame.exclusiveOrFrame = PicBack->surface().drawMode() == DrawMode::XorPen;
    m_chartShown = frame;
}

void frmQORVEL::DrawPicBack()
{
    const bool draws = CDate(birthText()) && CDate(queryText());
    quorvel::DrawPicBack(PicBack->surface(), *this, m_shared);
    if (draws && m_chartShown) {
        m_chartShown->birthDate = m_shared.ChartBirthDate;
        m_chartShown->queryDate = m_shared.ChartQueryDate;
        m_chartShown->criticalLevel = m_shared.CriticalLevel;
    }
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
