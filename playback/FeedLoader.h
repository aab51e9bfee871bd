#pragma once
// Lists made off the GUI thread. Reading a feed of a million entries takes
// seconds; done on the GUI thread, it would leave the screensaver deaf to
// the input that should end it, and its clock and painting stopped.
//
// Each Run starts its work at once on a thread of its own. What the work
// returns goes to done, or the text of what it threw to failed, later, on
// the loader's own thread from its event loop, unless Abandon was called
// after that Run. The work must touch nothing the GUI thread changes while
// it runs. The destructor abandons every run and waits for the threads
// still at work.

#include "playback/Playlist.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <thread>

namespace zavrio {

class FeedLoader : public QObject {
public:
    using Work = std::function<Playlist()>;
    using Done = std::function<void(Playlist list)>;
    using Failed = std::function<void(const std::string& text)>;

    FeedLoader() = default;
    ~FeedLoader() override;
    FeedLoader(const FeedLoader&) = delete;
    FeedLoader& operator=(const FeedLoader&) = delete;

    void Run(Work work, Done done, Failed failed);
    // The runs started so far report nothing.
    void Abandon();
    // A run started since the last Abandon has not reported yet.
    bool Busy() const { return pending_ > 0; }

private:
    void Finish(std::uint64_t id);

    std::map<std::uint64_t, std::thread> threads_;
    std::uint64_t nextId_ = 0;
    std::uint64_t generation_ = 0;
    int pending_ = 0;
};

} // namespace zavrio
