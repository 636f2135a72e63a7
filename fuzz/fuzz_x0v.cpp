// Voice-and-waveform libraries come from the instrument, from disks and from other editors.
// Whatever their bytes, a document that reads one must refuse it with a reason and hold no voice
// or waveform, or take it; a library that was taken is validated, summarised, stored and opened
// again. This target reads into a fresh document, which holds only what the file holds, so each
// input costs little and the search goes deep into the records.
#include "X0vRoundTrip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    x0vfuzz::unattended();
    Archive archive(std::vector<std::uint8_t>(data, data + size));
    X0V_Document document;
    x0vfuzz::checkLoaded(document.loadDocument(archive), document);
    return 0;
}
