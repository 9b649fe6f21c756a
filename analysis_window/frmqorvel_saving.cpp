// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window/frmqorvel.h"

#include "analysis_window/texts.h"
#include "platform/files/backgroundoutput.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

// A file is saved beside the window: written on a thread of its own while
// the window goes on painting and answering. A save that takes more than a
// moment (a slow disk, a FIFO whose reader does not read) shows a dialog
// that says so and lets the user cancel it; closing the window cancels it
// too. A save done within the moment shows nothing.

namespace quorvel {
namespace {

// Far longer than a save to any disk takes.
constexpr int SavingShownAfterMs = 500;

// What is being saved, a bar that shows work going on, and the button that
// cancels it (Escape, or closing the dialog, cancels it too).
class SavingDialog final : public QDialog
{
public:
    SavingDialog(const QString &title, const QString &path, QWidget *parent)
        : QDialog(parent)
    {
        setWindowTitle(title);
        setWindowModality(Qt::WindowModal);
        const QString text = QStringLiteral("正在保存文件“%1”…").arg(path);
        // A screen reader reads the dialog's description when it opens.
        setAccessibleDescription(text);
        auto *label = new QLabel(text, this);
        auto *bar = new QProgressBar(this);
        bar->setRange(0, 0);
        bar->setTextVisible(false);
        bar->setAccessibleName(QStringLiteral("正在保存"));
        auto *cancel = new QPushButton(QStringLiteral("取消"), this);
        cancel->setDefault(true);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        auto *buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(cancel);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(bar);
        layout->addLayout(buttons);
        setMinimumWidth(360);
    }
};

// Cancels a save when the window it was started from closes.
class CancelOnClose final : public QObject
{
public:
    CancelOnClose(QWidget *window, BackgroundOutput &output)
        : m_output(output)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            m_output.cancel();
        return false;
    }

private:
    BackgroundOutput &m_output;
};

} // namespace

QString frmQORVEL::writeBeside(const QString &title, const QString &path, const QByteArray &bytes)
{
    BackgroundOutput output(QFile::encodeName(path), bytes);
    bool shown = false;
    // The dialog stands over the dialog the save was asked for from (the
    // print preview), else over the window.
    const QPointer<QWidget> over = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this;
    {
        SavingDialog dialog(title, path, over);
        connect(&dialog, &QDialog::rejected, &output, &BackgroundOutput::cancel);
        QTimer moment;
        moment.setSingleShot(true);
        // A save that has ended, but whose loop waits for another one
        // started meanwhile to end, shows nothing.
        connect(&moment, &QTimer::timeout, &dialog, [&] {
            if (output.isFinished())
                return;
            shown = true;
            dialog.open();
        });
        const CancelOnClose closing(this, output);
        QEventLoop loop;
        connect(&output, &BackgroundOutput::finished, &loop, &QEventLoop::quit);
        moment.start(SavingShownAfterMs);
        loop.exec();
        // The loop also returns when the program ends: the save ends with it.
        output.stop();
    }
    // The window takes the keyboard back from the dialog, which nothing
    // gives it where no window manager runs.
    if (shown && over && over->isVisible())
        over->activateWindow();
    if (output.wasCancelled() && !output.reason().isEmpty())
        return SaveCancelled;
    return output.reason();
}

} // namespace quorvel
