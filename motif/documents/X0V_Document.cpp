#include "motif/documents/X0V_Document.h"

#include "core/Archive.h"
#include "core/UserInterface.h"
#include "core/VarArgs.h"

#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace {

const QString EVCE = QStringLiteral("EVCE");
const QString DVCE = QStringLiteral("DVCE");
const QString EWFM = QStringLiteral("EWFM");
const QString EWIM = QStringLiteral("EWIM");
const QString DWFM = QStringLiteral("DWFM");
const QString DWIM = QStringLiteral("DWIM");

// The first item of a chunk follows its id, size and count; every item takes its tag and length
// word in front of its contents.
constexpr qint64 FirstItemOffset = 12;
constexpr qint64 ItemHeader = 8;

constexpr int ProgramsPerBank = 128;
constexpr int DrumKitSlots = 32;

struct BankSlots {
    int bank;
    int count;
};

// The voice slots of a model: its user banks of normal voices, then the drum kits every model has.
std::vector<BankSlots> voiceSlots(const QString& model)
{
    std::vector<BankSlots> banks;
    for (int k = 0; k < XS_Voice::MaxVoiceBanks(model); ++k)
        banks.push_back({XS_Voice::FirstUserBank + k, ProgramsPerBank});
    banks.push_back({XS_Voice::DrumUserBank, DrumKitSlots});
    return banks;
}

// The empty waveform slots of a model in slot order, named once: copies share their file names,
// where naming thousands of slots anew would format every name each time a library is opened.
struct SlotSet {
    std::vector<XS_Waveform> waveforms;
    std::vector<BankSlots> banks;

    static const SlotSet& of(const QString& model)
    {
        if (model == QLatin1String("Motif XS")) {
            static const SlotSet xs(model, 1024);
            return xs;
        }
        if (model == QLatin1String("Motif XF")) {
            static const SlotSet xf(model, 4224);
            return xf;
        }
        static const SlotSet none(model, 0);
        return none;
    }

    SlotSet(const QString& model, int count)
    {
        waveforms.reserve(std::size_t(count));
        for (int id = 1; id <= count; ++id) {
            XS_Waveform& waveform = waveforms.emplace_back();
            waveform.setId(id);
            const int bank = waveform.bank(model);
            if (banks.empty() || banks.back().bank != bank) banks.push_back({bank, 0});
            ++banks.back().count;
        }
    }
};

// Reopening a library keeps the slot objects when the banks begin with the layout's banks, each
// with at least its slots: the banks and objects that loading appended beyond them go, and the
// answer is true. Otherwise nothing changes and the slots have to be made anew.
template <class BankType, class List>
bool trimToLayout(VectorEx<BankType>& banks, const std::vector<BankSlots>& layout,
                  List& (BankType::*listOf)())
{
    const int wanted = static_cast<int>(layout.size());
    if (banks.count() < wanted) return false;
    for (int i = 0; i < wanted; ++i) {
        BankType* bank = banks.at(i);
        if (bank->id() != layout[std::size_t(i)].bank ||
            (bank->*listOf)().count() < layout[std::size_t(i)].count)
            return false;
    }
    while (banks.count() > wanted) banks.remove(banks.count() - 1);
    for (int i = 0; i < wanted; ++i) {
        List& list = (banks.at(i)->*listOf)();
        while (list.count() > layout[std::size_t(i)].count) list.remove(list.count() - 1);
        list.setTracking(false);
    }
    return true;
}

// Empties the chunk and gives it one fresh item per object, which writeChunkItem then fills.
void resetItems(XS_Chunk* chunk, int count)
{
    chunk->items.clear();
    for (int i = 0; i < count; ++i) chunk->items.append(std::make_unique<XS_Item>());
    chunk->count = count;
}

QString counted(int n, bool withCount, const char* one, const char* many)
{
    const QString word = QLatin1String(n == 1 ? one : many);
    return withCount ? QString::number(n) + QLatin1Char(' ') + word : word;
}

} // namespace

int X0V_Document::TypeOfModel(const QString& model)
{
    for (int type : {0, 6, 3})
        if (ModelOfType(type) == model) return type;
    return -1;
}

