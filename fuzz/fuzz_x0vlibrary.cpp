// Libraries as the command line opens them: into the full slot set of the model their version
// names. Reading into slots places each voice and waveform by its number, so it is a walk of its
// own; the same checks as for a plain document follow.
#include "X0vRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <map>

namespace {
// A host reopens files in the document it has, whose slots then only need emptying; one
// document per model type keeps each input from making thousands of slots anew.
X0V_Document& documentFor(Archive& archive)
{
    static std::map<int, X0V_Document> documents;
    return documents.try_emplace(X0V_Document::TypeOfLibrary(archive)).first->second;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    x0vfuzz::unattended();
    Archive archive(std::vector<std::uint8_t>(data, data + size));
    X0V_Document& document = documentFor(archive);
    x0vfuzz::checkLoaded(document.loadLibrary(archive), document);
    return 0;
}
