#pragma once

#include "TestSupport.h"
#include "emulator/InstrumentSettings.h"
#include "emulator/VirtualInstrument.h"
#include "zaltor/LoopbackTransport.h"

#include <gtest/gtest.h>

#include <vector>

using Replies = std::vector<MidiBytes>;

// The host end of a loopback cable with the instrument on the other end.
struct InstrumentBench {
    explicit InstrumentBench(VirtualInstrument::Model model = VirtualInstrument::Model::ES7,
                             VirtualInstrument::PlgBoards boards = {})
        : instrument(model, boards)
    {
        connect();
    }
    explicit InstrumentBench(const QString& settings) : instrument(parsed(settings)) { connect(); }
    static InstrumentSettings parsed(const QString& text)
    {
        InstrumentSettings settings;
        EXPECT_EQ(settings.setAll(text), QString());
        return settings;
    }
    void connect()
    {
        instrument.attach(*cable.second);
        cable.first->setReceiver([this](MidiBytes message) { received.push_back(std::move(message)); });
    }
    Replies ask(const MidiBytes& message)
    {
        received.clear();
        EXPECT_TRUE(cable.first->send(message));
        return received;
    }

    LoopbackTransport::Pair cable = LoopbackTransport::createPair("host", "instrument");
    VirtualInstrument instrument;
    Replies received;
};
