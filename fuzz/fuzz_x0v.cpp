// Voice-and-waveform libraries come from the instrument, from disks and from other editors. Opened
// as the command line opens them, into the full slot set of the model their version names,
// whatever their bytes must be refused with a reason and leave no voice or waveform behind, or be
// taken. A library that was taken is validated and summarised, and what it stores must open again
// into a library that validates without change and stores the same bytes.
#include "core/Archive.h"
#include "core/UserInterface.h"
#include "motif/documents/X0V_Document.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace {
void check(bool holds)
{
    if (!holds) __builtin_trap();
}

// Validation warns; here nobody reads it, and a second warning is a finding.
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

std::vector<std::uint8_t> store(X0V_Document& document)
{
    Archive archive;
    check(document.storeDocument(archive));
    check(!archive.failed());
    return archive.bytes();
}

// What a listing of the library reads of every voice and waveform; answers how many of each
// hold data.
std::pair<int, int> summarise(X0V_Document& document)
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
    static Unattended user;
    UserInterface::install(&user);
    Archive archive(std::vector<std::uint8_t>(data, data + size));
    X0V_Document& document = documentFor(archive);
    if (!document.loadLibrary(archive)) {
        check(!document.errorText().isEmpty());
        check(document.voices().count() == 0 && document.waves().count() == 0);
        return 0;
    }
    document.validateDocument();
    const auto [voices, waves] = summarise(document);
    const std::vector<std::uint8_t> first = store(document);

    // Read back as a plain document: every slot the first store wrote comes back in its order.
    Archive reread(first);
    X0V_Document again;
    check(again.loadDocument(reread));
    user.warnings = 0;
    again.validateDocument();
    check(user.warnings == 0);
    check(again.voices().count() == voices);
    check(again.waves().count() == waves);
    check(store(again) == first);
    return 0;
}
