#include "bootloaderresponder.h"

#include "frame.h"
#include "protocolids.h"

#include <algorithm>

using namespace Koru;

BootLoaderResponder::BootLoaderResponder(const WindowFixture &f, int packetSize) : fixture(f)
{
    options.packetSize = packetSize;
    seenWrites = fixture.port()->writes.size();
    connect(&poll, &QTimer::timeout, this, &BootLoaderResponder::answerWrites);
    poll.start(1);
}

int BootLoaderResponder::count(uint8_t id) const
{
    return int(std::count_if(frames.cbegin(), frames.cend(), [id](const SentFrame &s) { return s.id == id; }));
}

void BootLoaderResponder::answerWrites()
{
    const QByteArrayList &writes = fixture.port()->writes;
    // A test may have taken the writes meanwhile.
    seenWrites = std::min(seenWrites, int(writes.size()));
    // The window may write again while an answer is fed: that waits for the next round.
    const QByteArrayList fresh = writes.mid(seenWrites);
    seenWrites = writes.size();
    for (const SentFrame &frame : parseWrites(fresh)) {
        frames.append(frame);
        for (const BootLoaderAnswer &answer : answerTo(frame))
            fixture.port()->feed(makeFrame(frame.target, AssistantId, CommonSet, answer.commandId, answer.payload));
    }
}

QVector<BootLoaderAnswer> BootLoaderResponder::answerTo(const SentFrame &frame)
{
    switch (frame.set == CommonSet ? frame.id : 0) {
    case CMD_ID_UPGRADE_START:
        if (unansweredStarts > 0) {
            --unansweredStarts;
            return {};
        }
        return {{CMD_ID_UPGRADE_START, startAnswer.isEmpty() ? loader.start(frame.payload) : startAnswer}};
    case CMD_ID_UPGRADE_DATA:
    case CMD_ID_UPGRADE_END:
        return loader.answer(frame.id, frame.payload);
    case CMD_ID_RESET:
        loader.reset();
        return {};
    default:
        return {};
    }
}
