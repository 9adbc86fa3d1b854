#include "framereassembler.h"
#include "responsedecoder.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

using namespace Koru;

namespace {

// What a controller sends while the channel page is open: live values at 50 Hz and the
// answers of the settings burst, in all three check modes, with a little noise.
QByteArray realisticStream(int bytes)
{
    QRandomGenerator random(7);
    static const CheckMode modes[] = {CheckPlain, CheckNone, CheckCrc};
    QByteArray stream;
    stream.reserve(bytes + MaxFrameSize);
    uint8_t channel = 1;
    while (stream.size() < bytes) {
        const CheckMode mode = modes[random.bounded(3)];
        QByteArray values(32, '\0');
        for (char &c : values)
            c = char(random.bounded(256));
        stream += makeFrame(0x10, 0xD0, 0x10, 0x01, values, mode);
        stream += makeFrame(0x10, 0xD0, 0x10, 0x08, QByteArray(1, char(channel)) + '\x01', mode);
        stream += makeFrame(0x10, 0xD0, 0x10, 0x10, QByteArray(1, char(channel)) + QByteArray::fromHex("E803DC05D007"), mode);
        stream += QByteArray::fromHex("0102");
        channel = uint8_t(channel % 16 + 1);
    }
    return stream;
}

void reassembleAndDispatch(benchmark::State &state)
{
    const QByteArray stream = realisticStream(int(state.range(0)));
    for (auto _ : state) {
        FrameReassembler reassembler;
        DeviceState device;
        reassembler.append(stream);
        int frames = 0;
        reassembler.takeFrames([&](const Frame &frame) {
            applyResponse(frame, device);
            ++frames;
        });
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
    state.counters["ns_per_byte"] = benchmark::Counter(double(stream.size()) * double(state.iterations()),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The same stream arriving in USB-sized reads of 64 bytes.
void reassembleInSmallReads(benchmark::State &state)
{
    const QByteArray stream = realisticStream(int(state.range(0)));
    for (auto _ : state) {
        FrameReassembler reassembler;
        DeviceState device;
        for (int at = 0; at < stream.size(); at += 64) {
            reassembler.append(stream.constData() + at, std::min<qsizetype>(64, stream.size() - at));
            reassembler.takeFrames([&](const Frame &frame) { applyResponse(frame, device); });
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
}

} // namespace

BENCHMARK(reassembleAndDispatch)->RangeMultiplier(4)->Range(1 << 10, 16 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(reassembleInSmallReads)->RangeMultiplier(16)->Range(1 << 10, 16 << 20)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
