// MSyntax: the declared flags, command arguments and objects of a command.
#include <maya/MSyntax.h>

#include <set>

#include "cmds/plugin/CommandApi.h"

namespace kxh {

std::string stripDash(const std::string& name) {
    return !name.empty() && name[0] == '-' ? name.substr(1) : name;
}

int SyntaxData::findIndex(const std::string& name) const {
    std::string n = stripDash(name);
    if (n.empty()) return -1;
    for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i].shortName == n || flags[i].longName == n) return int(i);
    return -1;
}

const FlagSpec* SyntaxData::find(const std::string& name) const {
    int i = findIndex(name);
    return i < 0 ? nullptr : &flags[size_t(i)];
}

namespace {

mel::ArgType melType(MSyntax::MArgType t) {
    switch (t) {
        case MSyntax::kBoolean:
            return mel::ArgType::Bool;
        case MSyntax::kLong:
        case MSyntax::kUnsigned:
            return mel::ArgType::Int;
        case MSyntax::kDouble:
        case MSyntax::kDistance:
        case MSyntax::kAngle:
        case MSyntax::kTime:
            return mel::ArgType::Float;
        default:
            return mel::ArgType::String;
    }
}

bool isArgType(MSyntax::MArgType t) {
    return t > MSyntax::kNoArg && t < MSyntax::kLastArgType;
}

}  // namespace

std::shared_ptr<mel::Syntax> CommandApi::toMelSyntax(const MSyntax& syntax) {
    const SyntaxData& d = data(syntax);
    auto s = std::make_shared<mel::Syntax>();
    for (const FlagSpec& f : d.flags) {
        std::vector<mel::ArgType> args;
        for (auto t : f.args) args.push_back(melType(t));
        s->flag(f.shortName, f.longName, std::move(args), f.multiUse);
        s->flags.back().queryWithArgs = f.queryWithArgs;
    }
    s->queryable = d.query;
    s->editable = d.edit;
    s->minObjects = int(d.minObjects);
    s->maxObjects = d.maxObjects == UINT_MAX ? -1 : int(d.maxObjects);
    return s;
}

namespace {

std::set<const SyntaxData*>& borrowed() {
    // Never destroyed: commands left on the undo queue are deleted after static destruction has begun.
    static auto* b = new std::set<const SyntaxData*>;
    return *b;
}

}  // namespace

MSyntax CommandApi::borrowSyntax(SyntaxData& data) {
    borrowed().insert(&data);
    MSyntax s;
    delete s.data_;
    s.data_ = &data;
    return s;
}

void CommandApi::releaseSyntax(SyntaxData& data) {
    borrowed().erase(&data);
}

bool CommandApi::isBorrowed(const SyntaxData* data) {
    return !borrowed().empty() && borrowed().count(data);
}

}  // namespace kxh

using kxh::FlagSpec;
using kxh::SyntaxData;

MSyntax::MSyntax() : data_(new SyntaxData) {}
MSyntax::MSyntax(const MSyntax& other) : data_(new SyntaxData(*other.data_)) {}
MSyntax& MSyntax::operator=(const MSyntax& rhs) {
    if (this != &rhs) *data_ = *rhs.data_;
    return *this;
}
MSyntax::~MSyntax() {
    if (!kxh::CommandApi::isBorrowed(data_)) delete data_;
}

MStatus MSyntax::addFlag(const char* shortName, const char* longName, MArgType a1, MArgType a2, MArgType a3,
                         MArgType a4, MArgType a5, MArgType a6) {
    FlagSpec f;
    f.shortName = kxh::stripDash(shortName ? shortName : "");
    f.longName = kxh::stripDash(longName ? longName : "");
    if (f.shortName.empty() || f.longName.empty()) return MS::kInvalidParameter;
    if (data_->find(f.shortName) || data_->find(f.longName)) return MS::kFailure;
    // Arguments end at the first kNoArg: (kLong, kNoArg, kLong) declares one argument.
    for (MArgType t : {a1, a2, a3, a4, a5, a6}) {
        if (t == kNoArg) break;
        if (!kxh::isArgType(t)) return MS::kInvalidParameter;
        f.args.push_back(t);
    }
    data_->flags.push_back(std::move(f));
    return MS::kSuccess;
}

MStatus MSyntax::makeFlagMultiUse(const char* flag) {
    int i = data_->findIndex(flag ? flag : "");
    if (i < 0) return MS::kFailure;
    data_->flags[size_t(i)].multiUse = true;
    return MS::kSuccess;
}

MStatus MSyntax::makeFlagQueryWithFullArgs(const char* flag, bool queryArgsAreOptional) {
    int i = data_->findIndex(flag ? flag : "");
    if (i < 0) return MS::kFailure;
    data_->flags[size_t(i)].queryWithArgs = true;
    data_->flags[size_t(i)].queryArgsOptional = queryArgsAreOptional;
    return MS::kSuccess;
}

MStatus MSyntax::addArg(MArgType arg) {
    if (!kxh::isArgType(arg)) return MS::kInvalidParameter;
    data_->commandArgs.push_back(arg);
    return MS::kSuccess;
}

void MSyntax::useSelectionAsDefault(bool useSelectionList) {
    data_->selectionAsDefault = useSelectionList;
}

MStatus MSyntax::setObjectType(MObjectFormat objectFormat, unsigned int minimumObjects) {
    return setObjectType(objectFormat, minimumObjects, UINT_MAX);
}

MStatus MSyntax::setObjectType(MObjectFormat objectFormat, unsigned int minimumObjects,
                               unsigned int maximumObjects) {
    if (objectFormat <= kInvalidObjectFormat || objectFormat >= kLastObjectFormat)
        return MS::kInvalidParameter;
    if (minimumObjects > maximumObjects) return MS::kInvalidParameter;
    data_->objectTypeSet = true;
    data_->objectFormat = objectFormat;
    data_->minObjects = objectFormat == kNone ? 0 : minimumObjects;
    data_->maxObjects = objectFormat == kNone ? 0 : maximumObjects;
    return MS::kSuccess;
}

void MSyntax::setMinObjects(unsigned int minimumObjectCount) {
    data_->minObjects = minimumObjectCount;
}
void MSyntax::setMaxObjects(unsigned int maximumObjectCount) {
    data_->maxObjects = maximumObjectCount;
}
unsigned int MSyntax::minObjects() const {
    return data_->minObjects;
}
unsigned int MSyntax::maxObjects() const {
    return data_->maxObjects;
}

void MSyntax::enableQuery(bool supportsQuery) {
    data_->query = supportsQuery;
}
void MSyntax::enableEdit(bool supportsEdit) {
    data_->edit = supportsEdit;
}
bool MSyntax::canQuery() const {
    return data_->query;
}
bool MSyntax::canEdit() const {
    return data_->edit;
}
