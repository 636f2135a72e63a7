// Arpeggio event streams, arpeggio records and serialised voices come from files and the
// clipboard. The first byte picks a model; the rest is read as each of the three. Whatever is
// read must survive its own archive form, a record's name must stay within its field, and a
// voice's element walk must stay within the block and give back only ids of the model's user
// waveforms, leaving the block unchanged when every id is mapped onto itself.
#include "FuzzCheck.h"
#include "core/Archive.h"
#include "motif/documents/ARPEvent.h"
#include "motif/documents/XS_ARP.h"
#include "motif/documents/XS_Voice.h"
#include "motif/documents/XS_Waveform.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {
void readEvents(const std::vector<std::uint8_t>& bytes)
{
    Archive in(bytes);
    std::vector<ARPEvent> events;
    qint64 read = 0;
    while (!in.eof()) {
        ARPEvent event;
        if (!event.fromArchive(in)) {
            check(in.failed());
            break;
        }
        // Every event holds a time and a status, so the walk always moves on.
        check(in.pos() >= read + 2);
        read = in.pos();
        const MidiMessage message = event.message();
        check(message.status() == 0 || message.status() == event.status());
        // Formatting every event of a long stream would take most of the run; the first ones
        // reach every kind of text.
        if (events.size() < 16) event.toString();
        events.push_back(event);
    }

    // A time may be read from a longer form than the shortest one; everything else is written
    // back at its own length, and what is written reads back the same and writes the same again.
    Archive out;
    for (const ARPEvent& event : events) event.toArchive(out);
    check(out.size() <= read);
    Archive again(out.bytes());
    Archive twice;
    for (const ARPEvent& event : events) {
        ARPEvent copy;
        check(copy.fromArchive(again));
        check(copy.time() == event.time() && copy.status() == event.status());
        check(!event.isMeta() || copy.metaType() == event.metaType());
        check(copy.data() == event.data());
        copy.toArchive(twice);
    }
    check(again.eof() && twice.bytes() == out.bytes());
}

void readRecord(const QString& model, const std::vector<std::uint8_t>& bytes)
{
    Archive in(bytes);
    XS_ARP arp;
    const bool entryRead = arp.fromArchive(model, in);
    Buffer data;
    in.readBuffer(data);
    arp.setData(data);
    check(arp.name().size() <= XS_Voice::NameSize);
    arp.info();
    arp.setName(QStringLiteral("Fuzz Arpeggio Name Too Long"));
    if (arp.hasData()) check(arp.content_name == QStringLiteral("Fuzz Arpeggio Name T"));
    if (data.size() >= XS_Voice::NameOffset + XS_Voice::NameSize)
        check(arp.name() == QStringLiteral("Fuzz Arpeggio Name T"));
    check(arp.data().size() == data.size());
    if (!entryRead) return;

    Archive out;
    arp.toArchive(model, out);
    Archive back(out.bytes());
    XS_Entry copy;
    check(copy.fromArchive(model, back) && back.eof());
    check(copy.owner == arp.owner && copy.data_size == arp.data_size && copy.time == arp.time);
    check(copy.data_offset == arp.data_offset && copy.content_number == arp.content_number);
    check(copy.filter == arp.filter && copy.favorite == arp.favorite);
    check(copy.content_name == arp.content_name && copy.filename == arp.filename);
    check(copy.rel_filenames == arp.rel_filenames);
}

void exerciseVoice(XS_Voice& voice)
{
    const QString model = voice.model();
    voice.name();
    voice.getCategory1();
    voice.getCategory2();
    voice.info();
    voice.bankName();
    const std::vector<int> ids = voice.waveforms(model);
    check(std::is_sorted(ids.begin(), ids.end()));
    check(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    for (int id : ids) check(XS_Waveform::BankOf(id, model) != 0);

    const Buffer before = voice.data();
    voice.remapWaveforms(model, ids, ids);
    check(voice.data() == before);
    // A voice without data keeps the names it was read with.
    if (voice.hasData()) check(voice.rel_filenames.size() == static_cast<qsizetype>(ids.size()));

    // Moving every id one step up, within the model's ids, moves the list along with it.
    std::vector<int> moved;
    for (int id : ids) moved.push_back(XS_Waveform::BankOf(id + 1, model) != 0 ? id + 1 : id);
    voice.remapWaveforms(model, ids, moved);
    std::sort(moved.begin(), moved.end());
    moved.erase(std::unique(moved.begin(), moved.end()), moved.end());
    check(voice.waveforms(model) == moved);
    check(voice.data().size() == before.size());
}

void readVoice(const QString& model, const std::vector<std::uint8_t>& bytes)
{
    Archive in(bytes);
    XS_Voice voice(model);
    if (!voice.fromArchive(in)) return;

    Archive out;
    voice.toArchive(out);
    Archive back(out.bytes());
    XS_Voice copy;
    check(copy.fromArchive(back) && back.eof());
    check(copy.model() == voice.model() && copy.data() == voice.data() && copy.info() == voice.info());
    exerciseVoice(voice);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString models[] = {QString(), QStringLiteral("Motif XS"), QStringLiteral("Motif XF"),
                                     QStringLiteral("S90 XS"), QStringLiteral("Motif Rack XS")};
    if (size == 0) return 0;
    const QString& model = models[data[0] % std::size(models)];
    const std::vector<std::uint8_t> bytes(data + 1, data + size);
    readEvents(bytes);
    readRecord(model, bytes);
    readVoice(model, bytes);
    return 0;
}
