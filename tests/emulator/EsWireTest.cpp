#include "emulator/EsWire.h"

#include <gtest/gtest.h>

// The bulk and parameter messages are checked against the device module's codec in
// tests/e2e/DeviceAgainstInstrumentTest.cpp; here what only the instrument's codec does.
TEST(EsWire, IdentityAndTheFieldsOnlyTheInstrumentReads)
{
    EXPECT_EQ(EsWire::toHex(EsWire::identityReply(0x056A)), "F0 7E 00 06 02 43 00 41 6A 05 00 00 00 01 F7");
    const EsParse parsed =
        EsWire::parse(MidiBytes{0xF0, 0x43, 0x15, 0x7F, 0x01, 0x0A, 0x00, 0x01, 0x03, 0xF7});
    ASSERT_TRUE(parsed.message);
    EXPECT_EQ(parsed.message->deviceNumber, 5);
    EXPECT_EQ(parsed.message->modelId, 0x7F01);
    EXPECT_EQ(EsWire::toHex(MidiBytes{0xF0, 0x0A, 0x0B, 0xF7}, 2), "F0 0A ... (4 bytes)");
}

TEST(EsWire, NamesWhatIsWrong)
{
    const std::vector<std::pair<MidiBytes, QString>> cases{
        {{0xF0}, "SysEx without F7 at the end (truncated or unterminated)"},
        {{0xF0, 0xF7}, "empty SysEx"},
        {{0xF0, 0x43, 0x10, 0x7F, 0x00, 0x0A, 0x00, 0x01, 0xF8, 0xF7},
         "status byte 0xF8 at offset 8 inside SysEx"},
        {{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, "universal message not understood"},
        {{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0x00, 0xF7}, "universal message not understood"},
        {{0xF0, 0x7F, 0x7F, 0x04, 0x01, 0x00, 0x7F, 0xF7}, "universal real-time message not understood"},
        {{0xF0, 0x43, 0xF7}, "truncated message: no kind byte"},
        {{0xF0, 0x43, 0x50, 0x7F, 0x00, 0x0A, 0x00, 0x01, 0xF7}, "unknown message kind 0x50"},
        {{0xF0, 0x43, 0x10, 0x7F, 0x00, 0x0A, 0x00, 0x01, 0xF7},
         "truncated parameter change: 9 bytes, at least 10 needed"},
        {{0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x00, 0x0E, 0x0F, 0xF7},
         "truncated bulk dump: 10 bytes, at least 12 needed"},
        {{0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x02, 0x0E, 0x0F, 0x00, 0x05, 0x5E, 0xF7},
         "bad length: byte count 2 but 1 data bytes"},
        {{0xF0, 0x43, 0x30, 0x7F, 0x00, 0x0A, 0x00, 0x01, 0x00, 0xF7},
         "bad length: parameter request of 10 bytes, 9 expected"},
        {{0xF0, 0x43, 0x20, 0x7F, 0x00, 0x0E, 0xF7}, "truncated dump request: 7 bytes, at least 9 needed"},
    };
    for (const auto& [bytes, error] : cases) {
        const EsParse parsed = EsWire::parse(bytes);
        EXPECT_FALSE(parsed.message) << EsWire::toHex(bytes).toStdString();
        EXPECT_EQ(parsed.error, error) << EsWire::toHex(bytes).toStdString();
    }
}
