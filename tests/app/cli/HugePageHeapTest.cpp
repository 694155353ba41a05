#include "cli/HugePageHeap.h"

#include <gtest/gtest.h>

namespace {

TEST(HugePageHeap, TheTunableIsAddedBesideTheUsersOwnAndNeverOverridden) {
    std::string wanted;
    ASSERT_TRUE(cli::tunablesWithHugePageHeap(nullptr, wanted));
    EXPECT_EQ(wanted, "glibc.malloc.hugetlb=1");
    ASSERT_TRUE(cli::tunablesWithHugePageHeap("", wanted));
    EXPECT_EQ(wanted, "glibc.malloc.hugetlb=1");
    ASSERT_TRUE(cli::tunablesWithHugePageHeap("glibc.malloc.check=3", wanted));
    EXPECT_EQ(wanted, "glibc.malloc.check=3:glibc.malloc.hugetlb=1");
    // A value the user chose stands, including the one that turns huge pages off.
    EXPECT_FALSE(cli::tunablesWithHugePageHeap("glibc.malloc.hugetlb=0", wanted));
    EXPECT_FALSE(
        cli::tunablesWithHugePageHeap("glibc.malloc.check=3:glibc.malloc.hugetlb=2", wanted));
}

} // namespace
