#pragma once

#include "core/Dialog.h"
#include "motif/MotifExport.h"
#include "motif/VoiceCopierInfo.h"

class MidiDevice;
class MidiPatchEdit;
class QCheckBox;
class QComboBox;

// Asks which stored voice goes into which part of the performance or mix being edited, and what
// goes along with it. It starts from the settings in the profile and saves them when accepted.
class MOTIF_EXPORT VoiceCopierDlg : public Dialog {
    Q_OBJECT
public:
    // mode is the instrument's mode: performance mode (1) offers four parts, every other mode
    // sixteen; song mode (3) has no use for the voice name and hides its box.
    VoiceCopierDlg(int mode, MidiDevice* device, QWidget* parent);
    ~VoiceCopierDlg() override;

    VoiceCopierInfo& info() { return info_; }

public slots:
    void accept() override;

private:
    void load();

    VoiceCopierInfo info_;
    int mode_;
    MidiDevice* device_;
    MidiPatchEdit* voice_;
    QCheckBox* copyName_;
    QCheckBox* copyVoice_;
    QCheckBox* copyFx_;
    QCheckBox* copyInsFx_;
    QCheckBox* copyArp_;
    QComboBox* part_;
};

// Runs the dialog; on acceptance copies its settings into info and answers true. Cancelling
// answers false and leaves info as it was.
MOTIF_EXPORT bool GetVoiceCopierInfo(VoiceCopierInfo& info, int mode, MidiDevice* device, QWidget* parent);
