#pragma once

#include <QImage>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mc {

// Pictures kept across frames under a key, within a byte budget: what goes unused for a
// number of frames is forgotten, and room for a new picture is made by forgetting the least
// recently used. An entry may hold no picture yet, keeping only its place and use.
template <typename Key> class KeptImages {
  public:
    struct Entry {
        Key key;
        QImage image;
        std::uint64_t lastUsed = 0;
    };

    KeptImages(qint64 budgetBytes, std::uint64_t idleFrames, std::size_t maxEntries)
        : budget_(budgetBytes), idleFrames_(idleFrames), maxEntries_(maxEntries) {}

    // The entry under `key`, marked as used this frame; null when there is none.
    Entry* find(const Key& key) {
        const auto it = std::find_if(entries_.begin(), entries_.end(),
                                     [&](const Entry& e) { return e.key == key; });
        if (it == entries_.end()) {
            return nullptr;
        }
        it->lastUsed = frame_;
        return &*it;
    }

    // Keeps `image` under a key that has no entry yet (a null image keeps only the place).
    // False when the image is larger than the whole budget: nothing is kept then.
    bool add(const Key& key, QImage image) {
        if (entries_.size() >= maxEntries_) {
            forget(std::min_element(entries_.begin(), entries_.end(), olderUse));
        }
        entries_.push_back(Entry{key, QImage(), frame_});
        if (fill(entries_.back(), std::move(image))) {
            return true;
        }
        entries_.pop_back();
        return false;
    }

    // Gives a found entry its picture, making room among the others'.
    // clang-tidy misses that `image` is moved into the entry: a member of a template's type.
    bool fill(Entry& entry, QImage image) { // NOLINT(performance-unnecessary-value-param): moved
        const qint64 bytes = image.sizeInBytes();
        if (bytes > budget_) {
            return false;
        }
        const Key key = entry.key;
        while (bytes_ + bytes > budget_) {
            auto victim = entries_.end();
            for (auto e = entries_.begin(); e != entries_.end(); ++e) {
                if (!e->image.isNull() && !(e->key == key) &&
                    (victim == entries_.end() || olderUse(*e, *victim))) {
                    victim = e;
                }
            }
            if (victim == entries_.end()) {
                return false;
            }
            forget(victim);
        }
        Entry* kept = find(key);
        bytes_ += bytes;
        kept->image = std::move(image);
        return true;
    }

    void startFrame() {
        ++frame_;
        std::erase_if(entries_, [this](const Entry& e) {
            if (frame_ - e.lastUsed <= idleFrames_) {
                return false;
            }
            bytes_ -= e.image.sizeInBytes();
            return true;
        });
    }

    std::size_t size() const { return entries_.size(); }
    qint64 bytes() const { return bytes_; }

  private:
    static bool olderUse(const Entry& p, const Entry& q) { return p.lastUsed < q.lastUsed; }

    void forget(typename std::vector<Entry>::iterator it) {
        bytes_ -= it->image.sizeInBytes();
        entries_.erase(it);
    }

    qint64 budget_;
    std::uint64_t idleFrames_;
    std::size_t maxEntries_;
    std::vector<Entry> entries_;
    qint64 bytes_ = 0;
    std::uint64_t frame_ = 0;
};

} // namespace mc
