// Units shared by the stack entries that have them, counted without atomics: the engine runs on one
// thread, and std::shared_ptr pays a locked instruction for every copy an entry makes of its units.
#pragma once

#include <cstddef>
#include <utility>

#include "units/NumberUnits.h"

class CountedUnits {
public:
    CountedUnits() = default;
    static CountedUnits Make(const TNumberUnits& units) { return CountedUnits(new Node{units, 1}); }

    CountedUnits(const CountedUnits& other) : node_(other.node_) {
        if (node_) ++node_->count;
    }
    CountedUnits(CountedUnits&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}
    CountedUnits& operator=(const CountedUnits& other) {
        CountedUnits(other).Swap(*this);
        return *this;
    }
    CountedUnits& operator=(CountedUnits&& other) noexcept {
        CountedUnits(std::move(other)).Swap(*this);
        return *this;
    }
    ~CountedUnits() {
        if (node_ && --node_->count == 0) delete node_;
    }

    const TNumberUnits& operator*() const { return node_->units; }
    const TNumberUnits* operator->() const { return &node_->units; }
    explicit operator bool() const { return node_ != nullptr; }
    bool operator==(const CountedUnits& other) const { return node_ == other.node_; }

private:
    struct Node {
        TNumberUnits units;
        std::size_t count;
    };
    explicit CountedUnits(Node* node) : node_(node) {}
    void Swap(CountedUnits& other) noexcept { std::swap(node_, other.node_); }

    Node* node_ = nullptr;
};
