#pragma once

#include <QString>
#include <vector>

class X0V_Document;

// What `x0v lint` finds in a library as it was read, before validation switches anything off or
// a store rewrites the entries.
struct LintProblem {
    QString kind; // "dangling", "unused", "slots" or "sizes"
    QString message;
};

// `entriesRead` are the counts of the EVCE and EWFM chunks as the file gave them.
std::vector<LintProblem> lintLibrary(const X0V_Document& library, int voiceEntriesRead, int waveEntriesRead);
