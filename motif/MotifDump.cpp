#include "motif/MotifDump.h"

#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/DeviceTable.h"
#include "zaltor/ParamMenu.h"

namespace {
// The category bytes of a name block.
constexpr int MainCategoryByte = 12;
constexpr int SubCategoryByte = 13;
} // namespace

void MotifDump::addBulkDump(unsigned int address, const char* data)
{
    auto message = std::make_unique<MotifSysex>();
    message->prepareBulkDump(address, QString::fromLatin1(data));
    append(std::move(message));
}

void MotifDump::copyInit(BulkDump* (Motif::*getter)() const)
{
    if (device_) copyDump((device_->*getter)(), device_);
}

int MotifDump::getCategoryData() const
{
    const Sysex* name = first();
    if (!hasCategory() || !name || name->dataSize() <= SubCategoryByte) return -1;
    return (name->dataAt(MainCategoryByte) & 0x7F) * 128 + (name->dataAt(SubCategoryByte) & 0x7F);
}

void MotifDump::setCategoryData(int value)
{
    Sysex* name = first();
    if (!hasCategory() || !name || name->dataSize() <= SubCategoryByte) return;
    name->setDataAt(MainCategoryByte, std::uint8_t((value / 128) & 0x7F));
    name->setDataAt(SubCategoryByte, std::uint8_t(value & 0x7F));
    // The instrument refuses a block whose checksum no longer matches its data.
    name->updateChecksum();
}

QString MotifDump::printCategory(bool full) const
{
    const int category = getCategoryData();
    if (category < 0 || !device_) return QString();
    return full ? device_->printCategory(category / 128, category % 128)
                : device_->printCategory(category / 128);
}

bool MotifDump::setCategory(const QString& name)
{
    const DeviceTable* table = device_ ? device_->createTable(categorySection()) : nullptr;
    const TableData* row = table ? table->row(table->indexOf(name)) : nullptr;
    if (!row) return false;
    setCategoryData(row->data);
    return true;
}

bool MotifDump::selectCategory(QWidget* parent, QPoint position)
{
    const DeviceTable* table = device_ ? device_->createTable(categorySection()) : nullptr;
    if (!table) return false;
    const int current = table->indexOf(getCategoryData());
    const TableData* row = table->row(ParamMenu::getValue(parent, position, table, current, 0, -1));
    if (!row) return false;
    setCategoryData(row->data);
    return true;
}

void VoiceDump::init() { copyInit(&Motif::getInitVoice); }

void DrumDump::init() { copyInit(&Motif::getInitDrumVoice); }

void PLGDump::init() { copyInit(&Motif::getInitPlgVoice); }

void PerformanceDump::init() { copyInit(&Motif::getInitPerformance); }

void MixDump::init() { copyInit(&Motif::getInitMix); }

void MasterDump::init() { copyInit(&Motif::getInitMaster); }
