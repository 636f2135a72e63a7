#include "core/SourceFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

std::int64_t nanoseconds(const struct timespec& time)
{
    return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}

} // namespace

std::shared_ptr<SourceFile> SourceFile::open(const QString& path, QString* error)
{
    std::shared_ptr<SourceFile> file(new SourceFile);
    file->path_ = path;
    const QByteArray name = QFile::encodeName(path);
    file->fd_ = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (file->fd_ < 0 || !identify(file->fd_, file->opened_)) {
        if (error) *error = QStringLiteral("Cannot open %1: %2").arg(path, systemError());
        return nullptr;
    }
    file->atPath_ = file->opened_;
    file->size_ = file->opened_.size;
    return file;
}

std::shared_ptr<SourceFile> SourceFile::inMemory(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
{
    std::shared_ptr<SourceFile> source(new SourceFile);
    source->size_ = static_cast<std::int64_t>(bytes->size());
    source->memory_ = std::move(bytes);
    return source;
}

SourceFile::~SourceFile()
{
    if (fd_ >= 0) ::close(fd_);
}

std::span<const std::uint8_t> SourceFile::memory() const
{
    if (!memory_) return {};
    return *memory_;
}

bool SourceFile::identify(int fd, Identity& identity)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 && fromStatus(status, identity);
}

bool SourceFile::identify(const QString& path, Identity& identity)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && fromStatus(status, identity);
}

bool SourceFile::fromStatus(const struct stat& status, Identity& identity)
{
    identity = {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino), std::int64_t(status.st_size),
                nanoseconds(status.st_mtim)};
    return true;
}

bool SourceFile::unchanged(QString* why) const
{
    if (fd_ < 0) return true;
    Identity now;
    QString reason;
    if (!identify(fd_, now) || now.size != opened_.size || now.modified != opened_.modified)
        reason = QStringLiteral("was changed by another program");
    else if (Identity there; !identify(path_, there))
        reason = QStringLiteral("was moved or deleted");
    else if (const Identity ours = expectedAtPath(); there.device != ours.device || there.inode != ours.inode)
        reason = QStringLiteral("was replaced by another file");
    if (reason.isEmpty()) return true;
    if (why)
        *why = QStringLiteral("%1 %2 since it was opened; open it again and redo the changes")
                   .arg(path_, reason);
    return false;
}

void SourceFile::pathReplaced()
{
    Identity there;
    if (fd_ < 0 || !identify(path_, there)) return;
    const std::lock_guard lock(atPathLock_);
    atPath_ = there;
}

SourceFile::Identity SourceFile::expectedAtPath() const
{
    const std::lock_guard lock(atPathLock_);
    return atPath_;
}

bool SourceFile::readAt(std::int64_t offset, std::span<std::uint8_t> to, QString* error, Check check) const
{
    const auto n = static_cast<std::int64_t>(to.size());
    if (offset < 0 || offset > size_ || n > size_ - offset) {
        if (error)
            *error = QStringLiteral("Cannot read %1 bytes at offset %2 of %3: the file holds %4 bytes")
                         .arg(n)
                         .arg(offset)
                         .arg(path_.isEmpty() ? QStringLiteral("the library") : path_)
                         .arg(size_);
        return false;
    }
    if (memory_) {
        std::copy_n(memory_->begin() + offset, to.size(), to.begin());
        return true;
    }
    if (check == Check::Unchanged && !unchanged(error)) return false;
    std::size_t done = 0;
    while (done < to.size()) {
        const ssize_t got = ::pread(fd_, to.data() + done, to.size() - done, off_t(offset) + off_t(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (error)
                *error = QStringLiteral("Cannot read %1: %2")
                             .arg(path_, got < 0 ? systemError() : QStringLiteral("the file ends early"));
            return false;
        }
        done += std::size_t(got);
    }
    return true;
}
