// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowtest.h"

#include "analysis_window/texts.h"

#include <QClipboard>

using namespace quorvel;
using namespace quorvel::test;

namespace {

QWidget *control(frmQORVEL &w, const QString &name)
{
    const std::pair<const char *, QWidget *> controls[] = {
        {"CMDcx", w.CMDcx},   {"Cmdclose", w.Cmdclose}, {"txtCXRQ", w.txtCXRQ}, {"TXTCSRQ", w.TXTCSRQ},
        {"PROPTION", w.PROPTION}, {"POSITION", w.POSITION}, {"PicBack", w.PicBack}, {"Label1", w.Label1},
        {"LBLts", w.LBLts},   {"LBLStartSj", w.LBLStartSj}, {"Label2", w.Label2}, {"LBLabout", w.LBLabout},
        {"Image1", w.Image1}, {"LBLrq", w.LBLrq},       {"lblyy", w.lblyy},     {"lblxx", w.lblxx},
        {"LBLzh", w.LBLzh},   {"LBLtl", w.LBLtl},       {"LBLqx", w.LBLqx},     {"LBLzl", w.LBLzl},
    };
    for (const auto &[controlName, widget] : controls) {
        if (name == QLatin1String(controlName))
            return widget;
    }
    return nullptr;
}

QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

} // namespace

class tst_Layout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void window();
    void controlsAtCreation_data();
    void controlsAtCreation();
    void creationOrderIsStackingOrder();
    void labelsSizeToTheirText_data();
    void labelsSizeToTheirText();
    void labelColours_data();
    void labelColours();
    void fontIsTheTwelvePixelSongFace();
    void boxesAndButtons();
    void tabOrder();
    void onlyBoxesButtonsBarsAndChartTakeFocus();
    void pictures();
    void wrappedTextsFitTheirLabels();
    void guideLinkIsUnderlinedOnScreen();
    void graphicalButtonsHaveFlatFaces_data();
    void graphicalButtonsHaveFlatFaces();
    void textBoxesKeepTheFirstLineOfAnyLength_data();
    void textBoxesKeepTheFirstLineOfAnyLength();

private:
    SharedValues m_shared;
    Runtime m_runtime;
};

void tst_Layout::initTestCase()
{
    initAssets();
}

void tst_Layout::window()
{
    frmQORVEL w(m_shared, m_runtime);
    QCOMPARE(w.size(), QSize(798, 598));
    QCOMPARE(w.windowTitle(), u"Quorvel分析"_qs);
    QVERIFY(w.isWindow());
    QCOMPARE(w.Width(), 11970);
    QCOMPARE(w.Height(), 8970);
    QCOMPARE(w.windowIcon().pixmap(16, 16).size(), QSize(16, 16));
    QCOMPARE(w.windowIcon().availableSizes().size(), 4);
}

void tst_Layout::controlsAtCreation_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("insideChart");
    QTest::addColumn<QString>("text");

    QTest::newRow("CMDcx") << u"CMDcx"_qs << twips(10560, 1020, 1035, 345) << false << u"查 询"_qs;
    QTest::newRow("Cmdclose") << u"Cmdclose"_qs << twips(10560, 480, 1035, 345) << false << u"退 出"_qs;
    QTest::newRow("txtCXRQ") << u"txtCXRQ"_qs << twips(9345, 1050, 1080, 285) << false << u"2009-03-33"_qs;
    QTest::newRow("TXTCSRQ") << u"TXTCSRQ"_qs << twips(7110, 1050, 1095, 285) << false << u"2001-03-33"_qs;
    QTest::newRow("PROPTION") << u"PROPTION"_qs << twips(6210, 8480, 5555, 255) << false << QString();
    QTest::newRow("POSITION") << u"POSITION"_qs << twips(230, 8480, 5985, 255) << false << QString();
    QTest::newRow("PicBack") << u"PicBack"_qs << twips(240, 1770, 11505, 6735) << false << QString();
    QTest::newRow("Label1") << u"Label1"_qs << twips(3240, 2160, 5385, 2775) << true << ExplanatoryText;
    QTest::newRow("LBLts") << u"LBLts"_qs << twips(10200, 120, 450, 180) << true << u"LBLts"_qs;
    QTest::newRow("LBLStartSj") << u"LBLStartSj"_qs << twips(120, 60, 90, 180) << true << QString();
    QTest::newRow("Label2") << u"Label2"_qs << twips(7650, 1560, 900, 180) << false << u" 分析指南 "_qs;
    QTest::newRow("LBLabout") << u"LBLabout"_qs << twips(6480, 510, 3645, 405) << false << CreditsText;
    QTest::newRow("Image1") << u"Image1"_qs << twips(8700, 1470, 2805, 285) << false << QString();
    QTest::newRow("LBLrq") << u"LBLrq"_qs << twips(420, 1560, 720, 180) << false << u"当前日期"_qs;
    QTest::newRow("lblyy") << u"lblyy"_qs << twips(8340, 1110, 900, 180) << false << u"查询日期："_qs;
    QTest::newRow("lblxx") << u"lblxx"_qs << twips(6180, 1140, 900, 180) << false << u"出生日期："_qs;
    QTest::newRow("LBLzh") << u"LBLzh"_qs << twips(6450, 1560, 540, 180) << false << u"综合值"_qs;
    QTest::newRow("LBLtl") << u"LBLtl"_qs << twips(2580, 1560, 540, 180) << false << u"体力值"_qs;
    QTest::newRow("LBLqx") << u"LBLqx"_qs << twips(3870, 1560, 540, 180) << false << u"情绪值"_qs;
    QTest::newRow("LBLzl") << u"LBLzl"_qs << twips(5190, 1560, 540, 180) << false << u"智力值"_qs;
}

