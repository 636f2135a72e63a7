#include "core/Archive.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

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

TEST(Archive, WritesAndReadsEveryField)
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
    Buffer two({0, 0}), block;
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
}

TEST(Archive, HugeLengthsAllocateNothing)
{
    Archive huge(Bytes{0xFF, 0xFF, 0xFF, 0xF0, 1, 2});
    Buffer buffer({9});
    EXPECT_FALSE(huge.readBuffer(buffer) || !buffer.isEmpty());
    EXPECT_EQ(huge.errorText(), "Cannot read a block of 4294967280 bytes at offset 0: only 2 bytes follow");
    Archive five(Bytes{0x81, 0x80, 0x80, 0x80, 0x00});
    EXPECT_EQ(five.readVarLength(), 0U);
    EXPECT_EQ(five.errorText(), "Cannot read a variable-length number at offset 0 of 5 bytes");
}

// An archive in memory and one streamed to target.tmp write the same bytes and keep the user's file alike.
TEST(Archive, WritesCommitAlikeAndOnlyWhenTheWriteSucceeds)
{
    std::vector<Bytes> stored;
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
        EXPECT_FALSE(QFile::exists(folder + ".tmp") || QFile::exists(target + ".tmp"));
        // A disk that fills up halfway: the write fails and says so, and neither the temporary file
        // nor a target is left.
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit full{kWindow, limit.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &full);
        const QString filled = attempt(target, nothing);
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, handler);
        EXPECT_TRUE(filled.startsWith("Cannot write " + target + ".tmp")) << filled.toStdString();
        EXPECT_FALSE(QFile::exists(target + ".tmp") || QFile::exists(target));
        // Nested size fields and a patch of bytes already flushed from the window.
        EXPECT_EQ(attempt(target,
                          [](Archive& out) {
                              out.willPutSize();
                              for (std::uint32_t i = 0; i < kWindow / 4 + 10; ++i) out.writeUINT(i);
                              out.willPutSize();
                              out.writeBYTE(0x5A);
                              out.putSize();
                              out.putSize();
                              out.seek(2);
                              out.writeWORD(0xABCD);
                              out.seek(out.size());
                              out.skip(3);
                          }),
                  "ok");
        stored.push_back(load(target));
        EXPECT_FALSE(QFile::exists(target + ".tmp"));
        // The temporary file's name is taken by a folder: the old file stays.
        ASSERT_TRUE(QDir().mkdir(target + ".tmp"));
        EXPECT_TRUE(attempt(target, nothing).startsWith("Cannot write " + target + ".tmp"));
        EXPECT_EQ(load(target), stored.back());
    }
    ASSERT_EQ(stored[0], stored[1]);
    ASSERT_EQ(static_cast<qint64>(stored[0].size()), 3 * kWindow + 52);
    EXPECT_EQ(hex(Bytes(stored[0].begin(), stored[0].begin() + 4)), "01 07 AB CD");
    EXPECT_EQ(u32At(stored[0], 2 * kWindow), static_cast<std::uint32_t>(kWindow + 45));
    EXPECT_EQ(hex(Bytes(stored[0].end() - 8, stored[0].end())), "00 00 00 01 5A 00 00 00");

    QTemporaryDir dir;
    const QString target = dir.filePath("library.x3w");
    {
        Archive abandoned(target, Archive::Mode::Write);
        abandoned.write(pattern(static_cast<std::size_t>(2 * kWindow)));
        EXPECT_TRUE(QFile::exists(target + ".tmp"));
    }
    EXPECT_FALSE(QFile::exists(target + ".tmp"));
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
    // Each case ends in one failure, so that the errors agree too.
    const std::function<QStringList(Archive&)> cases[] = {
        [](Archive& in) {
            QString text;
            Buffer block;
            Bytes raw(40);
            in.seek(kWindow - 3);
            QStringList seen{QString::number(in.readUINT())};
            in.seek(kWindow - 2);
            in >> text;
            seen << text << QString::number(in.pos());
            in.seek(kWindow - 1);
            seen << QString::number(in.readValueR(3));
            in.seek(100);
            seen << QString::number(in.readBuffer(block)) << hex(block.vector()) << QString::number(in.pos());
            in.skip(-20);
            seen << QString::number(in.read(raw)) << hex(raw);
            in.seek(in.size() - 3);
            in.readUINT();
            return seen;
        },
        [](Archive& in) {
            in.seek(2 * kWindow - 2);
            Buffer buffer({1});
            return QStringList{QString::number(in.readBuffer(buffer)), buffer.toString()};
        },
        [](Archive& in) {
            in.seek(kWindow);
            Bytes raw(static_cast<std::size_t>(kWindow + 101), 7);
            return QStringList{QString::number(in.read(raw)), QString::number(raw.back())};
        },
        [](Archive& in) {
            in.seek(2 * kWindow + 2);
            QString text = "old";
            in >> text;
            return QStringList{text};
        },
        [](Archive& in) {
            in.seek(in.size() + 1);
            return QStringList{};
        },
    };
    QStringList errors;
    for (const auto& use : cases) {
        Archive streamed(path), memory(bytes);
        const QStringList seen = use(streamed) << streamed.errorText() << QString::number(streamed.pos());
        EXPECT_EQ(seen, use(memory) << memory.errorText() << QString::number(memory.pos()));
        errors << streamed.errorText();
    }
    const qint64 w = kWindow, size = 2 * w + 100;
    EXPECT_EQ(errors.join('\n'),
              QString::asprintf("Cannot read a 32-bit number at offset %lld of %lld bytes\n"
                                "Cannot read a block of 2097152 bytes at offset %lld: only 98 bytes follow\n"
                                "Cannot read bytes at offset %lld of %lld bytes\n"
                                "Cannot read a zero-terminated text at offset %lld of %lld bytes\n"
                                "Cannot move to offset %lld of %lld bytes",
                                size - 3, size, 2 * w - 2, w, size, 2 * w + 2, size, size + 1, size));
    Archive streamed(path);
    EXPECT_EQ(streamed.bytes(), bytes);
}

TEST(Archive, BlocksByReferenceCopyTheirRangesAndKeepTheBytesWrittenBetweenThem)
{
    QTemporaryDir dir;
    // Two blocks as writeBlock lays them out, then 300 bytes after a word that is no length.
    Archive original(dir.filePath("source"), Archive::Mode::Write);
    for (char fill : {'a', 'b'}) original.writeBuffer(Buffer(std::vector<std::uint8_t>(300, fill)));
    original.writeText("gap1", 4);
    original.write(std::vector<std::uint8_t>(300, 'c'));
    ASSERT_TRUE(original.commit(dir.filePath("source")));

    Archive source(dir.filePath("source"));
    LazyBuffer a, b;
    ASSERT_TRUE(source.readBlock(a) && source.readBlock(b));
    const LazyBuffer c(SourceRange{source.source(), 612, 300});
    Bytes expected = load(dir.filePath("source"));
    std::copy_n(expected.begin(), 4, expected.begin() + 608);
    for (bool toFile : {true, false}) {
        const QString path = dir.filePath(toFile ? "file" : "memory");
        auto copy =
            toFile ? std::make_unique<Archive>(path, Archive::Mode::Write) : std::make_unique<Archive>();
        for (const LazyBuffer* block : std::initializer_list<const LazyBuffer*>{&a, &b, &c})
            copy->writeBlock(*block);
        ASSERT_TRUE(copy->commit(path)) << copy->errorText().toStdString();
        EXPECT_EQ(load(path), expected) << toFile;
        EXPECT_TRUE(a.reference() && !a.isLoaded());
    }
}
