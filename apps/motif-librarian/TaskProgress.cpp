#include "TaskProgress.h"

#include "InstrumentLink.h"

#include <QProgressDialog>

TaskProgress::TaskProgress(InstrumentLink& link, QWidget* parent, const QString& title)
    : QObject(parent), dialog_(new QProgressDialog(title, tr("Cancel"), 0, 0, parent))
{
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(300);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setAccessibleName(title);
    QProgressDialog* dialog = dialog_;
    connect(&link, &InstrumentLink::progress, dialog, [dialog](const QString& step, int index, int total) {
        dialog->setMaximum(total);
        dialog->setValue(index);
        dialog->setLabelText(step);
    });
    connect(dialog_, &QProgressDialog::canceled, &link, &InstrumentLink::cancel);
}

TaskProgress::~TaskProgress() { finish(); }

void TaskProgress::finish()
{
    if (dialog_) dialog_->deleteLater();
    dialog_ = nullptr;
}
