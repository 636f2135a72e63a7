#pragma once

#include "ProgressBar.h"
#include "core/UserInterface.h"

#include <QString>
#include <memory>
#include <ostream>

// The command line's answers to the module's questions: boxes become "Title: message" lines on
// stderr, progress a terminal bar, and prompts are answered by what the command's options said
// beforehand. Installed for the lifetime of one command.
class TerminalInterface : public UserInterface {
public:
    TerminalInterface(std::ostream& err, bool terminal);
    ~TerminalInterface() override;
    TerminalInterface(const TerminalInterface&) = delete;
    TerminalInterface& operator=(const TerminalInterface&) = delete;

    // The answer to the next item prompts and file prompts; empty means "cancelled".
    void setChoice(const QString& text) { choice_ = text; }
    void setFile(const QString& path) { file_ = path; }

    void error(QWidget* parent, const QString& message, const QString& title) override;
    void warning(QWidget* parent, const QString& message, const QString& title) override;
    QString promptFileOpen(QWidget* parent, const QString& filter, const QString& title,
                           const QString& startFolder, const QString& key) override;
    QString choseItem(QWidget* parent, const QString& title, const QString& label, const QStringList& texts,
                      int initial) override;
    void progressBegin(QWidget* parent, const QString& title, int total) override;
    void progressMessage(const QString& text) override;
    void progressStep() override;
    void progressEnd() override;
    void busy(bool) override {}

private:
    void report(const QString& message, const QString& title);

    std::ostream& err_;
    bool terminal_;
    QString choice_;
    QString file_;
    std::unique_ptr<ProgressBar> progress_;
    QString current_;
    QString title_;
};
