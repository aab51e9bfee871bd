#pragma once
// An ordered collection that owns its items: Add appends a default-built item,
// items keep their place and their address until the collection goes, and
// Items(i) counts from 0. The owner is recorded, never owned.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zavrio {

template <typename TItem, typename TOwner> class TOwnedCollection {
public:
    explicit TOwnedCollection(TOwner* owner = nullptr) : FOwner(owner) {}
    TOwnedCollection(const TOwnedCollection&) = delete;
    TOwnedCollection& operator=(const TOwnedCollection&) = delete;

    TItem& Add() { return *FItems.emplace_back(std::make_unique<TItem>()); }

    // Throws std::out_of_range "List index out of bounds (<index>)".
    TItem& Items(int index) { return *FItems.at(checked(index)); }
    const TItem& Items(int index) const { return *FItems.at(checked(index)); }

    int Count() const { return static_cast<int>(FItems.size()); }
    // Releases the item at index; the later items move up by one.
    void Delete(int index) {
        FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(checked(index)));
    }
    void Clear() { FItems.clear(); }

    TOwner* Owner() const { return FOwner; }

private:
    std::size_t checked(int index) const {
        if (index < 0 || index >= Count())
            throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
        return static_cast<std::size_t>(index);
    }

    TOwner* FOwner;
    std::vector<std::unique_ptr<TItem>> FItems;
};

} // namespace zavrio