bool X0V_Document::hasVoiceChunk() const { return getChunk(EVCE) != nullptr; }

bool X0V_Document::hasWaveChunk() const { return getChunk(EWFM) != nullptr; }

bool X0V_Document::hasAllVoiceChunks() const { return getChunk(EVCE) && getChunk(DVCE); }

bool X0V_Document::hasAllWaveChunks() const
{
    return getChunk(EWFM) && getChunk(EWIM) && getChunk(DWFM) && getChunk(DWIM);
}

XS_Voice* X0V_Document::addVoice(std::unique_ptr<XS_Voice> voice)
{
    return voices_.addVoice(std::move(voice));
}

bool X0V_Document::addWave(std::unique_ptr<XS_Waveform> waveform)
{
    return waves_.addWave(model(), std::move(waveform));
}

XS_Voice* X0V_Document::voiceWithId(int id) const
{
    // A voice lives in the slot of its program unless nothing has that id.
    const auto packed = static_cast<std::uint32_t>(id);
    if (const XS_VoiceBank* bank = voices_.getBank(static_cast<Bank>(packed >> 8)))
        if (XS_Voice* voice = bank->voices().at(static_cast<int>(packed & 0xFF)); voice && voice->id() == id)
            return voice;
    return voices_.lookupVoice(id);
}

XS_Waveform* X0V_Document::waveWithId(int id) const
{
    const QString libraryModel = model();
    if (const XS_WaveBank* bank = waves_.getBank(XS_Waveform::BankOf(id, libraryModel)))
        if (XS_Waveform* waveform = bank->waveforms().at(XS_Waveform::NumberOf(id, libraryModel) - 1);
            waveform && waveform->id() == id)
            return waveform;
    return waves_.lookupWave(id);
}

void X0V_Document::readChunkItem(XS_Chunk* chunk, int index, Archive& archive)
{
    if (!loading_.started) {
        // The catalogue has made every chunk of the file by now.
        loading_.started = true;
        loading_.model = model();
        loading_.voices = hasAllVoiceChunks();
        loading_.waves = hasAllWaveChunks();
    }
    const QString& id = chunk->name;
    const QString& libraryModel = loading_.model;
    if (loading_.voices && id == EVCE) {
        auto voice = std::make_unique<XS_Voice>(libraryModel);
        voice->XS_Entry::fromArchive(libraryModel, archive);
        voice->item_index = index + 1;
        // The collection copies a voice into the one of the same id; finding that one by its slot
        // spares a search through every voice for each item.
        XS_Voice* held = voice->id() != 0 ? voiceWithId(voice->id()) : nullptr;
        if (held)
            *held = *voice;
        else
            held = voices_.addVoice(std::move(voice));
        loading_.voiceItems.resize(std::size_t(index) + 1);
        loading_.voiceItems[std::size_t(index)] = held;
        return;
    }
    if (loading_.waves && id == EWFM) {
        auto waveform = std::make_unique<XS_Waveform>();
        waveform->wfmEntry().fromArchive(libraryModel, archive);
        waveform->wfmEntry().item_index = index + 1;
        XS_Waveform* held = waveform->id() != 0 ? waveWithId(waveform->id()) : nullptr;
        if (held)
            *held = *waveform;
        else if (XS_Waveform* kept = waveform.get(); waves_.addWave(libraryModel, std::move(waveform)))
            held = kept;
        loading_.waveItems.resize(std::size_t(index) + 1);
        loading_.waveItems[std::size_t(index)] = held;
        return;
    }
    // The data items and the other waveform entries belong to the object of the same item
    // position. Pairing by position rather than by the n-th object with data keeps a file whose
    // entries are out of slot order, or that holds an entry without id, from giving one object's
    // data to another; of two entries with one id, the later one holds the object.
    const auto itemOf = [index](const auto& items, auto entryOf) {
        const auto object = std::size_t(index) < items.size() ? items[std::size_t(index)] : nullptr;
        return object && entryOf(*object).item_index == index + 1 ? object : nullptr;
    };
    const auto voiceEntry = [](const XS_Voice& voice) -> const XS_Entry& { return voice; };
    const auto waveEntry = [](const XS_Waveform& waveform) -> const XS_Entry& { return waveform.wfmEntry(); };
    if (XS_Voice* voice = loading_.voices && id == DVCE ? itemOf(loading_.voiceItems, voiceEntry) : nullptr) {
        Buffer data;
        archive.readBuffer(data);
        voice->setData(data);
        return;
    }
    const bool waveItem = loading_.waves && (id == EWIM || id == DWFM || id == DWIM);
    if (XS_Waveform* waveform = waveItem ? itemOf(loading_.waveItems, waveEntry) : nullptr) {
        if (id == EWIM)
            waveform->wimEntry().fromArchive(libraryModel, archive);
        else if (id == DWFM)
            waveform->dwfim().readWFM(archive);
        else
            waveform->dwfim().readWIM(archive);
        return;
    }
    // Chunks of other kinds, items without an object, and the chunks of a kind the file does not
    // hold whole stay opaque and are written back as they were.
    XS_Document::readChunkItem(chunk, index, archive);
}