void tst_Layout::controlsAtCreation()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(bool, insideChart);
    QFETCH(QString, text);
    frmQORVEL w(m_shared, m_runtime);
    QWidget *widget = control(w, name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->parentWidget(), insideChart ? static_cast<QWidget *>(w.PicBack) : &w);
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        QCOMPARE(edit->text(), text);
    else if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), text);
}

void tst_Layout::creationOrderIsStackingOrder()
{
    // The scroll bars overlap the chart's lowest pixels and stay in front.
    frmQORVEL w(m_shared, m_runtime);
    const QPoint overlap = w.POSITION->geometry().center();
    QCOMPARE(w.childAt(QPoint(overlap.x(), w.PicBack->geometry().bottom())), w.POSITION);
    QCOMPARE(w.childAt(QPoint(w.PROPTION->geometry().center().x(), w.PicBack->geometry().bottom())), w.PROPTION);
    QCOMPARE(w.childAt(w.PicBack->geometry().center()), w.Label1);
}

void tst_Layout::labelsSizeToTheirText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    // A Chinese character is 12 pixels wide, any other 6; an empty text
    // keeps the width of one narrow character.
    QTest::newRow("empty") << QString() << 6;
    QTest::newRow("Latin") << u"LBLts"_qs << 30;
    QTest::newRow("Chinese") << u"综合值"_qs << 36;
    QTest::newRow("full-width colon") << u"查询日期："_qs << 60;
    QTest::newRow("link") << u" 分析指南 "_qs << 60;
    QTest::newRow("span label") << u"<-- 365天 -->"_qs << 78;
    QTest::newRow("readout date") << u"当前日期：2010-02-05"_qs << 120;
    QTest::newRow("negative value") << u"体力值：-100"_qs << 72;
}

void tst_Layout::labelsSizeToTheirText()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    frmQORVEL w(m_shared, m_runtime);
    const QPoint topLeft = w.LBLzh->pos();
    w.LBLzh->setCaption(text);
    QCOMPARE(w.LBLzh->size(), QSize(width, 12));
    QCOMPARE(w.LBLzh->pos(), topLeft);
}

void tst_Layout::labelColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("colour");
    QTest::newRow("Label1 grey") << u"Label1"_qs << quint32(0x00888471);
    QTest::newRow("LBLts light green") << u"LBLts"_qs << quint32(0x009AE9C4);
    QTest::newRow("LBLStartSj pale green") << u"LBLStartSj"_qs << quint32(0x00CFF5DB);
    QTest::newRow("Label2 dark red") << u"Label2"_qs << quint32(0x000000C0);
    QTest::newRow("LBLabout black") << u"LBLabout"_qs << quint32(0);
    QTest::newRow("lblxx black") << u"lblxx"_qs << quint32(0);
    QTest::newRow("LBLrq button text") << u"LBLrq"_qs << quint32(SystemButtonText);
}

