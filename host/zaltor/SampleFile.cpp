#include "zaltor/SampleFile.h"

#include "zaltor/SampleFileMessage.h"
#include "zaltor/SampleFileReader.h"

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A child that sends nothing for this long is taken to hang on its file.
constexpr int SilenceMs = 60000;

void fail(QString* error, const QString& text)
{
    if (error) *error = text;
}

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

// Runs in the child: a crash here ends only the child, so the crash handlers of the parent's
// process (and of any sanitizer) give way to the default ones.
[[noreturn]] void readInChild(const QString& path, int fd)
{
    for (int signal : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL}) std::signal(signal, SIG_DFL);
    Instruments instruments;
    QString error;
    const bool ok = SampleFileReader::read(path, instruments, error);
    const bool sent =
        writeAll(fd, ok ? SampleFileMessage::encode(instruments) : SampleFileMessage::encodeError(error));
    _exit(sent ? 0 : 1);
}

// Everything the child writes until it closes the pipe; false when it falls silent too long.
bool readAll(int fd, std::vector<std::uint8_t>& bytes)
{
    std::uint8_t block[65536];
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, SilenceMs);
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return false;
        const ssize_t n = read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.insert(bytes.end(), block, block + n);
    }
}

} // namespace

bool SampleFile::fromFile(const QString& path, QString* error)
{
    deleteAll();
    SampleFileReader::initialize();
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        fail(error, QString("Cannot read %1: no pipe to a reader process").arg(path));
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        readInChild(path, pipeFds[1]);
    }
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        fail(error, QString("Cannot read %1: no reader process").arg(path));
        return false;
    }
    std::vector<std::uint8_t> message;
    const bool complete = readAll(pipeFds[0], message);
    close(pipeFds[0]);
    if (!complete) kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fail(error, QString("Cannot read %1: the file is damaged (its reader %2)")
                        .arg(path, complete ? QString("crashed") : QString("hung")));
        return false;
    }
    QString reason;
    if (!SampleFileMessage::decode(message, instruments, reason)) {
        fail(error,
             reason.startsWith("Cannot read") ? reason : QString("Cannot read %1: %2").arg(path, reason));
        return false;
    }
    if (instruments.isEmpty()) {
        fail(error, QString("%1 has no instruments").arg(path));
        return false;
    }
    return true;
}
