#include "BulkSysex.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

BulkSysex bulk(std::uint32_t address, const QString& data = QString())
{
    BulkSysex message;
    EXPECT_TRUE(message.FormatSysex(BulkSysex::BulkTemplate, address, data));
    return message;
}

} // namespace

// The instrument's own messages check the expansion of every template kind to the byte; these
// are the framework's limits.
TEST(Sysex, ExpandsTemplatesToSevenBitBytesAndRejectsBadOnesLeavingNothingToSend)
{
    // 200 bytes count as 01 48 in two 7-bit bytes; the checksum covers count, address and data.
    const BulkSysex block = bulk(0x407000, QString("55 ").repeated(200).trimmed());
    EXPECT_EQ(block.toString(10), "F0 43 00 7F 00 01 48 40 70 00");
    EXPECT_TRUE(block.dataSize() == 200 && block.checksumValid());
    // Address bytes carry 7 bits each; the top bits never reach the wire.
    EXPECT_EQ(bulk(0x8E8F80).toString(), "F0 43 00 7F 00 00 00 0E 0F 00 63 F7");
    // A parameter wider than the change's data is not read past it.
    const BulkSysex change(hexBytes("F0 43 10 7F 00 30 11 00 01 48 F7"));
    EXPECT_EQ(change.getParameterData(MidiParam(0x301100, 2)) +
                  change.getParameterData(MidiParam(0x301100, 3)),
              199);

    for (const auto& [templ, data] : std::vector<std::pair<QString, QString>>{
             {BulkSysex::BulkTemplate, "4G"},    // not hexadecimal
             {BulkSysex::BulkTemplate, "41 4"},  // half a byte
             {BulkSysex::BulkTemplate, "41 80"}, // a status byte inside the data
             {BulkSysex::BulkTemplate,
              QString("01 ").repeated(0x4000).trimmed()}, // more than the count can say
             {"F0 43 %Q F7", ""},
             {"F0 43 00 *x F7", ""},
             {"F0 43 00 %A2 F7", ""}}) {
        BulkSysex message = bulk(0x0E0F00);
        EXPECT_FALSE(message.FormatSysex(templ, 0x0E0F00, data))
            << templ.toStdString() << " / " << data.left(20).toStdString();
        EXPECT_TRUE(message.isEmpty() && !message.isValid() && message.getAddress() == Sysex::NoAddress);
    }
}

TEST(Sysex, EditsDataInPlaceAndRenewsTheChecksum)
{
    BulkSysex message = bulk(0x407000, "10 20 30");
    EXPECT_EQ(message.toString(), "F0 43 00 7F 00 00 03 40 70 00 10 20 30 6D F7");
    EXPECT_TRUE(message.setDataAt(1, 0xFF)); // stored as a data byte
    EXPECT_FALSE(message.checksumValid());
    message.updateChecksum();
    EXPECT_TRUE(message.checksumValid());
    EXPECT_FALSE(message.setDataAt(3, 1) || message.setDataAt(-1, 1));
    EXPECT_EQ(message.dataAt(-1) + message.dataAt(3), -2);
    EXPECT_EQ(message.copyData(), (std::vector<std::uint8_t>{0x10, 0x7F, 0x30}));
    EXPECT_EQ(message.toString(), "F0 43 00 7F 00 00 03 40 70 00 10 7F 30 0E F7");
}

TEST(Sysex, IsSysexNeedsTheFramingAndOnlyDataBytesBetween)
{
    for (const char* good : {"F0 F7", "F0 43 10 7F F7"}) EXPECT_TRUE(Sysex(hexBytes(good)).isSysex()) << good;
    for (const char* bad : {"F0 43 90 7F F7", "F0 43 F7 7F F7", "F0 43 10", "43 10 F7", "F0", ""})
        EXPECT_FALSE(Sysex(hexBytes(bad)).isSysex()) << bad;
    // The framework alone knows no layout: nothing is valid until a device analyses it.
    EXPECT_FALSE(Sysex(hexBytes("F0 43 10 7F F7")).isValid());
}

// Text comes only from the data: the checksum after it is 0x41, an "A" a careless reader would
// append. Analysis kept for new bytes never reaches past them.
TEST(Sysex, ReadsOnlyTheDataItHas)
{
    const BulkSysex text = bulk(0x407000, "41 07 00 43");
    EXPECT_EQ(text.at(text.size() - 2), 0x41);
    EXPECT_EQ(text.readDataText(0, 10) + "|" + text.readDataText(3, 10) + text.readDataText(4, 10) +
                  text.readDataText(-1, 10),
              "A |C");

    BulkSysex message = bulk(0x407000, QString("41 ").repeated(200).trimmed());
    message.setBytes(hexBytes("F0 43 00 F7")); // too short to analyse: the old analysis stays
    EXPECT_EQ(message.dataStart(), 10);
    EXPECT_EQ(message.dataToString() + message.readDataText(0, 10), "");
    EXPECT_FALSE(message.dataAt(0) != -1 || message.setDataAt(0, 1));
    BulkSysex change(hexBytes("F0 43 10 7F 00 30 11 00 01 48 F7"));
    change.setBytes(hexBytes("F0 43 10 7F 00 30 11 00")); // cut off before its data
    EXPECT_EQ(change.getParameterData(MidiParam(0x301100, 1)), -1);
}

TEST(MidiParam, WritesAndReadsSevenBitBytesMostSignificantFirst)
{
    EXPECT_EQ(MidiParam(0x0A0001, 1).printMidiBytes(200) + " " + MidiParam(0x301100, 2).printMidiBytes(200) +
                  " " + MidiParam(0x301100, 3).printMidiBytes(0x1FFFFF),
              "48 01 48 7F 7F 7F");
    const std::uint8_t bytes[] = {0x01, 0x48, 0x7F};
    EXPECT_EQ(MidiParam(0, 2).valueFromBytes(bytes, 3), 200);
    EXPECT_EQ(MidiParam(0, 3).valueFromBytes(bytes, 3), (1 << 14) | (0x48 << 7) | 0x7F);
    EXPECT_EQ(MidiParam(0, 3).valueFromBytes(bytes, 2) + MidiParam(0, 1).valueFromBytes(nullptr, 1), -2);
}
