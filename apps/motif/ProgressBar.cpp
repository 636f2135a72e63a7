#include "ProgressBar.h"

namespace {
constexpr int Width = 30;
} // namespace

ProgressBar::ProgressBar(std::ostream& stream, int total, bool terminal)
    : stream_(stream), total_(total > 0 ? total : 1), terminal_(terminal)
{
}

ProgressBar::~ProgressBar()
{
    if (!finished_ && terminal_) stream_ << '\n' << std::flush;
}

void ProgressBar::step(const QString& what)
{
    ++done_;
    if (!terminal_) return;
    const int filled = done_ * Width / total_;
    stream_ << "\r[" << std::string(std::size_t(filled), '#') << std::string(std::size_t(Width - filled), '.')
            << "] " << done_ << '/' << total_ << ' ' << what.leftJustified(16).toStdString() << std::flush;
}

void ProgressBar::finish(const QString& summary)
{
    finished_ = true;
    if (terminal_) stream_ << '\r' << std::string(Width + 40, ' ') << '\r';
    stream_ << summary.toStdString() << '\n' << std::flush;
}
