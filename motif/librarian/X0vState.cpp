#include "motif/librarian/X0vState.h"

#include "motif/librarian/X0vLibrary.h"

#include <algorithm>

namespace {

// Whether two byte ranges are the same without reading either: the same range of the same file,
// or bytes both held in memory. Anything else counts as different, which costs an object shared
// less, never a wrong one.
bool sameBytes(const LazyBuffer& a, const LazyBuffer& b)
{
    if (a.size() != b.size()) return false;
    const SourceRange* ra = a.reference();
    const SourceRange* rb = b.reference();
    if (ra || rb) return ra && rb && ra->source == rb->source && ra->offset == rb->offset;
    return a.buffer() == b.buffer();
}

bool same(const XS_Voice& a, const XS_Voice& b)
{
    return static_cast<const XS_Entry&>(a) == static_cast<const XS_Entry&>(b) && a.data() == b.data() &&
           a.model() == b.model();
}

bool same(const XS_Waveform& a, const XS_Waveform& b)
{
    if (!(a.wfmEntry() == b.wfmEntry()) || !(a.wimEntry() == b.wimEntry()) ||
        a.dwfim().pitchOffset() != b.dwfim().pitchOffset() || a.keybanks().count() != b.keybanks().count())
        return false;
    for (int k = 0; k < a.keybanks().count(); ++k) {
        const XS_Keybank& ka = *a.keybanks().at(k);
        const XS_Keybank& kb = *b.keybanks().at(k);
        // The samples first: once they are the same range, comparing the key banks reads none.
        if (!sameBytes(ka.channel(0), kb.channel(0)) || !sameBytes(ka.channel(1), kb.channel(1)) ||
            !(ka == kb))
            return false;
    }
    return true;
}

// The copy a state keeps: samples that were read only to be heard go back to their file, where
// the state refers to them, rather than staying in memory once more for every step.
std::shared_ptr<const XS_Voice> kept(const XS_Voice& voice)
{
    return std::make_shared<const XS_Voice>(voice);
}

std::shared_ptr<const XS_Waveform> kept(const XS_Waveform& wave)
{
    auto copy = std::make_shared<const XS_Waveform>(wave);
    for (const auto& keybank : copy->keybanks())
        for (int c = 0; c < 2; ++c) keybank->channel(c).release();
    return copy;
}

template <class Object, class Holder, class State>
void takeBanks(const VectorEx<Holder>& banks, const VectorEx<Object>& (Holder::*slotsOf)() const,
               const std::vector<State>* previous, std::vector<State>& into)
{
    for (int b = 0; b < banks.count(); ++b) {
        const Holder& bank = *banks.at(b);
        const VectorEx<Object>& held = (bank.*slotsOf)();
        // Banks keep their place from edit to edit; a bank that changed shares nothing.
        const State* before =
            previous && std::size_t(b) < previous->size() ? &(*previous)[std::size_t(b)] : nullptr;
        if (before && (before->id != int(bank.id()) || int(before->objects.size()) != held.count()))
            before = nullptr;
        State& state = into.emplace_back();
        state.id = int(bank.id());
        state.tracking = held.isTracking();
        state.objects.reserve(std::size_t(held.count()));
        for (int p = 0; p < held.count(); ++p) {
            const Object& object = *held.at(p);
            if (before && same(object, *before->objects[std::size_t(p)]))
                state.objects.push_back(before->objects[std::size_t(p)]);
            else
                state.objects.push_back(kept(object));
        }
    }
}

template <class Object, class Holder, class State>
void restoreBanks(VectorEx<Holder>& banks, VectorEx<Object>& (Holder::*slotsOf)(),
                  const std::vector<State>& from)
{
    // The slot objects stay where the banks are laid out alike, as they are after any edit.
    bool alike = banks.count() == int(from.size());
    for (int b = 0; alike && b < banks.count(); ++b)
        alike = int(banks.at(b)->id()) == from[std::size_t(b)].id &&
                (banks.at(b)->*slotsOf)().count() == int(from[std::size_t(b)].objects.size());
    if (!alike) {
        banks.clear();
        for (const State& state : from) {
            Holder* bank =
                banks.append(std::make_unique<Holder>(static_cast<decltype(banks.at(0)->id())>(state.id)));
            for (const auto& object : state.objects)
                (bank->*slotsOf)().append(std::make_unique<Object>(*object));
        }
    } else {
        for (std::size_t b = 0; b < from.size(); ++b) {
            VectorEx<Object>& held = (banks.at(int(b))->*slotsOf)();
            for (std::size_t p = 0; p < from[b].objects.size(); ++p) *held.at(int(p)) = *from[b].objects[p];
        }
    }
    for (std::size_t b = 0; b < from.size(); ++b)
        (banks.at(int(b))->*slotsOf)().setTracking(from[b].tracking);
}

template <class State>
bool sameBanks(const std::vector<State>& a, const std::vector<State>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k].id != b[k].id || a[k].tracking != b[k].tracking ||
            a[k].objects.size() != b[k].objects.size())
            return false;
        for (std::size_t p = 0; p < a[k].objects.size(); ++p)
            if (a[k].objects[p] != b[k].objects[p] && !same(*a[k].objects[p], *b[k].objects[p])) return false;
    }
    return true;
}

} // namespace

