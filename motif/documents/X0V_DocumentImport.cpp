#include "motif/documents/X0V_Document.h"

#include "core/UserInterface.h"
#include "core/VarArgs.h"
#include "zaltor/Sample.h"
#include "zaltor/SampleFile.h"

#include <QDebug>
#include <QFileInfo>
#include <new>

namespace {

bool usable(const Sample& sample)
{
    return sample.isValid() && XS_Keybank::SupportedBits(sample.format().bitsPerSample());
}

std::unique_ptr<XS_Keybank> keybankOf(Sample sample, QStringList& notes)
{
    notes << XS_Keybank::NotesOnSample(sample);
    auto keybank = std::make_unique<XS_Keybank>();
    keybank->fromSample(std::move(sample));
    return keybank;
}

void outOfMemory(const char* operation)
{
    qDebug().noquote() << VarArgs("Out of memory (%s)", operation).format();
}

} // namespace

int X0V_Document::importWaveform(int bank, int number, const QString& path)
{
    importNotes_.clear();
    // A file that is not one sample, or one that has no slot, may still be a multi-sample file.
    if (importSingle(bank, number, path)) return 1;
    return importMulti(bank, number, path);
}

bool X0V_Document::importSingle(int bank, int number, const QString& path)
{
    Sample sample;
    if (!sample.fromFile(path) || !usable(sample)) return false;
    try {
        auto waveform = std::make_unique<XS_Waveform>(QFileInfo(path).baseName());
        waveform->addKeybank(keybankOf(std::move(sample), importNotes_));
        waveform->setId(idOfSlot(bank, number));
        return waveform->id() != 0 && addWave(std::move(waveform));
    } catch (const std::bad_alloc&) {
        outOfMemory("importWaveform");
        return false;
    }
}

int X0V_Document::importMulti(int bank, int number, const QString& path)
{
    SampleFile file;
    file.fromFile(path);
    if (file.instruments.isEmpty()) return 0;
    int count = 0;
    bool stop = false;
    {
        ProgressDlg progress(nullptr, QStringLiteral("Import Waveforms"), file.instruments.count());
        for (const auto& instrument : file.instruments) {
            if (stop) break;
            auto waveform = std::make_unique<XS_Waveform>(instrument->name);
            progress.message(VarArgs("Importing '%s'...", instrument->name).format());
            for (const auto& sample : instrument->samples) {
                if (!usable(*sample)) continue;
                try {
                    waveform->addKeybank(keybankOf(*sample, importNotes_));
                } catch (const std::bad_alloc&) {
                    outOfMemory("importWaveform");
                    stop = true;
                    break;
                }
            }
            // An instrument without usable samples takes no slot.
            if (!stop && !waveform->keybanks().isEmpty()) {
                waveform->setId(idOfSlot(bank, qint64(number) + count));
                if (waveform->id() != 0) {
                    if (addWave(std::move(waveform)))
                        ++count;
                    else
                        stop = true;
                }
            }
            progress.step();
        }
        file.deleteAll();
    }
    if (stop)
        warning(nullptr, QStringLiteral("Not all waveforms could be loaded"),
                QStringLiteral("Out of memory"));
    return count;
}

XS_Keybank* X0V_Document::importKeybank(XS_Waveform& waveform, const QString& path)
{
    importNotes_.clear();
    Sample sample;
    if (!sample.fromFile(path) || !usable(sample)) return nullptr;
    try {
        return waveform.addKeybank(keybankOf(std::move(sample), importNotes_));
    } catch (const std::bad_alloc&) {
        outOfMemory("importKeybank");
        return nullptr;
    }
}
