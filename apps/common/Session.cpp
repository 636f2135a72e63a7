#include "Session.h"

#include "zaltor/LoopbackTransport.h"
#include "zaltor/RtMidiTransport.h"

#include <iostream>

std::unique_ptr<Session> Session::open(const SessionOptions& options, QString* error)
{
    std::unique_ptr<Session> session(new Session());
    const bool realPorts = !options.inPort.isEmpty() || !options.outPort.isEmpty();
    if (realPorts && options.useVirtual) {
        *error = QStringLiteral("--virtual cannot be combined with --in or --out");
        return nullptr;
    }
    // The boards installed with 'motif plg set' name their banks and voices from the start, and the
    // virtual instrument carries the same boards.
    session->device_ = std::make_unique<Motif>();
    session->device_->loadPLG();
    session->device_->setDeviceNumber(options.deviceNumber);
    if (options.channel > 0) session->device_->setReceiveChannel(options.channel - 1);
    if (realPorts) {
        session->hostEnd_ = RtMidiTransport::open(options.inPort, options.outPort, error, options.api);
        if (!session->hostEnd_) return nullptr;
    } else {
        auto [host, instrument] = LoopbackTransport::createPair(QStringLiteral("motif-es host"),
                                                                QStringLiteral("virtual Motif ES"));
        session->hostEnd_ = std::move(host);
        session->instrumentEnd_ = std::move(instrument);
        VirtualInstrument::PlgBoards boards{};
        for (int slot = 0; slot < 3; ++slot)
            boards[std::size_t(slot)] = !session->device_->plgName(slot).isEmpty();
        session->instrument_ = std::make_unique<VirtualInstrument>(options.instrument, boards);
        // A message the virtual instrument does not understand is a fault of ours: say so loudly.
        session->instrument_->setErrorSink(
            [](const QString& text) { std::cerr << "virtual instrument: " << text.toStdString() << '\n'; });
        session->instrument_->attach(*session->instrumentEnd_);
    }
    session->device_->connectPorts(session->hostEnd_.get(), session->hostEnd_.get());
    // A virtual cable needs no pause between the messages of a bulk.
    if (session->isVirtual()) session->device_->setTransmitDelay(0);
    if (options.paceMs >= 0) session->device_->setTransmitDelay(options.paceMs);
    return session;
}

Session::~Session()
{
    // The device lets go of the transport's receiver before the transports close.
    device_.reset();
    instrument_.reset();
}