bool X0V_Document::loadDocument(Archive& archive)
{
    loading_ = {};
    const bool loaded = XS_Document::loadDocument(archive);
    if (loaded) dropBroken();
    loading_ = {};
    // Until the next store the objects hold what these chunks held.
    if (hasAllVoiceChunks())
        for (const QString& id : {EVCE, DVCE}) getChunk(id)->items.clear();
    if (hasAllWaveChunks())
        for (const QString& id : {EWFM, EWIM, DWFM, DWIM}) getChunk(id)->items.clear();
    return loaded;
}

namespace {

// The first item position that the file lost in any of the chunks: from there on the objects of
// those chunks miss a part. A chunk lost as a whole loses everything from position 0.
std::size_t lostFrom(const DamageList& damage, std::initializer_list<QString> ids)
{
    std::size_t first = SIZE_MAX;
    for (const Damage& part : damage)
        if (std::find(ids.begin(), ids.end(), part.chunk) != ids.end())
            first = std::min(first, std::size_t(std::max(part.item - 1, 0)));
    return first;
}

} // namespace

void X0V_Document::dropBroken()
{
    // An object that got only some of its items would be a wrong voice or waveform (an entry
    // without its data, key banks without their samples): its slot is left empty instead.
    const QString libraryModel = model();
    // The counts then say how many whole objects of each kind the file gave.
    const auto keepCounts = [this](std::initializer_list<QString> ids, std::size_t whole) {
        for (const QString& id : ids)
            if (XS_Chunk* chunk = getChunk(id);
                chunk && chunk->count > 0 && std::size_t(chunk->count) > whole)
                chunk->count = int(whole);
    };
    // Only the kinds read as objects; the others stay opaque items, which are whole as they are.
    const std::size_t voicesLost = loading_.voices ? lostFrom(damage(), {EVCE, DVCE}) : SIZE_MAX;
    keepCounts({EVCE, DVCE}, voicesLost);
    const auto& voices = loading_.voiceItems;
    for (std::size_t i = voicesLost; i < voices.size(); ++i)
        if (XS_Voice* voice = voices[i]; voice && voice->item_index == int(i) + 1) {
            const Patch patch = voice->patch();
            *voice = XS_Voice(libraryModel);
            voice->setPatch(patch);
        }
    const std::size_t wavesLost = loading_.waves ? lostFrom(damage(), {EWFM, EWIM, DWFM, DWIM}) : SIZE_MAX;
    keepCounts({EWFM, EWIM, DWFM, DWIM}, wavesLost);
    const auto& waves = loading_.waveItems;
    for (std::size_t i = wavesLost; i < waves.size(); ++i)
        if (XS_Waveform* waveform = waves[i]; waveform && waveform->wfmEntry().item_index == int(i) + 1) {
            const int id = waveform->id();
            *waveform = XS_Waveform();
            waveform->setId(id);
        }
}

