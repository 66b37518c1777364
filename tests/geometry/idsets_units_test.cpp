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
    mel("currentUnit -l m");
    EXPECT_FLOAT_EQ(centimetresToUiUnits(250.0f), 2.5f);
    // Every unit: the two factors undo each other, and a metre is 100 centimetres in that unit too.
    float metreInUnit[8];
    const char* units[] = {"cm", "m", "mm", "in", "ft", "yd", "km", "mi"};
    for (int i = 0; i < 8; ++i) {
        mel(std::string("currentUnit -l ") + units[i]);
        EXPECT_NEAR(centimetresToUiUnitFactor() * uiUnitToCentimetresFactor(), 1.0, 1e-4) << units[i];
        metreInUnit[i] = centimetresToUiUnits(100.0f);
    }
    EXPECT_FLOAT_EQ(metreInUnit[0], 100.0f);
    EXPECT_FLOAT_EQ(metreInUnit[1], 1.0f);
    EXPECT_FLOAT_EQ(metreInUnit[2], 1000.0f);
    EXPECT_NEAR(metreInUnit[3], 100.0f / 2.54f, 1e-4);
    EXPECT_NEAR(metreInUnit[4] * 3, metreInUnit[5] * 9, 1e-4);  // a yard is three feet
    EXPECT_NEAR(metreInUnit[6], 1e-3, 1e-9);
    EXPECT_NEAR(metreInUnit[7] * 1760, metreInUnit[5], 1e-4);  // a mile is 1760 yards
}

}  // namespace