void tst_Layout::labelColours()
{
    QFETCH(QString, name);
    QFETCH(quint32, colour);
    frmQORVEL w(m_shared, m_runtime);
    auto *label = static_cast<Label *>(control(w, name));
    QCOMPARE(label->ForeColor(), colour);
    QCOMPARE(label->palette().color(QPalette::WindowText).rgb(), resolveColor(colour));
    QVERIFY(!label->autoFillBackground());
}

void tst_Layout::fontIsTheTwelvePixelSongFace()
{
    frmQORVEL w(m_shared, m_runtime);
    for (QWidget *widget : {static_cast<QWidget *>(w.TXTCSRQ), static_cast<QWidget *>(w.CMDcx),
                            static_cast<QWidget *>(w.LBLabout), static_cast<QWidget *>(w.Label2)}) {
        QCOMPARE(widget->font().pixelSize(), 12);
        QCOMPARE(widget->font().family(), u"宋体"_qs);
    }
    QVERIFY(w.Label2->font().underline());
    QVERIFY(!w.LBLrq->font().underline());
    const QFontMetrics metrics(programFont());
    QCOMPARE(metrics.horizontalAdvance(u"体"_qs), 12);
    QCOMPARE(metrics.horizontalAdvance(u"7"_qs), 6);
    QCOMPARE(metrics.horizontalAdvance(u"："_qs), 12);
}

void tst_Layout::boxesAndButtons()
{
    frmQORVEL w(m_shared, m_runtime);
    QCOMPARE(w.TXTCSRQ->palette().color(QPalette::Base).rgb(), qRgb(0xEE, 0xFB, 0xDF));
    QCOMPARE(w.txtCXRQ->palette().color(QPalette::Base).rgb(), qRgb(0xEE, 0xFB, 0xDF));
    QVERIFY(w.CMDcx->icon().isNull());
    QCOMPARE(w.PicBack->surface().backColor(), SystemMenuText);
    QCOMPARE(w.PicBack->surface().size(), ChartSize);
    QCOMPARE(w.PicBack->surface().drawMode(), DrawMode::CopyPen);
    QCOMPARE(w.PicBack->surface().scaleRect(), QRectF(0, 0, 1, 1));
    QCOMPARE(w.POSITION->Value(), 0);
    QCOMPARE(w.PROPTION->Value(), 0);
    QCOMPARE(w.POSITION->orientation(), Qt::Horizontal);
}

void tst_Layout::tabOrder()
{
    frmQORVEL w(m_shared, m_runtime);
    const QList<QWidget *> expected{w.TXTCSRQ, w.txtCXRQ, w.PicBack, w.POSITION, w.PROPTION, w.Cmdclose, w.CMDcx};
    QWidget *current = w.TXTCSRQ;
    for (int i = 1; i <= expected.size(); ++i) {
        // Skip what cannot take the focus from the keyboard.
        do
            current = current->nextInFocusChain();
        while (!(current->focusPolicy() & Qt::TabFocus) || current == &w);
        QCOMPARE(current, expected[i % expected.size()]);
    }
}

void tst_Layout::onlyBoxesButtonsBarsAndChartTakeFocus()
{
    frmQORVEL w(m_shared, m_runtime);
    for (QLabel *label : w.findChildren<QLabel *>())
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    for (QWidget *widget : std::initializer_list<QWidget *>{w.TXTCSRQ, w.txtCXRQ, w.PicBack, w.POSITION,
                                                           w.PROPTION, w.Cmdclose, w.CMDcx})
        QVERIFY(widget->focusPolicy() & Qt::TabFocus);
}

void tst_Layout::pictures()
{
    frmQORVEL w(m_shared, m_runtime);
    QCOMPARE(w.Image1->pixmap().size(), QSize(187, 19));
    // The panel picture shows through the transparent labels.
    const QImage shot = w.grab().toImage();
    QCOMPARE(shot.size(), QSize(798, 598));
    QCOMPARE(shot.pixelColor(300, 15).rgb(), qRgb(115, 166, 83));
    QCOMPARE(shot.pixelColor(0, 300).rgb(), qRgb(73, 105, 53));
    QCOMPARE(shot.pixelColor(w.Image1->x() + 8, w.Image1->y() + 9).rgb(), qRgb(0, 0, 255));
}

