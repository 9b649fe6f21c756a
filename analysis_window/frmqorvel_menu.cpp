#include "analysis_window/frmqorvel.h"

#include "platform/widgets/runtime.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QSaveFile>

// The chart's own menu. It keeps what the user sees and what the chart
// shares with the rest of the window as they are: it only copies and saves.

namespace quorvel {

QString frmQORVEL::readoutText() const
{
    return QStringList{LBLrq->Caption(), LBLtl->Caption(), LBLqx->Caption(), LBLzl->Caption(), LBLzh->Caption()}
        .join(u'\t');
}

// Written to a temporary file that replaces the target only when complete.
bool frmQORVEL::saveChart(const QString &path) const
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && PicBack->surface().image().save(&file, "PNG") && file.commit();
}

void frmQORVEL::showChartMenu(QPoint position)
{
    if (!m_chartDrawn)
        return;
    QMenu menu(this);
    menu.addAction(QStringLiteral("复制图表"), this, [this] {
        QGuiApplication::clipboard()->setImage(PicBack->surface().image());
    });
    menu.addAction(QStringLiteral("将图表另存为 PNG…"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存图表"),
                                                          QStringLiteral("生物节律图.png"),
                                                          QStringLiteral("PNG 图像 (*.png)"));
        if (!path.isEmpty() && !saveChart(path))
            Beep();
    });
    menu.addAction(QStringLiteral("复制读数"), this, [this] {
        QGuiApplication::clipboard()->setText(readoutText());
    });
    menu.exec(PicBack->mapToGlobal(position));
}

} // namespace quorvel
