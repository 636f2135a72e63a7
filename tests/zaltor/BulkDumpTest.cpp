#include "zaltor/BulkDump.h"
#include "BulkSysex.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(BulkDump, CopiesDeeplyFindsByAddressAndJoinsTheBytes)
{
    BulkDump original;
    original.append(new BulkSysex(hexBytes("F0 43 00 7F 00 00 00 0E 0F 00 63 F7")));
    original.append(new BulkSysex(hexBytes("F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7")));
    original.append(new BulkSysex(hexBytes("F0 43 00 7F 00 00 00 0F 0F 00 62 F7")));
    BulkDump copy(original);
    ASSERT_EQ(copy.count(), 3);
    EXPECT_TRUE(copy.first()->isHeader() && copy.last()->isFooter()); // still the device's class
    copy.at(1)->setDataAt(0, 0x5A);
    EXPECT_EQ(original.at(1)->dataToString() + " " + copy.at(1)->dataToString(), "41 42 5A 42");
    copy = original;
    const BulkDump& same = copy;
    copy = same; // assigning a dump to itself keeps its messages
    EXPECT_EQ(Buffer(copy.toBytes()).toString(), "F0 43 00 7F 00 00 00 0E 0F 00 63 F7 "
                                                 "F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7 "
                                                 "F0 43 00 7F 00 00 00 0F 0F 00 62 F7");
    EXPECT_EQ(copy.getSysex(0x407000), copy.at(1));
    EXPECT_EQ(copy.getSysex(0x0F0F00), copy.at(2));
    EXPECT_EQ(copy.getSysex(0x407001), nullptr);

    copy.removeAt(3);
    copy.removeAt(-1);
    copy.removeAt(0);
    EXPECT_EQ(copy.count(), 2);
    EXPECT_TRUE(copy.first()->hasData());
    copy.clear();
    EXPECT_TRUE(copy.first() == nullptr && copy.last() == nullptr && copy.toBytes().empty());
}
