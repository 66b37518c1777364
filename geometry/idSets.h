#pragma once
// Set operations on arrays of component ids. Each works with one byte map over the id range of the array
// that defines the set instead of sorting: the range runs from min(0, smallest id) to the largest id, so
// only negative ids widen it below zero. They cannot fail.
#include <maya/MIntArray.h>

// Replaces the array by its distinct ids in ascending order.
void sortUniqueIds(MIntArray& ids);

// The ids of b that occur in a, in b's order and with b's repetitions.
MIntArray intersectIds(const MIntArray& a, const MIntArray& b);

// The ids of a that do not occur in b, ascending and without repetitions.
MIntArray subtractIds(const MIntArray& a, const MIntArray& b);
