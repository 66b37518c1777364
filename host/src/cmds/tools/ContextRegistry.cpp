// The table of tool contexts and the current tool; the MEL side of context commands (the command a plug-in
// registers with MFnPlugin::registerContextCommand, and its tool command); setToolTo, currentCtx and
// contextInfo; the tool commands handed out by newToolCommand until the undo queue takes them.
#include <maya/MArgList.h>
#include <maya/MEvent.h>
#include <maya/MPxContext.h>
#include <maya/MPxContextCommand.h>
#include <maya/MPxSelectionContext.h>
#include <maya/MPxToolCommand.h>

#include <algorithm>

#include "cmds/plugin/CommandApi.h"
#include "cmds/plugin/PluginHost.h"
#include "cmds/tools/ToolCommands.h"
#include "cmds/tools/Tools.h"
#include "cmds/tools/ToolsApi.h"
#include "foundation/Output.h"
#include "graph/api/Messages.h"
#include "mel/Interpreter.h"
#include "view/Views.h"

namespace kxh {

namespace {

struct PendingToolCommand {
    MPxToolCommand* cmd;
    const ContextRecord* owner;
};

struct Registry {
    std::vector<std::unique_ptr<ContextRecord>> contexts;  // host contexts first, then creation order
    ContextRecord* current = nullptr;
    std::vector<PendingToolCommand> pending;
    std::vector<MPxToolCommand*> retired;
    bool switching = false;
};

ContextRecord& addHostContext(Registry& r, const std::string& name, const std::string& className,
                              const std::string& title, std::unique_ptr<MPxContext> context) {
    auto rec = std::make_unique<ContextRecord>();
    rec->name = name;
    rec->className = className;
    rec->context = std::move(context);
    ContextAccess::bind(*rec->context, rec.get());
    ContextAccess::setTitle(*rec->context, MString(title));
    r.contexts.push_back(std::move(rec));
    return *r.contexts.back();
}

// Never destroyed: at exit, contexts of plug-in modules must not run code of modules already closed.
Registry& registry() {
    static Registry* r = [] {
        auto* reg = new Registry;
        // The host's own tools: the selection tool is the default; the tumble tool carries the tumble
        // settings that "tumbleCtx" edits.
        ContextRecord& select = addHostContext(*reg, tools::kDefaultTool, "selectSuperContext", "Select Tool",
                                               std::make_unique<MPxSelectionContext>());
        addHostContext(*reg, "tumbleContext", "tumble", "Tumble Tool", std::make_unique<MPxContext>())
            .tumble = true;
        reg->current = &select;
        return reg;
    }();
    return *r;
}

bool isHostContext(const ContextRecord& rec) {
    return rec.commandName.empty();
}

// The event toolOnSetup receives: where the cursor is in the active view, no button.
MEvent setupEvent() {
    MEvent event;
    if (view::View* v = view::activeView()) {
        int x, y;
        view::cursorInView(*v, x, y);
        event.setPosition(short(x), short(y));
        int sx, sy;
        view::cursorScreen(sx, sy);
        EventAccess::setScreen(event, short(sx), short(sy));
    }
    return event;
}

std::string uniqueContextName(const std::string& stem) {
    for (int i = 1;; ++i) {
        std::string name = stem + std::to_string(i);
        if (!tools::findContext(name)) return name;
    }
}

}  // namespace

namespace tools {

ContextRecord* findContext(const std::string& name) {
    for (auto& rec : registry().contexts)
        if (rec->name == name) return rec.get();
    return nullptr;
}

ContextRecord* currentTool() {
    return registry().current;
}

std::string currentToolName() {
    return registry().current ? registry().current->name : std::string();
}

bool setTool(const std::string& name, std::string& error) {
    Registry& r = registry();
    ContextRecord* next = findContext(name);
    if (!next) {
        error = "Context '" + name + "' does not exist.";
        return false;
    }
    if (next == r.current) return true;
    ContextRecord* previous = r.current;
    if (previous) {
        previous->context->toolOffCleanup();
        deleteToolCommandsOf(previous);
    }
    r.current = next;
    fireEvent("ToolChanged");
    MEvent event = setupEvent();
    next->context->toolOnSetup(event);
    fireEvent("PostToolChanged");
    return true;
}

bool deleteContext(const std::string& name) {
    Registry& r = registry();
    auto it = std::find_if(r.contexts.begin(), r.contexts.end(),
                           [&](const auto& rec) { return rec->name == name; });
    if (it == r.contexts.end() || isHostContext(**it)) return false;
    if (r.current == it->get()) {
        std::string error;
        setTool(kDefaultTool, error);
    }
    // setTool may have run plug-in code that changed the table: find the record again.
    it = std::find_if(r.contexts.begin(), r.contexts.end(),
                      [&](const auto& rec) { return rec->name == name; });
    if (it == r.contexts.end()) return true;
    std::unique_ptr<ContextRecord> rec = std::move(*it);
    r.contexts.erase(it);
    deleteToolCommandsOf(rec.get());
    rec->context.reset();  // the context first: its command object may know it
    rec->command.reset();
    return true;
}

void adoptToolCommand(MPxToolCommand* cmd, ContextRecord* owner) {
    if (cmd) registry().pending.push_back({cmd, owner});
}

bool releaseToolCommand(MPxToolCommand* cmd) {
    Registry& r = registry();
    bool found = false;
    auto p = std::remove_if(r.pending.begin(), r.pending.end(), [&](const PendingToolCommand& x) {
        return x.cmd == cmd ? (found = true) : false;
    });
    r.pending.erase(p, r.pending.end());
    auto q = std::remove(r.retired.begin(), r.retired.end(), cmd);
    if (q != r.retired.end()) found = true;
    r.retired.erase(q, r.retired.end());
    return found;
}

void retireToolCommand(MPxToolCommand* cmd) {
    releaseToolCommand(cmd);
    registry().retired.push_back(cmd);
}

void deleteToolCommandsOf(const ContextRecord* owner) {
    Registry& r = registry();
    std::vector<MPxToolCommand*> doomed;
    for (const auto& p : r.pending)
        if (p.owner == owner) doomed.push_back(p.cmd);
    for (MPxToolCommand* cmd : doomed) {
        releaseToolCommand(cmd);
        delete cmd;
    }
    flushRetiredToolCommands();
}

void flushRetiredToolCommands() {
    std::vector<MPxToolCommand*> doomed;
    doomed.swap(registry().retired);
    for (MPxToolCommand* cmd : doomed) delete cmd;
}

}  // namespace tools

// --- MEL: context commands ---------------------------------------------------------------------------------

namespace {

struct ContextCommandDef {
    std::string name;
    MCreatorFunction creator;
    std::string toolCommand;
    MCreatorFunction toolCreator;
    MCreateSyntaxFunction toolSyntax;
    PluginRecord* owner;
};

// The host's flags of every context command, then the command's own (appendSyntax).
bool buildSyntax(MPxContextCommand& cmd) {
    SyntaxData& data = ContextCommandAccess::syntax(cmd);
    data = SyntaxData();
    MSyntax s = CommandApi::borrowSyntax(data);
    s.addFlag("ex", "exists");
    s.addFlag("i1", "image1", MSyntax::kString);
    s.addFlag("i2", "image2", MSyntax::kString);
    s.addFlag("i3", "image3", MSyntax::kString);
    s.enableQuery(true);
    s.enableEdit(true);
    return bool(cmd.appendSyntax());
}

const char* const kImageFlags[3] = {"i1", "i2", "i3"};

bool usesOwnFlags(const ParsedData& parsed) {
    for (const ParsedFlagUse& use : parsed.uses) {
        const std::string& n = parsed.syntax.flags[size_t(use.flag)].shortName;
        if (n != "ex" && n != "i1" && n != "i2" && n != "i3") return true;
    }
    return false;
}

bool runContextCommand(const ContextCommandDef& def, mel::Invocation& inv) {
    // A fresh command object parses the line; it becomes the new context's command when the line creates
    // one, and is dropped when the line works on an existing context.
    void* raw = def.creator ? def.creator() : nullptr;
    if (!raw) return inv.fail(def.name + ": the command could not be created.");
    std::unique_ptr<MPxContextCommand> cmd(static_cast<MPxContextCommand*>(raw));
    ResultScope scope;
    if (!buildSyntax(*cmd)) return inv.fail(def.name + ": the command's syntax could not be built.");
    MArgList args = CommandApi::fromWords(inv.args);
    MStatus st;
    MArgParser parser(CommandApi::borrowSyntax(ContextCommandAccess::syntax(*cmd)), args, &st);
    if (!st) return false;  // the parser reported the error
    const ParsedData& parsed = CommandApi::data(parser);
    if (parsed.objects.size() > 1) return inv.fail("Too many objects or values.");
    const std::string target = parsed.objects.empty() ? std::string() : parsed.objects[0].asString();
    ContextRecord* existing = target.empty() ? nullptr : tools::findContext(target);
    const bool ours = existing && existing->commandName == def.name;

    if (parser.isFlagSet("ex")) {
        inv.result = mel::Value(ours ? 1 : 0);
        return true;
    }

    if (parsed.query || parsed.edit) {
        if (target.empty())
            return inv.fail(def.name + ": a context name is required in query and edit modes.");
        if (!ours) return inv.fail(def.name + ": Object '" + target + "' not found.");
        MPxContextCommand& owner = *existing->command;
        // The context's own command object answers, with the line parsed against its syntax.
        MArgParser ownParser(CommandApi::borrowSyntax(ContextCommandAccess::syntax(owner)), args, &st);
        if (!st) return false;
        ContextCommandAccess::setParser(owner, ownParser);
        for (int i = 0; i < 3; ++i) {
            if (!ownParser.isFlagSet(kImageFlags[i])) continue;
            auto index = MPxContext::ImageIndex(i);
            if (parsed.query) {
                inv.result = mel::Value(existing->context->image(index).str());
                return true;
            }
            MString image;
            ownParser.getFlagArgument(kImageFlags[i], 0, image);
            existing->context->setImage(image, index);
        }
        st = parsed.query ? owner.doQueryFlags() : owner.doEditFlags();
        inv.result = scope.take();
        if (!st) return scope.errorShown() ? false : inv.fail(def.name + ": command failed");
        return true;
    }

    // Create.
    if (existing) return inv.fail("Object's name '" + target + "' is not unique.");
    MPxContext* made = cmd->makeObj();
    if (!made) return inv.fail(def.name + ": the context could not be created.");
    auto rec = std::make_unique<ContextRecord>();
    rec->name = target.empty() ? uniqueContextName(def.name) : target;
    rec->commandName = def.name;
    rec->context.reset(made);
    rec->toolCommand = def.toolCommand;
    rec->toolCreator = def.toolCreator;
    rec->toolSyntax = def.toolSyntax;
    rec->owner = def.owner;
    ContextAccess::bind(*made, rec.get());
    for (int i = 0; i < 3; ++i)
        if (parser.isFlagSet(kImageFlags[i])) {
            MString image;
            parser.getFlagArgument(kImageFlags[i], 0, image);
            made->setImage(image, MPxContext::ImageIndex(i));
        }
    ContextCommandAccess::setParser(*cmd, parser);
    MPxContextCommand* command = cmd.get();
    rec->command = std::move(cmd);
    const std::string name = rec->name;
    registry().contexts.push_back(std::move(rec));
    if (usesOwnFlags(parsed) && !command->doEditFlags()) {
        const bool shown = scope.errorShown();
        tools::deleteContext(name);
        return shown ? false : inv.fail(def.name + ": command failed");
    }
    inv.result = mel::Value(name);
    return true;
}

bool addContextCommandMel(const ContextCommandInfo& info) {
    mel::CommandRegistry& commands = hostInterpreter().commands();
    ContextCommandDef def{info.name,        info.creator,    info.toolCommand,
                          info.toolCreator, info.toolSyntax, info.owner};
    if (commands.find(def.name) || (!def.toolCommand.empty() && commands.find(def.toolCommand))) return false;
    commands.add({def.name, [def](mel::Invocation& inv) { return runContextCommand(def, inv); }, nullptr});
    if (!def.toolCommand.empty()) {
        // The tool command is a MEL command too, run through doIt like any plug-in command.
        MSyntax syntax = def.toolSyntax ? def.toolSyntax() : MSyntax();
        mel::CommandDef tool;
        tool.name = def.toolCommand;
        tool.syntax = CommandApi::toMelSyntax(syntax);
        tool.handler = [name = def.toolCommand, creator = def.toolCreator, syntax](mel::Invocation& inv) {
            return runPluginCommand(name, creator, syntax, inv);
        };
        commands.add(std::move(tool));
    }
    return true;
}

void removeContextCommandMel(const ContextCommandInfo& info) {
    // Contexts made by the command go first (their code may live in a module about to close).
    std::vector<std::string> names;
    for (const auto& rec : registry().contexts)
        if (rec->commandName == info.name) names.push_back(rec->name);
    for (const std::string& n : names) tools::deleteContext(n);
    mel::CommandRegistry& commands = hostInterpreter().commands();
    commands.remove(info.name);
    if (!info.toolCommand.empty()) commands.remove(info.toolCommand);
}

// --- MEL: setToolTo, currentCtx, contextInfo ---------------------------------------------------------------

bool setToolToCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.minObjects = syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    if (!tools::setTool(a.objects[0].asString(), error)) return inv.fail("setToolTo: " + error);
    return true;
}

bool currentCtxCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.maxObjects = 0;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    inv.result = mel::Value(tools::currentToolName());
    return true;
}

