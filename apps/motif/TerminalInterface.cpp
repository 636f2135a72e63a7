#include "TerminalInterface.h"

TerminalInterface::TerminalInterface(std::ostream& err, bool terminal) : err_(err), terminal_(terminal)
{
    UserInterface::install(this);
}

TerminalInterface::~TerminalInterface() { UserInterface::install(nullptr); }

void TerminalInterface::report(const QString& message, const QString& title)
{
    err_ << (title.isEmpty() ? message : title + QStringLiteral(": ") + message).toStdString() << '\n';
}

void TerminalInterface::error(QWidget*, const QString& message, const QString& title)
{
    report(message, title);
}

void TerminalInterface::warning(QWidget*, const QString& message, const QString& title)
{
    report(message, title);
}

QString TerminalInterface::promptFileOpen(QWidget*, const QString&, const QString&, const QString&,
                                          const QString&)
{
    return file_;
}

QString TerminalInterface::choseItem(QWidget*, const QString&, const QString&, const QStringList& texts, int)
{
    // Only an offered text is an answer; anything else counts as cancelling.
    return texts.contains(choice_) ? choice_ : QString();
}

void TerminalInterface::progressBegin(QWidget*, const QString& title, int total)
{
    title_ = title;
    progress_ = std::make_unique<ProgressBar>(err_, total, terminal_);
}

void TerminalInterface::progressMessage(const QString& text) { current_ = text; }

void TerminalInterface::progressStep()
{
    if (progress_) progress_->step(current_);
}

void TerminalInterface::progressEnd()
{
    if (progress_) progress_->finish(title_ + QStringLiteral(": done"));
    progress_.reset();
}