int X0V_Document::TypeOfLibrary(Archive& archive)
{
    // The version field lies at 16 in the 32-byte head; a file too short for it is left to the
    // loader to refuse. The archive is left where it stood.
    if (archive.size() < 32) return -1;
    const qint64 at = archive.pos();
    archive.seek(16);
    const QString version = archive.readText(16);
    archive.seek(at);
    return TypeOfModel(ModelOfVersion(version));
}

bool X0V_Document::loadLibrary(Archive& archive)
{
    setErrorText(QString());
    XS_Document::clearDocument();
    initSlots(TypeOfLibrary(archive));
    return loadDocument(archive);
}

bool X0V_Document::loadLibrary(const QString& path)
{
    Archive archive(path);
    if (archive.failed()) {
        setErrorText(archive.errorText());
        return false;
    }
    if (!loadLibrary(archive)) {
        if (errorText().isEmpty())
            setErrorText(archive.failed() ? archive.errorText() : QStringLiteral("Illegal file"));
        return false;
    }
    validateDocument();
    return true;
}

void X0V_Document::writeChunkItem(XS_Chunk* chunk, int index, Archive& archive)
{
    const QString& id = chunk->name;
    const auto itemOf = [index](const auto& objects) {
        return std::size_t(index) < objects.size() ? objects[std::size_t(index)] : nullptr;
    };
    if (id == EVCE || id == DVCE) {
        if (const XS_Voice* voice = itemOf(storing_.voices)) {
            if (id == EVCE)
                voice->XS_Entry::toArchive(model(), archive);
            else
                archive.writeBuffer(voice->data());
            return;
        }
    }
    if (id == EWFM || id == EWIM || id == DWFM || id == DWIM) {
        if (const XS_Waveform* waveform = itemOf(storing_.waves)) {
            if (id == EWFM)
                waveform->wfmEntry().toArchive(model(), archive);
            else if (id == EWIM)
                waveform->wimEntry().toArchive(model(), archive);
            else if (id == DWFM)
                waveform->dwfim().writeWFM(archive);
            else
                waveform->dwfim().writeWIM(archive);
            return;
        }
    }
    XS_Document::writeChunkItem(chunk, index, archive);
}

bool X0V_Document::storeDocument(Archive& archive)
{
    validateVoices();
    validateWaves();
    const bool stored = XS_Document::storeDocument(archive);
    storing_ = {};
    return stored;
}

void X0V_Document::updateEntries()
{
    validateVoices();
    validateWaves();
    storing_ = {};
}

void X0V_Document::validateVoices()
{
    storing_.voices.clear();
    XS_Chunk* entries = getChunk(EVCE);
    XS_Chunk* data = getChunk(DVCE);
    if (!entries || !data) return;
    qint64 offset = FirstItemOffset;
    for (const auto& bank : voices_.banks())
        for (const auto& voice : bank->voices()) {
            if (!voice->hasData()) continue;
            storing_.voices.push_back(voice.get());
            const Buffer& block = voice->data();
            voice->data_size = block.size();
            voice->data_offset = static_cast<std::int32_t>(offset);
            offset += block.size() + ItemHeader;
            // The instrument lists a voice by its two categories and its name, padding included.
            voice->content_name =
                VarArgs("%d:%d:%s", 16 * block.at(32) + block.at(33), 16 * block.at(34) + block.at(35),
                        block.readText(XS_Voice::NameOffset, XS_Voice::NameSize))
                    .format();
        }
    resetItems(entries, static_cast<int>(storing_.voices.size()));
    resetItems(data, static_cast<int>(storing_.voices.size()));
}

void X0V_Document::validateWaves()
{
    storing_.waves.clear();
    XS_Chunk* chunks[] = {getChunk(EWFM), getChunk(EWIM), getChunk(DWFM), getChunk(DWIM)};
    if (std::find(std::begin(chunks), std::end(chunks), nullptr) != std::end(chunks)) return;
    qint64 wfmOffset = FirstItemOffset;
    qint64 wimOffset = FirstItemOffset;
    for (const auto& bank : waves_.banks())
        for (const auto& waveform : bank->waveforms()) {
            if (!waveform->hasData()) continue;
            storing_.waves.push_back(waveform.get());
            int wfmSize = 0;
            int wimSize = 0;
            waveform->dwfim().calcSizes(wfmSize, wimSize);
            XS_Entry& wfm = waveform->wfmEntry();
            wfm.data_size = wfmSize;
            wfm.data_offset = static_cast<std::int32_t>(wfmOffset);
            wfmOffset += wfmSize + ItemHeader;
            XS_Entry& wim = waveform->wimEntry();
            wim.data_size = wimSize;
            wim.data_offset = static_cast<std::int32_t>(wimOffset);
            wimOffset += wimSize + ItemHeader;
        }
    for (XS_Chunk* chunk : chunks) resetItems(chunk, static_cast<int>(storing_.waves.size()));
}

