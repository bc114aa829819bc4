#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

// The main program of the benchmarks that draw text: Qt draws it, so a GUI application runs,
// on the offscreen platform unless another is asked for.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
