#include "motif/librarian/PatchFetch.h"

#include "motif/Motif.h"
#include "motif/librarian/Librarian.h"
#include "motif/librarian/PresetCapture.h"

QString PatchFetch::fetch(Motif& device, const PatchLocation& location, BulkDump& bulk, QString* note)
{
    PresetCapture preset(device);
    if (note) note->clear();
    if (!preset.covers(location)) return Librarian(device).fetch(location, bulk);
    // The instrument takes the program change that loads a preset only on its receive channel.
    const int channel = device.syncGetRcvChannel(ChannelWaitMs);
    if (channel < 0 || channel > 15)
        return QStringLiteral(
                   "%1: the instrument reports no receive channel 1-16 (value %2), and a preset is "
                   "selected on it; set one in its MIDI settings")
            .arg(PatchNotation::print(location, device))
            .arg(channel);
    device.setReceiveChannel(channel);
    const QString failure = preset.capture(location, bulk);
    if (failure.isEmpty() && note) *note = preset.note(location);
    return failure;
}