void X0V_Document::validateDocument()
{
    bool changed = false;
    for (const auto& bank : voices_.banks())
        for (const auto& voice : bank->voices())
            if (voice->hasData() && voice->removeInvalidWaveforms(this)) changed = true;
    if (changed) warning(nullptr, QStringLiteral("Removed invalid waveform indexes!"), QString());
}

void X0V_Document::initSlots(int newType)
{
    setType(newType);
    const QString slotModel = model();
    const SlotSet& waveSlots = SlotSet::of(slotModel);

    const std::vector<BankSlots> voiceLayout = voiceSlots(slotModel);
    if (!trimToLayout(voices_.banks(), voiceLayout, &XS_VoiceBank::voices)) {
        voices_.banks().clear();
        for (const BankSlots& layout : voiceLayout) {
            XS_VoiceBank* bank = voices_.createBank(static_cast<Bank>(layout.bank));
            for (int program = 0; program < layout.count; ++program)
                bank->voices().append(std::make_unique<XS_Voice>());
        }
    }
    for (const auto& bank : voices_.banks())
        for (int program = 0; program < bank->voices().count(); ++program) {
            XS_Voice* voice = bank->voices().at(program);
            *voice = XS_Voice(slotModel);
            voice->setPatch(Patch(bank->id(), program));
        }

    if (trimToLayout(waves_.banks(), waveSlots.banks, &XS_WaveBank::waveforms)) {
        auto pristine = waveSlots.waveforms.begin();
        for (const auto& bank : waves_.banks())
            for (const auto& waveform : bank->waveforms()) {
                // Most slots of a library are empty and stay untouched; comparing is cheaper than
                // copying.
                const bool empty = waveform->keybanks().isEmpty() && waveform->dwfim().pitchOffset() == 0 &&
                                   waveform->wfmEntry() == pristine->wfmEntry() &&
                                   waveform->wimEntry() == pristine->wimEntry();
                if (!empty) *waveform = *pristine;
                ++pristine;
            }
    } else {
        waves_.banks().clear();
        for (const XS_Waveform& pristine : waveSlots.waveforms)
            waves_.createBank(pristine.bank(slotModel))
                ->waveforms()
                .append(std::make_unique<XS_Waveform>(pristine));
    }
}

double X0V_Document::estimatedSizeMB() const
{
    qint64 total = 0;
    for (const auto& bank : waves_.banks())
        for (const auto& waveform : bank->waveforms())
            if (waveform->hasData()) total += waveform->totalSize();
    return static_cast<double>(total / 1024 / 1024);
}

int X0V_Document::choseWaveBank(const QString& title)
{
    const QStringList banks{QStringLiteral("USR"), QStringLiteral("FL1"), QStringLiteral("FL2")};
    const QString answer = ChoseItem(nullptr, title, QStringLiteral("Chose destination bank"), banks, 0);
    return answer.isEmpty() ? 0 : static_cast<int>(banks.indexOf(answer)) + 1;
}

void X0V_Document::clearDocument()
{
    XS_Document::clearDocument();
    waves_.deleteData();
    voices_.deleteData();
}

QString X0V_Document::strVoices(int n, bool withCount) { return counted(n, withCount, "Voice", "Voices"); }

QString X0V_Document::strWaveforms(int n, bool withCount)
{
    return counted(n, withCount, "Waveform", "Waveforms");
}

QString X0V_Document::strKeybanks(int n, bool withCount)
{
    return counted(n, withCount, "Keybank", "Keybanks");
}
