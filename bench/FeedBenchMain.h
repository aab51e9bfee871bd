#pragma once
// The shared main of the feed benchmarks.
//
// --heap=steady (the default) keeps glibc from handing freed memory back to
// the system between iterations, so each load does not pay for page faults
// on memory the previous one released; --heap=default keeps glibc's usual
// settings. Benchmark-only: the program itself leaves the heap settings alone.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>
#include <iostream>
#include <string>

namespace zavrio::bench {

inline int RunFeedBenchmarks(const char* program, int argc, char** argv) {
    bool steady = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--heap=", 7) != 0)
            continue;
        const std::string mode = argv[i] + 7;
        if (mode != "steady" && mode != "default") {
            std::cerr << program << ": --heap must be steady or default, not \"" << mode << "\"\n";
            return 2;
        }
        steady = mode == "steady";
        for (int k = i; k + 1 < argc; ++k)
            argv[k] = argv[k + 1];
        --argc;
        --i;
    }
    if (steady && !(mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024) == 1 && // glibc's upper limit
                    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024) == 1 &&
                    mallopt(M_TOP_PAD, 64 * 1024 * 1024) == 1)) {
        std::cerr << program << ": cannot keep the heap steady (mallopt failed)\n";
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("heap", steady ? "steady" : "default");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace zavrio::bench
