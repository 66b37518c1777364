#pragma once
// Helpers shared by the language's built-in procedures (math, strings and arrays, files, environment):
// registration and the argument checks every one of them makes.
#include <string>
#include <utility>

#include "mel/Command.h"
#include "mel/Interpreter.h"

namespace kxh::mel::lib {

// Fails with the host's message when the number of arguments is outside [lo, hi].
inline bool argCount(Invocation& inv, size_t lo, size_t hi) {
    if (inv.args.size() < lo || inv.args.size() > hi)
        return inv.fail("Wrong number of arguments on call to " + inv.name + ".");
    return true;
}

inline const Value& at(const Invocation& inv, size_t i) {
    return inv.args[i].value;
}

inline void add(Interpreter& interp, const std::string& name, Handler h,
                std::shared_ptr<Syntax> syntax = nullptr) {
    CommandDef d;
    d.name = name;
    d.handler = std::move(h);
    d.syntax = std::move(syntax);
    interp.commands().add(std::move(d));
}

// The array variable an argument was passed in, for procedures that edit an array in place
// (stringArrayInsertAtIndex); fails with a clear message when the argument was not a variable.
inline Value* arrayRef(Invocation& inv, size_t i) {
    Value* ref = inv.args[i].ref;
    if (!ref) inv.fail(inv.name + ": argument " + std::to_string(i + 1) + " must be an array variable.");
    return ref;
}

void registerMathLibrary(Interpreter& interp);
void registerArrayLibrary(Interpreter& interp);
void registerSystemLibrary(Interpreter& interp);

}  // namespace kxh::mel::lib
