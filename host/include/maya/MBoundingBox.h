#pragma once
// An axis-aligned box. A default box is empty: it contains nothing, measures 0 and reports the origin as its
// corners; the first expand makes it the point (or box) given.
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MMatrix;

class MBoundingBox {
public:
    MBoundingBox() = default;
    MBoundingBox(const MBoundingBox& src) = default;
    // The box spanned by two opposite corners, in any order.
    MBoundingBox(const MPoint& corner1, const MPoint& corner2);
    ~MBoundingBox() = default;

    MBoundingBox& operator=(const MBoundingBox& src) = default;

    void clear();
    // Replaces the box by the box around its eight corners transformed by the matrix.
    void transformUsing(const MMatrix& matrix);
    void expand(const MPoint& point);
    void expand(const MBoundingBox& box);
    // Inclusive of the faces.
    bool contains(const MPoint& point) const;
    bool intersects(const MBoundingBox& box, double tol = 0.0) const;
    double width() const;
    double height() const;
    double depth() const;
    MPoint center() const;
    MPoint min() const;
    MPoint max() const;

    bool isEmpty() const { return empty_; }

private:
    MPoint min_;
    MPoint max_;
    bool empty_ = true;
};
