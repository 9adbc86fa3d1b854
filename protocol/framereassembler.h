#pragma once

#include "frame.h"

#include <QByteArray>

#include <algorithm>
#include <array>

namespace Koru {

// One complete frame, copied out of the receive buffer so that handlers that re-enter
// the receive path (a modal box runs a nested event loop) never see it again.
struct Frame
{
    std::array<uint8_t, MaxFrameSize> bytes{};
    int length = 0;

    const uint8_t *data() const { return bytes.data(); }
    uint8_t source() const { return bytes[FrameOffset::Source]; }
    uint8_t target() const { return bytes[FrameOffset::Target]; }
    uint8_t commandSet() const { return bytes[FrameOffset::Set]; }
    uint8_t commandId() const { return bytes[FrameOffset::Id]; }
    // The length byte as sent: the frame is this plus FrameOverhead bytes long. In check
    // mode 8 it counts the CRC's first byte too.
    int lengthField() const { return bytes[FrameOffset::Length]; }
    // The payload's own bytes, without that CRC byte.
    int payloadSize() const
    {
        const int crcByte = checkModeOf(bytes[FrameOffset::Control]) == CheckCrc ? 1 : 0;
        return std::max(0, lengthField() - crcByte);
    }
    const uint8_t *payload() const { return bytes.data() + FrameOffset::Payload; }
    QByteArray payloadBytes() const { return QByteArray(reinterpret_cast<const char *>(payload()), payloadSize()); }
};

// Cuts a byte stream into header-checked frames. Consumed bytes are skipped with a read
// offset and only compacted away in bulk, so each received byte costs O(1) amortised.
class FrameReassembler
{
public:
    FrameReassembler();

    enum class Result {
        Frame,     // a complete frame was taken out
        NeedMore,  // wait for more bytes
        BadHeader, // 4 bytes were dropped; the bytes behind them may hold frames
    };

    void append(const char *data, int count);
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }

    Result takeFrame(Frame &frame);

    // Takes out every complete frame the buffer holds, passing over bad headers, and hands
    // each to dispatch. A handler may re-enter the receive path: its frame is already out.
    template<typename Dispatch>
    void takeFrames(Dispatch &&dispatch)
    {
        Frame frame;
        for (;;) {
            const Result result = takeFrame(frame);
            if (result == Result::NeedMore)
                return;
            if (result == Result::Frame)
                dispatch(frame);
        }
    }

    int buffered() const { return buffer.size() - head; }
    // Drops what is buffered and keeps the memory for the bytes to come.
    void clear();

private:
    void compact();

    QByteArray buffer;
    int head = 0;
};

} // namespace Koru
