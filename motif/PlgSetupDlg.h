#pragma once

#include "core/Dialog.h"
#include "motif/MotifExport.h"

#include <QList>
#include <QStringList>

class Motif;
class QLabel;
class QPushButton;

// Which PLG150 board sits in each of the instrument's three slots. The user picks a board
// definition file for a slot or clears it; nothing is written until the dialog is accepted, which
// rewrites the bank list files of the changed slots and reloads all three into the device.
class MOTIF_EXPORT PlgSetupDlg : public Dialog {
    Q_OBJECT
public:
    PlgSetupDlg(Motif* device, QWidget* parent);
    void accept() override;

public slots:
    // Both act on the slot that the sending button's object name holds ("0"-"2").
    void loadFile();
    void deleteFile();

private:
    int senderSlot() const;
    void showBoard(int slot, const QString& name);

    Motif* device_;
    // Per slot: empty (no change), a board definition path, or "(none)" (clear the slot).
    QStringList files_;
    QList<QLabel*> names_;
    QList<QPushButton*> deletes_;
};
