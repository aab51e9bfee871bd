// Loading a large RSS 2.0 feed through the feed component, beside libxml2's
// bare parse of the same bytes into a tree: the difference is what the XML
// layer, the format detection and the RSS parser add on top of the parser.
//
// How to read the figures:
//  - Each case runs in 7 repetitions and reports mean, median and spread;
//    compare medians of CPU time (the machine is shared, so wall time
//    includes waiting for a core).
//  - By default the heap is kept steady (see main): memory freed after one
//    iteration stays with the process, so the next iteration does not pay
//    page faults for it again. That cost is real in the program, but in a
//    benchmark it depends on what ran before and made results jump by
//    several times; --heap=default measures with glibc's usual behaviour.
//  - For counts that do not depend on the machine's load, run one iteration
//    under valgrind --tool=callgrind and compare the inclusive instruction
//    counts of the two benchmark functions (minus the feed generation).
#include "FeedBench.h"
#include "feed/SimpleRSS.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace {

// About 10 MB: 10,000 items with title, link, HTML description, date,
// enclosure, guid and categories. Per byte this feed has more markup than the
// ones in feed_formats_bench (10 elements and 6 attributes per item against 8
// and 1 for RDF, with a shorter description), so its bare parse is slower per
// byte: libxml2's cost follows nodes and attributes. Entity references cost
// the same in all three, and none of them needs an encoding conversion.
const std::string& largeFeed() {
    static const std::string feed = [] {
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<rss version=\"2.0\" xmlns:media=\"http://search.yahoo.com/mrss/\">\n"
                          "<channel>\n<title>Zavrio :: Most viewed</title>\n"
                          "<link>http://www.zavrio.com/</link>\n<description>Clips</description>\n"
                          "<language>en-us</language>\n<ttl>15</ttl>\n";
        std::string paragraph;
        for (int i = 0; i < 4; ++i)
            paragraph += "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
                         "tempor incididunt. ";
        for (int i = 0; i < 10000; ++i) {
            const std::string id = "clip" + std::to_string(100000 + i);
            xml += "<item>\n<title>Clip number " + std::to_string(i) + " &amp; friends</title>\n";
            xml += "<link>http://www.zavrio.com/watch?v=" + id + "</link>\n";
            xml += "<description>&lt;a href=\"http://www.zavrio.com/watch?v=" + id +
                   "\"&gt;&lt;img src=\"http://i.zavrio.com/vi/" + id +
                   "/default.jpg\" width=\"130\"/&gt;&lt;/a&gt;&lt;p&gt;" + paragraph +
                   "&lt;/p&gt;</description>\n";
            xml += "<author>owner" + std::to_string(i % 97) + "@example.com</author>\n";
            xml += "<guid isPermaLink=\"true\">http://www.zavrio.com/watch?v=" + id + "</guid>\n";
            xml += "<pubDate>Thu, 27 Nov 2008 10:20:30 GMT</pubDate>\n";
            xml += "<enclosure url=\"http://www.zavrio.com/v/" + id +
                   ".swf\" length=\"1048576\" type=\"application/x-shockwave-flash\"/>\n";
            xml += "<category domain=\"http://www.zavrio.com/tags\">music</category>\n";
            xml += "<media:category label=\"Film\">Film</media:category>\n</item>\n";
        }
        xml += "</channel>\n</rss>\n";
        return xml;
    }();
    return feed;
}

void BM_LoadFromStream(benchmark::State& state) {
    zavrio::bench::TimeLoad(state, largeFeed(), 10000, "");
}

// state.range(0) holds the parser options.
void BM_Libxml2BareParse(benchmark::State& state) {
    zavrio::bench::TimeBareParse(state, largeFeed(), static_cast<int>(state.range(0)), "");
}

BENCHMARK(BM_Libxml2BareParse)
    ->Arg(zavrio::bench::LayerOptions)
    ->Arg(zavrio::bench::FullTreeOptions)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromStream)->Repetitions(7)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return zavrio::bench::RunFeedBenchmarks("feed_bench", argc, argv);
}
