#include "zaltor/MidiPatchEdit.h"

#include "core/Dialog.h"
#include "zaltor/MidiDevice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <algorithm>

namespace {
constexpr int ProgramsPerBank = 128;
} // namespace

MidiPatchEdit::MidiPatchEdit(QWidget* parent, MidiDevice* device, const QString& bankSetName)
    : QWidget(parent), device_(device), banks_(device ? device->createTable(bankSetName) : nullptr),
      bank_(new QComboBox(this)), program_(new QComboBox(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(bank_);
    row->addWidget(program_, 1);
    bank_->setObjectName(QStringLiteral("bank"));
    program_->setObjectName(QStringLiteral("program"));
    SetAccessibleText(bank_, tr("Bank"));
    SetAccessibleText(program_, tr("Program"));
    program_->setMaxVisibleItems(16);
    for (int i = 0; i < banks_.count(); ++i) bank_->addItem(banks_.name(i));
    fillPrograms(bank_->currentIndex());
    connect(bank_, &QComboBox::currentIndexChanged, this, &MidiPatchEdit::fillPrograms);
}

Patch MidiPatchEdit::patch() const
{
    const int bank = bank_->currentIndex();
    if (bank < 0) return Patch();
    return Patch(banks_.bank(bank), std::max(program_->currentIndex(), 0));
}

bool MidiPatchEdit::setPatch(Patch patch)
{
    int bank = -1;
    for (int i = 0; i < banks_.count() && patch.isValid(); ++i)
        if (banks_.bank(i) == patch.bank()) bank = i;
    const bool shown = bank >= 0 && patch.program() < programCount(bank);
    bank_->setCurrentIndex(shown ? bank : 0);
    program_->setCurrentIndex(shown ? patch.program() : 0);
    return shown;
}

int MidiPatchEdit::programCount(int bankIndex) const
{
    const DeviceTable* names = device_ ? device_->createTable(banks_.name(bankIndex)) : nullptr;
    return names && names->total() > 0 ? std::min(names->total(), ProgramsPerBank) : ProgramsPerBank;
}

void MidiPatchEdit::fillPrograms(int bankIndex)
{
    const int previous = program_->currentIndex();
    program_->clear();
    if (bankIndex < 0) return;
    const DeviceTable* names = device_->createTable(banks_.name(bankIndex));
    // A table that skips items cannot be matched to programs by position.
    const bool named = names && names->count() == names->total();
    const int count = programCount(bankIndex);
    for (int program = 0; program < count; ++program) {
        const QString name = named ? names->row(program)->name
                                   : device_->userPatchName(Patch(banks_.bank(bankIndex), program));
        program_->addItem(
            QStringLiteral("%1 %2").arg(program + 1, 3, 10, QLatin1Char('0')).arg(name).trimmed());
    }
    program_->setCurrentIndex(std::clamp(previous, 0, count - 1));
}
