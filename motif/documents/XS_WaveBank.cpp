#include "motif/documents/XS_WaveBank.h"

int XS_WaveBank::count() const
{
    int count = 0;
    for (const auto& waveform : waveforms_)
        if (waveform && waveform->hasData()) ++count;
    return count;
}

int XS_WaveBank::lastIndex() const
{
    for (int i = waveforms_.count() - 1; i >= 0; --i)
        if (waveforms_.at(i) && waveforms_.at(i)->hasData()) return i;
    return -1;
}
