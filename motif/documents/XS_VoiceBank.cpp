#include "motif/documents/XS_VoiceBank.h"

#include <algorithm>

int XS_VoiceBank::count() const
{
    return static_cast<int>(std::count_if(voices_.begin(), voices_.end(),
                                          [](const auto& voice) { return voice && voice->hasData(); }));
}
