// MArgParser / MArgDatabase: a command line parsed against a syntax.
#include <maya/MArgDatabase.h>
#include <maya/MArgParser.h>
#include <maya/MStringArray.h>

#include "cmds/plugin/CommandApi.h"
#include "foundation/Output.h"

using kxh::ParsedData;
using kxh::ParsedFlagUse;
using kxh::SyntaxData;
using kxh::mel::Arg;
using kxh::mel::Value;

namespace kxh {

std::vector<const ParsedFlagUse*> ParsedData::usesOf(const std::string& name) const {
    std::vector<const ParsedFlagUse*> r;
    int idx = syntax.findIndex(name);
    if (idx < 0) return r;
    for (const auto& u : uses)
        if (u.flag == idx) r.push_back(&u);
    return r;
}

namespace {

const char* typePhrase(MSyntax::MArgType t) {
    switch (t) {
        case MSyntax::kBoolean:
            return "a boolean";
        case MSyntax::kLong:
            return "an int";
        case MSyntax::kUnsigned:
            return "an unsigned int";
        case MSyntax::kDouble:
        case MSyntax::kDistance:
        case MSyntax::kAngle:
        case MSyntax::kTime:
            return "a float";
        default:
            return "a string";
    }
}

// Converts one word to the declared type; the stored value carries the type (Int for booleans and
// integers, Float for the real types, String otherwise).
bool convertWord(const Arg& w, MSyntax::MArgType t, Value& out) {
    if (w.isFlag) return false;
    switch (t) {
        case MSyntax::kBoolean: {
            bool b;
            if (!valueToBool(w.value, b)) return false;
            out = Value(b ? 1 : 0);
            return true;
        }
        case MSyntax::kLong: {
            int i;
            if (!valueToInt(w.value, i)) return false;
            out = Value(i);
            return true;
        }
        case MSyntax::kUnsigned: {
            unsigned u;
            if (!valueToUnsigned(w.value, u)) return false;
            out = Value(long(u));
            return true;
        }
        case MSyntax::kDouble:
        case MSyntax::kDistance:
        case MSyntax::kAngle:
        case MSyntax::kTime: {
            double d;
            if (!valueToDouble(w.value, d)) return false;
            out = Value(d);
            return true;
        }
        default:
            out = Value(w.value.asString());
            return true;
    }
}

bool isMode(const std::string& n, const char* s, const char* l) {
    return n == s || n == l;
}

bool parse(const SyntaxData& syn, const std::vector<Arg>& words, ParsedData& d, std::string& error) {
    d = ParsedData();
    d.syntax = syn;
    // The mode applies to the whole line, wherever -q/-e stands.
    for (const Arg& w : words) {
        std::string n = w.flagName();
        if (syn.query && isMode(n, "q", "query") && !syn.find(n)) d.query = true;
        if (syn.edit && isMode(n, "e", "edit") && !syn.find(n)) d.edit = true;
    }
    std::vector<const Arg*> positional;
    for (size_t i = 0; i < words.size(); ++i) {
        const Arg& w = words[i];
        if (!w.isFlag) {
            positional.push_back(&w);
            continue;
        }
        std::string n = w.flagName();
        int idx = syn.findIndex(n);
        if (idx < 0) {
            if ((syn.query && isMode(n, "q", "query")) || (syn.edit && isMode(n, "e", "edit"))) continue;
            error = "Invalid flag: -" + n;
            return false;
        }
        const FlagSpec& flagDef = syn.flags[size_t(idx)];
        ParsedFlagUse use;
        use.flag = idx;
        use.position = unsigned(i);
        if (!d.query || flagDef.queryWithArgs) {
            for (size_t k = 0; k < flagDef.args.size(); ++k) {
                bool present = i + 1 < words.size() && !words[i + 1].isFlag;
                if (!present && d.query && flagDef.queryArgsOptional && k == 0) break;
                Value v;
                if (!present || !convertWord(words[i + 1], flagDef.args[k], v)) {
                    error = "Flag '-" + n + "' must be passed " + typePhrase(flagDef.args[k]) + " argument.";
                    return false;
                }
                ++i;
                use.args.push_back(std::move(v));
            }
        }
        // A single-use flag given twice: the last use wins.
        if (!flagDef.multiUse)
            for (auto it = d.uses.begin(); it != d.uses.end();)
                it = it->flag == idx ? d.uses.erase(it) : it + 1;
        d.uses.push_back(std::move(use));
    }
    size_t nArgs = syn.commandArgs.size();
    if (positional.size() < nArgs) {
        error = "Not enough objects or values.";
        return false;
    }
    for (size_t k = 0; k < nArgs; ++k) {
        Value v;
        if (!convertWord(*positional[k], syn.commandArgs[k], v)) {
            error = "Argument " + std::to_string(k + 1) + " must be " + typePhrase(syn.commandArgs[k]) + ".";
            return false;
        }
        d.commandArgs.push_back(std::move(v));
    }
    for (size_t k = nArgs; k < positional.size(); ++k) d.objects.push_back(positional[k]->value);
    bool fromSelection =
        d.objects.empty() && syn.selectionAsDefault && syn.objectFormat == MSyntax::kSelectionList;
    if (d.objects.size() < syn.minObjects && !fromSelection) {
        error = "Not enough objects or values.";
        return false;
    }
    if (d.objects.size() > syn.maxObjects) {
        error = "Too many objects or values.";
        return false;
    }
    d.ok = true;
    return true;
}

}  // namespace

}  // namespace kxh

MArgParser::MArgParser() : data_(new ParsedData) {}

