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

void save(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
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
    EXPECT_FALSE(out.failed());
    const Bytes expected = {0xDE, 0xAD, 0xBE, 0xEF, 0xFF, 0xFF, 0xFF, 0xFE, 0x12, 0x34, 0xEF, 0xCD, 0xAB,
                            0x7F, 0xC0, 0x00, 'V',  'o',  'i',  'c',  'e',  0,    0,    0,    'X',  'Y',
                            0x99, 0xF0, 0xF7, 'H',  'i',  0,    0,    0,    0,    3,    1,    2,    3};
    ASSERT_EQ(out.bytes(), expected);

    Archive in(expected);
    EXPECT_EQ(in.readUINT(), 0xDEADBEEFU);
    EXPECT_EQ(in.readInt(), -2);
    EXPECT_EQ(in.readWORD(), 0x1234);
    EXPECT_EQ(in.readValueR(3), 0xABCDEFU);
    EXPECT_EQ(in.readBYTE(), 0x7F);
    EXPECT_EQ(in.readVarLength(), 0x2000U);
    EXPECT_EQ(in.readText(8), "Voice");
    EXPECT_EQ(in.readText(2), "XY");
    std::uint8_t byte = 0;
    Buffer two;
    two.allocate(2);
    QString text;
    in >> byte >> two >> text;
    EXPECT_EQ(byte, 0x99);
    EXPECT_EQ(two.toString(), "F0 F7");
    EXPECT_EQ(text, "Hi");
    Buffer block;
    EXPECT_TRUE(in.readBuffer(block));
    EXPECT_EQ(block.toString(), "01 02 03");
    EXPECT_TRUE(in.eof());
    in.seek(8);
    in.skip(2);
    EXPECT_TRUE(in.reached(10) && !in.reached(11));
    std::uint8_t raw[3] = {};
    EXPECT_TRUE(in.read(raw));
    EXPECT_EQ(raw[2], 0xAB);
    EXPECT_FALSE(in.failed());

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
    EXPECT_EQ(sized.bytes(),
              (Bytes{'O', 'U', 'T', ' ', 0, 0, 0, 0x08, 0xAA, 0xAA, 0, 0, 0, 1, 0xBB, 0xCC, 0xDD}));
    EXPECT_EQ(sized.pos(), 17);
    Archive unmatched;
    unmatched.putSize();
    EXPECT_EQ(unmatched.errorText(), "A size was put without a reserved size field");
}

// The texts of short reads are shared with streamed files and checked there; these are the rest.
TEST(Archive, FailuresAreStickyAndHugeLengthsAllocateNothing)
{
    Archive in(Bytes{0x00, 0x01, 0x02});
    EXPECT_EQ(in.readUINT(), 0U);
    EXPECT_EQ(in.readBYTE(), 0);
    EXPECT_EQ(in.errorText(), "Cannot read a 32-bit number at offset 0 of 3 bytes");

    Archive huge(Bytes{0xFF, 0xFF, 0xFF, 0xF0, 1, 2});
    Buffer buffer({9});
    EXPECT_FALSE(huge.readBuffer(buffer));
    EXPECT_TRUE(buffer.isEmpty());
    EXPECT_EQ(huge.errorText(), "Cannot read a block of 4294967280 bytes at offset 0: only 2 bytes follow");

    Archive five(Bytes{0x81, 0x80, 0x80, 0x80, 0x00});
    EXPECT_EQ(five.readVarLength(), 0U);
    EXPECT_EQ(five.errorText(), "Cannot read a variable-length number at offset 0 of 5 bytes");

    Archive wrongWay(Bytes{1});
    wrongWay.writeBYTE(1);
    EXPECT_EQ(wrongWay.errorText(), "The archive is open for reading, not writing");
    Archive writer;
    writer.readBYTE();
    EXPECT_EQ(writer.errorText(), "The archive is open for writing, not reading");
}

