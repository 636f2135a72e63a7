// Reads one multi-sample bank with libinstpatch and writes what it found, as a SampleFileMessage,
// to its standard output. SampleFile runs this program for every bank the user opens: the
// library trusts the files it reads, and a hostile file that crashes or hangs it ends only this
// process, which the caller reports as a damaged file.
#include "zaltor/SampleFileMessage.h"
#include "zaltor/SampleFileReader.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: motif-samplefile-reader BANK\n"
                   "Reads an SF2, DLS or GIG bank for motif and writes its answer to standard output.\n",
                   stderr);
        return 2;
    }
    // A crash on a hostile file is the expected outcome the caller reports; the default actions
    // end the process at once instead of running a sanitizer's report for every such file.
    for (int signal : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL}) std::signal(signal, SIG_DFL);
    // Only the answer may reach the caller's pipe: whatever the library prints goes to standard error.
    const int answer = dup(STDOUT_FILENO);
    if (answer < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return 1;
    Instruments instruments;
    QString error;
    const bool read = SampleFileReader::read(QFile::decodeName(argv[1]), instruments, error);
    const bool sent = writeAll(answer, read ? SampleFileMessage::encode(instruments)
                                            : SampleFileMessage::encodeError(error));
    // The library's type registry and caches live as long as the process; ending without the exit
    // handlers spares freeing them one by one, and a leak checker listing them as lost.
    _exit(sent ? 0 : 1);
}
