// Id-set operations over byte maps (negative ids, repetitions, empty sets) and the unit factors read
// from the user's linear unit.
#include "geometry/idSets.h"
#include "geometry/units.h"
#include "geometry_fixture.h"

namespace {

TEST_F(GeometryTest, IdSetsKeepOrderRepetitionsAndNegativeIds) {
    MIntArray ids = intArray({5, -3, 2, 5, 0, -3, 9});
    sortUniqueIds(ids);
    EXPECT_EQ(ints(ids), (std::vector<int>{-3, 0, 2, 5, 9}));

    MIntArray none;
    sortUniqueIds(none);
    EXPECT_EQ(none.length(), 0u);

    // b's order and repetitions survive; ids outside a's range (either side) are dropped.
    MIntArray a = intArray({4, -2, 7, 1});
    EXPECT_EQ(ints(intersectIds(a, intArray({7, 3, -2, 7, 100, -50, 1, 4}))),
              (std::vector<int>{7, -2, 7, 1, 4}));
    EXPECT_TRUE(ints(intersectIds(MIntArray(), intArray({0, 1}))).empty());
    // An empty a still spans id 0, which is not a member.
    EXPECT_TRUE(ints(intersectIds(MIntArray(), intArray({0}))).empty());

    // a minus b: ascending, no repetitions, b's out-of-range ids ignored.
    EXPECT_EQ(ints(subtractIds(intArray({9, -4, 3, 3, 0, 12}), intArray({3, -100, 12, 500}))),
              (std::vector<int>{-4, 0, 9}));
    EXPECT_EQ(ints(subtractIds(intArray({2, 1}), MIntArray())), (std::vector<int>{1, 2}));
    EXPECT_TRUE(ints(subtractIds(intArray({2, 1}), intArray({1, 2, 2}))).empty());
}

TEST_F(GeometryTest, UnitFactorsFollowTheCurrentLinearUnit) {
    // A metre in every unit; the two factors undo each other.
    const std::pair<const char*, double> units[] = {
        {"cm", 100},         {"m", 1},     {"mm", 1000},          {"in", 100 / 2.54}, {"ft", 100 / 30.48},
        {"yd", 100 / 91.44}, {"km", 1e-3}, {"mi", 100 / 160934.4}};
    for (const auto& [unit, metre] : units) {
        mel(std::string("currentUnit -l ") + unit);
        EXPECT_NEAR(centimetresToUiUnits(100.0f), metre, metre * 1e-4) << unit;
        EXPECT_NEAR(centimetresToUiUnitFactor() * uiUnitToCentimetresFactor(), 1.0, 1e-4) << unit;
    }
}

}  // namespace