// An archive in memory and one streamed to target.tmp keep the user's file the same way.
TEST(Archive, CommitReplacesTheFileOnlyWhenTheWriteSucceeds)
{
    for (const bool streamed : {false, true}) {
        SCOPED_TRACE(streamed ? "streamed" : "in memory");
        QTemporaryDir dir;
        const QString target = dir.filePath("library.x0v");
        save(target, Bytes{'o', 'l', 'd'});
        const Bytes big = pattern(static_cast<std::size_t>(2 * kWindow));
        const auto make = [&](const QString& path) {
            return streamed ? std::make_unique<Archive>(path, Archive::Mode::Write)
                            : std::make_unique<Archive>();
        };

        auto broken = make(target);
        broken->write(big);
        broken->writeVarLength(0xFFFFFFFF);
        EXPECT_FALSE(broken->commit(target));
        EXPECT_EQ(broken->errorText(), "Cannot write a variable-length number above 0x0FFFFFFF");

        auto open = make(target);
        open->write(big);
        open->willPutSize();
        EXPECT_FALSE(open->commit(target));
        EXPECT_EQ(open->errorText(),
                  QStringLiteral("A reserved size field at offset %1 was never filled").arg(2 * kWindow));
        EXPECT_FALSE(QFile::exists(target + ".tmp"));
        EXPECT_EQ(load(target), (Bytes{'o', 'l', 'd'}));

        // Nothing can be renamed over a folder; the temporary file goes away.
        const QString folder = dir.filePath("folder");
        ASSERT_TRUE(QDir().mkdir(folder));
        auto onFolder = make(folder);
        onFolder->write(big);
        EXPECT_FALSE(onFolder->commit(folder));
        EXPECT_TRUE(onFolder->errorText().startsWith("Cannot replace " + folder))
            << onFolder->errorText().toStdString();
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_FALSE(QFile::exists(folder + ".tmp"));

        auto good = make(target);
        good->writeText("new", -1);
        ASSERT_TRUE(good->commit(target)) << good->errorText().toStdString();
        EXPECT_FALSE(QFile::exists(target + ".tmp"));
        EXPECT_EQ(load(target), (Bytes{'n', 'e', 'w'}));

        // The temporary file's name is taken by a folder: the old file stays.
        ASSERT_TRUE(QDir().mkdir(target + ".tmp"));
        auto blocked = make(target);
        blocked->write(big);
        EXPECT_FALSE(blocked->commit(target));
        EXPECT_TRUE(blocked->errorText().startsWith("Cannot write " + target + ".tmp"))
            << blocked->errorText().toStdString();
        EXPECT_TRUE(QFileInfo(target + ".tmp").isDir());
        EXPECT_EQ(load(target), (Bytes{'n', 'e', 'w'}));
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
    EXPECT_FALSE(QFile::exists(target + ".tmp"));
    EXPECT_FALSE(Archive().commit(dir.filePath("no/such/folder.x0v")));
}

TEST(Archive, StreamedFileReadsAsTheSameBytesInMemory)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("library.x3w");
    Bytes bytes = pattern(static_cast<std::size_t>(2 * kWindow + 100));
    // A size field, then a block larger than the window.
    const qint64 block = kWindow + 16;
    bytes[100] = 0x00, bytes[101] = 0x10, bytes[102] = 0x00, bytes[103] = 0x10;
    // A zero-terminated text across the first window edge.
    const char edge[] = "Edge";
    std::copy(edge, edge + 5, bytes.begin() + kWindow - 2);
    save(path, bytes);

    struct Seen {
        std::vector<qint64> numbers;
        QString text, field;
        Bytes block, raw;
        bool operator==(const Seen&) const = default;
    };
    const auto readAll = [&](Archive& in) {
        Seen seen;
        in.seek(kWindow - 3);
        seen.numbers.push_back(in.readUINT());
        in.seek(kWindow - 2);
        in >> seen.text;
        seen.numbers.push_back(in.pos());
        in.seek(kWindow - 2);
        seen.field = in.readText(5);
        in.seek(10);
        seen.numbers.push_back(in.readWORD());
        in.seek(kWindow - 1);
        seen.numbers.push_back(in.readValueR(3));
        in.seek(100);
        Buffer buffer;
        seen.numbers.push_back(in.readBuffer(buffer));
        seen.block = buffer.vector();
        seen.numbers.push_back(in.pos());
        seen.numbers.push_back(in.readBYTE());
        in.skip(-20);
        seen.raw.resize(40);
        seen.numbers.push_back(in.read(seen.raw));
        in.seek(0);
        Bytes large(static_cast<std::size_t>(kWindow + 1));
        seen.numbers.push_back(in.read(large));
        seen.numbers.push_back(large.back());
        seen.numbers.push_back(in.readBYTE());
        in.seek(in.size());
        seen.numbers.push_back(in.eof());
        seen.numbers.push_back(in.failed());
        return seen;
    };
    Archive streamed(path);
    Archive memory(bytes);
    const Seen seen = readAll(streamed);
    EXPECT_EQ(seen, readAll(memory));

    // The memory archive is checked field by field above; these pin down that the reads
    // really crossed the window edges.
    EXPECT_EQ(seen.text, "Edge");
    EXPECT_EQ(seen.block, Bytes(bytes.begin() + 104, bytes.begin() + 104 + block));
    EXPECT_EQ(streamed.size(), 2 * kWindow + 100);
    // A parser may still look at all of it.
    EXPECT_EQ(streamed.bytes(), bytes);
}

