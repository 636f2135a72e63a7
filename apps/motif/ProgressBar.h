#pragma once

#include <QString>
#include <ostream>

// A one-line progress bar for long work, redrawn in place on a terminal. Where the stream is not
// a terminal (a log, CI) it prints nothing until the closing line, so logs stay readable.
class ProgressBar {
public:
    ProgressBar(std::ostream& stream, int total, bool terminal);
    ~ProgressBar();
    // One more item done; `what` names it.
    void step(const QString& what);
    void finish(const QString& summary);

private:
    std::ostream& stream_;
    int total_;
    int done_ = 0;
    bool terminal_;
    bool finished_ = false;
};