void tst_Layout::wrappedTextsFitTheirLabels()
{
    frmQORVEL w(m_shared, m_runtime);
    // Four paragraphs of some 400 characters fill most of the label, and no
    // line is lost below it.
    QCOMPARE(ExplanatoryText.count(u'\n'), 4);
    QVERIFY(ExplanatoryText.size() > 300 && ExplanatoryText.size() < 450);
    QVERIFY(w.Label1->wrappedTextHeight() <= w.Label1->height());
    QVERIFY(w.Label1->wrappedTextHeight() >= w.Label1->height() / 2);
    // The credits are one line of text that wraps onto two.
    QVERIFY(!CreditsText.contains(u'\n'));
    QCOMPARE(w.LBLabout->wrappedTextHeight(), 2 * QFontMetrics(w.LBLabout->font()).lineSpacing());
    QVERIFY(w.LBLabout->wrappedTextHeight() <= w.LBLabout->height());
}

// The link's underline shows on screen, in the link's colour at rest and
// under the pointer, along the whole text.
void tst_Layout::guideLinkIsUnderlinedOnScreen()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        const QRect link = w.Label2->geometry();
        const auto underlineIn = [&](QRgb colour) {
            const QImage shown = w.grab(link).toImage();
            int count = 0;
            for (int x = 0; x < shown.width(); ++x)
                count += shown.pixel(x, shown.height() - 1) == colour;
            return count;
        };
        QCOMPARE(underlineIn(qRgb(0xC0, 0, 0)), link.width());
        w.Label2_MouseMove(0, 0, 1, 1);
        QCOMPARE(underlineIn(qRgb(0, 0, 0)), link.width());
    });
}

void tst_Layout::graphicalButtonsHaveFlatFaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("query") << u"CMDcx"_qs;
    QTest::newRow("exit") << u"Cmdclose"_qs;
}

// The face inside the edge is the button's colour and the caption's black,
// nothing else; pressing sinks it and the focus shows, both on screen.
void tst_Layout::graphicalButtonsHaveFlatFaces()
{
    QFETCH(QString, name);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        auto *button = static_cast<QPushButton *>(control(w, name));
        const QRgb face = qRgb(0xC4, 0xE9, 0x9A);
        const auto faceOnly = [&](const QImage &image) {
            int faceCount = 0;
            for (int y = 2; y < image.height() - 2; ++y)
                for (int x = 2; x < image.width() - 2; ++x) {
                    const QRgb p = image.pixel(x, y);
                    if (p != face && p != qRgb(0, 0, 0))
                        return false;
                    faceCount += p == face;
                }
            return faceCount > (image.width() - 4) * (image.height() - 4) * 3 / 4;
        };
        w.TXTCSRQ->setFocus();
        const QImage atRest = button->grab().toImage();
        QVERIFY(faceOnly(atRest));
        button->setFocus();
        const QImage focused = button->grab().toImage();
        QVERIFY(faceOnly(focused));
        QVERIFY(focused != atRest);
        button->setDown(true);
        const QImage pressed = button->grab().toImage();
        button->setDown(false);
        QVERIFY(faceOnly(pressed));
        QVERIFY(pressed != focused);
        // The raised edge is light at the top left and dark when sunk.
        QVERIFY(qGray(focused.pixel(0, 0)) > qGray(pressed.pixel(0, 0)));
    });
}

void tst_Layout::textBoxesKeepTheFirstLineOfAnyLength_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::newRow("a date with a line feed") << QString() << 0 << u"2009-11-03\n"_qs << u"2009-11-03"_qs;
    QTest::newRow("Windows line ends") << QString() << 0 << u"2009-11-03\r\n1980-01-01\r\n"_qs << u"2009-11-03"_qs;
    QTest::newRow("into the middle") << u"2009-03"_qs << 4 << u"-11\nx"_qs << u"2009-11-03"_qs;
    QTest::newRow("a text far past 32767 characters")
        << QString() << 0 << QString(40000, u'9') << QString(40000, u'9');
}

// A single-line box takes only the first line of what is pasted into it,
// and however long a text is, it is kept whole.
void tst_Layout::textBoxesKeepTheFirstLineOfAnyLength()
{
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    frmQORVEL w(m_shared, m_runtime);
    w.txtCXRQ->setText(before);
    w.txtCXRQ->setCursorPosition(caret);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(w.txtCXRQ, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.txtCXRQ->Text(), after);
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
