#include "motif/librarian/PresetCapture.h"

#include "core/Clock.h"
#include "motif/Motif.h"
#include "motif/librarian/Librarian.h"

bool PresetCapture::covers(const PatchLocation& location) const
{
    if (location.isEditBuffer() || !location.patch.isValid()) return false;
    const unsigned short bank = location.patch.bank();
    return !device_.isUserBank(bank) && device_.getEditBuffer(device_.bankType(bank)) != Motif::NoControl;
}

QString PresetCapture::capture(const PatchLocation& location, BulkDump& bulk)
{
    if (!covers(location))
        return QStringLiteral("%1 is no preset: fetch it by its location")
            .arg(PatchNotation::print(location, device_));
    const int type = device_.bankType(location.patch.bank());
    device_.setModeByBank(location.patch.bank());
    device_.patchChange(location.patch);
    Clock::current().sleepMs(LoadWaitMs);
    const QString error = Librarian(device_).fetch(PatchLocation{Patch(), type}, bulk);
    if (error.isEmpty()) return QString();
    return QStringLiteral("capturing %1 through the edit buffer: %2")
        .arg(PatchNotation::print(location, device_), error);
}

QString PresetCapture::note(const PatchLocation& location) const
{
    return QStringLiteral("captured from %1:%2 through the edit buffer")
        .arg(PatchNotation::bankName(location.patch.bank(), device_))
        .arg(location.patch.program(), 3, 10, QChar('0'));
}
