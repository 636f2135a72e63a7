#include "core/Archive.h"

#include "core/RangeCopy.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace {

// Room for a block read from a file. Each page of it faults in when first touched, which is
// costly on virtual machines: huge pages make that 512 times rarer.
std::vector<std::uint8_t> blockOf(std::size_t n)
{
    std::vector<std::uint8_t> block;
#ifdef Q_OS_LINUX
    constexpr std::uintptr_t kHugePage = 2 << 20;
    if (n >= 2 * kHugePage) {
        block.reserve(n);
        const auto start = reinterpret_cast<std::uintptr_t>(block.data());
        const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
        const std::uintptr_t last = (start + n) & ~(kHugePage - 1);
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#endif
    block.resize(n);
    return block;
}

} // namespace

Archive::Archive() : reading_(false), reader_({}) {}

Archive::Archive(std::vector<std::uint8_t> bytes)
    : reading_(true), memory_(std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes))),
      end_(static_cast<qint64>(memory_->size())), reader_(*memory_)
{
    source_ = SourceFile::inMemory(memory_);
}

Archive::Archive(const QString& path) : reading_(true), path_(path), reader_({})
{
    // Unbuffered: a large block is read by the system straight into its destination.
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        fail(QStringLiteral("Cannot open %1: %2").arg(path, file->errorString()));
        return;
    }
    if (!file->isSequential() && file->handle() >= 0) {
        file->close();
        QString error;
        source_ = SourceFile::open(path, &error);
        if (!source_) fail(error);
        end_ = source_ ? source_->size() : 0;
        return;
    }
    const QByteArray content = file->readAll();
    if (file->error() != QFileDevice::NoError) {
        fail(QStringLiteral("Cannot read %1: %2").arg(path, file->errorString()));
        return;
    }
    const auto* first = reinterpret_cast<const std::uint8_t*>(content.constData());
    memory_ = std::make_shared<const std::vector<std::uint8_t>>(first, first + content.size());
    source_ = SourceFile::inMemory(memory_);
    end_ = static_cast<qint64>(memory_->size());
    reader_ = ByteReader(*memory_);
}

Archive::Archive(const QString& path, Mode)
    : reading_(false), file_(std::make_unique<QFile>(path + QStringLiteral(".tmp"))), path_(path), reader_({})
{
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail(QStringLiteral("Cannot write %1: %2").arg(file_->fileName(), file_->errorString()));
}

Archive::~Archive() { abandon(); }

void Archive::fail(const QString& text)
{
    if (failed_) return;
    failed_ = true;
    error_ = text;
}

bool Archive::canRead(std::size_t n)
{
    if (!reading_) fail(QStringLiteral("The archive is open for writing, not reading"));
    if (reading_) fill(n);
    return reading_;
}

bool Archive::canWrite()
{
    if (reading_) fail(QStringLiteral("The archive is open for reading, not writing"));
    if (!reading_ && file_ && writer_.size() >= WindowSize) moveWindow(pos());
    return !reading_;
}

void Archive::failRead(qint64 at, const char* what)
{
    fail(QStringLiteral("Cannot read %1 at offset %2 of %3 bytes")
             .arg(QLatin1String(what))
             .arg(at)
             .arg(size()));
}

void Archive::checkRead(qint64 at, const char* what)
{
    if (reader_.failed()) failRead(at, what);
}

void Archive::checkWrite(const char* what)
{
    if (writer_.failed()) fail(QStringLiteral("Cannot write %1").arg(QLatin1String(what)));
}

void Archive::fill(std::size_t n)
{
    const qint64 windowEnd = base_ + static_cast<qint64>(data_.size());
    if (!streaming() || n <= reader_.remaining() || windowEnd == end_) return;
    // Reading on from a window that was read doubles the next one.
    if (!data_.empty()) readAhead_ = std::min(2 * readAhead_, WindowSize);
    // The window restarts at the position, so that a field on its edge is read whole.
    const qint64 at = pos();
    data_.resize(
        static_cast<std::size_t>(std::min<qint64>(static_cast<qint64>(std::max(n, readAhead_)), end_ - at)));
    base_ = at;
    if (!readFile(at, data_)) data_.clear();
    reader_ = ByteReader(data_);
}

