#include "motif/PlgSetupDlg.h"

#include "core/Application.h"
#include "core/IniFile.h"
#include "core/Strings.h"
#include "core/UserInterface.h"
#include "core/VarArgs.h"
#include "motif/Motif.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PlgSetupDlg::PlgSetupDlg(Motif* device, QWidget* parent) : Dialog(parent), device_(device)
{
    setWindowTitle(QStringLiteral("PLG Setup"));
    SetFixedWindow(this);
    // The names shown are those of the bank list files on disk, whatever was loaded before.
    device_->loadPLG();

    auto* group = new QGroupBox(QStringLiteral("Installed PLG Boards"));
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(40, 10, 10, 10);
    for (int slot = 0; slot < 3; ++slot) {
        const int n = slot + 1;
        files_.append(QString());
        auto* row = new QHBoxLayout;
        column->addLayout(row);
        row->addWidget(new QLabel(VarArgs("Slot %d:", n).format()));

        auto* name = new QLabel;
        name->setStyleSheet(QStringLiteral("QLabel {border: 1px solid black; background-color: white }"));
        name->setFixedSize(100, 21);
        row->addWidget(name);
        names_.append(name);

        auto* load = new QPushButton;
        SetAccessibleText(load, VarArgs("Load PLG%d", n).format());
        load->setIcon(QIcon(QStringLiteral("core:open.png")));
        load->setObjectName(VarArgs("%d", slot).format());
        connect(load, &QPushButton::clicked, this, &PlgSetupDlg::loadFile);
        row->addWidget(load);

        auto* remove = new QPushButton;
        deletes_.append(remove);
        remove->setIcon(QIcon(QStringLiteral("core:delete.png")));
        remove->setObjectName(VarArgs("%d", slot).format());
        connect(remove, &QPushButton::clicked, this, &PlgSetupDlg::deleteFile);
        row->addWidget(remove);

        const QString board = device_->plgName(slot);
        showBoard(slot, board.isEmpty() ? QString::fromLatin1(Motif::PlgEmptySlot) : board);
    }
    addRow(group);
    addHButtons(1, false);
}

int PlgSetupDlg::senderSlot() const { return sender() ? StringToInt(sender()->objectName(), false, 0) : -1; }

// The name label and what a screen reader says for the slot's delete button.
void PlgSetupDlg::showBoard(int slot, const QString& name)
{
    names_[slot]->setText(VarArgs("<b>%s</b>", name).format());
    const QString target =
        name == QLatin1String(Motif::PlgEmptySlot) ? VarArgs("PLG%d", slot + 1).format() : name;
    SetAccessibleText(deletes_[slot], VarArgs("Delete %s", target).format());
}

void PlgSetupDlg::loadFile()
{
    const int slot = senderSlot();
    if (slot < 0 || slot >= files_.size()) return;
    const QString path =
        PromptFileOpen(this, QStringLiteral("Ini Files (*.ini)"), QStringLiteral("Load PLG Board Definition"),
                       Application::startPath(), QStringLiteral("PLG"));
    if (path.isEmpty()) return;
    IniFile board;
    board.loadFile(path);
    if (const IniSection* plg = board.section(QStringLiteral("PLG"))) {
        const QString name = plg->value(QStringLiteral("Name"));
        showBoard(slot, name.isEmpty() ? QString::fromLatin1(Motif::PlgEmptySlot) : name);
    }
    // Recorded even without a [PLG] section: accepting then writes the slot's header alone.
    files_[slot] = path;
}

void PlgSetupDlg::deleteFile()
{
    const int slot = senderSlot();
    if (slot < 0 || slot >= files_.size()) return;
    showBoard(slot, QString::fromLatin1(Motif::PlgEmptySlot));
    files_[slot] = QString::fromLatin1(Motif::PlgEmptySlot);
}

void PlgSetupDlg::accept()
{
    for (int slot = 0; slot < files_.size(); ++slot) device_->createPLGFile(slot, files_[slot]);
    device_->loadPLG();
    Dialog::accept();
}
