#include "framereassembler.h"

#include <cstring>

namespace Koru {

namespace {
constexpr int CompactThreshold = 4096;
}

// A reserved array keeps its memory when emptied, so a steady stream of frames, each taken
// out whole, needs no allocation once the buffer has its size.
FrameReassembler::FrameReassembler()
{
    buffer.reserve(2 * CompactThreshold);
}

void FrameReassembler::append(const char *data, int count)
{
    compact();
    buffer.append(data, count);
}

void FrameReassembler::clear()
{
    buffer.resize(0);
    head = 0;
}

void FrameReassembler::compact()
{
    // Moving the unread tail to the front only once at least half of the buffer is
    // consumed keeps the total copying linear in the bytes received.
    if (head > CompactThreshold && head * 2 > buffer.size()) {
        buffer.remove(0, head);
        head = 0;
    }
}

FrameReassembler::Result FrameReassembler::takeFrame(Frame &frame)
{
    if (buffered() <= 0)
        return Result::NeedMore;

    const int start = buffer.indexOf(char(FrameStart), head);
    if (start < 0) {
        clear();
        return Result::NeedMore;
    }
    head = start;
    if (buffer.size() - head < MinHeaderBytes)
        return Result::NeedMore;

    const auto *bytes = reinterpret_cast<const uint8_t *>(buffer.constData()) + head;
    if (!headerValid(bytes)) {
        head += 4;
        return Result::BadHeader;
    }
    const int length = bytes[FrameOffset::Length] + FrameOverhead;
    if (buffer.size() - head < length)
        return Result::NeedMore;

    std::memcpy(frame.bytes.data(), bytes, size_t(length));
    frame.length = length;
    head += length;
    if (head == buffer.size())
        clear();
    return Result::Frame;
}

} // namespace Koru
