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
    EXPECT_TRUE(r.remaining() == 0 && !r.failed());
    ByteWriter w;
    w.u32le(0x0B0A0908);
    w.fourcc("EWF");
    EXPECT_EQ(w.data(), bytes);

    // Reads past the end answer nothing and leave the reader failed.
    const Bytes three = {0x12, 0x34, 0x56};
    ByteReader huge(three), wide(three), far(three);
    EXPECT_TRUE(huge.bytes(SIZE_MAX).empty() && wide.valueLE(5) == 0);
    far.seek(4);
    EXPECT_TRUE(huge.failed() && wide.failed() && far.failed());
}
