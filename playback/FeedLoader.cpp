#include "playback/FeedLoader.h"

#include <exception>
#include <memory>
#include <optional>

namespace zavrio {

FeedLoader::~FeedLoader() {
    Abandon();
    // Their results were posted to this object and go with it.
    for (auto& [id, thread] : threads_)
        thread.join();
}

void FeedLoader::Run(Work work, Done done, Failed failed) {
    const std::uint64_t id = nextId_++;
    const std::uint64_t generation = generation_;
    ++pending_;
    threads_.emplace(id, std::thread([this, id, generation, work = std::move(work),
                                      done = std::move(done), failed = std::move(failed)] {
                         // Shared so the event that carries it can be copied.
                         auto list = std::make_shared<std::optional<Playlist>>();
                         auto error = std::make_shared<std::string>();
                         try {
                             *list = work();
                         } catch (const std::exception& e) {
                             *error = e.what();
                         } catch (...) {
                             *error = "The feed could not be read: an unknown failure";
                         }
                         QMetaObject::invokeMethod(
                             this,
                             [this, id, generation, list, error, done, failed] {
                                 Finish(id);
                                 if (generation != generation_)
                                     return;
                                 --pending_;
                                 if (*list)
                                     done(std::move(**list));
                                 else
                                     failed(*error);
                             },
                             Qt::QueuedConnection);
                     }));
}

void FeedLoader::Abandon() {
    ++generation_;
    pending_ = 0;
}

void FeedLoader::Finish(std::uint64_t id) {
    // The thread posted its result as its last act: joining it waits for no
    // more than its end.
    const auto found = threads_.find(id);
    if (found == threads_.end())
        return;
    found->second.join();
    threads_.erase(found);
}

} // namespace zavrio
