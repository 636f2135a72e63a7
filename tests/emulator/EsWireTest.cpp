#include "emulator/EsWire.h"

#include <gtest/gtest.h>

TEST(EsWire, BuildsTheInstrumentsMessages)
{
    // A bulk header carries no data: the checksum covers byte count and address alone.
    EXPECT_EQ(EsWire::bulkDump(0x0E0F00, {}),
              (MidiBytes{0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x00, 0x0E, 0x0F, 0x00, 0x63, 0xF7}));
    const std::uint8_t volume[] = {0x64};
    EXPECT_EQ(EsWire::parameterChange(0x37030D, volume),
              (MidiBytes{0xF0, 0x43, 0x10, 0x7F, 0x00, 0x37, 0x03, 0x0D, 0x64, 0xF7}));
    EXPECT_EQ(EsWire::identityReply(0x056A), (MidiBytes{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0x00, 0x41, 0x6A,
                                                        0x05, 0x00, 0x00, 0x00, 0x01, 0xF7}));

    // The byte count is two 7-bit bytes; byte count, address, data and checksum sum to 0 modulo 128.
    const std::vector<std::uint8_t> data(300, 0x55);
    const MidiBytes bulk = EsWire::bulkDump(0x400000, data);
    ASSERT_EQ(bulk.size(), 312u);
    EXPECT_EQ(bulk[5], 0x02);
    EXPECT_EQ(bulk[6], 0x2C);
    unsigned sum = 0;
    for (std::size_t i = 5; i + 1 < bulk.size(); ++i) sum += bulk[i];
    EXPECT_EQ(sum % 128, 0u);
    EXPECT_EQ(bulk[310], 0x76);
}

TEST(EsWire, ParsesEveryKind)
{
    // Longer than 127 bytes, so that the byte count needs both of its 7-bit bytes.
    std::vector<std::uint8_t> data(130, 0x01);
    data.back() = 0x7F;
    MidiBytes bulk = EsWire::bulkDump(0x0E0805, data);
    EsParse parsed = EsWire::parse(bulk);
    ASSERT_TRUE(parsed.message) << parsed.error.toStdString();
    EXPECT_EQ(parsed.message->kind, EsMessage::Kind::BulkDump);
    EXPECT_EQ(parsed.message->address, 0x0E0805u);
    EXPECT_EQ(parsed.message->modelId, 0x7F00);
    EXPECT_EQ(parsed.message->data, data);
    EXPECT_TRUE(parsed.message->checksumOk());

    bulk[bulk.size() - 2] ^= 0x01;
    parsed = EsWire::parse(bulk);
    ASSERT_TRUE(parsed.message);
    EXPECT_FALSE(parsed.message->checksumOk());
    EXPECT_EQ(parsed.message->expectedChecksum, bulk[bulk.size() - 2] ^ 0x01);

    parsed = EsWire::parse(MidiBytes{0xF0, 0x43, 0x15, 0x7F, 0x01, 0x0A, 0x00, 0x01, 0x03, 0x04, 0xF7});
    ASSERT_TRUE(parsed.message);
    EXPECT_EQ(parsed.message->kind, EsMessage::Kind::ParameterChange);
    EXPECT_EQ(parsed.message->deviceNumber, 5);
    EXPECT_EQ(parsed.message->modelId, 0x7F01);
    EXPECT_EQ(parsed.message->address, 0x0A0001u);
    EXPECT_EQ(parsed.message->data, (std::vector<std::uint8_t>{0x03, 0x04}));
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

TEST(EsWire, HexTextIsCutForLongMessages)
{
    EXPECT_EQ(EsWire::toHex(MidiBytes{0xF0, 0x0A, 0xF7}), "F0 0A F7");
    EXPECT_EQ(EsWire::toHex(MidiBytes{0xF0, 0x0A, 0x0B, 0xF7}, 2), "F0 0A ... (4 bytes)");
    EXPECT_EQ(EsWire::toHex(MidiBytes{}), "");
}
