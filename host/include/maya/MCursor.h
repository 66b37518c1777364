#pragma once
// A cursor shape a tool context shows over the views while it is the current tool. The host's shapes are
// the static members; copies compare equal when they name the same shape.
namespace kxh {
struct CursorAccess;
}

class MCursor {
public:
    MCursor(const MCursor& other) = default;
    MCursor& operator=(const MCursor& other) = default;
    ~MCursor() = default;

    bool operator==(const MCursor& other) const { return shape_ == other.shape_; }
    bool operator!=(const MCursor& other) const { return shape_ != other.shape_; }

    static const MCursor defaultCursor;
    static const MCursor crossHairCursor;
    static const MCursor doubleCrossHairCursor;
    static const MCursor editCursor;
    static const MCursor pencilCursor;
    static const MCursor handCursor;

private:
    friend struct kxh::CursorAccess;
    constexpr explicit MCursor(int shape) : shape_(shape) {}
    int shape_;
};