MArgParser::MArgParser(const MSyntax& syntax, const MArgList& argList, MStatus* ReturnStatus)
    : data_(new ParsedData) {
    std::string error;
    if (kxh::parse(kxh::CommandApi::data(syntax), kxh::CommandApi::data(argList).words, *data_, error)) {
        if (ReturnStatus) *ReturnStatus = MS::kSuccess;
        return;
    }
    kxh::output().error(error);
    kxh::noteErrorShown();
    if (ReturnStatus) *ReturnStatus = MS::kFailure;
}

MArgParser::MArgParser(const MArgParser& other) : data_(new ParsedData(*other.data_)) {}
MArgParser& MArgParser::operator=(const MArgParser& other) {
    if (this != &other) *data_ = *other.data_;
    return *this;
}
MArgParser::~MArgParser() {
    delete data_;
}

namespace {

inline MStatus result(MStatus* st, MStatus::MStatusCode code) {
    if (st) *st = code;
    return code;
}

// The index-th argument of the flag's first use.
const Value* flagArg(const ParsedData& d, const char* flag, unsigned index) {
    if (!d.ok || !flag) return nullptr;
    auto uses = d.usesOf(flag);
    if (uses.empty() || index >= uses[0]->args.size()) return nullptr;
    return &uses[0]->args[index];
}

const Value* commandArg(const ParsedData& d, unsigned index) {
    if (!d.ok || index >= d.commandArgs.size()) return nullptr;
    return &d.commandArgs[index];
}

template <class T, class Conv>
MStatus read(const Value* v, T& out, Conv conv) {
    if (!v) return MS::kFailure;
    T r;
    if (!conv(*v, r)) return MS::kInvalidParameter;
    out = r;
    return MS::kSuccess;
}

bool toString(const Value& v, MString& out) {
    out = MString(v.asString());
    return true;
}

}  // namespace

bool MArgParser::isFlagSet(const char* flag, MStatus* ReturnStatus) const {
    if (!data_->ok || !flag) return result(ReturnStatus, MS::kFailure), false;
    result(ReturnStatus, MS::kSuccess);
    return !data_->usesOf(flag).empty();
}

bool MArgParser::isEdit(MStatus* ReturnStatus) const {
    result(ReturnStatus, data_->ok ? MS::kSuccess : MS::kFailure);
    return data_->edit;
}

bool MArgParser::isQuery(MStatus* ReturnStatus) const {
    result(ReturnStatus, data_->ok ? MS::kSuccess : MS::kFailure);
    return data_->query;
}

unsigned int MArgParser::numberOfFlagsUsed() const {
    return unsigned(data_->uses.size());
}

unsigned int MArgParser::numberOfFlagUses(const char* flag) const {
    return flag ? unsigned(data_->usesOf(flag).size()) : 0;
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, bool& r) const {
    return read(flagArg(*data_, flag, index), r, kxh::valueToBool);
}
MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, int& r) const {
    return read(flagArg(*data_, flag, index), r, kxh::valueToInt);
}
MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, double& r) const {
    return read(flagArg(*data_, flag, index), r, kxh::valueToDouble);
}
MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, MString& r) const {
    return read(flagArg(*data_, flag, index), r, toString);
}
MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, unsigned int& r) const {
    return read(flagArg(*data_, flag, index), r, kxh::valueToUnsigned);
}

MStatus MArgParser::getFlagArgumentPosition(const char* flag, unsigned int i, unsigned int& position) const {
    if (!data_->ok || !flag) return MS::kFailure;
    auto uses = data_->usesOf(flag);
    if (i >= uses.size()) return MS::kFailure;
    position = uses[i]->position;
    return MS::kSuccess;
}

MStatus MArgParser::getFlagArgumentList(const char* flag, unsigned int i, MArgList& args) const {
    if (!data_->ok || !flag) return MS::kFailure;
    auto uses = data_->usesOf(flag);
    if (i >= uses.size()) return MS::kFailure;
    std::vector<Arg> words;
    for (const Value& v : uses[i]->args) {
        Arg a;
        a.value = v;
        words.push_back(std::move(a));
    }
    args = kxh::CommandApi::fromWords(words);
    return MS::kSuccess;
}

MStatus MArgParser::getCommandArgument(unsigned int index, bool& r) const {
    return read(commandArg(*data_, index), r, kxh::valueToBool);
}
MStatus MArgParser::getCommandArgument(unsigned int index, int& r) const {
    return read(commandArg(*data_, index), r, kxh::valueToInt);
}
MStatus MArgParser::getCommandArgument(unsigned int index, double& r) const {
    return read(commandArg(*data_, index), r, kxh::valueToDouble);
}
MStatus MArgParser::getCommandArgument(unsigned int index, MString& r) const {
    return read(commandArg(*data_, index), r, toString);
}
MStatus MArgParser::getCommandArgument(unsigned int index, unsigned int& r) const {
    return read(commandArg(*data_, index), r, kxh::valueToUnsigned);
}

MStatus MArgParser::getObjects(MStringArray& r) const {
    if (!data_->ok) return MS::kFailure;
    r.clear();
    for (const Value& v : data_->objects)
        for (const std::string& s : v.asStringArray()) r.append(MString(s));
    return MS::kSuccess;
}

MArgDatabase::MArgDatabase() = default;
MArgDatabase::MArgDatabase(const MSyntax& syntax, const MArgList& argList, MStatus* ReturnStatus)
    : MArgParser(syntax, argList, ReturnStatus) {}
MArgDatabase::MArgDatabase(const MArgDatabase& other) = default;
MArgDatabase& MArgDatabase::operator=(const MArgDatabase& other) = default;
MArgDatabase::~MArgDatabase() = default;
