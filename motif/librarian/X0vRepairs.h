#pragma once

#include "motif/MotifExport.h"

#include <QString>
#include <vector>

class X0V_Document;

// The changes that validating a library after loading would make: elements of voices that play a
// waveform the library does not hold are switched off. An edit must not make them behind the
// user's back, so they are listed first and made only when asked for.
namespace X0vRepairs {

struct Reference {
    QString voice; // "USER2:0 \"Solo\""
    int element;   // counted from 1, as the instrument shows elements
    int waveform;  // the id the element plays
};

// Every element reference that validation would switch off, voices in bank order.
MOTIF_EXPORT std::vector<Reference> dangling(const X0V_Document& library);
// "USER2:0 "Solo" element 1 (waveform 3)".
MOTIF_EXPORT QString describe(const Reference& reference);
// Switches the dangling elements off, as validation would, without its message box.
MOTIF_EXPORT void repair(X0V_Document& library);

} // namespace X0vRepairs