bool Archive::readInto(std::span<std::uint8_t> to)
{
    const qint64 at = pos();
    if (streaming() && to.size() > WindowSize) {
        const auto n = static_cast<qint64>(to.size());
        // As in memory, a short read ends at the end of the bytes.
        const bool fits = n <= end_ - at;
        moveWindow(fits ? at + n : end_);
        if (!fits) failRead(at, "bytes");
        return fits && readFile(at, to);
    }
    fill(to.size());
    const auto source = reader_.bytes(to.size());
    checkRead(at, "bytes");
    if (source.size() != to.size()) return false;
    std::copy(source.begin(), source.end(), to.begin());
    return true;
}

bool Archive::readFile(qint64 at, std::span<std::uint8_t> to)
{
    // The archive reads the file it has just opened: the check before each read is the owners'.
    QString error;
    if (source_->readAt(at, to, &error, SourceFile::Check::None)) return true;
    fail(error);
    return false;
}

void Archive::writeFile(QFile& file, qint64 at, std::span<const std::uint8_t> from)
{
    const auto n = static_cast<qint64>(from.size());
    end_ = std::max(end_, at + n);
    // After a failure nothing more goes to the file: commit() refuses it anyway.
    if (failed_ || n == 0) return;
    // A write of more than a couple of megabytes into the page cache can take ten times as long
    // per byte as the same bytes written a window at a time (seen on Linux 6.18 with ext4).
    constexpr qint64 Step = qint64(WindowSize);
    for (qint64 done = 0; done < n;) {
        const ssize_t put = ::pwrite(file.handle(), from.data() + done, std::size_t(std::min(n - done, Step)),
                                     off_t(at + done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            fail(QStringLiteral("Cannot write %1: %2")
                     .arg(file.fileName(), QString::fromLocal8Bit(std::strerror(errno))));
            return;
        }
        done += put;
    }
}

void Archive::moveWindow(qint64 at)
{
    if (reading_) {
        data_.clear();
        reader_ = ByteReader(data_);
        readAhead_ = FirstWindowSize;
    } else {
        // The pending copy goes first: a size field filled in later may lie among the bytes it
        // copies.
        flushPending();
        writeFile(*file_, base_, writer_.data());
        writer_.clear();
    }
    base_ = at;
}

std::uint32_t Archive::readUINT()
{
    if (!canRead(4)) return 0;
    const qint64 at = pos();
    const std::uint32_t value = reader_.u32be();
    checkRead(at, "a 32-bit number");
    return value;
}

void Archive::writeUINT(std::uint32_t value)
{
    if (canWrite()) writer_.u32be(value);
}

std::int32_t Archive::readInt() { return static_cast<std::int32_t>(readUINT()); }

void Archive::writeInt(std::int32_t value) { writeUINT(static_cast<std::uint32_t>(value)); }

std::uint16_t Archive::readWORD()
{
    if (!canRead(2)) return 0;
    const qint64 at = pos();
    const std::uint16_t value = reader_.u16be();
    checkRead(at, "a 16-bit number");
    return value;
}

void Archive::writeWORD(std::uint16_t value)
{
    if (canWrite()) writer_.u16be(value);
}

std::uint32_t Archive::readValueR(int n)
{
    if (!canRead(static_cast<std::size_t>(std::clamp(n, 0, 4)))) return 0;
    const qint64 at = pos();
    const std::uint32_t value = reader_.valueLE(n);
    checkRead(at, "a little-endian number");
    return value;
}

void Archive::writeValueR(std::uint32_t value, int n)
{
    if (!canWrite()) return;
    writer_.valueLE(value, n);
    checkWrite("a little-endian number of more than 4 bytes");
}

std::uint8_t Archive::readBYTE()
{
    if (!canRead(1)) return 0;
    const qint64 at = pos();
    const std::uint8_t value = reader_.u8();
    checkRead(at, "a byte");
    return value;
}

void Archive::writeBYTE(std::uint8_t value)
{
    if (canWrite()) writer_.u8(value);
}

std::uint32_t Archive::readVarLength()
{
    if (!canRead(4)) return 0;
    const qint64 at = pos();
    const std::uint32_t value = reader_.varLength();
    checkRead(at, "a variable-length number");
    return value;
}

void Archive::writeVarLength(std::uint32_t value)
{
    if (!canWrite()) return;
    writer_.varLength(value);
    checkWrite("a variable-length number above 0x0FFFFFFF");
}

QString Archive::readText(int n)
{
    if (!canRead(static_cast<std::size_t>(std::max(n, 0)))) return {};
    const qint64 at = pos();
    QString text = reader_.text(n);
    checkRead(at, "a text field");
    return text;
}

void Archive::writeText(const QString& text, int n)
{
    if (canWrite()) writer_.text(text, n);
}

Archive& Archive::operator<<(std::uint8_t value)
{
    writeBYTE(value);
    return *this;
}

Archive& Archive::operator>>(std::uint8_t& value)
{
    value = readBYTE();
    return *this;
}

Archive& Archive::operator<<(const Buffer& buffer)
{
    write(buffer.bytes());
    return *this;
}

Archive& Archive::operator>>(Buffer& buffer)
{
    read(std::span<std::uint8_t>(buffer.data(), static_cast<std::size_t>(buffer.size())));
    return *this;
}

Archive& Archive::operator<<(const QString& text)
{
    if (canWrite()) writer_.zeroText(text);
    return *this;
}

Archive& Archive::operator>>(QString& text)
{
    text.clear();
    if (!canRead()) return *this;
    // The window widens until the zero byte (or the end) is in it, doubling so that a long text
    // is read a bounded number of times.
    while (streaming() && base_ + static_cast<qint64>(data_.size()) < end_ &&
           std::find(data_.begin() + static_cast<std::ptrdiff_t>(reader_.pos()), data_.end(), 0) ==
               data_.end())
        fill(std::max(WindowSize, 2 * reader_.remaining()));
    const qint64 at = pos();
    text = reader_.zeroText();
    checkRead(at, "a zero-terminated text");
    return *this;
}

bool Archive::read(std::span<std::uint8_t> bytes)
{
    if (canRead() && readInto(bytes)) return true;
    std::fill(bytes.begin(), bytes.end(), 0);
    return false;
}

void Archive::write(std::span<const std::uint8_t> bytes)
{
    if (!canWrite()) return;
    if (!file_ || bytes.size() <= WindowSize) {
        writer_.bytes(bytes);
        return;
    }
    // A large block goes from its owner straight to the file.
    const qint64 at = pos();
    moveWindow(at);
    writeFile(*file_, at, bytes);
    base_ = at + static_cast<qint64>(bytes.size());
}

bool Archive::readBuffer(Buffer& buffer)
{
    buffer.reset();
    const qint64 at = pos();
    const std::uint32_t length = readUINT();
    if (failed_) return false;
    const qint64 left = size() - pos();
    if (static_cast<qint64>(length) > left) {
        fail(QStringLiteral("Cannot read a block of %1 bytes at offset %2: only %3 bytes follow")
                 .arg(length)
                 .arg(at)
                 .arg(left));
        return false;
    }
    std::vector<std::uint8_t> bytes = blockOf(length);
    if (!readInto(bytes)) return false;
    buffer = Buffer(std::move(bytes));
    return true;
}

void Archive::writeBuffer(const Buffer& buffer)
{
    writeUINT(static_cast<std::uint32_t>(buffer.size()));
    write(buffer.bytes());
}

bool Archive::readBlock(LazyBuffer& block)
{
    block.reset();
    const qint64 at = pos();
    const std::uint32_t length = readUINT();
    if (failed_) return false;
    const qint64 start = pos();
    const qint64 left = size() - start;
    // A Buffer counts in int: a longer block could never be edited or stored again.
    if (static_cast<qint64>(length) > left || length > std::uint32_t(std::numeric_limits<int>::max())) {
        fail(QStringLiteral("Cannot read a block of %1 bytes at offset %2: only %3 bytes follow")
                 .arg(length)
                 .arg(at)
                 .arg(left));
        return false;
    }
    block = LazyBuffer(SourceRange{source_, start, length});
    seek(start + length);
    return !failed_;
}

void Archive::writeBlock(const LazyBuffer& block)
{
    // Bytes that could not be read are never written as if they had been.
    if (!block.error().isEmpty()) {
        fail(QStringLiteral("Cannot store data that could not be read: %1").arg(block.error()));
        return;
    }
    writeUINT(static_cast<std::uint32_t>(block.size()));
    if (const SourceRange* range = block.reference())
        writeRange(*range);
    else
        write(block.buffer().bytes());
}

void Archive::writeRange(const SourceRange& range)
{
    if (!canWrite() || failed_) return;
    const std::span<const std::uint8_t> memory = range.source->memory();
    if (range.source->handle() < 0) {
        write(memory.subspan(std::size_t(range.offset), std::size_t(range.length)));
        return;
    }
    if (std::find(copiedFrom_.begin(), copiedFrom_.end(), range.source) == copiedFrom_.end()) {
        QString why;
        if (!range.source->unchanged(&why)) {
            fail(QStringLiteral("Cannot store: %1").arg(why));
            return;
        }
        copiedFrom_.push_back(range.source);
    }
    if (!file_) {
        // Into memory: a step at a time, never the whole range twice.
        std::vector<std::uint8_t> step;
        for (std::int64_t done = 0; done < range.length && !failed_; done += std::int64_t(step.size())) {
            step.resize(std::size_t(std::min(range.length - done, RangeCopy::StepSize)));
            QString error;
            if (!range.source->readAt(range.offset + done, step, &error, SourceFile::Check::None))
                fail(error);
            else
                writer_.bytes(step);
        }
        return;
    }
    const qint64 at = pos();
    if (joinsPending(range)) {
        writer_.clear();
        pending_->length = at + range.length - pending_->to;
    } else {
        // The window and the copy before go to the file; this copy waits for the next range.
        moveWindow(at);
        pending_ = PendingCopy{range.source, range.offset, at, range.length};
    }
    end_ = std::max(end_, at + range.length);
    base_ = at + range.length;
}

bool Archive::joinsPending(const SourceRange& range) const
{
    // Only the few bytes of a record's fields are compared, never samples.
    constexpr qint64 MaxBetween = 256;
    if (!pending_ || pending_->source != range.source) return false;
    const qint64 from = pending_->from + pending_->length;
    const qint64 to = pending_->to + pending_->length;
    const qint64 between = range.offset - from;
    if (between < 0 || between > MaxBetween || base_ != to || pos() != to + between ||
        qint64(writer_.size()) != between)
        return false;
    std::vector<std::uint8_t> source(static_cast<std::size_t>(between));
    return range.source->readAt(from, source, nullptr, SourceFile::Check::None) && source == writer_.data();
}

void Archive::flushPending()
{
    if (!pending_) return;
    const PendingCopy copy = *pending_;
    pending_.reset();
    QString error;
    if (!failed_ &&
        !RangeCopy::copy(copy.source->handle(), copy.from, file_->handle(), copy.to, copy.length, &error))
        fail(QStringLiteral("Cannot copy %1 bytes from %2 into %3: %4")
                 .arg(copy.length)
                 .arg(copy.source->path(), file_->fileName(), error));
}

qint64 Archive::pos() const { return base_ + static_cast<qint64>(reading_ ? reader_.pos() : writer_.pos()); }

qint64 Archive::size() const
{
    return reading_ ? end_ : std::max(end_, base_ + static_cast<qint64>(writer_.size()));
}

void Archive::seek(qint64 pos)
{
    if (pos < 0 || pos > size()) {
        fail(QStringLiteral("Cannot move to offset %1 of %2 bytes").arg(pos).arg(size()));
        return;
    }
    const auto windowSize = static_cast<qint64>(reading_ ? reader_.size() : writer_.size());
    if (pos < base_ || pos > base_ + windowSize)
        moveWindow(pos);
    else if (reading_)
        reader_.seek(static_cast<std::size_t>(pos - base_));
    else
        writer_.seek(static_cast<std::size_t>(pos - base_));
}

void Archive::skip(qint64 n)
{
    const qint64 to = pos() + n;
    if (reading_ || to <= size()) {
        seek(to);
        return;
    }
    // Writing past the end writes zero bytes.
    seek(size());
    writer_.skip(static_cast<std::size_t>(to - size()));
}

void Archive::willPutSize()
{
    if (!canWrite()) return;
    sizeFields_.push_back(pos());
    writer_.u32be(0);
}

void Archive::putSize()
{
    if (!canWrite()) return;
    if (sizeFields_.empty()) {
        fail(QStringLiteral("A size was put without a reserved size field"));
        return;
    }
    const qint64 field = sizeFields_.back();
    sizeFields_.pop_back();
    const qint64 end = pos();
    if (end < field + 4 || end - field - 4 > std::numeric_limits<std::uint32_t>::max()) {
        fail(QStringLiteral("The block after the size field at offset %1 does not fit a 32-bit size")
                 .arg(field));
        return;
    }
    // The field may already be in the file: seek() then writes it there.
    seek(field);
    writer_.u32be(static_cast<std::uint32_t>(end - field - 4));
    seek(end);
}

namespace {

std::filesystem::path toPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

} // namespace

bool Archive::commit(const QString& path)
{
    if (!canWrite() || failed_) return abandon();
    if (!sizeFields_.empty()) {
        fail(QStringLiteral("A reserved size field at offset %1 was never filled").arg(sizeFields_.back()));
        return abandon();
    }
    if (file_) {
        if (path != path_) {
            fail(QStringLiteral("The archive writes to %1, not to %2").arg(path_, path));
            return abandon();
        }
        moveWindow(pos());
        return finish(*file_, path);
    }
    QFile file(path + QStringLiteral(".tmp"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString()));
        return false;
    }
    writeFile(file, 0, writer_.data());
    return finish(file, path);
}

