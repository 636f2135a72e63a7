// What both library targets do with a library that was taken: validate and summarise it, store
// it, and open what was stored as a plain document, which must validate without a warning, hold
// the same voices and waveforms and store the same bytes.
#pragma once

#include "FuzzCheck.h"
#include "core/Archive.h"
#include "core/UserInterface.h"
#include "motif/documents/X0V_Document.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace x0vfuzz {

// Validation warns; here nobody reads it, and a warning after the round trip is a finding.
class Unattended : public UserInterface {
public:
    int warnings = 0;

    void error(QWidget*, const QString&, const QString&) override {}
    void warning(QWidget*, const QString&, const QString&) override { ++warnings; }
    QString promptFileOpen(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString choseItem(QWidget*, const QString&, const QString&, const QStringList&, int) override
    {
        return {};
    }
    void progressBegin(QWidget*, const QString&, int) override {}
    void progressMessage(const QString&) override {}
    void progressStep() override {}
    void progressEnd() override {}
    void busy(bool) override {}
};

inline Unattended& unattended()
{
    static Unattended user;
    UserInterface::install(&user);
    return user;
}

inline std::vector<std::uint8_t> store(X0V_Document& document)
{
    Archive archive;
    check(document.storeDocument(archive));
    check(!archive.failed());
    return archive.bytes();
}

// What a listing of the library reads of every voice and waveform; answers how many of each
// hold data.
inline std::pair<int, int> summarise(X0V_Document& document)
{
    const QString model = document.model();
    std::pair<int, int> counts;
    for (const auto& bank : document.voices().banks())
        for (const auto& voice : bank->voices()) {
            if (!voice->hasData()) continue;
            ++counts.first;
            voice->name();
            voice->bankName();
            voice->getCategory1();
            voice->waveformInfo(&document);
            for (int id : voice->waveforms(model)) {
                const XS_Waveform* waveform = document.waves().lookupWave(id);
                check(waveform && waveform->hasData());
            }
        }
    for (const auto& bank : document.waves().banks())
        for (const auto& waveform : bank->waveforms())
            if (waveform->hasData()) {
                ++counts.second;
                waveform->name();
                waveform->bankName(model);
                waveform->info();
            }
    document.estimatedSizeMB();
    return counts;
}

// A refused library leaves a reason and no voice or waveform; a taken one survives the round trip.
inline void checkLoaded(bool loaded, X0V_Document& document)
{
    if (!loaded) {
        check(!document.errorText().isEmpty());
        check(document.voices().count() == 0 && document.waves().count() == 0);
        return;
    }
    Unattended& user = unattended();
    document.validateDocument();
    const auto [voices, waves] = summarise(document);
    const std::vector<std::uint8_t> first = store(document);

    // Read back as a plain document: every slot the first store wrote comes back in its order.
    Archive reread(first);
    X0V_Document again;
    check(again.loadDocument(reread));
    // What a damaged file kept is whole: its copy has no damage.
    check(!again.isDamaged());
    user.warnings = 0;
    again.validateDocument();
    check(user.warnings == 0);
    check(again.voices().count() == voices);
    check(again.waves().count() == waves);
    check(store(again) == first);
}

} // namespace x0vfuzz
