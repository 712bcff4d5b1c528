#pragma once

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qrlogo::service {

// Recently rendered pictures by what was asked for, so a repeated request (the same text
// generated again) costs a lookup instead of an encoding, whose mask selection is most of a
// request's time. Holds at most `capacityBytes` of keys and pictures; the least recently used
// go first. Safe to use from every worker at once.
class RenderCache {
public:
    explicit RenderCache(std::size_t capacityBytes) : m_capacityBytes(capacityBytes) {}
    RenderCache(const RenderCache&) = delete;
    RenderCache& operator=(const RenderCache&) = delete;

    std::optional<std::string> Find(std::string_view key);
    // Pictures larger than an eighth of the capacity are not kept, so one cannot flush the rest.
    void Insert(std::string key, std::string picture);

    std::size_t Bytes() const;

private:
    struct Entry {
        std::string key;
        std::string picture;
    };

    std::size_t m_capacityBytes;
    mutable std::mutex m_mutex;
    std::list<Entry> m_entries;  // most recently used first
    std::unordered_map<std::string_view, std::list<Entry>::iterator> m_index;
    std::size_t m_bytes = 0;
};

}  // namespace qrlogo::service
