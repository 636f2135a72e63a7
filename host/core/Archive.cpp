#include "core/Archive.h"

#include <QFile>
#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

Archive::Archive() : reading_(false), reader_({}) {}

Archive::Archive(std::vector<std::uint8_t> bytes) : reading_(true), data_(std::move(bytes)), reader_(data_) {}

Archive::Archive(const QString& path) : reading_(true), reader_({})
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
        return;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        return;
    }
    data_.assign(content.begin(), content.end());
    reader_ = ByteReader(data_);
}

void Archive::fail(const QString& text)
{
    if (failed_) return;
    failed_ = true;
    error_ = text;
}

bool Archive::canRead()
{
    if (!reading_) fail(QStringLiteral("The archive is open for writing, not reading"));
    return reading_;
}

bool Archive::canWrite()
{
    if (reading_) fail(QStringLiteral("The archive is open for reading, not writing"));
    return !reading_;
}

void Archive::checkRead(qint64 at, const char* what)
{
    if (reader_.failed())
        fail(QStringLiteral("Cannot read %1 at offset %2 of %3 bytes")
                 .arg(QLatin1String(what))
                 .arg(at)
                 .arg(size()));
}

void Archive::checkWrite(const char* what)
{
    if (writer_.failed()) fail(QStringLiteral("Cannot write %1").arg(QLatin1String(what)));
}

std::uint32_t Archive::readUINT()
{
    if (!canRead()) return 0;
    const qint64 at = pos();
    const std::uint32_t value = reader_.u32be();
    checkRead(at, "a 32-bit number");
    return value;
}

void Archive::writeUINT(std::uint32_t value)
{
    if (canWrite()) writer_.u32be(value);
}

std::int32_t Archive::readInt()
{
    return static_cast<std::int32_t>(readUINT());
}

void Archive::writeInt(std::int32_t value)
{
    writeUINT(static_cast<std::uint32_t>(value));
}

std::uint16_t Archive::readWORD()
{
    if (!canRead()) return 0;
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
    if (!canRead()) return 0;
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
    if (!canRead()) return 0;
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
    if (!canRead()) return 0;
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
    if (!canRead()) return {};
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
    const qint64 at = pos();
    text = reader_.zeroText();
    checkRead(at, "a zero-terminated text");
    return *this;
}

bool Archive::read(std::span<std::uint8_t> bytes)
{
    std::fill(bytes.begin(), bytes.end(), 0);
    if (!canRead()) return false;
    const qint64 at = pos();
    const auto source = reader_.bytes(bytes.size());
    checkRead(at, "bytes");
    if (source.size() != bytes.size()) return false;
    std::copy(source.begin(), source.end(), bytes.begin());
    return true;
}

void Archive::write(std::span<const std::uint8_t> bytes)
{
    if (canWrite()) writer_.bytes(bytes);
}

bool Archive::readBuffer(Buffer& buffer)
{
    buffer.reset();
    const qint64 at = pos();
    const std::uint32_t length = readUINT();
    if (failed_) return false;
    if (length > reader_.remaining()) {
        fail(QStringLiteral("Cannot read a block of %1 bytes at offset %2: only %3 bytes follow")
                 .arg(length)
                 .arg(at)
                 .arg(reader_.remaining()));
        return false;
    }
    const auto source = reader_.bytes(length);
    buffer = Buffer(std::vector<std::uint8_t>(source.begin(), source.end()));
    return true;
}

void Archive::writeBuffer(const Buffer& buffer)
{
    writeUINT(static_cast<std::uint32_t>(buffer.size()));
    write(buffer.bytes());
}

qint64 Archive::pos() const
{
    return static_cast<qint64>(reading_ ? reader_.pos() : writer_.pos());
}

qint64 Archive::size() const
{
    return static_cast<qint64>(reading_ ? reader_.size() : writer_.size());
}

void Archive::seek(qint64 pos)
{
    if (pos < 0 || pos > size()) {
        fail(QStringLiteral("Cannot move to offset %1 of %2 bytes").arg(pos).arg(size()));
        return;
    }
    if (reading_)
        reader_.seek(static_cast<std::size_t>(pos));
    else
        writer_.seek(static_cast<std::size_t>(pos));
}

void Archive::skip(qint64 n)
{
    if (!reading_ && n > 0)
        writer_.skip(static_cast<std::size_t>(n));
    else
        seek(pos() + n);
}

void Archive::willPutSize()
{
    if (!canWrite()) return;
    sizeFields_.push_back(writer_.pos());
    writer_.u32be(0);
}

void Archive::putSize()
{
    if (!canWrite()) return;
    if (sizeFields_.empty()) {
        fail(QStringLiteral("A size was put without a reserved size field"));
        return;
    }
    const std::size_t field = sizeFields_.back();
    sizeFields_.pop_back();
    const std::size_t end = writer_.pos();
    if (end < field + 4 || end - field - 4 > std::numeric_limits<std::uint32_t>::max()) {
        fail(QStringLiteral("The block after the size field at offset %1 does not fit a 32-bit size")
                 .arg(field));
        return;
    }
    writer_.seek(field);
    writer_.u32be(static_cast<std::uint32_t>(end - field - 4));
    writer_.seek(end);
}

namespace {

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

} // namespace

bool Archive::commit(const QString& path)
{
    if (!canWrite() || failed_) return false;
    if (!sizeFields_.empty()) {
        fail(QStringLiteral("A reserved size field at offset %1 was never filled").arg(sizeFields_.back()));
        return false;
    }
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(QStringLiteral("Cannot write %1: %2").arg(temporary, file.errorString()));
        return false;
    }
    const auto& bytes = writer_.data();
    const qint64 written =
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    bool ok = written == static_cast<qint64>(bytes.size()) && file.flush();
#ifdef Q_OS_UNIX
    // The rename must not reach the disk before the bytes do.
    ok = ok && ::fsync(file.handle()) == 0;
#endif
    const QString writeError = file.errorString();
    file.close();
    if (!ok) {
        QFile::remove(temporary);
        fail(QStringLiteral("Cannot write %1: %2").arg(temporary, writeError));
        return false;
    }
    std::error_code error;
    std::filesystem::rename(toPath(temporary), toPath(path), error);
    if (error) {
        QFile::remove(temporary);
        fail(QStringLiteral("Cannot replace %1: %2").arg(path, QString::fromStdString(error.message())));
        return false;
    }
    return true;
}

const std::vector<std::uint8_t>& Archive::bytes() const
{
    return reading_ ? data_ : writer_.data();
}
