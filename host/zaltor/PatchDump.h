#pragma once

#include "zaltor/BulkDump.h"
#include "zaltor/Patch.h"

#include <QPoint>
#include <QString>
#include <utility>
#include <vector>

class AddressMap;
class Archive;
class MidiDevice;
class QWidget;

// The patches a dump refers to (a performance's part voices, a master's program), each with the
// device it belongs to.
class UserPatchList {
public:
    void add(const Patch& patch, MidiDevice* device) { entries_.emplace_back(patch, device); }
    int count() const { return static_cast<int>(entries_.size()); }
    Patch patch(int i) const { return i >= 0 && i < count() ? entries_[std::size_t(i)].first : Patch(); }
    MidiDevice* device(int i) const
    {
        return i >= 0 && i < count() ? entries_[std::size_t(i)].second : nullptr;
    }
    void clear() { entries_.clear(); }

private:
    std::vector<std::pair<Patch, MidiDevice*>> entries_;
};

// One patch as a library keeps it: the bulk messages of its data blocks, without the bulk
// header and footer. A device derives one class per patch type to say what the type is and
// where its name and category live.
class PatchDump : public BulkDump {
public:
    PatchDump() = default;
    ~PatchDump() override = default;
    PatchDump(const PatchDump&) = default;
    PatchDump& operator=(const PatchDump&) = default;

    // Called after the messages were removed.
    virtual void onClear() {}
    // The framework's own archive: a 32-bit message count, then each message as a buffer
    // (32-bit length and bytes). Messages are made by the device's createSysex. Reading replaces
    // the messages; on a short or malformed archive the dump is left empty, false is answered and
    // errorText() says why.
    virtual bool fromArchive(Archive& archive, MidiDevice* device);
    virtual bool toArchive(Archive& archive) const;
    // Replaces the messages with copies of another dump's, made by the device's message class.
    virtual void copyDump(const BulkDump* source, MidiDevice* device);
    virtual void init() = 0;
    virtual void buildInit(const QString& model) = 0;
    virtual int type() const = 0;
    virtual int iconIndex() const { return 0; }
    // The name held in the first data bytes of the first message; with `withCategory`, the
    // category's short name and ":" before it when the dump has a category.
    virtual QString name(bool withCategory = false) const;
    // Writes the name into the first message, padded with blanks to maxNameSize, and renews the
    // checksum.
    virtual void setName(const QString& name);
    virtual int maxNameSize() const { return 0; }
    // The device table that names the categories.
    virtual QString categorySection() const { return QStringLiteral("CATEGORIES_FULL"); }
    virtual bool hasCategory() const { return false; }
    virtual int getCategoryData() const { return -1; }
    virtual QString printCategory(bool full) const;
    virtual bool setCategory(const QString& name);
    virtual bool selectCategory(QWidget* parent, QPoint position);
    // Reads a dump from a file of another format: "syx" is a raw stream of SysEx messages, from
    // which a bulk header and footer are dropped. The stream is taken whole or not at all: a
    // message cut short, a byte outside any message or a stream without messages leaves the dump
    // empty and answers false.
    virtual bool fromArchive(Archive& archive, MidiDevice* device, const QString& format);
    // A dump of the device's own layout needs no address translation: answers false.
    virtual bool translateDump(MidiDevice* device, AddressMap* map);
    virtual void getUserPatches(UserPatchList* list) const;
    virtual void reindexPatch(Patch from, Patch to);

    void clearDump()
    {
        clear();
        onClear();
    }
    // Why the last read from an archive failed; empty after a successful one.
    QString errorText() const { return error_; }

private:
    bool fail(const QString& text);
    bool readSyx(Archive& archive, MidiDevice* device);

    QString error_;
};