bool contextInfoCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("t", "title").flag("c", "class").flag("ex", "exists");
    syn.flag("i1", "image1").flag("i2", "image2").flag("i3", "image3");
    syn.queryable = true;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const std::string name = a.objects.empty() ? tools::currentToolName() : a.objects[0].asString();
    ContextRecord* rec = tools::findContext(name);
    if (a.has("ex")) {
        inv.result = mel::Value(rec ? 1 : 0);
        return true;
    }
    if (!rec) return inv.fail("contextInfo: Context '" + name + "' does not exist.");
    const MPxContext& ctx = *rec->context;
    if (a.has("t")) {
        inv.result = mel::Value(ContextAccess::title(ctx).str());
    } else if (a.has("c")) {
        MString cls;
        ctx.getClassName(cls);
        inv.result = mel::Value(cls.str());
    } else if (a.has("i1") || a.has("i2") || a.has("i3")) {
        auto index = a.has("i1")   ? MPxContext::kImage1
                     : a.has("i2") ? MPxContext::kImage2
                                   : MPxContext::kImage3;
        inv.result = mel::Value(ctx.image(index).str());
    } else {
        return inv.fail("contextInfo: No flags were given.");
    }
    return true;
}

}  // namespace

void registerContextCommands(mel::CommandRegistry& registry) {
    registry.add({"setToolTo", setToolToCmd, nullptr});
    registry.add({"currentCtx", currentCtxCmd, nullptr});
    registry.add({"contextInfo", contextInfoCmd, nullptr});
    PluginHost::instance().setContextCommandHooks({addContextCommandMel, removeContextCommandMel});
}

ContextRecord* addTumbleContext(const std::string& name) {
    if (name.empty() || tools::findContext(name)) return nullptr;
    ContextRecord& rec =
        addHostContext(registry(), name, "tumble", "Tumble Tool", std::make_unique<MPxContext>());
    rec.tumble = true;
    return &rec;
}

void resetContexts() {
    std::string error;
    tools::setTool(tools::kDefaultTool, error);
    for (auto& rec : registry().contexts)
        if (rec->tumble) rec->localTumble = 0;
    tools::flushRetiredToolCommands();
}

}  // namespace kxh
