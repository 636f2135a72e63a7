#include "zaltor/SampleFileReader.h"

#include <QFile>
#include <libinstpatch/libinstpatch.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

constexpr guint BlockFrames = 4096;

// Owns one GObject reference.
template <class T>
struct Ref {
    explicit Ref(T* object = nullptr) : object(object) {}
    ~Ref()
    {
        if (object) g_object_unref(object);
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* object;
};

QString textOf(GError* error)
{
    const QString text = error ? QString::fromUtf8(error->message) : QString("unknown reason");
    if (error) g_error_free(error);
    return text;
}

int midi(long value) { return int(std::clamp(value, 0L, 127L)); }

int bitsOf(int format)
{
    switch (IPATCH_SAMPLE_FORMAT_GET_WIDTH(format)) {
    case IPATCH_SAMPLE_8BIT:
        return 8;
    case IPATCH_SAMPLE_16BIT:
        return 16;
    case IPATCH_SAMPLE_32BIT:
        return 32;
    default: // 24-bit, floating point
        return 24;
    }
}

// A frame position moved by a generator's fine and coarse (32768 frames) offsets, kept inside the
// sample.
std::uint32_t offsetFrame(std::int64_t frame, const IpatchSF2GenArray& gens, int fine, int coarse,
                          guint32 frames)
{
    frame += gens.values[fine].sword + 32768LL * gens.values[coarse].sword;
    return std::uint32_t(std::clamp<std::int64_t>(frame, 0, frames));
}

// The PCM of a voice at its own width and channel count.
bool readAudio(IpatchSF2Voice& voice, Sample& sample)
{
    auto* source = IPATCH_SAMPLE(voice.sample_data);
    const int format = ipatch_sample_get_format(source);
    const int channels = IPATCH_SAMPLE_FORMAT_GET_CHANNEL_COUNT(format);
    if (channels > 2) return false;
    sample.format() = AudioFormat(voice.rate, bitsOf(format), channels);
    const int wanted = int(IPATCH_SAMPLE_32BIT) | int(IPATCH_SAMPLE_SIGNED) | int(IPATCH_SAMPLE_ENDIAN_HOST) |
                       IPATCH_SAMPLE_FORMAT_GET_CHANNELS(format);
    std::vector<std::int32_t> block(std::size_t(BlockFrames) * std::size_t(channels));
    for (guint first = 0; first < voice.sample_size; first += BlockFrames) {
        const guint count = std::min(BlockFrames, voice.sample_size - first);
        GError* error = nullptr;
        if (!ipatch_sample_read_transform(source, first, count, block.data(), wanted,
                                          IPATCH_SAMPLE_UNITY_CHANNEL_MAP, &error)) {
            if (error) g_error_free(error);
            return false;
        }
        if (!sample.appendFrames(std::span(block).first(std::size_t(count) * std::size_t(channels))))
            return false;
    }
    return sample.isValid();
}

// One voice as a sample: the zone's generators (already combined with the instrument's global
// zone) applied to the sample's own settings.
std::unique_ptr<Sample> sampleOf(IpatchSF2VoiceCache* cache, IpatchSF2Voice& voice)
{
    if (!voice.sample_data || voice.sample_size == 0) return nullptr;
    auto sample = std::make_unique<Sample>();
    if (!readAudio(voice, *sample)) return nullptr;
    const IpatchSF2GenArray& gens = voice.gen_array;
    const int* ranges = &g_array_index(cache->ranges, int, voice.range_index);
    // A wildcard range (G_MININT) is the whole keyboard.
    sample->keyLow = ranges[0] < 0 ? 0 : midi(ranges[0]);
    sample->keyHigh = ranges[1] < 0 ? 127 : midi(ranges[1]);
    sample->velocityLow = ranges[2] < 0 ? 0 : midi(ranges[2]);
    sample->velocityHigh = ranges[3] < 0 ? 127 : midi(ranges[3]);
    const int rootOverride = gens.values[IPATCH_SF2_GEN_ROOT_NOTE_OVERRIDE].sword;
    sample->rootKey = midi(rootOverride >= 0 ? rootOverride : voice.root_note);
    sample->coarseTune = midi(64L + gens.values[IPATCH_SF2_GEN_COARSE_TUNE].sword);
    sample->fineTune = midi(64L + gens.values[IPATCH_SF2_GEN_FINE_TUNE_OVERRIDE].sword + voice.fine_tune);
    // Attenuation in centibels to the MIDI level curve, where the level falls 40 dB per decade.
    const double attenuation = std::max(0, int(gens.values[IPATCH_SF2_GEN_ATTENUATION].sword));
    sample->volume = midi(std::lround(127.0 * std::pow(10.0, -attenuation / 400.0)));
    // Pan from -500 (left) to 500 (right) in tenths of a percent.
    sample->pan = midi(64L + std::lround(gens.values[IPATCH_SF2_GEN_PAN].sword * 64.0 / 500.0));
    const guint32 frames = guint32(sample->sampleLength());
    sample->sampleStart =
        offsetFrame(0, gens, IPATCH_SF2_GEN_SAMPLE_START, IPATCH_SF2_GEN_SAMPLE_COARSE_START, frames);
    sample->loopStart = offsetFrame(voice.loop_start, gens, IPATCH_SF2_GEN_SAMPLE_LOOP_START,
                                    IPATCH_SF2_GEN_SAMPLE_COARSE_LOOP_START, frames);
    sample->loopEnd = offsetFrame(voice.loop_end, gens, IPATCH_SF2_GEN_SAMPLE_LOOP_END,
                                  IPATCH_SF2_GEN_SAMPLE_COARSE_LOOP_END, frames);
    const int modes = gens.values[IPATCH_SF2_GEN_SAMPLE_MODES].uword & 3;
    const bool loops =
        modes == IPATCH_SF2_GEN_SAMPLE_MODE_LOOP || modes == IPATCH_SF2_GEN_SAMPLE_MODE_LOOP_RELEASE;
    sample->loopMode = loops ? Sample::LoopForward : Sample::LoopNone;
    sample->limitSettings();
    return sample;
}

// An instrument of any of the formats, through the voices a synthesizer would play.
std::unique_ptr<Instrument> instrumentOf(GObject* item)
{
    auto instrument = std::make_unique<Instrument>();
    // The names are read from the items themselves: the DLS "name" property leaks its copy.
    const char* name = IPATCH_IS_SF2_INST(item)
                           ? IPATCH_SF2_INST(item)->name
                           : ipatch_dls2_info_peek(IPATCH_DLS2_INST(item)->info, IPATCH_DLS2_NAME);
    instrument->name = QString::fromUtf8(name ? name : "");
    Ref<IpatchSF2VoiceCache> cache(ipatch_sf2_voice_cache_new(nullptr, 0));
    GError* error = nullptr;
    if (!ipatch_convert_objects(item, G_OBJECT(cache.object), &error)) {
        if (error) g_error_free(error);
        return instrument;
    }
    for (guint i = 0; i < cache.object->voices->len; ++i) {
        std::unique_ptr<Sample> sample =
            sampleOf(cache.object, *IPATCH_SF2_VOICE_CACHE_GET_VOICE(cache.object, i));
        if (sample) instrument->samples.append(std::move(sample));
    }
    return instrument;
}

// Loads the whole patch object of a file: IpatchSF2, or IpatchDLS2 (which GigaSampler extends).
IpatchBase* loadBase(IpatchFileHandle* handle, GError** error)
{
    if (IPATCH_IS_SF2_FILE(handle->file)) {
        Ref<IpatchSF2Reader> reader(ipatch_sf2_reader_new(handle));
        return IPATCH_BASE(ipatch_sf2_reader_load(reader.object, error));
    }
    if (IPATCH_IS_DLS_FILE(handle->file)) {
        Ref<IpatchDLSReader> reader(ipatch_dls_reader_new(handle));
        return IPATCH_BASE(ipatch_dls_reader_load(reader.object, error));
    }
    ipatch_file_close(handle);
    return nullptr;
}

} // namespace

bool SampleFileReader::read(const QString& path, Instruments& instruments, QString& error)
{
    static std::once_flag once;
    std::call_once(once, [] { ipatch_init(); });
    GError* failure = nullptr;
    IpatchFileHandle* handle = ipatch_file_identify_open(QFile::encodeName(path).constData(), &failure);
    if (!handle) {
        error = QString("Cannot read %1: %2").arg(path, textOf(failure));
        return false;
    }
    Ref<IpatchBase> base(loadBase(handle, &failure));
    if (!base.object) {
        error =
            QString("Cannot read %1: %2")
                .arg(path, failure ? textOf(failure) : QString("not a SoundFont, DLS or GigaSampler file"));
        return false;
    }
    const GType type = IPATCH_IS_SF2(base.object) ? IPATCH_TYPE_SF2_INST : IPATCH_TYPE_DLS2_INST;
    Ref<IpatchList> items(ipatch_container_get_children(IPATCH_CONTAINER(base.object), type));
    for (GList* item = items.object->items; item; item = item->next)
        instruments.append(instrumentOf(G_OBJECT(item->data)));
    return true;
}
