// Costs of the feed model's per-entry work: building entries (each draws a
// random GUID), reading dates, cutting summaries and decoding Base64 content.

#include <benchmark/benchmark.h>

#include <string>

#include "feed/FeedModel.h"
#include "feed/ParseHelpers.h"

namespace zavrio {
namespace {

void AddItems(benchmark::State& state) {
    for (auto _ : state) {
        TRSSItems items;
        for (int i = 0; i < state.range(0); ++i)
            items.Add().SetTitle("clip");
        benchmark::DoNotOptimize(items.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AddItems)->Arg(100)->Arg(1000);

void ReadRfc822Date(benchmark::State& state) {
    const std::string text = "Sun, 06 Nov 1994 08:49:37 GMT";
    for (auto _ : state)
        benchmark::DoNotOptimize(RFC822ToDateTime(text));
}
BENCHMARK(ReadRfc822Date);

void ReadIso8601Date(benchmark::State& state) {
    TRFC822DateTime date;
    for (auto _ : state) {
        date.LoadFromISO8601("2008-11-27T10:20:30+01:00");
        benchmark::DoNotOptimize(date.DateTime());
    }
}
BENCHMARK(ReadIso8601Date);

void CutSummary(benchmark::State& state) {
    std::string summary;
    while (summary.size() < 100000)
        summary += "sum\xC3\xA9 ";
    TiTunesItemExtra extra;
    for (auto _ : state) {
        extra.SetSummary(summary);
        benchmark::DoNotOptimize(extra.Summary().size());
    }
}
BENCHMARK(CutSummary);

void DecodeBase64Content(benchmark::State& state) {
    std::string text;
    while (text.size() < static_cast<std::size_t>(state.range(0)))
        text += "PGI+aGk8L2I+";
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeContent(0, text));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(DecodeBase64Content)->Arg(1 << 20);

} // namespace
} // namespace zavrio

BENCHMARK_MAIN();
