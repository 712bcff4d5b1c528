#include "service/render_cache.h"

#include <gtest/gtest.h>

namespace qrlogo::service {
namespace {

// With 128 bytes of overhead an entry of a 1-byte key and a 371-byte picture costs 500.
constexpr std::size_t kEntryCost = 500;
const std::string kPicture(kEntryCost - 128 - 1, 'p');

TEST(RenderCache, KeepsWithinItsBytesDroppingTheLeastRecentlyUsed) {
    RenderCache cache(8 * kEntryCost);
    for (const char* key : {"a", "b", "c", "d", "e", "f", "g", "h"}) cache.Insert(key, kPicture);
    EXPECT_EQ(cache.Bytes(), 8 * kEntryCost);

    ASSERT_TRUE(cache.Find("a"));  // "a" is now the most recently used, "b" the least
    cache.Insert("i", kPicture);
    EXPECT_EQ(cache.Bytes(), 8 * kEntryCost);
    EXPECT_FALSE(cache.Find("b"));
    EXPECT_EQ(cache.Find("a"), kPicture);
    EXPECT_EQ(cache.Find("i"), kPicture);

    cache.Insert("i", "other");  // a key already held keeps its picture
    EXPECT_EQ(cache.Find("i"), kPicture);
}

TEST(RenderCache, DoesNotKeepAPictureOverAnEighthOfItsBytes) {
    RenderCache cache(8 * kEntryCost);
    cache.Insert("a", kPicture);
    cache.Insert("big", std::string(kEntryCost, 'x'));
    EXPECT_FALSE(cache.Find("big"));
    EXPECT_EQ(cache.Find("a"), kPicture);
}

}  // namespace
}  // namespace qrlogo::service
