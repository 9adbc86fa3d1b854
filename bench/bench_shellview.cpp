#include "shellmsgwidget.h"

#include <benchmark/benchmark.h>

#include <QApplication>

namespace {

// A device flooding the shell view: each pass of the event loop brings the lines of one
// read from the port, then the view shows them. Starts from a full scroll-back, so every
// batch also drops the oldest lines.
void floodShellView(benchmark::State &state)
{
    ShellMsgWidget view(nullptr);
    view.show();
    const int linesPerRead = int(state.range(0));
    int line = 0;
    const auto read = [&](int count) {
        for (int i = 0; i < count; ++i)
            view.appendShellText(QStringLiteral("line %1 of a device's shell output, status ok\r\n").arg(line++));
        QCoreApplication::processEvents();
    };
    read(ShellMsgWidget::MaxLines);
    for (auto _ : state)
        read(linesPerRead);
    state.SetItemsProcessed(int64_t(state.iterations()) * linesPerRead);
}

} // namespace

BENCHMARK(floodShellView)->RangeMultiplier(10)->Range(1, 1000)->Unit(benchmark::kMicrosecond);

// The view needs an application object; without a display it draws off screen.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
