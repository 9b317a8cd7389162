#pragma once

#include <QtGlobal>

#include <benchmark/benchmark.h>

/// Runs the registered benchmarks inside an application of type App (QGuiApplication or
/// QApplication) on the offscreen platform: fonts and windows without a display.
template<class App> int runOffscreenBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
