#include "core/RangeCopy.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> kernelCopy{true};

// The page cache holds a file in folios of up to this size. A kernel copy between two offsets at
// the same place within a folio runs faster once both are on a folio's edge.
constexpr std::int64_t LargestFolio = 2 << 20;

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// The errors that say the kernel cannot copy between these two files, not that the copy failed.
bool cannotCopyHere(int error)
{
    return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL || error == EBADF ||
           error == ETXTBSY;
}

bool buffered(int from, std::int64_t at, int to, std::int64_t dest, std::int64_t n, QString* error)
{
    std::vector<std::uint8_t> step(static_cast<std::size_t>(std::min(n, RangeCopy::StepSize)));
    while (n > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(n, std::int64_t(step.size())));
        const ssize_t got = ::pread(from, step.data(), want, off_t(at));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (error) *error = got < 0 ? systemError() : QStringLiteral("the source file ends early");
            return false;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put =
                ::pwrite(to, step.data() + written, std::size_t(got - written), off_t(dest) + off_t(written));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                if (error) *error = systemError();
                return false;
            }
            written += put;
        }
        at += got;
        dest += got;
        n -= got;
    }
    return true;
}

} // namespace

bool RangeCopy::copy(int from, std::int64_t at, int to, std::int64_t dest, std::int64_t n, QString* error)
{
#ifdef __linux__
    while (kernelCopy && n > 0) {
        loff_t in = at;
        loff_t out = dest;
        const std::int64_t phase = at % LargestFolio;
        const std::int64_t ask =
            phase != 0 && phase == dest % LargestFolio ? std::min(n, LargestFolio - phase) : n;
        const ssize_t done = ::copy_file_range(from, &in, to, &out, std::size_t(ask), 0);
        if (done < 0 && errno == EINTR) continue;
        if (done < 0 && cannotCopyHere(errno)) break;
        if (done < 0) {
            if (error) *error = systemError();
            return false;
        }
        // Nothing copied: the source ends here, or the file system copies nothing this way; the
        // buffered copy tells the two apart.
        if (done == 0) break;
        at += done;
        dest += done;
        n -= done;
    }
#endif
    return n == 0 || buffered(from, at, to, dest, n, error);
}

void RangeCopy::setKernelCopy(bool enabled) { kernelCopy = enabled; }
