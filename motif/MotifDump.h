#pragma once

#include "motif/MotifBanks.h"
#include "motif/MotifExport.h"
#include "zaltor/PatchDump.h"

class Motif;

// A patch of the Motif ES as a library keeps it: the bulk blocks of one voice, drum kit, PLG
// voice, performance, mix or master. The first block is the patch's name block; in voices, drum
// kits, PLG voices and performances its data bytes 12 and 13 hold the main and sub category.
class MOTIF_EXPORT MotifDump : public PatchDump {
public:
    explicit MotifDump(Motif* device) : device_(device) {}
    ~MotifDump() override = default;
    MotifDump(const MotifDump&) = default;
    MotifDump& operator=(const MotifDump&) = default;

    int maxNameSize() const override { return 10; }
    bool hasCategory() const override { return true; }
    // Main·128 + sub; -1 for a dump without a category, an empty one, or a name block too short.
    int getCategoryData() const override;
    // The category's short name, or with `full` its full name; empty where getCategoryData is -1.
    QString printCategory(bool full) const override;
    // Picks the category by the name of a row of the category table.
    bool setCategory(const QString& name) override;
    // Offers the category table as a pop-up menu and stores the choice; false when cancelled.
    bool selectCategory(QWidget* parent, QPoint position) override;

    // Appends the bulk block of `address` with `data`, hexadecimal bytes separated by blanks.
    void addBulkDump(unsigned int address, const char* data);
    // Stores main·128 + sub into the name block and renews its checksum; nothing for a dump
    // without a category.
    void setCategoryData(int value);

    Motif* device() const { return device_; }

protected:
    // Replaces the messages with copies of the device's init dump that `getter` answers.
    void copyInit(BulkDump* (Motif::*getter)() const);

private:
    Motif* device_;
};

class MOTIF_EXPORT VoiceDump : public MotifDump {
public:
    explicit VoiceDump(Motif* device) : MotifDump(device) {}
    void init() override;
    void buildInit(const QString& model) override;
    int type() const override { return MotifBanks::NormalVoice; }
    int iconIndex() const override { return 3; }
};

class MOTIF_EXPORT DrumDump : public MotifDump {
public:
    explicit DrumDump(Motif* device) : MotifDump(device) {}
    void init() override;
    void buildInit(const QString& model) override;
    int type() const override { return MotifBanks::DrumKit; }
    int iconIndex() const override { return 4; }
};

class MOTIF_EXPORT PLGDump : public MotifDump {
public:
    explicit PLGDump(Motif* device) : MotifDump(device) {}
    void init() override;
    void buildInit(const QString& model) override;
    int type() const override { return MotifBanks::PlgVoice; }
    int iconIndex() const override { return 5; }
};

// Four parts and up to three PLG parts, each naming the voice it plays.
class MOTIF_EXPORT PerformanceDump : public MotifDump {
public:
    explicit PerformanceDump(Motif* device) : MotifDump(device) {}
    void init() override;
    void buildInit(const QString& model) override;
    int type() const override { return MotifBanks::Performance; }
    int iconIndex() const override { return 6; }
    void getUserPatches(UserPatchList* list) const override;
    void reindexPatch(Patch from, Patch to) override;
};

// A song or pattern mix: sixteen parts and up to three PLG parts.
class MOTIF_EXPORT MixDump : public MotifDump {
public:
    explicit MixDump(Motif* device) : MotifDump(device) {}
    void init() override;
    void buildInit(const QString& model) override;
    int type() const override { return MotifBanks::Mix; }
    int iconIndex() const override { return 7; }
    bool hasCategory() const override { return false; }
    void getUserPatches(UserPatchList* list) const override;
    void reindexPatch(Patch from, Patch to) override;
};

// A master selects one voice, performance or mix.
class MOTIF_EXPORT MasterDump : public MotifDump {
public:
    explicit MasterDump(Motif* device) : MotifDump(device) {}
    void init() override;
    void buildInit(const QString& model) override;
    int type() const override { return MotifBanks::Master; }
    int iconIndex() const override { return 8; }
    bool hasCategory() const override { return false; }
    void getUserPatches(UserPatchList* list) const override;
    void reindexPatch(Patch from, Patch to) override;
};
