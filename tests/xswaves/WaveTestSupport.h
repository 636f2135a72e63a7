#pragma once

#include "TestSupport.h"
#include "core/Archive.h"
#include "core/Buffer.h"
#include "motif/documents/XS_Keybank.h"

#include <cstdint>
#include <memory>

// A 16-bit key bank whose left channel holds `frames` frames of the byte `fill` (and, for
// stereo, a right channel of fill + 1), with its lengths and addresses worked out.
inline std::unique_ptr<XS_Keybank> makeKeybank(int frames, bool stereo = false, std::uint8_t fill = 0x11)
{
    auto keybank = std::make_unique<XS_Keybank>();
    keybank->format().setChannels(stereo ? 2 : 1);
    keybank->left().allocate(frames * 2, fill);
    if (stereo) keybank->right().allocate(frames * 2, static_cast<std::uint8_t>(fill + 1));
    keybank->validateKeybank();
    return keybank;
}
