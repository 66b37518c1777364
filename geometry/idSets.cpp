#include "geometry/idSets.h"

#include <vector>

namespace {

// A byte per id of [low, high]; marked ids are members of the set.
struct IdMap {
    int low = 0;
    int high = 0;
    std::vector<unsigned char> marks;

    explicit IdMap(const MIntArray& ids) {
        for (unsigned i = 0; i < ids.length(); ++i) {
            if (ids[i] < low) low = ids[i];
            if (ids[i] > high) high = ids[i];
        }
        marks.assign(size_t(long(high) - long(low) + 1), 0);
        for (unsigned i = 0; i < ids.length(); ++i) marks[slot(ids[i])] = 1;
    }
    bool inRange(int id) const { return id >= low && id <= high; }
    size_t slot(int id) const { return size_t(long(id) - long(low)); }
    bool marked(int id) const { return inRange(id) && marks[slot(id)] != 0; }
    void unmark(int id) {
        if (inRange(id)) marks[slot(id)] = 0;
    }
    MIntArray markedAscending() const {
        MIntArray out;
        for (size_t i = 0; i < marks.size(); ++i)
            if (marks[i]) out.append(int(long(i) + long(low)));
        return out;
    }
};

}  // namespace

void sortUniqueIds(MIntArray& ids) {
    IdMap map(ids);
    ids = map.markedAscending();
}

MIntArray intersectIds(const MIntArray& a, const MIntArray& b) {
    IdMap map(a);
    MIntArray out;
    for (unsigned i = 0; i < b.length(); ++i)
        if (map.marked(b[i])) out.append(b[i]);
    return out;
}

MIntArray subtractIds(const MIntArray& a, const MIntArray& b) {
    IdMap map(a);
    for (unsigned i = 0; i < b.length(); ++i) map.unmark(b[i]);
    return map.markedAscending();
}