bool Archive::finish(QFile& file, const QString& path)
{
    bool ok = !failed_ && file.flush();
#ifdef Q_OS_UNIX
    // The rename must not reach the disk before the bytes do.
    ok = ok && ::fsync(file.handle()) == 0;
#endif
    const QString writeError = file.errorString();
    file.close();
    if (!ok) {
        QFile::remove(file.fileName());
        fail(QStringLiteral("Cannot write %1: %2").arg(file.fileName(), writeError));
        return false;
    }
    std::error_code error;
    std::filesystem::rename(toPath(file.fileName()), toPath(path), error);
    if (error) {
        QFile::remove(file.fileName());
        fail(QStringLiteral("Cannot replace %1: %2").arg(path, QString::fromStdString(error.message())));
        return false;
    }
    // A document stored over the file it refers to goes on reading the old file, which it still
    // holds open, and compares later stores with the new one.
    const QString stored = QFileInfo(path).canonicalFilePath();
    for (const auto& source : copiedFrom_)
        if (QFileInfo(source->path()).canonicalFilePath() == stored) source->pathReplaced();
    return true;
}

bool Archive::abandon()
{
    // Only a temporary file this archive opened is removed, never one it could not create.
    if (!reading_ && file_ && file_->isOpen()) {
        file_->close();
        QFile::remove(file_->fileName());
    }
    return false;
}

const std::vector<std::uint8_t>& Archive::bytes() const
{
    if (!reading_) return writer_.data();
    static const std::vector<std::uint8_t> none;
    if (!source_) return none;
    if (!streaming()) return *memory_;
    // Some parsers look at the whole content; only they make a streamed archive hold it all.
    if (!whole_) {
        whole_.emplace(static_cast<std::size_t>(end_));
        // A file that can no longer be read gives no bytes, which its parser refuses.
        if (!source_->readAt(0, *whole_, nullptr, SourceFile::Check::None)) whole_->clear();
    }
    return *whole_;
}
