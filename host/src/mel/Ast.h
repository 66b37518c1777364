#pragma once
// The syntax tree of a MEL text. The parser builds it whole before anything runs; the runtime walks it.
#include <memory>
#include <string>
#include <vector>

#include "mel/Value.h"

namespace kxh::mel {

struct Expr;
struct Stmt;
using ExprPtr = std::unique_ptr<Expr>;
using StmtPtr = std::unique_ptr<Stmt>;

enum class ExprKind {
    Literal,    // value
    Var,        // name
    Index,      // kids[0][kids[1]]
    Member,     // kids[0].name  (vector component x, y or z)
    Unary,      // op kids[0]: "-", "!"
    Binary,     // kids[0] op kids[1]
    Assign,     // kids[0] op kids[1]: "=", "+=", "-=", "*=", "/="
    IncDec,     // op "++"/"--" on kids[0]; prefix tells pre or post
    Ternary,    // kids[0] ? kids[1] : kids[2]
    Call,       // name(kids...): function syntax
    Command,    // name words...: command syntax (statement or backquotes)
    ArrayLit,   // {kids...}
    VectorLit,  // <<kids[0], kids[1], kids[2]>>
};

// One word of a command in command syntax: a flag, a bare or quoted word (kept as a literal), or an
// expression ($var, (expr), `cmd`, {array}).
struct Word {
    ExprPtr expr;
    bool isFlag = false;
};

struct Expr {
    ExprKind kind;
    int line = 0;
    Value value;
    std::string name;
    std::string op;
    bool prefix = false;
    std::vector<ExprPtr> kids;
    std::vector<Word> words;
    std::string text;  // Command: the statement's source text
    Expr(ExprKind k, int l) : kind(k), line(l) {}
};

enum class StmtKind {
    Empty,
    Expr,     // expr
    Decl,     // type decls (global when isGlobal)
    Block,    // { body }
    If,       // if (cond) body[0] else elseBody
    While,    // while (cond) body[0]
    DoWhile,  // do body[0] while (cond)
    For,      // for (init; cond; step) body[0]
    ForIn,    // for ($var in expr) body[0]
    Switch,   // switch (cond) { cases }
    Break,
    Continue,
    Return,  // return [expr]
};

struct Declarator {
    std::string name;  // without '$'
    bool isArray = false;
    ExprPtr size;  // int $a[5]
    ExprPtr init;
};

struct SwitchCase {
    ExprPtr value;  // null for default
    std::vector<StmtPtr> body;
};

struct Stmt {
    StmtKind kind;
    int line = 0;
    ExprPtr expr;                     // Expr, Return value, If/While/For cond, ForIn array, Switch value
    std::vector<ExprPtr> init, step;  // For
    std::vector<StmtPtr> body;
    StmtPtr elseBody;
    StmtPtr initDecl;  // For with a declaration as its init
    // Decl
    Value::Kind type = Value::Kind::None;
    bool isGlobal = false;
    std::vector<Declarator> decls;
    // ForIn
    std::string var;
    std::vector<SwitchCase> cases;
    Stmt(StmtKind k, int l) : kind(k), line(l) {}
};

struct Param {
    Value::Kind type;
    std::string name;  // without '$'
};

struct ProcDef {
    std::string name;
    bool isGlobal = false;
    Value::Kind returnType = Value::Kind::None;
    std::vector<Param> params;
    std::vector<StmtPtr> body;
    std::string sourceName;
    int line = 0;
};

// A parsed text: its statements and the procedures it defines.
struct Unit {
    std::string sourceName;
    std::vector<StmtPtr> stmts;
    std::vector<std::shared_ptr<ProcDef>> procs;
};

// Parses a whole text. On a syntax error returns null and sets the line of the error.
std::unique_ptr<Unit> parseUnit(const std::string& text, const std::string& sourceName, int& errorLine);

}  // namespace kxh::mel
