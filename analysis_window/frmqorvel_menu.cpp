// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "exports/chartexports.h"
#include "platform/files/output.h"
#include "platform/language/systemerror.h"
#include "platform/widgets/runtime.h"

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <cerrno>

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
// Why a chart that is not drawn is not kept.
const QString NothingDrawn = QStringLiteral("尚未绘制图表");
// Why a span without a critical day gives no calendar.
const QString NoCriticalDay = QStringLiteral("图表范围内没有临界日，没有可以导出的日历。");

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

// Writes the file as quorvel-chart writes its outputs, but without waiting
// for a reader of a FIFO or a socket: the window would freeze meanwhile.
// The reason why not otherwise.
QString writeWhole(const QString &path, const QByteArray &bytes)
{
    return writeOutput(QFile::encodeName(path), [&](QIODevice &device) { device.write(bytes); },
                       WhenNobodyReads::Fail);
}

// Why a printer could not print: Qt gives no reason, so for a file the
// file's own state gives it.
QString printFailure(const QPrinter &printer)
{
    const QString path = printer.outputFileName();
    if (path.isEmpty())
        return QStringLiteral("打印机“%1”无法打印图表。").arg(printer.printerName());
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    const int error = !folder.isDir() ? ENOENT
        : (file.exists() ? !file.isWritable() : !folder.isWritable()) ? EACCES
                                                                       : EIO;
    return QStringLiteral("无法打印到文件“%1”：%2").arg(path, systemErrorText(error));
}

} // namespace

QString frmQORVEL::readoutText() const
{
    return QStringList{LBLrq->Caption(), LBLtl->Caption(), LBLqx->Caption(), LBLzl->Caption(), LBLzh->Caption()}
        .join(u'\t');
}

QString frmQORVEL::saveChart(const QString &path) const
{
    if (!m_drawn)
        return NothingDrawn;
    // PNG unless the name says SVG or PDF.
    const ChartFormat format = chartFormat(QFileInfo(path).suffix()).value_or(ChartFormat::Png);
    const QByteArray bytes = chartFile(format, PicBack->surface(), *m_drawn, 1, m_runtime.Now());
    if (bytes.isEmpty())
        return QStringLiteral("无法生成图表");
    return writeWhole(path, bytes);
}

QString frmQORVEL::exportCriticalDays(const QString &path) const
{
    if (!m_drawn)
        return NothingDrawn;
    if (m_drawn->criticalDays.empty())
        return NoCriticalDay;
    return writeWhole(path, criticalDaysCalendar(m_drawn->birthDate, m_drawn->criticalDays, m_runtime.Now()));
}

bool frmQORVEL::printSheet(QPrinter *printer) const
{
    QPainter painter;
    if (!m_drawn || !painter.begin(printer))
        return false;
    paintChartSheet(painter, QRectF(QPointF(), printer->pageRect(QPrinter::DevicePixel).size()), PicBack->surface(),
                    *m_drawn, m_runtime.Now());
    return painter.end();
}

void frmQORVEL::printChart()
{
    if (!m_drawn)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(chartSheetPageLayout());
    printer.setDocName(ChartTitle);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(PrintTitle);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        if (!printSheet(target))
            QMessageBox::warning(this, PrintTitle, printFailure(*target));
    });
    preview.exec();
}

void frmQORVEL::showChartMenu(QPoint position)
{
    if (!m_drawn)
        return;
    QMenu menu(this);
    menu.addAction(QStringLiteral("复制图表"), this, [this] {
        if (m_drawn)
            QGuiApplication::clipboard()->setImage(chartImage(PicBack->surface(), *m_drawn, 1));
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
        if (const QString reason = saveChart(path); !reason.isEmpty())
            QMessageBox::warning(this, SaveTitle, QStringLiteral("无法保存文件“%1”：%2").arg(path, reason));
    });
    menu.addAction(QStringLiteral("打印…"), this, &frmQORVEL::printChart);
    menu.addAction(QStringLiteral("导出临界日日历…"), this, [this] {
        // Nothing to export is said at once, before a file is asked for.
        if (m_drawn && m_drawn->criticalDays.empty()) {
            QMessageBox::information(this, CalendarTitle, NoCriticalDay);
            return;
        }
        QString path = QFileDialog::getSaveFileName(this, CalendarTitle, QStringLiteral("生物节律临界日.ics"),
                                                    QStringLiteral("iCalendar 日历 (*.ics)"));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".ics");
        if (const QString reason = exportCriticalDays(path); !reason.isEmpty())
            QMessageBox::warning(this, CalendarTitle, QStringLiteral("无法保存文件“%1”：%2").arg(path, reason));
    });
    menu.addAction(QStringLiteral("复制读数"), this, [this] {
        QGuiApplication::clipboard()->setText(readoutText());
    });
    menu.exec(PicBack->mapToGlobal(position));
}

} // namespace quorvel
