// Moving whole patches between the host and the instrument. A patch travels as a bulk: a header
// naming the location (the bulk control), the patch's blocks, and a footer naming it again.
#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

namespace {
constexpr unsigned int HeaderBase = 0x0E0000;
constexpr unsigned int FooterBase = 0x0F0000;
constexpr int PatchRequestWaitMs = 3000;
} // namespace

unsigned int Motif::getBulkControl(Patch patch) const
{
    if (!patch.isValid()) return NoControl;
    const unsigned int base = bulkControlBaseOf(patch.bank());
    return base == NoControl ? NoControl : base + unsigned(patch.program());
}

void Motif::setBulkControls(BulkDump& dump, Patch patch)
{
    const unsigned int control = getBulkControl(patch);
    if (dump.isEmpty() || control == NoControl) return;
    dump.first()->setAddress(HeaderBase + control);
    dump.last()->setAddress(FooterBase + control);
}

void Motif::bulkRequest(unsigned int control)
{
    if (control == NoControl) return;
    MotifSysex request;
    request.prepareBulkRequest(control);
    sendSysex(&request);
}

void Motif::patchRequest(Patch patch, bool setMode)
{
    if (setMode) setModeByBank(patch.bank());
    const unsigned int control = getBulkControl(patch);
    if (control != NoControl) bulkRequest(control);
}

bool Motif::syncPatchRequest(Patch patch, BulkDump& dump, bool setMode)
{
    if (setMode) setModeByBank(patch.bank());
    const unsigned int control = getBulkControl(patch);
    if (control == NoControl) return false;
    return syncBulkRequest(control, dump, PatchRequestWaitMs);
}

bool Motif::syncEditBufferRequest(int type, BulkDump& dump, int wait)
{
    return syncBulkRequest(getEditBuffer(type), dump, wait);
}

void Motif::sendBulkBuffer(unsigned int address, const char* data)
{
    if (address == NoControl) return;
    MotifSysex message;
    message.prepareBulkDump(address, data ? QString::fromLatin1(data) : QString());
    sendSysex(&message);
}

void Motif::bulkTransmit(unsigned int control, BulkDump* dump)
{
    if (!dump) return;
    sendBulkBuffer(HeaderBase + control, nullptr);
    waitTransmit();
    for (int i = 0; i < dump->count(); ++i) {
        sendSysex(dump->at(i));
        waitTransmit();
    }
    sendBulkBuffer(FooterBase + control, nullptr);
    waitTransmit();
}

void Motif::patchTransmit(Patch patch, BulkDump* dump, bool)
{
    const unsigned int control = getBulkControl(patch);
    if (dump && !dump->isEmpty() && control != NoControl) bulkTransmit(control, dump);
}

void Motif::toEditBuffer(PatchDump* dump)
{
    if (!dump || dump->isEmpty()) return;
    const unsigned int control = getEditBuffer(dump->type());
    if (control != NoControl) bulkTransmit(control, dump);
}

void Motif::strip(BulkDump* dump)
{
    if (!dump || dump->count() < 2) return;
    dump->removeAt(dump->count() - 1);
    dump->removeAt(0);
}

void Motif::initVoice(unsigned int control) { bulkTransmit(control, getInitVoice()); }

void Motif::initDrumVoice(unsigned int control) { bulkTransmit(control, getInitDrumVoice()); }

void Motif::initPlgVoice(unsigned int control) { bulkTransmit(control, getInitPlgVoice()); }

void Motif::initPerformance() { bulkTransmit(getEditBuffer(Performance), getInitPerformance()); }

void Motif::initMix() { bulkTransmit(getEditBuffer(Mix), getInitMix()); }

void Motif::initMaster() { bulkTransmit(getEditBuffer(Master), getInitMaster()); }

void Motif::bulkTransmitAltered(BulkDump* dump, Sysex* const* messages, int count)
{
    if (!dump) return;
    for (int i = 0; i < count && messages; ++i) {
        if (!messages[i]) continue;
        Sysex* target = dump->getSysex(messages[i]->getAddress());
        if (target) target->copyData(*messages[i], -1, -1);
    }
    dump->sendToSynth(this);
}

bool Motif::bulkTransmitAltered(unsigned int control, Sysex* const* messages, int count, int wait)
{
    BulkDump current;
    if (!syncBulkRequest(control, current, wait)) return false;
    bulkTransmitAltered(&current, messages, count);
    return true;
}

bool Motif::bulkTransmitAltered(unsigned int control, Sysex* message, int wait)
{
    return bulkTransmitAltered(control, &message, 1, wait);
}
