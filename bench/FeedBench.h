#pragma once
// What the feed benchmarks share: libxml2's bare parse and our whole load of
// the same bytes, timed the same way, and a main with the heap switch.
//
// --heap=steady (the default) keeps glibc from handing freed memory back to
// the system between iterations, so each load does not pay for page faults
// on memory the previous one released; --heap=default keeps glibc's usual
// settings. Benchmark-only: the program itself leaves the heap settings alone.
//
// Beside each time the benchmarks report the peak memory of one run of the
// same work: "peak_MiB" is the growth of the peak resident size
// (getrusage's ru_maxrss) over the run, "peak/doc" the same divided by the
// document's size. A peak is only meaningful once per process, so each
// figure comes from a fresh copy of this program (--memory-child, below) that
// reads the document from a file into one buffer of its exact size, takes
// the peak, does the work once and takes the peak again. The copy runs with
// glibc's usual heap settings, as the program itself does.

#include "feed/SimpleRSS.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
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

// The work one memory figure measures: "bare:OPTIONS" is libxml2's parse with
// those options, "load" the whole load through the feed component.
inline void RunOnce(const std::string& work, std::string bytes) {
    if (work == "load") {
        std::istringstream stream(std::move(bytes));
        TSimpleRSS rss;
        rss.LoadFromStream(stream);
        benchmark::DoNotOptimize(rss.Items().Count());
    } else if (work.starts_with("bare:")) {
        xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                      nullptr, std::stoi(work.substr(5)));
        if (doc == nullptr)
            throw std::logic_error("bare parse failed");
        xmlFreeDoc(doc);
    } else {
        throw std::invalid_argument("unknown work \"" + work + "\"");
    }
}

inline long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// --memory-child=WORK FILE: prints the growth of the peak, in KiB, over one
// run of WORK on the file's bytes.
inline int RunMemoryChild(const std::string& work, const char* path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return 2;
    std::string bytes(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const long before = PeakKiB();
    RunOnce(work, std::move(bytes));
    std::cout << PeakKiB() - before << '\n';
    return 0;
}

// The memory figure of work on feed, measured once per process and added to
// every repetition of the benchmark as counters.
inline void ReportPeak(benchmark::State& state, const std::string& feed, const std::string& work) {
    static std::map<std::string, double> measured; // by work and document
    const std::string key = work + "/" + std::to_string(std::hash<std::string>{}(feed));
    auto found = measured.find(key);
    if (found == measured.end()) {
        char exe[4096];
        const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
        char path[] = "/tmp/feed-bench-XXXXXX";
        const int fd = mkstemp(path);
        if (length <= 0 || fd < 0)
            throw std::runtime_error("cannot start the memory measurement");
        exe[length] = '\0';
        close(fd);
        std::ofstream(path, std::ios::binary)
            .write(feed.data(), static_cast<std::streamsize>(feed.size()));
        const std::string command =
            "'" + std::string(exe) + "' --memory-child=" + work + " '" + path + "'";
        std::unique_ptr<FILE, int (*)(FILE*)> child(popen(command.c_str(), "r"), pclose);
        long kib = -1;
        if (!child || std::fscanf(child.get(), "%ld", &kib) != 1 || kib < 0)
            throw std::runtime_error("memory measurement failed: " + command);
        child.reset();
        std::remove(path);
        found = measured.emplace(key, static_cast<double>(kib) * 1024).first;
    }
    state.counters["peak_MiB"] = found->second / (1024 * 1024);
    state.counters["peak/doc"] = found->second / static_cast<double>(feed.size());
}

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
    ReportPeak(state, feed, "bare:" + std::to_string(options));
}

// The whole load through the feed component; checks that every entry arrived.
inline void TimeLoad(benchmark::State& state, const std::string& feed, int entries,
                     const std::string& label) {
    for (auto _ : state) {
        // The load takes the string stream's text over, so each one gets a
        // fresh stream.
        state.PauseTiming();
        std::istringstream stream(feed);
        state.ResumeTiming();
        TSimpleRSS rss;
        rss.LoadFromStream(stream);
        if (rss.Items().Count() != entries || rss.Items().Items(entries - 1).Link().empty())
            throw std::logic_error("feed not read completely");
        benchmark::DoNotOptimize(rss.Items().Items(entries - 1).Title());
    }
    state.SetLabel(label + std::to_string(feed.size()) + " bytes");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
    ReportPeak(state, feed, "load");
}

inline int RunFeedBenchmarks(const char* program, int argc, char** argv) {
    if (argc == 3 && std::strncmp(argv[1], "--memory-child=", 15) == 0)
        return RunMemoryChild(argv[1] + 15, argv[2]);
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
