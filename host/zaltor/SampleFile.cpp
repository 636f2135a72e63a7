#include "zaltor/SampleFile.h"

#include "zaltor/SampleFileMessage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// A reader that sends nothing for this long is taken to hang on its file.
constexpr int SilenceMs = 60000;

void fail(QString* error, const QString& text)
{
    if (error) *error = text;
}

// The reader program: the one MOTIF_SAMPLEFILE_READER names (for programs built elsewhere, such as
// a fuzzer), else the one beside the running program, where the build puts every program.
QString readerPath()
{
    const QString named = qEnvironmentVariable("MOTIF_SAMPLEFILE_READER");
    if (!named.isEmpty()) return named;
    return QFileInfo(QFile::symLinkTarget("/proc/self/exe")).dir().filePath("motif-samplefile-reader");
}

// Starts the reader on `path` with its standard output on `out` and no other file of ours open:
// posix_spawn runs nothing of this process between the fork and the exec, so threads (JACK's,
// a window's) hold no lock the reader could inherit. Answers the process id or -1 and errno.
pid_t spawnReader(const QString& reader, const QString& path, int out)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 34)
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
    QByteArray program = QFile::encodeName(reader);
    QByteArray file = QFile::encodeName(path);
    char* argv[] = {program.data(), file.data(), nullptr};
    pid_t child = -1;
    const int failed = posix_spawn(&child, program.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed == 0) return child;
    errno = failed;
    return -1;
}

// Everything the reader writes until it closes the pipe; false when it falls silent too long.
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
    const QString reader = readerPath();
    if (!QFileInfo(reader).isExecutable()) {
        fail(error, QString("Cannot read %1: its reader program %2 is missing (build the target "
                            "motif-samplefile-reader, or name the program in MOTIF_SAMPLEFILE_READER)")
                        .arg(path, reader));
        return false;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        fail(error, QString("Cannot read %1: no pipe to its reader program").arg(path));
        return false;
    }
    const pid_t child = spawnReader(reader, path, pipeFds[1]);
    const int spawnError = errno;
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        fail(error, QString("Cannot read %1: cannot start %2: %3").arg(path, reader, strerror(spawnError)));
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
