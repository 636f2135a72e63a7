#pragma once

#include "motif/documents/X0V_Document.h"

// The slots of a library in bank order, empty ones included, each with the bank and position the
// librarian names it by. Works on a const library as on one being changed.
namespace X0vWalk {

// visit(bank, program, voice) for every voice slot.
template <class Library, class Visit>
void voices(Library& library, Visit visit)
{
    auto& banks = library.voices().banks();
    for (int b = 0; b < banks.count(); ++b)
        for (int p = 0; p < banks.at(b)->voices().count(); ++p)
            visit(*banks.at(b), p, *banks.at(b)->voices().at(p));
}

// visit(bank, position, waveform) for every waveform slot.
template <class Library, class Visit>
void waveforms(Library& library, Visit visit)
{
    auto& banks = library.waves().banks();
    for (int b = 0; b < banks.count(); ++b)
        for (int p = 0; p < banks.at(b)->waveforms().count(); ++p)
            visit(*banks.at(b), p, *banks.at(b)->waveforms().at(p));
}

} // namespace X0vWalk
