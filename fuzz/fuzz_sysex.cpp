// MIDI input comes from the instrument, from whatever else shares the cable and from files the
// user opens. Cut into messages and read in every way the program reads them, the bytes must
// never move a reader off their end; retargeting a bulk block must leave a well-formed message
// whose checksum still holds; and a short message must survive parsing unchanged.
#include "FuzzCheck.h"
#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/MidiMessage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace {
using Bytes = std::span<const std::uint8_t>;

// An address chosen by the input: the up to four bytes before its last one, most significant first.
std::uint32_t addressFrom(Bytes bytes)
{
    std::uint32_t address = 0;
    const std::size_t end = bytes.empty() ? 0 : bytes.size() - 1;
    for (std::size_t i = end > 4 ? end - 4 : 0; i < end; ++i) address = address << 8 | bytes[i];
    return address;
}

void readParameter(const MotifSysex& m, const MidiParam& param)
{
    const int pos = m.getParameterPos(param);
    check(pos >= -1 && pos <= m.dataSize());
    const int value = m.getParameterData(param);
    // The two-byte parameters decode by their address, whatever size the caller asks for.
    check(value >= -1 && value < (1 << (7 * std::max(param.size(), 2))));
}

void readSysex(Bytes bytes, std::uint32_t inputAddress)
{
    Motif& motif = device();
    MotifSysex m(bytes);
    check(m.size() == int(bytes.size()));
    const std::uint32_t address = m.getAddress();
    if (m.kind() >= 0) check(m.dataStart() + m.dataSize() < m.size() && m.dataSize() >= 0);
    for (int i = 0; i < m.dataSize(); ++i) check(m.dataAt(i) >= 0 && m.dataAt(i) < 0x100);
    check(m.dataAt(-1) == -1 && m.dataAt(m.dataSize()) == -1);
    check(int(m.copyData().size()) == m.dataSize());
    check(!m.printAnalysis().isEmpty());
    m.dataToString();
    check(m.readDataText(0, 10).size() <= 10);
    m.readName(&motif);
    m.hasCategory();
    m.isHeader();
    m.isFooter();
    m.checksumValid();
    check(!m.hasName() || m.hasData());

    readParameter(m, MidiParam(0x301100, 2));
    readParameter(m, MidiParam(address, 1));
    readParameter(m, MidiParam(inputAddress, 1 + int(inputAddress % 4)));

    std::uint32_t base = 0;
    std::uint32_t offset = 0;
    m.getBulkBaseAndOffset(inputAddress, base, offset);
    check(base + offset == (inputAddress & 0xFFFFFF));

    motif.displaySysex(&m);

    const bool valid = m.isValid();
    const bool bulk = m.kind() == MotifSysex::BulkDump;
    const std::uint32_t target = inputAddress & 0x7F7F7F;
    m.setAddress(inputAddress);
    check(m.isValid() == valid);
    if (valid && target != address) check(m.checksumValid() && (!bulk || m.getAddress() == target));
}

void readShort(Bytes bytes)
{
    const MidiMessage parsed = MidiMessage::fromBytes(bytes);
    if (parsed.isValid()) {
        const MidiBytes again = parsed.bytes();
        check(again.size() == bytes.size() && std::equal(again.begin(), again.end(), bytes.begin()));
        check(!parsed.toString().isEmpty());
    }
}

void deliver(Bytes bytes)
{
    const MidiBytes message(bytes.begin(), bytes.end());
    if (!message.empty() && message.front() == 0xF0)
        device().OnLongMessage(message, SourceMain);
    else
        device().OnShortMessage(message, SourceMain);
}

// A message as a stream carries it: SysEx from F0 through F7, cut short by the next status byte
// or the end; any other status byte with the data bytes that follow it.
std::size_t messageEnd(Bytes stream, std::size_t begin)
{
    std::size_t end = begin + 1;
    if (stream[begin] == 0xF0) {
        while (end < stream.size() && stream[end] < 0x80) ++end;
        return end < stream.size() && stream[end] == 0xF7 ? end + 1 : end;
    }
    while (end < stream.size() && stream[end] < 0x80) ++end;
    return end;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes input(data, size);
    const std::uint32_t inputAddress = addressFrom(input);
    readSysex(input, inputAddress);
    readShort(input);
    deliver(input);
    for (std::size_t begin = 0; begin < input.size();) {
        const std::size_t end = messageEnd(input, begin);
        const Bytes message = input.subspan(begin, end - begin);
        if (message.front() == 0xF0) readSysex(message, inputAddress ^ addressFrom(message));
        readShort(message);
        deliver(message);
        begin = end;
    }
    return 0;
}
