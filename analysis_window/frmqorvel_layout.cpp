// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "analysis_window/texts.h"
#include "assets/assets.h"
#include "chart/chart.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/geometry.h"
#include "platform/widgets/runtime.h"

#include <QKeyEvent>
#include <QShortcut>

#include <array>

namespace quorvel {
namespace {

constexpr VbColor ButtonFace = LightGreen;
constexpr VbColor DateBoxColor = 0x00DFFBEE; // pale green
constexpr VbColor Black = 0x00000000;

constexpr auto AutoSize = Label::Sizing::AutoSize;
constexpr auto Fixed = Label::Sizing::Fixed;

} // namespace

frmQORVEL::frmQORVEL(SharedValues &shared, Runtime &runtime, QWidget *parent)
    : Form(QSize(798, 598), WindowCaption, SystemWindowBackground, parent)
    , m_shared(shared)
    , m_runtime(runtime)
{
    setBackgroundPicture(Picture(QString::fromLatin1(PanelPicturePath)));
    setWindowIcon(quorvel::windowIcon());
    createControls();
    connectHandlers();
}

void frmQORVEL::createControls()
{
    CMDcx = new CommandButton(this, twipsRect(10560, 1020, 1035, 345), QueryButtonCaption, ButtonFace);
    Cmdclose = new CommandButton(this, twipsRect(10560, 480, 1035, 345), ExitButtonCaption, ButtonFace);
    txtCXRQ = new TextBox(this, twipsRect(9345, 1050, 1080, 285), QStringLiteral("2009-03-33"), DateBoxColor);
    TXTCSRQ = new TextBox(this, twipsRect(7110, 1050, 1095, 285), QStringLiteral("2001-03-33"), DateBoxColor);
    PROPTION = new HScrollBar(this, twipsRect(6210, 8480, 5555, 255), m_runtime);
    POSITION = new HScrollBar(this, twipsRect(230, 8480, 5985, 255), m_runtime);
    PicBack = new PictureBox(this, twipsRect(240, 1770, 11505, 6735), SystemMenuText);
    Label1 = new Label(PicBack, twipsRect(3240, 2160, 5385, 2775), ExplanatoryText, 0x00888471, Fixed);
    // One pixel of air between the lines of the long text, which still fits.
    Label1->setLineSpacing(13);
    LBLts = new Label(PicBack, twipsRect(SpanLabelTwips.x(), SpanLabelTwips.y(), 450, 180), QStringLiteral("LBLts"),
                      SpanLabelColor, AutoSize);
    LBLStartSj = new Label(PicBack, twipsRect(StartLabelTwips.x(), StartLabelTwips.y(), 90, 180), QString(),
                           StartLabelColor, AutoSize);
    Label2 = new Label(this, twipsRect(7650, 1560, 900, 180), GuideLinkCaption, LinkRestingColor,
                       AutoSize, true);
    LBLabout = new Label(this, twipsRect(6480, 510, 3645, 405), CreditsText, Black, Fixed);
    Image1 = new ImageBox(this, twipsRect(8700, 1470, 2805, 285), Picture(QString::fromLatin1(LegendPicturePath)));
    LBLrq = new Label(this, twipsRect(420, 1560, 720, 180), ReadoutDateCaption, SystemButtonText, AutoSize);
    lblyy = new Label(this, twipsRect(8340, 1110, 900, 180), QueryDateCaption, SystemButtonText, AutoSize);
    lblxx = new Label(this, twipsRect(6180, 1140, 900, 180), BirthDateCaption, Black, AutoSize);
    LBLzh = new Label(this, twipsRect(6450, 1560, 540, 180), readoutCaption(3), SystemButtonText, AutoSize);
    LBLtl = new Label(this, twipsRect(2580, 1560, 540, 180), readoutCaption(0), SystemButtonText, AutoSize);
    LBLqx = new Label(this, twipsRect(3870, 1560, 540, 180), readoutCaption(1), SystemButtonText, AutoSize);
    LBLzl = new Label(this, twipsRect(5190, 1560, 540, 180), readoutCaption(2), SystemButtonText, AutoSize);

    // The scroll bars overlap the chart's lowest pixels and stay in front of it.
    POSITION->raise();
    PROPTION->raise();

    describeControls();

    const std::array<QWidget *, 7> tabOrder{TXTCSRQ, txtCXRQ, PicBack, POSITION, PROPTION, Cmdclose, CMDcx};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

// What a screen reader says of the controls whose text alone does not tell.
void frmQORVEL::describeControls()
{
    setAccessibleDescription(QStringLiteral("Quorvel分析器"));
    TXTCSRQ->setAccessibleName(QStringLiteral("出生日期"));
    txtCXRQ->setAccessibleName(QStringLiteral("查询日期"));
    CMDcx->setAccessibleName(QStringLiteral("查询"));
    Cmdclose->setAccessibleName(QStringLiteral("退出"));
    POSITION->setAccessibleName(QStringLiteral("起始日期"));
    POSITION->setValueText([this](int position) {
        return m_drawn.curvesDrawn ? m_drawn.dayText(firstDayAt(position)) : NoChartYet;
    });
    PROPTION->setAccessibleName(QStringLiteral("显示天数"));
    PROPTION->setValueText([this](int span) {
        const QString days = QString::number(span) + QStringLiteral("天");
        return m_drawn.curvesDrawn ? days : days + u'，' + NoChartYet;
    });
    PicBack->setAccessibleName(QStringLiteral("生物节律图"));
    Label2->setAccessibleName(QStringLiteral("分析指南"));
    Label2->setAccessibleDescription(QStringLiteral("按F1键打开"));
    Image1->setAccessibleName(QStringLiteral("图例"));
    Image1->setAccessibleDescription(QStringLiteral("蓝色：体力；黄色：情绪；红色：智力；青色：综合"));
}

void frmQORVEL::connectHandlers()
{
    connect(CMDcx, &CommandButton::clicked, this, &frmQORVEL::CMDcx_Click);
    connect(Cmdclose, &CommandButton::clicked, this, &frmQORVEL::Cmdclose_Click);
    connect(txtCXRQ, &TextBox::keyDown, this, &frmQORVEL::txtCXRQ_KeyDown);
    connect(TXTCSRQ, &TextBox::keyDown, this, &frmQORVEL::TXTCSRQ_KeyDown);
    connect(POSITION, &HScrollBar::changed, this, &frmQORVEL::POSITION_Change);
    connect(PROPTION, &HScrollBar::changed, this, &frmQORVEL::PROPTION_Change);
    connect(PicBack, &PictureBox::mouseMoved, this, &frmQORVEL::PicBack_MouseMove);
    connect(Label2, &Label::mouseMoved, this, &frmQORVEL::Label2_MouseMove);
    connect(Label2, &Label::clicked, this, &frmQORVEL::Label2_Click);
    connect(this, &Form::mouseMoved, this, &frmQORVEL::Form_MouseMove);
    PicBack->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PicBack, &QWidget::customContextMenuRequested, this, &frmQORVEL::showChartMenu);
    PicBack->installEventFilter(this);
    auto *printKey = new QShortcut(QKeySequence::Print, this);
    connect(printKey, &QShortcut::activated, this, &frmQORVEL::printChart);
    // The guide from anywhere in the window, as a click on the link opens it.
    auto *guideKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(guideKey, &QShortcut::activated, this, &frmQORVEL::Label2_Click);
    connectPeople();
}

bool frmQORVEL::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PicBack && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        return PicBack_KeyDown(keyCode(key->key()), shiftState(key->modifiers()));
    }
    return Form::eventFilter(watched, event);
}

} // namespace quorvel
