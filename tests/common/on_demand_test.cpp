#include "common/on_demand.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Part {
    int value = 0;
};

TEST(OnDemandTest, MakesThePartOnceOnFirstUseAndCopiesShareIt) {
    std::vector<std::unique_ptr<Part>> made;
    OnDemand<Part> part([&] { return made.emplace_back(std::make_unique<Part>()).get(); });
    const OnDemand<Part> copy = part;
    EXPECT_TRUE(made.empty());

    copy->value = 7;
    EXPECT_EQ(part->value, 7);
    EXPECT_EQ(&*part, &*copy);
    EXPECT_EQ(made.size(), 1u);
}

TEST(OnDemandTest, APartGivenAlreadyMadeIsUsedAsItIs) {
    Part given;
    OnDemand<Part> part(given);
    EXPECT_EQ(&*part, &given);
}

}  // namespace
