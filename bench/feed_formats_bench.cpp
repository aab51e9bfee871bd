// Loading large RDF (RSS 1.0) and Atom feeds through the feed component,
// beside libxml2's bare parse of the same bytes into a tree: the difference is
// what the XML layer, the format detection and the format's parser add.
// Read the figures as described at the top of feed_bench.cpp (repetitions,
// medians of CPU time, --heap=steady|default, callgrind counts).
#include "FeedBench.h"
#include "feed/SimpleRSS.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int EntryCount = 10000;

std::string paragraph() {
    std::string text;
    for (int i = 0; i < 6; ++i)
        text += "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
                "tempor incididunt. ";
    return text;
}

std::string escapedDescription(const std::string& id) {
    return "&lt;a href=\"http://www.zavrio.com/watch?v=" + id +
           "\"&gt;&lt;img src=\"http://i.zavrio.com/vi/" + id +
           "/default.jpg\" width=\"130\"/&gt;&lt;/a&gt;&lt;p&gt;" + paragraph() + "&lt;/p&gt;";
}

// About 10 MB: an RSS 1.0 news feed, items with title, link, HTML
// description, Dublin Core date, creator and two subjects.
const std::string& largeRDF() {
    static const std::string feed = [] {
        std::string xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"\n"
            " xmlns=\"http://purl.org/rss/1.0/\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
            "<channel rdf:about=\"http://www.zavrio.com/rss\">\n<title>Zavrio :: Most "
            "viewed</title>\n"
            "<link>http://www.zavrio.com/</link>\n<description>Clips</description>\n"
            "</channel>\n";
        for (int i = 0; i < EntryCount; ++i) {
            const std::string id = "clip" + std::to_string(100000 + i);
            xml += "<item rdf:about=\"http://www.zavrio.com/watch?v=" + id + "\">\n";
            xml += "<title>Clip number " + std::to_string(i) + " &amp; friends</title>\n";
            xml += "<link>http://www.zavrio.com/watch?v=" + id + "</link>\n";
            xml += "<description>" + escapedDescription(id) + "</description>\n";
            xml += "<dc:creator>owner" + std::to_string(i % 97) + "</dc:creator>\n";
            xml += "<dc:date>2008-11-27T10:20:30Z</dc:date>\n";
            xml += "<dc:subject>music</dc:subject>\n<dc:subject>film</dc:subject>\n</item>\n";
        }
        xml += "</rdf:RDF>\n";
        return xml;
    }();
    return feed;
}

// About 10 MB: an Atom 0.3 feed, entries with title, alternate link, id,
// modified date, author, escaped HTML content and a category.
const std::string& largeAtom() {
    static const std::string feed = [] {
        std::string xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\">\n"
            "<title>Zavrio :: Most viewed</title>\n"
            "<link rel=\"alternate\" type=\"text/html\" href=\"http://www.zavrio.com/\"/>\n"
            "<tagline>Clips</tagline>\n<modified>2008-11-27T10:20:30Z</modified>\n";
        for (int i = 0; i < EntryCount; ++i) {
            const std::string id = "clip" + std::to_string(100000 + i);
            xml += "<entry>\n<title>Clip number " + std::to_string(i) + " &amp; friends</title>\n";
            xml +=
                "<link rel=\"alternate\" type=\"text/html\" href=\"http://www.zavrio.com/watch?v=" +
                id + "\"/>\n";
            xml += "<id>tag:zavrio.com,2008:" + id + "</id>\n";
            xml += "<modified>2008-11-27T10:20:30Z</modified>\n";
            xml += "<author><name>owner" + std::to_string(i % 97) + "</name></author>\n";
            xml += "<content type=\"text/html\" mode=\"escaped\">" + escapedDescription(id) +
                   "</content>\n";
            xml += "<category>music</category>\n</entry>\n";
        }
        xml += "</feed>\n";
        return xml;
    }();
    return feed;
}

const std::string& feedOf(int format) {
    return format == 0 ? largeRDF() : largeAtom();
}

std::string labelOf(int format) {
    return format == 0 ? "RDF, " : "Atom, ";
}

// state.range(0): 0 for RDF, 1 for Atom.
void BM_LoadFromStream(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    zavrio::bench::TimeLoad(state, feedOf(format), EntryCount, labelOf(format));
}

// state.range(0) as above; state.range(1) the parser options.
void BM_Libxml2BareParse(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    zavrio::bench::TimeBareParse(state, feedOf(format), static_cast<int>(state.range(1)),
                                 labelOf(format));
}

BENCHMARK(BM_Libxml2BareParse)
    ->ArgsProduct({{0, 1}, {zavrio::bench::LayerOptions, zavrio::bench::FullTreeOptions}})
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromStream)->Arg(0)->Arg(1)->Repetitions(7)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return zavrio::bench::RunFeedBenchmarks("feed_formats_bench", argc, argv);
}