std::shared_ptr<const X0vState> X0vState::take(const X0V_Document& library, const X0vState* previous)
{
    auto state = std::make_shared<X0vState>();
    state->type_ = library.type;
    state->signature_ = library.signature;
    state->version_ = library.version;
    state->catalogueSize_ = library.catalogueSize;
    state->damage_ = library.damage();
    for (const auto& chunk : library.chunks) {
        Chunk& copy = state->chunks_.emplace_back(Chunk{chunk->name, chunk->offset, chunk->count, {}});
        copy.items.reserve(std::size_t(chunk->items.count()));
        for (const auto& item : chunk->items) {
            copy.items.push_back(*item);
            copy.items.back().data.release();
            state->addSource(item->data);
        }
    }
    const XS_Voices& voices = library.voices();
    const XS_Waves& waves = library.waves();
    takeBanks(voices.banks(), &XS_VoiceBank::voices, previous ? &previous->voices_ : nullptr, state->voices_);
    takeBanks(waves.banks(), &XS_WaveBank::waveforms, previous ? &previous->waves_ : nullptr, state->waves_);
    for (const auto& bank : state->waves_)
        for (const auto& wave : bank.objects)
            for (const auto& keybank : wave->keybanks())
                for (int c = 0; c < 2; ++c) state->addSource(keybank->channel(c));
    return state;
}

void X0vState::addSource(const LazyBuffer& bytes)
{
    if (const SourceRange* range = bytes.reference();
        range && std::find(sources_.begin(), sources_.end(), range->source) == sources_.end())
        sources_.push_back(range->source);
}

void X0vState::restore(X0V_Document& library) const
{
    library.type = type_;
    library.signature = signature_;
    library.version = version_;
    library.catalogueSize = catalogueSize_;
    library.setDamage(damage_);
    library.chunks.clear();
    for (const Chunk& chunk : chunks_) {
        XS_Chunk* made = library.chunks.append(std::make_unique<XS_Chunk>(chunk.name));
        made->offset = chunk.offset;
        made->count = chunk.count;
        for (const XS_Item& item : chunk.items) made->items.append(std::make_unique<XS_Item>(item));
    }
    restoreBanks(library.voices().banks(), &XS_VoiceBank::voices, voices_);
    restoreBanks(library.waves().banks(), &XS_WaveBank::waveforms, waves_);
}

QString X0vState::store(const QString& path) const
{
    // The store fills in offsets and sizes of the objects it writes: it writes copies of its own.
    X0V_Document library;
    restore(library);
    return X0vLibrary::save(library, path);
}

bool X0vState::sameAs(const X0vState& other) const
{
    if (type_ != other.type_ || signature_ != other.signature_ || version_ != other.version_ ||
        damage_ != other.damage_ || chunks_.size() != other.chunks_.size())
        return false;
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        const Chunk& a = chunks_[c];
        const Chunk& b = other.chunks_[c];
        if (a.name != b.name || a.count != b.count || a.items.size() != b.items.size()) return false;
        for (std::size_t i = 0; i < a.items.size(); ++i)
            if (!sameBytes(a.items[i].data, b.items[i].data)) return false;
    }
    return sameBanks(voices_, other.voices_) && sameBanks(waves_, other.waves_);
}
