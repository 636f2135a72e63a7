#pragma once

#include "dumps/DumpTestSupport.h"
#include "motif/Motif.h"
#include "motif/MotifDump.h"
#include "motif/MotifSysex.h"

#include <QFile>
#include <QStringList>
#include <functional>
#include <memory>

// Sets every data byte of a block to value(offset) and renews its checksum.
inline void fillBlock(Sysex* block, const std::function<int(int)>& value)
{
    for (int i = 0; i < block->dataSize(); ++i) block->setDataAt(i, std::uint8_t(value(i)));
    block->updateChecksum();
}

// A voice (or drum kit) whose copied bytes tell where they came from: the name block holds its
// own offsets, named "Copy Test " in category 05/03 with the arpeggio switched on; the common
// block holds 60 + offset, reverb 20 + offset, chorus 40 + offset, insertion A 01 + offset and
// insertion B 50 + offset.
inline std::unique_ptr<MotifDump> makeSource(Motif& device, bool drum)
{
    std::unique_ptr<MotifDump> dump(drum ? static_cast<MotifDump*>(new DrumDump(&device))
                                         : new VoiceDump(&device));
    dump->init();
    const std::uint32_t high = drum ? 0x460000 : 0x400000;
    const QByteArray name("Copy Test ");
    fillBlock(dump->getSysex(high | 0x7000), [&name](int i) {
        if (i < 10) return int(name[i]);
        if (i == 0x0C) return 0x05;
        if (i == 0x0D) return 0x03;
        if (i == 0x16) return 0x01;
        return i;
    });
    for (const auto& [block, base] :
         {std::pair{0x0000, 0x60}, {0x0100, 0x20}, {0x0200, 0x40}, {0x0300, 0x01}, {0x0400, 0x50}})
        fillBlock(dump->getSysex(high | std::uint32_t(block)), [base](int i) { return base + i; });
    return dump;
}

// What copying makeSource's voice, stored at USER1:5, into part 1 of a performance sends with
// every option set, one change a line: name, voice, arpeggio, system effects, insertion effects.
inline QStringList expectedVoiceCopy()
{
    QFile file(QStringLiteral(MOTIF_SOURCE_DIR "/tests/data/voicecopy/all-options.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("missing ") + file.fileName()};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
