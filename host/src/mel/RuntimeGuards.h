#pragma once
// What the statement and expression halves of the interpreter (Interpreter.cpp, Evaluator.cpp) share: the
// array size limit and the guards that keep the frame stack and the call depth balanced on every exit.
#include "mel/Runtime.h"

namespace kxh::mel {

// Arrays larger than this are refused rather than allocated ($a[2000000000] = 1 would exhaust memory).
constexpr long kMaxArrayIndex = 1L << 24;

struct Runtime::FrameGuard {
    FrameGuard(Runtime& rt, Frame& f) : rt_(rt) { rt_.frames_.push_back(&f); }
    ~FrameGuard() { rt_.frames_.pop_back(); }
    Runtime& rt_;
};

struct DepthCount {
    explicit DepthCount(int& d) : d_(d) { ++d_; }
    ~DepthCount() { --d_; }
    int& d_;
};

}  // namespace kxh::mel
