#include "service/render_cache.h"

namespace qrlogo::service {
namespace {

// What an entry costs beyond its bytes: list node, index slot and string headers, roughly.
constexpr std::size_t kEntryOverheadBytes = 128;

std::size_t Cost(std::string_view key, std::string_view picture) {
    return key.size() + picture.size() + kEntryOverheadBytes;
}

}  // namespace

std::optional<std::string> RenderCache::Find(std::string_view key) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_index.find(key);
    if (found == m_index.end()) return std::nullopt;
    m_entries.splice(m_entries.begin(), m_entries, found->second);
    return found->second->picture;
}

void RenderCache::Insert(std::string key, std::string picture) {
    const std::size_t cost = Cost(key, picture);
    if (cost > m_capacityBytes / 8) return;
    const std::lock_guard lock(m_mutex);
    if (m_index.contains(key)) return;
    while (!m_entries.empty() && m_bytes + cost > m_capacityBytes) {
        const Entry& oldest = m_entries.back();
        m_bytes -= Cost(oldest.key, oldest.picture);
        m_index.erase(oldest.key);
        m_entries.pop_back();
    }
    m_entries.push_front(Entry{std::move(key), std::move(picture)});
    // The index views the key inside the list node, which never moves.
    m_index.emplace(m_entries.front().key, m_entries.begin());
    m_bytes += cost;
}

std::size_t RenderCache::Bytes() const {
    const std::lock_guard lock(m_mutex);
    return m_bytes;
}

}  // namespace qrlogo::service
