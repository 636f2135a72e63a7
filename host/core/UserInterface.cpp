#include "core/UserInterface.h"

#include "core/Application.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

UserInterface* installed = nullptr;

const QString folderSection = QStringLiteral("Folders");

} // namespace

UserInterface::~UserInterface() = default;

UserInterface& UserInterface::current()
{
    static QtUserInterface qt;
    return installed ? *installed : qt;
}

void UserInterface::install(UserInterface* ui) { installed = ui; }

void QtUserInterface::error(QWidget* parent, const QString& message, const QString& title)
{
    QMessageBox::critical(parent, title, message);
}

void QtUserInterface::warning(QWidget* parent, const QString& message, const QString& title)
{
    QMessageBox::warning(parent, title, message);
}

QString QtUserInterface::promptFileOpen(QWidget* parent, const QString& filter, const QString& title,
                                        const QString& startFolder, const QString& key)
{
    const QString folder = Application::readProfileText(folderSection, key, startFolder);
    const QString path = QFileDialog::getOpenFileName(parent, title, folder, filter);
    if (!path.isEmpty()) Application::writeProfileText(folderSection, key, QFileInfo(path).absolutePath());
    return path;
}

QString QtUserInterface::choseItem(QWidget* parent, const QString& title, const QString& label,
                                   const QStringList& texts, int initial)
{
    bool ok = false;
    const QString text = QInputDialog::getItem(parent, title, label, texts, initial, false, &ok);
    return ok ? text : QString();
}

void QtUserInterface::progressBegin(QWidget* parent, const QString& title, int total)
{
    delete progress_;
    progress_ = new QProgressDialog(parent);
    progress_->setWindowTitle(title);
    progress_->setRange(0, total);
    progress_->setCancelButton(nullptr);
    progress_->setMinimumDuration(500);
    done_ = 0;
}

void QtUserInterface::progressMessage(const QString& text)
{
    if (progress_) progress_->setLabelText(text);
    QApplication::processEvents();
}

void QtUserInterface::progressStep()
{
    if (progress_) progress_->setValue(++done_);
}

void QtUserInterface::progressEnd()
{
    delete progress_;
    progress_ = nullptr;
}

void QtUserInterface::busy(bool on)
{
    // A console program has no cursor to change.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void error(QWidget* parent, const QString& message, const QString& title)
{
    UserInterface::current().error(parent, message, title);
}

void warning(QWidget* parent, const QString& message, const QString& title)
{
    UserInterface::current().warning(parent, message, title);
}

QString PromptFileOpen(QWidget* parent, const QString& filter, const QString& title,
                       const QString& startFolder, const QString& key)
{
    return UserInterface::current().promptFileOpen(parent, filter, title, startFolder, key);
}

QString ChoseItem(QWidget* parent, const QString& title, const QString& label, const QStringList& texts,
                  int initial)
{
    return UserInterface::current().choseItem(parent, title, label, texts, initial);
}

ProgressDlg::ProgressDlg(QWidget* parent, const QString& title, int total)
{
    UserInterface::current().progressBegin(parent, title, total);
}

ProgressDlg::~ProgressDlg() { UserInterface::current().progressEnd(); }

void ProgressDlg::message(const QString& text) { UserInterface::current().progressMessage(text); }

void ProgressDlg::step() { UserInterface::current().progressStep(); }

WaitCursor::WaitCursor() { UserInterface::current().busy(true); }

WaitCursor::~WaitCursor() { UserInterface::current().busy(false); }
