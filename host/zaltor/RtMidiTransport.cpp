#include "zaltor/RtMidiTransport.h"

#include "zaltor/SysexAssembler.h"

#include <RtMidi.h>
#include <dlfcn.h>
#include <jack/jack.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

namespace {

const char* const kClientName = "motif-es";
const char* const kAlsaSequencer = "/dev/snd/seq";
// A whole bulk dump of the instrument may land while the host is busy: room for big SysEx.
constexpr unsigned kInputBufferSize = 65536;
constexpr unsigned kInputBufferCount = 4;
constexpr unsigned kInputQueue = 1024;
// RtMidi's JACK output drops, without a word, a message that does not fit its 16 KiB ring buffer
// together with its length word.
constexpr std::size_t kJackMaxMessage = 16384 - 1 - sizeof(int);

void silent(const char*) {}

bool jackServerRuns()
{
    // The probe must neither start a server nor let libjack print its complaints about a missing one.
    auto* const savedError = jack_error_callback;
    auto* const savedInfo = jack_info_callback;
    jack_set_error_function(silent);
    jack_set_info_function(silent);
    jack_status_t status;
    jack_client_t* client = jack_client_open("motif-es-probe", JackNoStartServer, &status);
    const bool runs = client != nullptr;
    if (client) jack_client_close(client);
    jack_set_error_function(savedError);
    jack_set_info_function(savedInfo);
    return runs;
}

struct Choice {
    RtMidiTransport::Api api;
    bool usable;
};

Choice choose(RtMidiTransport::Api api)
{
    using Api = RtMidiTransport::Api;
    if (api != Api::Alsa) {
        const bool jack = jackServerRuns();
        if (jack || api == Api::Jack) return {Api::Jack, jack};
    }
    // RtMidi prints before it throws when the sequencer is missing, so look first.
    return {Api::Alsa, ::access(kAlsaSequencer, R_OK | W_OK) == 0};
}

QString unusableText(RtMidiTransport::Api api)
{
    return api == RtMidiTransport::Api::Jack
               ? QStringLiteral("No JACK server is running; start one (jackd) or use ALSA.")
               : QStringLiteral(
                     "The ALSA sequencer (%1) is not available; load the snd-seq module or use JACK.")
                     .arg(QLatin1String(kAlsaSequencer));
}

RtMidi::Api rtApi(RtMidiTransport::Api api)
{
    return api == RtMidiTransport::Api::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

// What RtMidi reports, kept instead of printed or thrown; RtMidi's input thread reports too.
class ErrorLog {
public:
    static void report(RtMidiError::Type type, const std::string& text, void* user)
    {
        if (type != RtMidiError::DEBUG_WARNING)
            static_cast<ErrorLog*>(user)->record(QString::fromStdString(text));
    }
    void record(const QString& text)
    {
        std::lock_guard lock(mutex_);
        last_ = text;
        ++count_;
    }
    std::uint64_t count() const
    {
        std::lock_guard lock(mutex_);
        return count_;
    }
    QString last() const
    {
        std::lock_guard lock(mutex_);
        return last_;
    }

private:
    mutable std::mutex mutex_;
    QString last_;
    std::uint64_t count_ = 0;
};

QStringList portNames(RtMidi& midi)
{
    QStringList names;
    const unsigned count = midi.getPortCount();
    for (unsigned i = 0; i < count; ++i) names << QString::fromStdString(midi.getPortName(i));
    return names;
}

template <class Midi>
QStringList namesOf(RtMidiTransport::Api api)
{
    const Choice choice = choose(api);
    if (!choice.usable) return {};
    try {
        ErrorLog log;
        Midi midi(rtApi(choice.api), kClientName);
        midi.setErrorCallback(&ErrorLog::report, &log);
        return portNames(midi);
    } catch (const RtMidiError&) {
        return {};
    }
}

} // namespace

// libjack (JACK2) takes a port off its client's port list without a lock, while the client's
// notification thread may be walking that list to recompute latencies after a change anywhere in
// the graph (another client closing, a connection made). A port unregistered from an active client
// can therefore crash the program inside libjack. RtMidi unregisters its port only as it closes it
// for good, and from an active client; this definition comes before libjack's for RtMidi, so the
// client is first deactivated: an inactive client is sent no latency notifications.
extern "C" int jack_port_unregister(jack_client_t* client, jack_port_t* port)
{
    using Unregister = int (*)(jack_client_t*, jack_port_t*);
    static const Unregister libjack = [] {
        void* const handle = ::dlopen("libjack.so.0", RTLD_LAZY | RTLD_NOLOAD);
        return handle ? reinterpret_cast<Unregister>(::dlsym(handle, "jack_port_unregister")) : nullptr;
    }();
    if (!libjack) return -1;
    jack_deactivate(client);
    return libjack(client, port);
}

struct RtMidiTransport::Impl {
    // Declared before the ports, so that the ports (and RtMidi's threads) go first.
    ErrorLog errors;
    mutable std::mutex mutex;
    Receiver receiver;
    SysexAssembler assembler;
    std::unique_ptr<RtMidiIn> in;
    std::unique_ptr<RtMidiOut> out;
    // The other side's ports we connected to; empty for a direction not opened, or for our own
    // virtual ports, which live as long as we do.
    QString inPort, outPort;
    // Whether they were still listed when last looked (at most once a second: listing is slow).
    mutable std::mutex presenceMutex;
    mutable std::chrono::steady_clock::time_point lastLook{};
    mutable bool present = true;
    mutable QString lost;

