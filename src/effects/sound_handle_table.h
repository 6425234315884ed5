#pragma once

#include <utility>
#include <vector>

// Sounds are named by their index in this table. Entry 0 is a placeholder, so handle 0
// means "no sound". New entries are always appended; a removed entry is marked free and
// only free entries at the end are dropped, so the handles of the other sounds never
// change and a hole in the middle stays until everything after it is gone.
template <typename T>
class SoundHandleTable {
public:
    SoundHandleTable() { Clear(); }

    void Clear() {
        entries_.clear();
        entries_.emplace_back();
    }

    int Append(T value) {
        entries_.push_back(Entry{true, std::move(value)});
        return static_cast<int>(entries_.size()) - 1;
    }

    // Null for 0, for handles past the end and for released entries.
    T* Find(int handle) {
        if (handle <= 0 || handle >= Size()) return nullptr;
        Entry& entry = entries_[static_cast<size_t>(handle)];
        return entry.inUse ? &entry.value : nullptr;
    }

    void Release(int handle) {
        if (Find(handle) == nullptr) return;
        entries_[static_cast<size_t>(handle)] = Entry{};
        while (entries_.size() > 1 && !entries_.back().inUse) entries_.pop_back();
    }

    int Size() const { return static_cast<int>(entries_.size()); }

    template <typename Visit>
    void ForEach(Visit visit) {
        for (Entry& entry : entries_)
            if (entry.inUse) visit(entry.value);
    }

private:
    struct Entry {
        bool inUse = false;
        T value{};
    };
    std::vector<Entry> entries_;
};
