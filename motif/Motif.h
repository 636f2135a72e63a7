#pragma once

#include "motif/MotifBanks.h"
#include "motif/MotifExport.h"
#include "motif/VoiceCopyPlan.h"
#include "zaltor/MidiDevice.h"

#include <QMap>
#include <QStringList>
#include <memory>

class BulkDump;
class DrumDump;
class MasterDump;
class MixDump;
class PLGDump;
class PatchDump;
class PerformanceDump;
class QWidget;
class VoiceDump;
class VoiceCopierInfo;

#include "zaltor/Containers.h"

// The Motif ES generation as a MIDI device: identity, modes, the bank table and its numbering,
// edit buffers, patch selection in every mode, and what MIDI from the instrument means.
class MOTIF_EXPORT Motif : public MidiDevice {
    Q_OBJECT
public:
    using PatchType = MotifBanks::PatchType;
    using enum MotifBanks::PatchType;
    // Values of the instrument's mode parameter.
    enum Mode { VoiceMode = 0, PerformanceMode = 1, PatternMode = 2, SongMode = 3, MasterMode = 4 };

    static constexpr unsigned int NoControl = MotifBanks::NoControl;
    static constexpr unsigned short MixVoiceBank = MotifBanks::MixVoiceBank;
    static constexpr unsigned short MixBank = MotifBanks::MixBank;
    static constexpr unsigned short MasterBank = MotifBanks::MasterBank;
    // The instrument needs this long after a mode change before it takes the next message.
    static constexpr int ModeChangeWaitMs = 350;

    Motif();
    ~Motif() override;

    void OnMidiMessage(const MidiMessage& message, MidiSource source) override;
    void OnSysex(Sysex* message, MidiSource source) override;
    void OnPatchChange(Patch patch, MidiSource source) override;
    void patchChange(Patch patch, int arg = -1) override;
    void patchChangeByType(int type) override;
    QString displaySysex(Sysex* message) override;
    void waitRequest() override {}
    bool checkId(Sysex* reply) override;
    Sysex* createSysex() override;
    void setMode(int mode) override;
    void setModeByType(int type) override;
    void setModeByBank(unsigned short bank) override;
    QString bankNumber(unsigned short bank) override;
    bool isUserBank(unsigned short bank) override;
    int bankType(unsigned short bank) override;
    QString bankTypeName(int type) override;
    unsigned int getIndexedAddress(unsigned int address, int index) override
    {
        return address + unsigned(index) * 2;
    }
    void setPartVolume(int part, int volume) override;
    PatchDump* createPatchDump(int type) override;

    // ---- Bulk and patch transfer
    void bulkRequest(unsigned int control) override;
    void patchRequest(Patch patch, bool setMode) override;
    bool syncPatchRequest(Patch patch, BulkDump& dump, bool setMode) override;
    bool syncEditBufferRequest(int type, BulkDump& dump, int wait) override;
    void bulkTransmit(unsigned int control, BulkDump* dump) override;
    void patchTransmit(Patch patch, BulkDump* dump, bool store) override;
    void toEditBuffer(PatchDump* dump) override;
    void strip(BulkDump* dump) override;
    // A bulk message answers the request of `control` only if it is a bulk dump of this model
    // and, for a header or footer, names that control: replies to other requests are not ours.
    bool isReplyTo(unsigned int control, const Sysex& message) override;
    // The blocks the instrument sends for a patch of `type`, in its order and of its sizes (the
    // type's init patch); null for no such type.
    const BulkDump* layoutOf(int type) const;
    // The bulk control of a stored patch: its bank's base plus the program; NoControl for an
    // invalid patch or a bank without bulk blocks.
    unsigned int getBulkControl(Patch patch) const;
    // Retargets a received bulk, header and footer included, to another location.
    void setBulkControls(BulkDump& dump, Patch patch);
    // The bulk dump message of a block address with hexadecimal data (null: none).
    void sendBulkBuffer(unsigned int address, const char* data);
    void initVoice(unsigned int control);
    void initDrumVoice(unsigned int control);
    void initPlgVoice(unsigned int control);
    void initPerformance();
    void initMix();
    void initMaster();
    // Sends a bulk in which the messages of `messages` (an array of `count` pointers) replace the
    // data of the blocks with the same address; blocks without a counterpart go unchanged.
    bool bulkTransmitAltered(unsigned int control, Sysex* message, int wait);
    bool bulkTransmitAltered(unsigned int control, Sysex* const* messages, int count, int wait);
    void bulkTransmitAltered(BulkDump* dump, Sysex* const* messages, int count);

    // ---- Voice copier: a stored voice or drum kit into a part of the performance (mode 1) or
    // mix (any other mode) being edited, by single parameter changes. Each hands over to the
    // other when the voice of info is of the other kind; nothing is sent when the dump lacks
    // one of the blocks read or info's part is not one the mode has.
    void CopyVoiceES(BulkDump* dump, VoiceCopierInfo* info, int mode);
    void CopyDrumES(BulkDump* dump, VoiceCopierInfo* info, int mode);
    // The changes a copy sends, in order, as a drum kit when info's voice is in a drum bank;
    // empty when nothing can be copied. Sending nothing, it serves a preview or a dry run.
    VoiceCopyPlan planVoiceCopy(const BulkDump* dump, const VoiceCopierInfo& info, int mode);
    void sendPlan(const VoiceCopyPlan& plan);

