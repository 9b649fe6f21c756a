// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "analysis_window/texts.h"
#include "exports/chartexports.h"
#include "platform/language/systemerror.h"
#include "platform/widgets/accessibility.h"
#include "platform/widgets/runtime.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cerrno>
#include <functional>

#include <sys/mman.h>
#include <unistd.h>

// What a person does with a drawn chart: copy it, save it as a picture or a
// sheet, print the sheet, put the span's critical days into a calendar, copy
// the readout. None of it changes the chart, its labels, the scroll bars or
// the focus; a file that cannot be written, or a sheet that cannot be
// printed, is reported in a message box that says why.

namespace quorvel {
namespace {

const QString SaveTitle = QStringLiteral("保存图表");
const QString CalendarTitle = QStringLiteral("导出临界日日历");
const QString PrintTitle = QStringLiteral("打印");
// Why a span without a critical day gives no calendar.
const QString NoCriticalDay = QStringLiteral("图表范围内没有临界日，没有可以导出的日历。");

// How many of the chart's critical days a calendar can hold: those up to
// 9999-12-31.
std::size_t calendarDays(const DrawnChart &chart)
{
    return std::size_t(std::count_if(chart.criticalDays.begin(), chart.criticalDays.end(),
                                     [&](int day) { return chart.inRange(day); }));
}

// What a calendar of the chart's critical days leaves out, which a user is
// told before a file is asked for; empty when it holds them all.
QString calendarShortfall(const DrawnChart &chart)
{
    const std::size_t held = calendarDays(chart);
    if (chart.criticalDays.empty())
        return NoCriticalDay;
    if (held == 0)
        return QStringLiteral("图表范围内的临界日都在9999-12-31之后，日历记不下，没有可以导出的日历。");
    if (held == chart.criticalDays.size())
        return {};
    return QStringLiteral("日历只记得下9999-12-31之前的日子：图表范围内的%1个临界日里有%2个在那之后，不会写进日历。")
        .arg(chart.criticalDays.size())
        .arg(chart.criticalDays.size() - held);
}

// The file types of the save dialog, by their suffix.
struct FileType {
    const char *suffix;
    const char16_t *filter;
};
constexpr FileType ChartTypes[] = {
    {"png", u"PNG 图像 (*.png)"},
    {"svg", u"SVG 图像 (*.svg)"},
    {"pdf", u"PDF 文档 (*.pdf)"},
};

// Whether a save's outcome is a failure to report: a cancelled save, or one
// the closing of the window ended, is not.
bool failed(const QString &reason) { return !reason.isEmpty() && reason != SaveCancelled; }

// The sheet as a PDF printer makes it for the file `path`, made in memory:
// the printer prints into an unnamed file, whose bytes are returned, and is
// then set to print into `path` again. Empty when the sheet could not be
// made, `why` then saying why.
QByteArray sheetInMemory(QPrinter &printer, const QString &path, const std::function<bool()> &paint,
                         QString &why)
{
    const int memory = ::memfd_create("quorvel-sheet", MFD_CLOEXEC);
    if (memory < 0) {
        why = systemErrorText(errno);
        return {};
    }
    printer.setOutputFileName(QStringLiteral("/proc/self/fd/%1").arg(memory));
    const bool painted = paint();
    printer.setOutputFileName(path);
    QFile sheet;
    if (!sheet.open(memory, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(memory);
        why = systemErrorText(EIO);
        return {};
    }
    const QByteArray bytes = painted ? sheet.readAll() : QByteArray();
    if (bytes.isEmpty())
        why = systemErrorText(EIO);
    return bytes;
}

// Qt's print preview leaves its toolbar to the mouse: the buttons take no
// keyboard focus, no key prints, and the preview opens too narrow for the
// whole toolbar, hiding the print button behind the toolbar's overflow
// arrow. Here the preview opens wide enough to show every button where the
// screen allows, Tab reaches each, Return presses the one with the focus as
// Space does, and Ctrl+P prints from anywhere in the preview. Escape closes
// it, as it closes any dialog.
class PreviewKeys final : public QObject
{
public:
    explicit PreviewKeys(QPrintPreviewDialog &preview)
        : QObject(&preview)
        , m_preview(preview)
    {
        const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (const QToolBar *toolbar : preview.findChildren<QToolBar *>()) {
            for (QAction *action : toolbar->actions()) {
                if (action->text() == printText)
                    action->setShortcut(QKeySequence::Print);
            }
        }
        for (QToolButton *button : preview.findChildren<QToolButton *>()) {
            button->setFocusPolicy(Qt::TabFocus);
            button->installEventFilter(this);
        }
        // The page number's box says what it holds (the zoom box's name is
        // its value).
        for (QLineEdit *box : preview.findChildren<QLineEdit *>()) {
            if (!qobject_cast<QComboBox *>(box->parent()))
                box->setAccessibleName(QStringLiteral("页码"));
        }
        preview.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_preview) {
            if (event->type() == QEvent::Show)
                widenToShowTheToolbar();
            // The print and page set-up dialogs open over the preview; one
            // cancelled, the preview takes the keyboard back, which nothing
            // gives back where no window manager runs.
            if (event->type() == QEvent::ChildPolished) {
                if (auto *dialog = qobject_cast<QDialog *>(static_cast<QChildEvent *>(event)->child())) {
                    connect(dialog, &QDialog::finished, this, [this] {
                        if (m_preview.isVisible())
                            m_preview.activateWindow();
                    });
                }
            }
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<const QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        static_cast<QToolButton *>(watched)->click();
        return true;
    }

private:
    // Qt sizes a new window to at most two thirds of the screen's width.
    void widenToShowTheToolbar()
    {
        const QToolBar *toolbar = m_preview.findChild<QToolBar *>();
        if (!toolbar)
            return;
        const int whole = toolbar->sizeHint().width() + m_preview.width() - toolbar->width();
        const QScreen *screen = m_preview.screen();
        if (whole > m_preview.width())
            m_preview.resize(std::min(whole, screen ? screen->availableGeometry().width() : whole), m_preview.height());
    }

    QPrintPreviewDialog &m_preview;
};

} // namespace

QString frmQORVEL::readoutText() const
{
    return QStringList{LBLrq->Caption(), LBLtl->Caption(), LBLqx->Caption(), LBLzl->Caption(), LBLzh->Caption()}
        .join(u'\t');
}

QString frmQORVEL::saveChart(const QString &path)
{
    if (!m_drawn.curvesDrawn)
        return NoChartYet;
    // PNG unless the name says SVG or PDF.
    const ChartFormat format = chartFormat(QFileInfo(path).suffix()).value_or(ChartFormat::Png);
    const QByteArray bytes = chartFile(format, PicBack->surface(), m_drawn, 1, m_runtime.Now());
    if (bytes.isEmpty())
        return QStringLiteral("无法生成图表");
    return writeBeside(SaveTitle, path, bytes);
}

QString frmQORVEL::exportCriticalDays(const QString &path)
{
    if (!m_drawn.curvesDrawn)
        return NoChartYet;
    if (calendarDays(m_drawn) == 0)
        return calendarShortfall(m_drawn);
    return writeBeside(CalendarTitle, path,
                       criticalDaysCalendar(m_drawn.birthDate, m_drawn.criticalDays, m_runtime.Now()));
}

QString frmQORVEL::printSheet(QPrinter *printer)
{
    if (!m_drawn.curvesDrawn)
        return NoChartYet;
    const auto paint = [&] {
        QPainter painter;
        if (!painter.begin(printer))
            return false;
        paintChartSheet(painter, QRectF(QPointF(), printer->pageRect(QPrinter::DevicePixel).size()),
                        PicBack->surface(), m_drawn, m_runtime.Now());
        return painter.end();
    };
    // The preview paints on an engine of its own, a printer of the system's
    // takes the sheet itself. A PDF printer would open its file on this
    // thread (waiting for a reader of a FIFO) and write it in place: the
    // sheet is made in memory instead, and the file written as a saved
    // chart is.
    const QString path = printer->outputFileName();
    const QPaintEngine *engine = printer->paintEngine();
    if (path.isEmpty() || !engine || engine->type() != QPaintEngine::Pdf)
        return paint() ? QString() : QStringLiteral("打印机“%1”无法打印图表。").arg(printer->printerName());
    QString why;
    const QByteArray sheet = sheetInMemory(*printer, path, paint, why);
    if (!sheet.isEmpty())
        why = writeBeside(PrintTitle, path, sheet);
    return why.isEmpty() || why == SaveCancelled ? why : QStringLiteral("无法打印到文件“%1”：%2").arg(path, why);
}

void frmQORVEL::printChart()
{
    if (!m_drawn.curvesDrawn) {
        announce(this, NoChartText);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(chartSheetPageLayout());
    printer.setDocName(ChartTitle);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(PrintTitle);
    new PreviewKeys(preview);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        if (const QString reason = printSheet(target); failed(reason))
            QMessageBox::warning(this, PrintTitle, reason);
    });
    preview.exec();
    // The window takes the keyboard back, which nothing gives it where no
    // window manager runs.
    activateWindow();
}

void frmQORVEL::showChartMenu(QPoint position)
{
    if (!m_drawn.curvesDrawn) {
        announce(this, NoChartText);
        return;
    }
    QMenu menu(this);
    menu.addAction(QStringLiteral("复制图表"), this, [this] {
        if (m_drawn.curvesDrawn)
            QGuiApplication::clipboard()->setImage(chartImage(PicBack->surface(), m_drawn, 1));
    });
    menu.addAction(QStringLiteral("保存图表…"), this, [this] {
        QStringList filters;
        for (const FileType &type : ChartTypes)
            filters << QString::fromUtf16(type.filter);
        QString filter = filters.first();
        QString path = QFileDialog::getSaveFileName(this, SaveTitle, QStringLiteral("生物节律图.png"),
                                                    filters.join(QStringLiteral(";;")), &filter);
        if (path.isEmpty())
            return;
        // A name without one of the three suffixes takes the chosen type's.
        if (!chartFormat(QFileInfo(path).suffix()))
            path += u'.' + QString::fromLatin1(ChartTypes[std::max<qsizetype>(filters.indexOf(filter), 0)].suffix);
        if (const QString reason = saveChart(path); failed(reason))
            QMessageBox::warning(this, SaveTitle, QStringLiteral("无法保存文件“%1”：%2").arg(path, reason));
    });
    menu.addAction(QStringLiteral("打印…"), this, &frmQORVEL::printChart);
    menu.addAction(QStringLiteral("导出临界日日历…"), this, [this] {
        // What the calendar cannot hold is said at once, before a file is
        // asked for.
        if (const QString shortfall = calendarShortfall(m_drawn); !shortfall.isEmpty()) {
            QMessageBox::information(this, CalendarTitle, shortfall);
            if (calendarDays(m_drawn) == 0)
                return;
        }
        QString path = QFileDialog::getSaveFileName(this, CalendarTitle, QStringLiteral("生物节律临界日.ics"),
                                                    QStringLiteral("iCalendar 日历 (*.ics)"));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".ics");
        if (const QString reason = exportCriticalDays(path); failed(reason))
            QMessageBox::warning(this, CalendarTitle, QStringLiteral("无法保存文件“%1”：%2").arg(path, reason));
    });
    menu.addAction(QStringLiteral("复制读数"), this, [this] {
        QGuiApplication::clipboard()->setText(readoutText());
    });
    addCompareEntries(menu);
    menu.addSeparator();
    addPeopleEntries(menu, PeopleEntries::Submenu);
    menu.exec(PicBack->mapToGlobal(position));
}

} // namespace quorvel
