#include "core/Archive.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr qint64 kWindow = static_cast<qint64>(Archive::WindowSize);

Bytes load(const QString& path)
{
    QFile file(path);
    const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    return Bytes(content.begin(), content.end());
}

// Bytes that differ from their neighbours and never repeat within a window, so that a byte
// read from the wrong offset shows.
Bytes pattern(std::size_t n)
{
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) | 1);
    return bytes;
}

} // namespace

TEST(Archive, WritesAndReadsEveryFieldAndNestsSizeFields)
{
    Archive out;
    out.writeUINT(0xDEADBEEF);
    out.writeInt(-2);
    out.writeWORD(0x1234);
    out.writeValueR(0x00ABCDEF, 3);
    out.writeBYTE(0x7F);
    out.writeVarLength(0x2000);
    out.writeText("Voice", 8);
    out.writeText("XY");
    out << std::uint8_t(0x99) << Buffer({0xF0, 0xF7}) << QString("Hi");
    out.writeBuffer(Buffer({1, 2, 3}));
    const Bytes expected = hexBytes("DEADBEEF FFFFFFFE 1234 EFCDAB 7F C000 566F696365000000 5859 99 F0F7 "
                                    "486900 00000003 010203");
    ASSERT_EQ(hex(out.bytes()), hex(expected));

    Archive in(expected);
    std::uint8_t byte = 0;
    Buffer two, block;
    two.allocate(2);
    QString text;
    // A braced list evaluates in order.
    const std::vector<qint64> numbers{in.readUINT(),    in.readInt(),  in.readWORD(),
                                      in.readValueR(3), in.readBYTE(), in.readVarLength()};
    EXPECT_EQ(numbers, (std::vector<qint64>{0xDEADBEEF, -2, 0x1234, 0xABCDEF, 0x7F, 0x2000}));
    EXPECT_EQ((QStringList{in.readText(8), in.readText(2)}), QStringList({"Voice", "XY"}));
    in >> byte >> two >> text;
    EXPECT_TRUE(in.readBuffer(block));
    EXPECT_EQ(QString::number(byte, 16) + two.toString() + text + block.toString(), "99F0 F7Hi01 02 03");
    EXPECT_TRUE(in.eof() && !in.failed());

    // Each size field counts the bytes written after it, up to its own putSize.
    Archive sized;
    sized.writeText("OUT ", 4);
    sized.willPutSize();
    sized.writeWORD(0xAAAA);
    sized.willPutSize();
    sized.writeBYTE(0xBB);
    sized.putSize();
    sized.writeBYTE(0xCC);
    sized.putSize();
    sized.writeBYTE(0xDD);
    EXPECT_EQ(hex(sized.bytes()), "4F 55 54 20 00 00 00 08 AA AA 00 00 00 01 BB CC DD");
    Archive unmatched;
    unmatched.putSize();
    EXPECT_EQ(unmatched.errorText(), "A size was put without a reserved size field");
}

TEST(Archive, FailuresAreStickyAndHugeLengthsAllocateNothing)
{
    Archive in(Bytes{0x00, 0x01, 0x02});
    EXPECT_EQ(in.readUINT() + in.readBYTE(), 0U);
    EXPECT_EQ(in.errorText(), "Cannot read a 32-bit number at offset 0 of 3 bytes");
    Archive huge(Bytes{0xFF, 0xFF, 0xFF, 0xF0, 1, 2});
    Buffer buffer({9});
    EXPECT_FALSE(huge.readBuffer(buffer) || !buffer.isEmpty());
    EXPECT_EQ(huge.errorText(), "Cannot read a block of 4294967280 bytes at offset 0: only 2 bytes follow");
    Archive five(Bytes{0x81, 0x80, 0x80, 0x80, 0x00});
    EXPECT_EQ(five.readVarLength(), 0U);
    EXPECT_EQ(five.errorText(), "Cannot read a variable-length number at offset 0 of 5 bytes");
    Archive wrongWay(Bytes{1});
    wrongWay.writeBYTE(1);
    EXPECT_EQ(wrongWay.errorText(), "The archive is open for reading, not writing");
}