    bool stillPresent() const;

    void createInput(Api api, const std::string& client);
    void createOutput(Api api, const std::string& client);
    // Opens the first port containing the text; empty on success, otherwise why not.
    QString connect(Api api, RtMidi& midi, const QString& substring, const char* localName, QString* used);
    static void onInput(double, std::vector<unsigned char>* chunk, void* user) noexcept;
};

void RtMidiTransport::Impl::createInput(Api api, const std::string& client)
{
    in = std::make_unique<RtMidiIn>(rtApi(api), client, kInputQueue);
    in->setErrorCallback(&ErrorLog::report, &errors);
    in->ignoreTypes(false, true, true);
    in->setBufferSize(kInputBufferSize, kInputBufferCount);
    in->setCallback(&Impl::onInput, this);
}

void RtMidiTransport::Impl::createOutput(Api api, const std::string& client)
{
    out = std::make_unique<RtMidiOut>(rtApi(api), client);
    out->setErrorCallback(&ErrorLog::report, &errors);
}

QString RtMidiTransport::Impl::connect(Api api, RtMidi& midi, const QString& substring, const char* localName,
                                       QString* used)
{
    const QStringList names = portNames(midi);
    const auto match = std::find_if(names.begin(), names.end(), [&](const QString& name) {
        return name.contains(substring, Qt::CaseInsensitive);
    });
    if (match == names.end()) {
        const QString direction = &midi == in.get() ? QStringLiteral("input") : QStringLiteral("output");
        return QStringLiteral("No %1 MIDI %2 port matches \"%3\"; %4")
            .arg(apiName(api), direction, substring,
                 names.isEmpty() ? QStringLiteral("there are none.")
                                 : QStringLiteral("available: %1.").arg(names.join(QStringLiteral(", "))));
    }
    const std::uint64_t before = errors.count();
    midi.openPort(static_cast<unsigned>(match - names.begin()), localName);
    if (errors.count() != before) return errors.last();
    *used = *match;
    return {};
}

bool RtMidiTransport::Impl::stillPresent() const
{
    constexpr auto LookEvery = std::chrono::seconds(1);
    std::lock_guard lock(presenceMutex);
    const auto now = std::chrono::steady_clock::now();
    if (!present || now - lastLook < LookEvery) return present;
    lastLook = now;
    try {
        if (!inPort.isEmpty() && !portNames(*in).contains(inPort))
            lost = inPort;
        else if (!outPort.isEmpty() && !portNames(*out).contains(outPort))
            lost = outPort;
    } catch (const RtMidiError&) {
        // The server itself has gone (JACK stopped): both ports with it.
        lost = inPort.isEmpty() ? outPort : inPort;
    }
    present = lost.isEmpty();
    return present;
}

void RtMidiTransport::Impl::onInput(double, std::vector<unsigned char>* chunk, void* user) noexcept
{
    Impl& impl = *static_cast<Impl*>(user);
    std::lock_guard lock(impl.mutex);
    for (MidiBytes& message : impl.assembler.feed(*chunk))
        if (impl.receiver) impl.receiver(std::move(message));
}

QString RtMidiTransport::apiName(Api api)
{
    switch (api) {
    case Api::Alsa:
        return QStringLiteral("ALSA");
    case Api::Jack:
        return QStringLiteral("JACK");
    default:
        return QStringLiteral("any");
    }
}

QStringList RtMidiTransport::inputNames(Api api) { return namesOf<RtMidiIn>(api); }

QStringList RtMidiTransport::outputNames(Api api) { return namesOf<RtMidiOut>(api); }

std::vector<RtMidiTransport::Port> RtMidiTransport::listPorts()
{
    std::vector<Port> ports;
    for (const Api api : {Api::Alsa, Api::Jack}) {
        for (const QString& name : inputNames(api)) ports.push_back({api, true, name});
        for (const QString& name : outputNames(api)) ports.push_back({api, false, name});
    }
    return ports;
}

std::unique_ptr<RtMidiTransport>
RtMidiTransport::open(const QString& inputSubstring, const QString& outputSubstring, QString* error, Api api)
{
    const auto fail = [error](const QString& text) {
        if (error) *error = text;
        return std::unique_ptr<RtMidiTransport>();
    };
    if (inputSubstring.isEmpty() && outputSubstring.isEmpty())
        return fail(QStringLiteral("Name a MIDI input or output port to open."));
    const Choice choice = choose(api);
    if (!choice.usable) return fail(unusableText(choice.api));
    auto impl = std::make_unique<Impl>();
    QStringList used;
    try {
        if (!inputSubstring.isEmpty()) {
            impl->createInput(choice.api, kClientName);
            QString name;
            if (const QString text = impl->connect(choice.api, *impl->in, inputSubstring, "in", &name);
                !text.isEmpty())
                return fail(text);
            used << name;
            impl->inPort = name;
        }
        if (!outputSubstring.isEmpty()) {
            impl->createOutput(choice.api, kClientName);
            QString name;
            if (const QString text = impl->connect(choice.api, *impl->out, outputSubstring, "out", &name);
                !text.isEmpty())
                return fail(text);
            used << name;
            impl->outPort = name;
        }
    } catch (const RtMidiError& e) {
        return fail(QString::fromStdString(e.getMessage()));
    }
    return std::unique_ptr<RtMidiTransport>(
        new RtMidiTransport(choice.api, used.join(QStringLiteral(" / ")), std::move(impl)));
}

std::unique_ptr<RtMidiTransport> RtMidiTransport::openVirtual(const QString& clientName, QString* error,
                                                              Api api)
{
    const auto fail = [error](const QString& text) {
        if (error) *error = text;
        return std::unique_ptr<RtMidiTransport>();
    };
    const Choice choice = choose(api);
    if (!choice.usable) return fail(unusableText(choice.api));
    auto impl = std::make_unique<Impl>();
    try {
        const std::string client = clientName.toStdString();
        impl->createInput(choice.api, client);
        impl->createOutput(choice.api, client);
        const std::uint64_t before = impl->errors.count();
        impl->in->openVirtualPort("in");
        impl->out->openVirtualPort("out");
        if (impl->errors.count() != before) return fail(impl->errors.last());
    } catch (const RtMidiError& e) {
        return fail(QString::fromStdString(e.getMessage()));
    }
    return std::unique_ptr<RtMidiTransport>(new RtMidiTransport(choice.api, clientName, std::move(impl)));
}

RtMidiTransport::RtMidiTransport(Api api, QString name, std::unique_ptr<Impl> impl)
    : api_(api), name_(std::move(name)), impl_(std::move(impl))
{
}

RtMidiTransport::~RtMidiTransport() = default;

bool RtMidiTransport::send(std::span<const std::uint8_t> message)
{
    const auto fail = [this](const QString& text) {
        impl_->errors.record(text);
        return false;
    };
    if (!impl_->out) return fail(QStringLiteral("No MIDI output port is open on %1.").arg(name_));
    if (message.empty()) return fail(QStringLiteral("An empty MIDI message cannot be sent."));
    if (api_ == Api::Jack && message.size() > kJackMaxMessage)
        return fail(QStringLiteral("A %1-byte message is too long for JACK MIDI (at most %2 bytes).")
                        .arg(message.size())
                        .arg(kJackMaxMessage));
    const std::uint64_t before = impl_->errors.count();
    try {
        impl_->out->sendMessage(message.data(), message.size());
    } catch (const RtMidiError& e) {
        return fail(QString::fromStdString(e.getMessage()));
    }
    return impl_->errors.count() == before;
}

void RtMidiTransport::setReceiver(Receiver receiver)
{
    std::lock_guard lock(impl_->mutex);
    impl_->receiver = std::move(receiver);
}

bool RtMidiTransport::isOpen() const { return impl_->stillPresent(); }

QString RtMidiTransport::inputName() const { return impl_->inPort.isEmpty() ? name_ : impl_->inPort; }

QString RtMidiTransport::outputName() const { return impl_->outPort.isEmpty() ? name_ : impl_->outPort; }

QString RtMidiTransport::lostPort() const
{
    std::lock_guard lock(impl_->presenceMutex);
    return impl_->lost;
}

QString RtMidiTransport::lastError() const { return impl_->errors.last(); }

std::size_t RtMidiTransport::droppedBytes() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->assembler.droppedBytes();
}
