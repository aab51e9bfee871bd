#pragma once
// What the feed benchmarks share: libxml2's bare parse and our whole load of
// the same bytes, timed the same way, and a main with the heap switch.
//
// --heap=steady (the default) keeps glibc from handing freed memory back to
// the system between iterations, so each load does not pay for page faults
// on memory the previous one released; --heap=default keeps glibc's usual
// settings. Benchmark-only: the program itself leaves the heap settings alone.

#include "feed/SimpleRSS.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <malloc.h>

#include <cstring>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace zavrio::bench {

// The options TXMLDocument::Load gives libxml2, and the same without
// XML_PARSE_NOBLANKS: the layer lets libxml2 skip most blank text (and removes
// the rest itself), so the first is the like-for-like comparison and the
// second the parse into the full tree.
constexpr int LayerOptions = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOWARNING |
                             XML_PARSE_NOERROR | XML_PARSE_NOBLANKS;
constexpr int FullTreeOptions = LayerOptions & ~XML_PARSE_NOBLANKS;

// libxml2 alone: the bytes into a tree and the tree freed, nothing more.
inline void TimeBareParse(benchmark::State& state, const std::string& feed, int options,
                          const std::string& label) {
    for (auto _ : state) {
        xmlDocPtr doc =
            xmlReadMemory(feed.data(), static_cast<int>(feed.size()), nullptr, nullptr, options);
        if (doc == nullptr)
            throw std::logic_error("bare parse failed");
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetLabel(label + std::to_string(feed.size()) + " bytes, " +
                   (options == LayerOptions ? "layer options" : "full tree"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
}

// The whole load through the feed component; checks that every entry arrived.
inline void TimeLoad(benchmark::State& state, const std::string& feed, int entries,
                     const std::string& label) {
    std::istringstream stream(feed);
    for (auto _ : state) {
        state.PauseTiming();
        stream.clear();
        stream.seekg(0);
        state.ResumeTiming();
        TSimpleRSS rss;
        rss.LoadFromStream(stream);
        if (rss.Items().Count() != entries || rss.Items().Items(entries - 1).Link().empty())
            throw std::logic_error("feed not read completely");
        benchmark::DoNotOptimize(rss.Items().Items(entries - 1).Title());
    }
    state.SetLabel(label + std::to_string(feed.size()) + " bytes");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
}

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