// An archive in memory and one streamed to target.tmp keep the user's file the same way.
TEST(Archive, CommitReplacesTheFileOnlyWhenTheWriteSucceeds)
{
    for (const bool streamed : {false, true}) {
        SCOPED_TRACE(streamed ? "streamed" : "in memory");
        QTemporaryDir dir;
        const QString target = dir.filePath("library.x0v"), folder = dir.filePath("folder");
        ASSERT_TRUE(QDir().mkdir(folder));
        const auto nothing = [](Archive&) {};
        const auto attempt = [&](const QString& path, const std::function<void(Archive&)>& fill) {
            auto archive = streamed ? std::make_unique<Archive>(path, Archive::Mode::Write)
                                    : std::make_unique<Archive>();
            archive->write(pattern(static_cast<std::size_t>(2 * kWindow)));
            fill(*archive);
            return archive->commit(path) ? QString("ok") : archive->errorText();
        };
        EXPECT_EQ(attempt(target, [](Archive& a) { a.writeVarLength(0xFFFFFFFF); }),
                  "Cannot write a variable-length number above 0x0FFFFFFF");
        EXPECT_EQ(attempt(target, [](Archive& a) { a.willPutSize(); }),
                  QStringLiteral("A reserved size field at offset %1 was never filled").arg(2 * kWindow));
        EXPECT_FALSE(QFile::exists(target));
        // Nothing can be renamed over a folder; the temporary file goes away.
        EXPECT_TRUE(attempt(folder, nothing).startsWith("Cannot replace " + folder));
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_FALSE(QFile::exists(folder + ".tmp") || QFile::exists(target + ".tmp"));
        EXPECT_EQ(attempt(target, nothing), "ok");
        EXPECT_EQ(load(target), pattern(static_cast<std::size_t>(2 * kWindow)));
        EXPECT_FALSE(QFile::exists(target + ".tmp"));
        // The temporary file's name is taken by a folder: the old file stays.
        ASSERT_TRUE(QDir().mkdir(target + ".tmp"));
        EXPECT_TRUE(attempt(target, nothing).startsWith("Cannot write " + target + ".tmp"));
        EXPECT_EQ(load(target), pattern(static_cast<std::size_t>(2 * kWindow)));
    }

    QTemporaryDir dir;
    const QString target = dir.filePath("library.x3w");
    {
        Archive abandoned(target, Archive::Mode::Write);
        abandoned.write(pattern(static_cast<std::size_t>(2 * kWindow)));
        EXPECT_TRUE(QFile::exists(target + ".tmp"));
    }
    EXPECT_FALSE(QFile::exists(target + ".tmp"));
    Archive elsewhere(target, Archive::Mode::Write);
    EXPECT_FALSE(elsewhere.commit(dir.filePath("other.x3w")));
    EXPECT_EQ(elsewhere.errorText(),
              "The archive writes to " + target + ", not to " + dir.filePath("other.x3w"));
}

