// The benchmarks start as the programs do, with the codecs registered.
#include <benchmark/benchmark.h>

#include "imaging/ImageFormats.h"

int main(int argc, char** argv)
{
    mirth::RegisterImageFormats();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
