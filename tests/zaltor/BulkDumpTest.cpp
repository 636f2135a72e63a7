#include "zaltor/BulkDump.h"
#include "BulkSysex.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

BulkDump voiceBulk()
{
    BulkDump dump;
    dump.append(new BulkSysex(hexBytes("F0 43 00 7F 00 00 00 0E 0F 00 63 F7")));
    dump.append(new BulkSysex(hexBytes("F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7")));
    dump.append(new BulkSysex(hexBytes("F0 43 00 7F 00 00 00 0F 0F 00 62 F7")));
    return dump;
}

} // namespace

TEST(BulkDump, CopiesDeeplyAndKeepsTheDevicesMessageClass)
{
    const BulkDump original = voiceBulk();
    BulkDump copy(original);
    ASSERT_EQ(copy.count(), 3);
    EXPECT_NE(copy.at(1), original.at(1));
    ASSERT_NE(dynamic_cast<BulkSysex*>(copy.first()), nullptr);
    EXPECT_TRUE(copy.first()->isHeader());
    EXPECT_TRUE(copy.last()->isFooter());

    copy.at(1)->setDataAt(0, 0x5A);
    EXPECT_EQ(original.at(1)->dataToString(), "41 42");
    EXPECT_EQ(copy.at(1)->dataToString(), "5A 42");

    copy = original;
    EXPECT_EQ(copy.at(1)->dataToString(), "41 42");
    const BulkDump& same = copy;
    copy = same; // assigning a dump to itself keeps its messages
    EXPECT_EQ(copy.toBytes(), original.toBytes());
}

TEST(BulkDump, FindsMessagesByAddressAndJoinsTheirBytes)
{
    BulkDump dump = voiceBulk();
    ASSERT_NE(dump.getSysex(0x407000), nullptr);
    EXPECT_EQ(dump.getSysex(0x407000), dump.at(1));
    EXPECT_EQ(dump.getSysex(0x0F0F00), dump.at(2));
    EXPECT_EQ(dump.getSysex(0x407001), nullptr);
    EXPECT_EQ(Buffer(dump.toBytes()).toString(), "F0 43 00 7F 00 00 00 0E 0F 00 63 F7 "
                                                 "F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7 "
                                                 "F0 43 00 7F 00 00 00 0F 0F 00 62 F7");

    dump.append(std::unique_ptr<Sysex>());
    dump.removeAt(3);
    dump.removeAt(-1);
    EXPECT_EQ(dump.count(), 3);
    dump.removeAt(0);
    EXPECT_TRUE(dump.first()->hasData());
    EXPECT_EQ(dump.at(2), nullptr);
    dump.clear();
    EXPECT_TRUE(dump.isEmpty());
    EXPECT_EQ(dump.first(), nullptr);
    EXPECT_EQ(dump.last(), nullptr);
    EXPECT_TRUE(dump.toBytes().empty());
}
