#include "emulator/EsWire.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

// The bulk and parameter messages are checked against the device module's codec in
// tests/e2e/DeviceAgainstInstrumentTest.cpp; here what only the instrument's codec does.
TEST(EsWire, IdentityAndTheFieldsOnlyTheInstrumentReads)
{
    EXPECT_EQ(EsWire::toHex(EsWire::identityReply(0x056A)), "F0 7E 00 06 02 43 00 41 6A 05 00 00 00 01 F7");
    const EsParse parsed = EsWire::parse(hexBytes("F0 43 15 7F 01 0A 00 01 03 F7"));
    ASSERT_TRUE(parsed.message);
    EXPECT_EQ(parsed.message->deviceNumber * 0x10000 + parsed.message->modelId, 0x57F01);
    EXPECT_EQ(EsWire::toHex(MidiBytes{0xF0, 0x0A, 0x0B, 0xF7}, 2), "F0 0A ... (4 bytes)");
}

TEST(EsWire, NamesWhatIsWrong)
{
    QStringList errors;
    for (const char* bytes :
         {"F0", "F0 F7", "F0 43 10 7F 00 0A 00 01 F8 F7", "F0 7E 7F 09 01 F7", "F0 7F 7F 04 01 00 7F F7",
          "F0 43 F7", "F0 43 50 7F 00 0A 00 01 F7", "F0 43 10 7F 00 0A 00 01 F7",
          "F0 43 00 7F 00 00 00 0E 0F F7", "F0 43 00 7F 00 00 02 0E 0F 00 05 5E F7",
          "F0 43 30 7F 00 0A 00 01 00 F7", "F0 43 20 7F 00 0E F7"}) {
        const EsParse parsed = EsWire::parse(hexBytes(bytes));
        EXPECT_FALSE(parsed.message) << bytes;
        errors << parsed.error;
    }
    EXPECT_EQ(
        errors,
        (QStringList{"SysEx without F7 at the end (truncated or unterminated)", "empty SysEx",
                     "status byte 0xF8 at offset 8 inside SysEx", "universal message not understood",
                     "universal real-time message not understood", "truncated message: no kind byte",
                     "unknown message kind 0x50", "truncated parameter change: 9 bytes, at least 10 needed",
                     "truncated bulk dump: 10 bytes, at least 12 needed",
                     "bad length: byte count 2 but 1 data bytes",
                     "bad length: parameter request of 10 bytes, 9 expected",
                     "truncated dump request: 7 bytes, at least 9 needed"}));
}
