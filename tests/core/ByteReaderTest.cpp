#include "core/ByteReader.h"
#include "core/ByteWriter.h"

#include <gtest/gtest.h>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Archive reads and writes every field through this pair; here are the parts it does not reach.
TEST(ByteReader, LittleEndianFieldsAndShortReadsThatFailStickily)
{
    const Bytes bytes = {0x08, 0x09, 0x0A, 0x0B, 'E', 'W', 'F', 0};
    ByteReader r(bytes);
    EXPECT_EQ(r.u32le(), 0x0B0A0908U);
    EXPECT_EQ(r.fourcc(), "EWF");
    EXPECT_EQ(r.remaining(), 0U);
    EXPECT_FALSE(r.failed());
    ByteWriter w;
    w.u32le(0x0B0A0908);
    w.fourcc("EWF");
    EXPECT_EQ(w.data(), bytes);

    // Reads past the end answer nothing and leave the reader failed, also after a seek back.
    const Bytes three = {0x12, 0x34, 0x56};
    ByteReader huge(three), wide(three), far(three);
    EXPECT_TRUE(huge.bytes(SIZE_MAX).empty());
    EXPECT_EQ(wide.valueLE(5), 0U);
    far.seek(4);
    EXPECT_TRUE(huge.failed() && wide.failed() && far.failed());
    ByteReader sticky(three);
    sticky.u32be();
    sticky.seek(0);
    EXPECT_EQ(sticky.u16be(), 0x1234);
    EXPECT_TRUE(sticky.failed());
}

TEST(ByteWriter, OverwritesAfterSeekAndRefusesWhatDoesNotFit)
{
    ByteWriter w;
    w.bytes(Bytes{1, 2, 3});
    w.seek(1);
    w.bytes(Bytes{7, 8, 9});
    w.skip(2);
    EXPECT_EQ(w.data(), (Bytes{1, 7, 8, 9, 0, 0}));
    EXPECT_EQ(w.pos(), 6U);
    EXPECT_FALSE(w.failed());
    w.varLength(0x10000000);
    EXPECT_TRUE(w.failed());
    EXPECT_EQ(w.size(), 6U);
}
