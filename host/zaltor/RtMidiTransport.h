#pragma once

#include "zaltor/MidiTransport.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <vector>

// MIDI ports of the operating system through RtMidi. Input arrives on RtMidi's thread (JACK's
// process thread, ALSA's input thread) and reaches the receiver there, one whole message at a
// time, SysEx included. RtMidi failures end up as error text rather than as exceptions or lines
// on stderr.
class RtMidiTransport : public MidiTransport {
public:
    // Any is JACK when a JACK server answers, ALSA otherwise.
    enum class Api { Any, Alsa, Jack };
    struct Port {
        Api api;
        bool input; // a port we receive from
        QString name;
    };

    static QString apiName(Api api);
    // Ports we can receive from / send to; an API whose server is absent has none.
    static QStringList inputNames(Api api);
    static QStringList outputNames(Api api);
    // Both directions of ALSA and JACK, ALSA first.
    static std::vector<Port> listPorts();

    // Connects to the first port whose name contains the text, ignoring case; an empty text opens
    // no port in that direction. Null with *error set when nothing could be opened.
    static std::unique_ptr<RtMidiTransport>
    open(const QString& inputSubstring, const QString& outputSubstring, QString* error, Api api = Api::Any);
    // Offers an input and an output port ("in", "out") under the client name for others to
    // connect to, as a program standing in for an instrument does. RtMidi opens one client per
    // direction, so JACK calls the output's client "name-01".
    static std::unique_ptr<RtMidiTransport> openVirtual(const QString& clientName, QString* error,
                                                        Api api = Api::Any);

    ~RtMidiTransport() override;
    bool send(std::span<const std::uint8_t> message) override;
    // The receiver is called on RtMidi's thread and must not call setReceiver itself.
    void setReceiver(Receiver receiver) override;
    QString name() const override { return name_; }
    // False once a port we connected to has disappeared (its JACK port unregistered, its ALSA
    // client gone); looked at no more than once a second.
    bool isOpen() const override;
    QString inputName() const override;
    QString outputName() const override;
    QString lostPort() const override;

    Api api() const { return api_; }
    // The last failure RtMidi reported on either port, or why the last send was refused.
    QString lastError() const;
    // Received bytes that formed no whole message (broken or oversized SysEx, noise).
    std::size_t droppedBytes() const;

private:
    struct Impl;
    RtMidiTransport(Api api, QString name, std::unique_ptr<Impl> impl);

    Api api_;
    QString name_;
    std::unique_ptr<Impl> impl_;
};