TEST(Archive, TruncatedStreamedFileFailsAsInMemory)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.x3w");
    Bytes bytes(static_cast<std::size_t>(2 * kWindow + 5), 'a');
    // A block length that runs past the end, at the window edge.
    bytes[kWindow - 2] = 0x00, bytes[kWindow - 1] = 0x20, bytes[kWindow] = 0x00, bytes[kWindow + 1] = 0x00;
    save(path, bytes);

    const QString size = QString::number(2 * kWindow + 5);
    const std::pair<std::function<void(Archive&)>, QString> cases[] = {
        {[](Archive& in) {
             in.seek(in.size() - 3);
             EXPECT_EQ(in.readUINT(), 0U);
             EXPECT_TRUE(in.eof());
         },
         QStringLiteral("Cannot read a 32-bit number at offset %1 of %2 bytes")
             .arg(2 * kWindow + 2)
             .arg(size)},
        {[](Archive& in) {
             in.seek(kWindow - 2);
             Buffer buffer({1});
             EXPECT_FALSE(in.readBuffer(buffer));
             EXPECT_TRUE(buffer.isEmpty());
         },
         QStringLiteral("Cannot read a block of 2097152 bytes at offset %1: only %2 bytes follow")
             .arg(kWindow - 2)
             .arg(kWindow + 3)},
        {[](Archive& in) {
             in.seek(kWindow);
             Bytes large(static_cast<std::size_t>(kWindow + 6), 7);
             EXPECT_FALSE(in.read(large));
             EXPECT_EQ(large, Bytes(large.size(), 0));
         },
         QStringLiteral("Cannot read bytes at offset %1 of %2 bytes").arg(kWindow).arg(size)},
        // No zero byte anywhere: the text runs through every window to the end.
        {[](Archive& in) {
             in.seek(kWindow + 2);
             QString text = "old";
             in >> text;
             EXPECT_EQ(text, "");
         },
         QStringLiteral("Cannot read a zero-terminated text at offset %1 of %2 bytes")
             .arg(kWindow + 2)
             .arg(size)},
        {[](Archive& in) { in.seek(in.size() + 1); },
         QStringLiteral("Cannot move to offset %1 of %2 bytes").arg(2 * kWindow + 6).arg(size)},
    };
    for (const auto& [use, text] : cases) {
        SCOPED_TRACE(text.toStdString());
        Archive streamed(path);
        Archive memory(bytes);
        use(streamed);
        use(memory);
        EXPECT_EQ(streamed.errorText(), text);
        EXPECT_EQ(memory.errorText(), text);
        EXPECT_EQ(streamed.pos(), memory.pos());
    }
}

TEST(Archive, StreamedWriteMatchesMemoryAndPatchesFlushedBytes)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("stored.x3w");
    const QString copy = dir.filePath("memory.x3w");
    const Bytes big = pattern(static_cast<std::size_t>(kWindow + 10));
    const auto store = [&](Archive& out) {
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
        return end;
    };
    Archive streamed(target, Archive::Mode::Write);
    Archive memory;
    const qint64 end = store(streamed);
    EXPECT_EQ(store(memory), end);
    EXPECT_EQ(streamed.pos(), memory.pos());
    EXPECT_EQ(streamed.size(), memory.size());
    EXPECT_TRUE(QFile::exists(target + ".tmp"));
    EXPECT_FALSE(QFile::exists(target));
    ASSERT_TRUE(streamed.commit(target)) << streamed.errorText().toStdString();
    ASSERT_TRUE(memory.commit(copy)) << memory.errorText().toStdString();

    const Bytes stored = load(target);
    EXPECT_EQ(stored, load(copy));
    ASSERT_EQ(static_cast<qint64>(stored.size()), end + 3);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 4), (Bytes{'H', 'E', 0xAB, 0xCD}));
    EXPECT_EQ(u32At(stored, 4), static_cast<std::uint32_t>(end - 8));
    EXPECT_EQ(Bytes(stored.begin() + 8, stored.begin() + 8 + kWindow + 10), big);
    EXPECT_EQ(u32At(stored, 8 + kWindow + 10), 0U);
    EXPECT_EQ(u32At(stored, end - 9), static_cast<std::uint32_t>(kWindow / 4 + 9));
    EXPECT_EQ(Bytes(stored.end() - 8, stored.end()), (Bytes{0, 0, 0, 1, 0x5A, 0, 0, 0}));
}