// Every read runs over a window edge of the streamed file; its answers and errors are the memory's.
TEST(Archive, StreamedAndInMemoryArchivesAgreeAcrossWindowEdges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("library.x3w");
    Bytes bytes = pattern(static_cast<std::size_t>(2 * kWindow + 100));
    // A size field, then a block larger than the window; a zero-terminated text across the first edge.
    std::ranges::copy(hexBytes("00100010"), bytes.begin() + 100);
    std::copy_n("Edge", 5, bytes.begin() + kWindow - 2);
    // A block length that runs past the end, at the window edge.
    std::ranges::copy(hexBytes("00200000"), bytes.begin() + 2 * kWindow - 2);
    Archive file;
    file.write(bytes);
    ASSERT_TRUE(file.commit(path));
    struct Seen {
        std::vector<qint64> numbers;
        QString text, field, error;
        Bytes block, raw;
        bool operator==(const Seen&) const = default;
    };
    // Each case ends in one failure, so that the errors of both agree too.
    const std::function<void(Archive&, Seen&)> cases[] = {
        [](Archive& in, Seen& seen) {
            in.seek(kWindow - 3);
            seen.numbers.push_back(in.readUINT());
            in.seek(kWindow - 2);
            in >> seen.text;
            seen.numbers.push_back(in.pos());
            in.seek(kWindow - 2);
            seen.field = in.readText(5);
            in.seek(kWindow - 1);
            seen.numbers.push_back(in.readValueR(3));
            in.seek(100);
            Buffer buffer;
            seen.numbers.push_back(in.readBuffer(buffer));
            seen.block = buffer.vector();
            seen.numbers.push_back(in.pos());
            in.skip(-20);
            seen.raw.resize(40);
            seen.numbers.push_back(in.read(seen.raw));
            in.seek(in.size() - 3);
            seen.numbers.push_back(in.readUINT());
        },
        [](Archive& in, Seen& seen) {
            in.seek(2 * kWindow - 2);
            Buffer buffer({1});
            seen.numbers.push_back(in.readBuffer(buffer) || !buffer.isEmpty());
        },
        [](Archive& in, Seen& seen) {
            in.seek(kWindow);
            seen.raw.assign(static_cast<std::size_t>(kWindow + 101), 7);
            seen.numbers.push_back(in.read(seen.raw));
        },
        [](Archive& in, Seen& seen) {
            in.seek(2 * kWindow + 2);
            seen.text = "old";
            in >> seen.text;
        },
        [](Archive& in, Seen&) { in.seek(in.size() + 1); },
    };
    Seen first;
    QStringList errors;
    for (const auto& use : cases) {
        Archive streamed(path), memory(bytes);
        Seen fromFile, fromMemory;
        use(streamed, fromFile);
        use(memory, fromMemory);
        fromFile.error = streamed.errorText();
        fromMemory.error = memory.errorText();
        fromFile.numbers.push_back(streamed.pos());
        fromMemory.numbers.push_back(memory.pos());
        EXPECT_EQ(fromFile, fromMemory) << fromFile.error.toStdString();
        if (errors.isEmpty()) first = fromFile;
        errors << fromFile.error;
    }
    // The reads really crossed the edges; the errors say where.
    EXPECT_EQ(first.text + first.field, "EdgeEdge");
    EXPECT_EQ(first.block, Bytes(bytes.begin() + 104, bytes.begin() + 104 + kWindow + 16));
    EXPECT_EQ(errors.join('\n'),
              QStringLiteral("Cannot read a 32-bit number at offset %1 of %4 bytes\n"
                             "Cannot read a block of 2097152 bytes at offset %2: only 98 bytes follow\n"
                             "Cannot read bytes at offset %3 of %4 bytes\n"
                             "Cannot read a zero-terminated text at offset %5 of %4 bytes\n"
                             "Cannot move to offset %6 of %4 bytes")
                  .arg(2 * kWindow + 97)
                  .arg(2 * kWindow - 2)
                  .arg(kWindow)
                  .arg(2 * kWindow + 100)
                  .arg(2 * kWindow + 2)
                  .arg(2 * kWindow + 101));
    Archive streamed(path);
    EXPECT_EQ(streamed.bytes(), bytes);
}

TEST(Archive, StreamedWriteMatchesMemoryAndPatchesFlushedBytes)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("stored.x3w"), copy = dir.filePath("memory.x3w");
    const Bytes big = pattern(static_cast<std::size_t>(kWindow + 10));
    const auto store = [&](Archive& out, const QString& path) {
        out.writeText("HEAD", 4);
        out.willPutSize();
        out.write(big);
        // Small fields fill the window more than once.
        for (std::uint32_t i = 0; i < kWindow / 4 + 10; ++i) out.writeUINT(i);
        out.willPutSize();
        out.writeBYTE(0x5A);
        out.putSize();
        out.putSize();
        const qint64 end = out.pos();
        out.seek(2);
        out.writeWORD(0xABCD);
        out.seek(end);
        out.skip(3);
        EXPECT_TRUE(out.commit(path)) << out.errorText().toStdString();
        return end;
    };
    Archive streamed(target, Archive::Mode::Write), memory;
    const qint64 end = store(streamed, target);
    EXPECT_EQ(store(memory, copy), end);
    const Bytes stored = load(target);
    EXPECT_EQ(stored, load(copy));
    ASSERT_EQ(static_cast<qint64>(stored.size()), end + 3);
    EXPECT_EQ(hex(Bytes(stored.begin(), stored.begin() + 4)), "48 45 AB CD");
    EXPECT_EQ(u32At(stored, 4), static_cast<std::uint32_t>(end - 8));
    EXPECT_EQ(Bytes(stored.begin() + 8, stored.begin() + 8 + kWindow + 10), big);
    EXPECT_EQ(u32At(stored, end - 9), static_cast<std::uint32_t>(kWindow / 4 + 9));
    EXPECT_EQ(hex(Bytes(stored.end() - 8, stored.end())), "00 00 00 01 5A 00 00 00");
}