    // ---- Initial patches of every type, built once with the device
    BulkDump* getInitVoice() const;
    BulkDump* getInitDrumVoice() const;
    BulkDump* getInitPlgVoice() const;
    BulkDump* getInitPerformance() const;
    BulkDump* getInitMix() const;
    BulkDump* getInitMaster() const;
    void storeAllPatches() override;
    void storePatch(Patch) override {}
    void storeGlobal() override {}
    bool hasDeviceId() override { return true; }
    bool hasKeyboard() override { return true; }
    bool hasSecondaryPorts() override { return false; }
    void setSecondaryPorts() override { replacePortNames(QStringLiteral("-1"), QStringLiteral("-4")); }

    QString printCategory(int main);
    QString printCategory(int main, int sub);
    unsigned int getEditBuffer(int type) const;
    // The bulk control of program 0 of a bank, NoControl for a bank without bulk blocks.
    unsigned int bulkControlBaseOf(unsigned short bank) const;

    // A bank of stored voices: the mix voice bank holds voices too, but those of the mix in edit.
    static bool isVoiceBank(unsigned short bank);
    static bool isDrumBank(unsigned short bank);
    static bool isPLGBank(unsigned short bank);
    static bool isUserVoiceBank(unsigned short bank)
    {
        return isVoiceBank(bank) && MotifBanks::isUserBank(bank);
    }
    static bool isMixVoiceBank(unsigned short bank) { return bank == MixVoiceBank; }
    static bool isUserDrumBank(unsigned short bank)
    {
        return isDrumBank(bank) && MotifBanks::isUserBank(bank);
    }
    static bool isUserPLGBank(unsigned short bank) { return isPLGBank(bank) && MotifBanks::isUserBank(bank); }
    static bool isPerformanceBank(unsigned short bank) { return MotifBanks::bankType(bank) == Performance; }
    static bool isMultiBank(unsigned short bank) { return MotifBanks::bankType(bank) == Mix; }
    static bool isMasterBank(unsigned short bank) { return MotifBanks::bankType(bank) == Master; }
    static bool isMixMode(int mode) { return mode == 2 || mode == 3 || mode == 5; }

    int currentMode() const { return currentMode_; }
    int syncGetMode(int wait);
    static QString modeName(int mode);
    bool inVoiceMode() const { return currentMode_ == VoiceMode; }
    bool inPerformanceMode() const { return currentMode_ == PerformanceMode; }
    bool inMixMode() const { return isMixMode(currentMode_); }
    bool inMasterMode() const { return currentMode_ == MasterMode; }
    void resetMixVoices();
    void updateRcvChannel();
    // The receive channel (0-15) as the instrument reports it, or the value it reports for omni
    // or off; -1 when no answer came within `wait`. The device's own channel stays as it was.
    int syncGetRcvChannel(int wait);
    // The SysEx device number (1-16) that every message of the device carries; 1 from the start.
    // An instrument set to another number ignores messages not addressed to it.
    void setDeviceNumber(int number);
    int deviceNumber() const { return deviceNumber_; }
    // User waveforms live in the instrument's sample memory, which the device does not read.
    void readUserWaveforms(const QString&) {}

protected:
    void setLocalOn(bool on);
    void replacePortNames(const QString& from, const QString& to);
    void setMixPart(int) {}

private:
    int currentMode_ = -1;
    int deviceNumber_ = 1;
    // Destroyed in reverse order, before the bank map.
    std::unique_ptr<VoiceDump> initVoice_;
    std::unique_ptr<DrumDump> initDrum_;
    std::unique_ptr<PLGDump> initPlg_;
    std::unique_ptr<PerformanceDump> initPerformance_;
    std::unique_ptr<MixDump> initMix_;
    std::unique_ptr<MasterDump> initMaster_;

    // ---- PLG150 plug-in boards: slots 0-2, each with its bank list file plg1.ini-plg3.ini
public:
    // The board file that stands for an empty slot.
    static constexpr const char* PlgEmptySlot = "(none)";
    // The folder of the device's own files, in the user's data location
    // ($XDG_DATA_HOME/motif-es/Motif ES); createPLGFile creates it when missing.
    QString deviceFolder() const;
    // The name of the board in a slot as the loaded bank lists say; empty without one.
    QString plgName(int slot) const;
    // For each slot in turn: forgets the bank set "PLG<n>", then loads plg<n>.ini into the
    // device's tables. A missing file keeps what was loaded before.
    void loadPLG();
    // Writes a slot's bank list from a board definition file. "(none)" writes the empty slot; the
    // empty text or a slot outside 0-2 leaves the file alone. A failed write keeps the old file
    // and answers what failed; the empty text on success.
    QString createPLGFile(int slot, const QString& boardFile);
    // Runs the setup dialog modally; true when the user accepted it.
    bool plgSetup(QWidget* parent);
    // The banks of a slot's loaded bank list: bank select and the name section of each.
    BankSet plgBanks(int slot) const;
    // The names of a name section by program, below its Total; programs without a name are absent.
    static QMap<int, QString> plgProgramNames(const IniSection& names);
    // The board definitions the module carries, as resource paths, by name.
    static QStringList plgBoardFiles();

protected:
    QString plgFileName(int slot) const;
    QString translatePLGBankName(const QString& entry, int slot) const;
    // The text of a slot's bank list file for a board definition.
    QString plgBankList(int slot, const IniFile& board) const;
};

// Parameter address of voice element `element` (0-3) in the block of `part` (0-6).
MOTIF_EXPORT unsigned int VOICE_ELM_PART(int element, int part);
// Parameter address of drum key `key` (0-72) in the block of `part` (0-4); -1 for other parts.
MOTIF_EXPORT unsigned int DRUM_KEY_PART(int key, int part);
