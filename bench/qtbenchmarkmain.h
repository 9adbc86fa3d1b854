#pragma once

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QString>

// The main of a benchmark that needs an event loop: Google Benchmark's own options, then a
// QCoreApplication, with the link's per-frame diagnostics, meant for the window's log, off.
inline int runBenchmarksWithEventLoop(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
