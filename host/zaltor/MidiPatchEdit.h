#pragma once

#include "zaltor/DeviceTable.h"
#include "zaltor/Patch.h"

#include <QString>
#include <QWidget>

class MidiDevice;
class QComboBox;

// Picks a patch from one of a device's bank lists: a bank, then one of its programs. Programs
// are numbered from 1 as the instrument's panel shows them and carry the patch's name where
// the device knows it (a name table of the bank, or a name the device learnt for a user patch).
class MidiPatchEdit : public QWidget {
    Q_OBJECT
public:
    // bankSetName names the device's bank list table ("VOICES"); a null device or an unknown
    // table leaves the selector empty.
    MidiPatchEdit(QWidget* parent, MidiDevice* device, const QString& bankSetName);

    const BankSet& bankSet() const { return banks_; }
    // The patch shown; invalid when the bank set is empty.
    Patch patch() const;
    // Shows patch; one outside the bank set shows the set's first patch instead, and answers false.
    bool setPatch(Patch patch);

private:
    void fillPrograms(int bankIndex);
    // How many programs the bank has: its name table's count, 128 when it has none.
    int programCount(int bankIndex) const;

    MidiDevice* device_;
    BankSet banks_;
    QComboBox* bank_;
    QComboBox* program_;
};
