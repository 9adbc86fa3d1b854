#include "framereassembler.h"
#include "responsedecoder.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>

using namespace Koru;

// The first byte chooses how the input is cut into reads; the rest is the device stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const size_t piece = size_t(data[0] % 32) + 1;
    ++data;
    --size;

    FrameReassembler reassembler;
    DeviceState state;
    for (size_t at = 0; at < size; at += piece) {
        reassembler.append(reinterpret_cast<const char *>(data + at), int(std::min(piece, size - at)));
        reassembler.takeFrames([&state](const Frame &frame) {
            if (frame.length != frame.lengthField() + FrameOverhead)
                __builtin_trap();
            applyResponse(frame, state);
        });
    }
    return 0;
}
