#include <gtest/gtest.h>

#include <cmath>

#include "series/lists.h"

namespace evstat {
namespace {

TEST(ValueList, PositionsAreOneBasedAndMissingOnesReadAsNaN) {
    ValueList list;
    EXPECT_EQ(list.size(), 0);
    EXPECT_TRUE(std::isnan(list.at(1)));
    list.push_front(2.0);
    EXPECT_EQ(list.at(1), 2.0);
    EXPECT_EQ(list.at(list.size()), 2.0);
    list.push_back(3.0);
    list.push_front(1.0);
    EXPECT_EQ(list.at(0), 1.0);
    EXPECT_EQ(list.at(3), 3.0);
    EXPECT_TRUE(std::isnan(list.at(4)));
    list.clear();
    EXPECT_EQ(list.size(), 0);
    list.push_back(5.0);
    EXPECT_EQ(list.at(1), 5.0);
}

TEST(ValueList, CopyIsDeepAndKeepsOrder) {
    ValueList source;
    source.push_back(1.0);
    source.push_back(2.0);
    ValueList copy(source);
    source.clear();
    source.push_back(9.0);
    ASSERT_EQ(copy.size(), 2);
    EXPECT_EQ(copy.at(1), 1.0);
    EXPECT_EQ(copy.at(2), 2.0);
}

TEST(Sample, PositionalAccessAndCopies) {
    Sample sample;
    sample.push_back(1.0, 10.0);
    sample.push_front(0.0, 5.0);
    Sample copy(sample);
    sample.clear();
    ASSERT_EQ(copy.size(), 2);
    EXPECT_EQ(copy.y_at(1), 5.0);
    EXPECT_EQ(copy.x_at(2), 1.0);
    EXPECT_TRUE(std::isnan(copy.y_at(3)));
    EXPECT_TRUE(std::isnan(sample.y_at(1)));
}

}  // namespace
}  // namespace evstat
