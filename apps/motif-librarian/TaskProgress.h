#pragma once

#include <QObject>
#include <QPointer>

class InstrumentLink;
class QProgressDialog;

// The progress of one job of the link in a window-modal dialog whose Cancel stops the job at its
// next step; the job runs on the link's thread, so the window keeps drawing meanwhile. The
// host's ProgressDlg has no Cancel, which every long transfer here needs.
class TaskProgress : public QObject {
    Q_OBJECT
public:
    TaskProgress(InstrumentLink& link, QWidget* parent, const QString& title);
    ~TaskProgress() override;
    // Closes the dialog; called from the job's continuation.
    void finish();

private:
    QPointer<QProgressDialog> dialog_;
};
