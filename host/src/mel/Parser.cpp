// The MEL parser: statements, procedures and expressions into the syntax tree of Ast.h, over the lexer's
// cursor (Lexer.h), from which it also reads the raw words of commands in command syntax.
#include <cctype>
#include <cstring>

#include "mel/Ast.h"
#include "mel/Lexer.h"

namespace kxh::mel {

namespace {

bool typeKind(const std::string& word, Value::Kind& kind) {
    if (word == "int")
        kind = Value::Kind::Int;
    else if (word == "float")
        kind = Value::Kind::Float;
    else if (word == "string")
        kind = Value::Kind::String;
    else if (word == "vector")
        kind = Value::Kind::Vector;
    else
        return false;
    return true;
}

bool isKeyword(const std::string& w) {
    static const char* const words[] = {
        "if",  "else",  "for",    "while",  "do",     "break",  "continue", "return",  "proc", "global",
        "int", "float", "string", "vector", "matrix", "switch", "case",     "default", "in"};
    for (const char* k : words)
        if (w == k) return true;
    return false;
}

class Parser : private Lexer {
public:
    Parser(const std::string& src, Unit& unit) : Lexer(src), unit_(unit) {}

    void parseAll() {
        while (peek().type != Tok::End) {
            StmtPtr s = parseStatement(true);
            if (s) unit_.stmts.push_back(std::move(s));
        }
    }

private:
    struct DepthGuard {
        explicit DepthGuard(Parser& p) : p_(p) {
            if (++p_.depth_ > 200) throw SyntaxError{p_.line_};
        }
        ~DepthGuard() { --p_.depth_; }
        Parser& p_;
    };

    // ---- statements -------------------------------------------------------------------------------

    // A statement ends at ';', or just before '}', a closing backquote or the end of the text.
    void endStatement() {
        Token t = peek();
        if (t.type == Tok::Punct && t.text == ";") {
            lex();
            return;
        }
        if (t.type == Tok::End || (t.type == Tok::Punct && (t.text == "}" || t.text == "`"))) return;
        throw SyntaxError{t.line};
    }

    StmtPtr parseStatement(bool topLevel) {
        DepthGuard guard(*this);
        Token t = peek();
        if (t.type == Tok::End) throw SyntaxError{t.line};
        if (t.type == Tok::Punct && t.text == ";") {
            lex();
            return std::make_unique<Stmt>(StmtKind::Empty, t.line);
        }
        if (t.type == Tok::Punct && t.text == "{") return parseBlock();
        if (t.type == Tok::Ident) {
            const std::string& w = t.text;
            Value::Kind kind;
            if (w == "if") return parseIf();
            if (w == "while") return parseWhile();
            if (w == "do") return parseDoWhile();
            if (w == "for") return parseFor();
            if (w == "switch") return parseSwitch();
            if (w == "break" || w == "continue") {
                lex();
                endStatement();
                return std::make_unique<Stmt>(w == "break" ? StmtKind::Break : StmtKind::Continue, t.line);
            }
            if (w == "return") {
                lex();
                auto s = std::make_unique<Stmt>(StmtKind::Return, t.line);
                Token n = peek();
                if (!(n.type == Tok::End || (n.type == Tok::Punct && (n.text == ";" || n.text == "}"))))
                    s->expr = parseExpression();
                endStatement();
                return s;
            }
            if (w == "global" || w == "proc") {
                size_t p = pos_;
                int l = line_;
                lex();
                bool isProc = w == "proc" || peekIdent("proc");
                if (isProc) {
                    if (!topLevel) throw SyntaxError{t.line};
                    pos_ = p;
                    line_ = l;
                    parseProc();
                    return nullptr;
                }
                auto s = parseDecl(true);
                endStatement();
                return s;
            }
            if (typeKind(w, kind)) {
                size_t p = pos_;
                int l = line_;
                lex();
                bool decl = peek().type == Tok::Var;
                pos_ = p;
                line_ = l;
                if (decl) {
                    auto s = parseDecl(false);
                    endStatement();
                    return s;
                }
            } else if (isKeyword(w)) {
                throw SyntaxError{t.line};
            } else if (w != "true" && w != "false" && w != "on" && w != "off" && w != "yes" && w != "no") {
                return parseCommandStatement();
            }
        }
        auto s = std::make_unique<Stmt>(StmtKind::Expr, t.line);
        s->expr = parseExpression();
        endStatement();
        return s;
    }

    StmtPtr parseBlock() {
        Token open = expectPunct("{");
        auto s = std::make_unique<Stmt>(StmtKind::Block, open.line);
        while (!peekPunct("}")) {
            if (peek().type == Tok::End) throw SyntaxError{open.line};
            StmtPtr b = parseStatement(false);
            if (b) s->body.push_back(std::move(b));
        }
        lex();
        return s;
    }

    ExprPtr parseCondition() {
        expectPunct("(");
        ExprPtr e = parseExpression();
        expectPunct(")");
        return e;
    }

    StmtPtr parseIf() {
        Token t = lex();
        auto s = std::make_unique<Stmt>(StmtKind::If, t.line);
        s->expr = parseCondition();
        s->body.push_back(parseStatement(false));
        if (peekIdent("else")) {
            lex();
            s->elseBody = parseStatement(false);
        }
        return s;
    }

    StmtPtr parseWhile() {
        Token t = lex();
        auto s = std::make_unique<Stmt>(StmtKind::While, t.line);
        s->expr = parseCondition();
        s->body.push_back(parseStatement(false));
        return s;
    }

    StmtPtr parseDoWhile() {
        Token t = lex();
        auto s = std::make_unique<Stmt>(StmtKind::DoWhile, t.line);
        s->body.push_back(parseStatement(false));
        Token w = lex();
        if (w.type != Tok::Ident || w.text != "while") throw SyntaxError{w.line};
        s->expr = parseCondition();
        endStatement();
        return s;
    }

    StmtPtr parseFor() {
        Token t = lex();
        expectPunct("(");
        // for ($item in $array) / for (string $item in $array)
        {
            size_t p = pos_;
            int l = line_;
            Token a = lex();
            Value::Kind k;
            if (a.type == Tok::Ident && typeKind(a.text, k)) a = lex();
            if (a.type == Tok::Var) {
                Token in = lex();
                if (in.type == Tok::Ident && in.text == "in") {
                    auto s = std::make_unique<Stmt>(StmtKind::ForIn, t.line);
                    s->var = a.text;
                    s->expr = parseExpression();
                    expectPunct(")");
                    s->body.push_back(parseStatement(false));
                    return s;
                }
            }
            pos_ = p;
            line_ = l;
        }
        auto s = std::make_unique<Stmt>(StmtKind::For, t.line);
        Token first = peek();
        Value::Kind k;
        if (first.type == Tok::Ident && typeKind(first.text, k)) {
            s->initDecl = parseDecl(false);
        } else if (!peekPunct(";")) {
            s->init = parseExpressionList();
        }
        expectPunct(";");
        if (!peekPunct(";")) s->expr = parseExpression();
        expectPunct(";");
        if (!peekPunct(")")) s->step = parseExpressionList();
        expectPunct(")");
        s->body.push_back(parseStatement(false));
        return s;
    }

    std::vector<ExprPtr> parseExpressionList() {
        std::vector<ExprPtr> list;
        list.push_back(parseExpression());
        while (acceptPunct(",")) list.push_back(parseExpression());
        return list;
    }

    StmtPtr parseSwitch() {
        Token t = lex();
        auto s = std::make_unique<Stmt>(StmtKind::Switch, t.line);
        s->expr = parseCondition();
        expectPunct("{");
        while (!peekPunct("}")) {
            Token c = lex();
            if (c.type != Tok::Ident || (c.text != "case" && c.text != "default")) throw SyntaxError{c.line};
            SwitchCase sc;
            if (c.text == "case") sc.value = parseTernary();
            expectPunct(":");
            for (;;) {
                Token n = peek();
                if (n.type == Tok::End) throw SyntaxError{n.line};
                if (n.type == Tok::Punct && n.text == "}") break;
                if (n.type == Tok::Ident && (n.text == "case" || n.text == "default")) break;
                StmtPtr b = parseStatement(false);
                if (b) sc.body.push_back(std::move(b));
            }
            s->cases.push_back(std::move(sc));
        }
        lex();
        return s;
    }

    // [global] type $a [= e], $b[] [= e], $c[4] ...  (no terminator)
    StmtPtr parseDecl(bool isGlobal) {
        Token t = lex();
        if (t.type == Tok::Ident && t.text == "global") t = lex();
        Value::Kind kind;
        if (t.type != Tok::Ident || !typeKind(t.text, kind)) throw SyntaxError{t.line};
        auto s = std::make_unique<Stmt>(StmtKind::Decl, t.line);
        s->type = kind;
        s->isGlobal = isGlobal;
        do {
            Token v = lex();
            if (v.type != Tok::Var) throw SyntaxError{v.line};
            Declarator d;
            d.name = v.text;
            if (acceptPunct("[")) {
                d.isArray = true;
                if (!peekPunct("]")) d.size = parseExpression();
                expectPunct("]");
            }
            if (acceptPunct("=")) d.init = parseAssign();
            s->decls.push_back(std::move(d));
        } while (acceptPunct(","));
        return s;
    }

    // Reads a type with an optional "[]": int, string[], ...
    Value::Kind parseType() {
        Token t = lex();
        Value::Kind kind;
        if (t.type != Tok::Ident || !typeKind(t.text, kind)) throw SyntaxError{t.line};
        if (peekPunct("[")) {
            lex();
            expectPunct("]");
            kind = Value::arrayKind(kind);
        }
        return kind;
    }

    void parseProc() {
        Token t = lex();
        auto def = std::make_shared<ProcDef>();
        def->line = t.line;
        def->sourceName = unit_.sourceName;
        if (t.text == "global") {
            def->isGlobal = true;
            t = lex();  // "proc"
        }
        Token n = peek();
        Value::Kind k;
        if (n.type == Tok::Ident && typeKind(n.text, k)) {
            // "proc int f()" names a return type; "proc int()" would name the procedure, not allowed.
            def->returnType = parseType();
        }
        Token name = lex();
        if (name.type != Tok::Ident || isKeyword(name.text)) throw SyntaxError{name.line};
        def->name = name.text;
        expectPunct("(");
        if (!peekPunct(")")) {
            do {
                Token ty = lex();
                Value::Kind pk;
                if (ty.type != Tok::Ident || !typeKind(ty.text, pk)) throw SyntaxError{ty.line};
                Token v = lex();
                if (v.type != Tok::Var) throw SyntaxError{v.line};
                if (acceptPunct("[")) {
                    expectPunct("]");
                    pk = Value::arrayKind(pk);
                }
                def->params.push_back({pk, v.text});
            } while (acceptPunct(","));
        }
        expectPunct(")");
        Token open = peek();
        if (open.type != Tok::Punct || open.text != "{") throw SyntaxError{open.line};
        StmtPtr body = parseBlock();
        def->body = std::move(body->body);
        unit_.procs.push_back(std::move(def));
    }

    // ---- commands ---------------------------------------------------------------------------------

    // Position just after the ')' matching the '(' at pos, or npos when unbalanced.
    size_t matchParen(size_t pos) const {
        int depth = 0;
        for (size_t i = pos; i < src_.size(); ++i) {
            char c = src_[i];
            if (c == '"') {
                for (++i; i < src_.size() && src_[i] != '"'; ++i)
                    if (src_[i] == '\\') ++i;
                continue;
            }
            if (c == '/' && at(i + 1) == '/') {
                while (i < src_.size() && src_[i] != '\n') ++i;
                continue;
            }
            if (c == '/' && at(i + 1) == '*') {
                size_t e = src_.find("*/", i + 2);
                if (e == std::string::npos) return std::string::npos;
                i = e + 1;
                continue;
            }
            if (c == '(') ++depth;
            if (c == ')' && --depth == 0) return i + 1;
        }
        return std::string::npos;
    }

    size_t skipBlanksFrom(size_t i) const {
        for (;;) {
            while (i < src_.size() && std::isspace(static_cast<unsigned char>(src_[i]))) ++i;
            if (at(i) == '/' && at(i + 1) == '/') {
                while (i < src_.size() && src_[i] != '\n') ++i;
            } else if (at(i) == '/' && at(i + 1) == '*') {
                size_t e = src_.find("*/", i + 2);
                if (e == std::string::npos) return src_.size();
                i = e + 2;
            } else {
                return i;
            }
        }
    }

    // "name(" starts function syntax when what follows the parentheses ends or continues an expression;
    // otherwise the parentheses are the first word of a command ("setAttr ($n + \".tx\") 1").
    bool isFunctionSyntax(size_t afterName) const {
        size_t open = skipBlanksFrom(afterName);
        if (at(open) != '(') return false;
        size_t close = matchParen(open);
        if (close == std::string::npos) return true;  // let the expression parser report it
        size_t n = skipBlanksFrom(close);
        char c = at(n);
        if (n >= src_.size()) return true;
        if (c == '-') return !isIdentStart(at(n + 1));
        return c != '\0' && std::strchr(";})`+*/%<>=!&|?:,.[", c) != nullptr;
    }

    StmtPtr parseCommandStatement() {
        Token name = peek();
        auto s = std::make_unique<Stmt>(StmtKind::Expr, name.line);
        if (isFunctionSyntax(name.pos + name.text.size())) {
            s->expr = parseExpression();
        } else {
            lex();
            s->expr = parseCommandWords(name, false);
        }
        endStatement();
        return s;
    }

    ExprPtr parseCommandWords(const Token& name, bool inBackquotes) {
        auto e = std::make_unique<Expr>(ExprKind::Command, name.line);
        e->name = name.text;
        for (;;) {
            skipSpace();
            char c = at(pos_);
            if (pos_ >= src_.size() || c == ';' || c == '}' || c == ')') break;
            if (c == '`' && inBackquotes) break;
            Word w;
            if (c == '"') {
                Token t = lex();
                w.expr = literal(Value(t.text), t.line);
            } else if (c == '$') {
                w.expr = parsePostfix(false);
            } else if (c == '(' || c == '{' || c == '`' || (c == '<' && at(pos_ + 1) == '<')) {
                w.expr = parsePrimary();
            } else {
                w = bareWord();
            }
            e->words.push_back(std::move(w));
        }
        size_t end = pos_;
        while (end > name.pos && std::isspace(static_cast<unsigned char>(src_[end - 1]))) --end;
        e->text = src_.substr(name.pos, end - name.pos);
        return e;
    }

    Word bareWord() {
        int line = line_;
        size_t b = pos_;
        while (pos_ < src_.size()) {
            char c = src_[pos_];
            if (std::isspace(static_cast<unsigned char>(c)) || c == '\0' || std::strchr(";\"(){}`", c)) break;
            if (c == '/' && (at(pos_ + 1) == '/' || at(pos_ + 1) == '*')) break;
            ++pos_;
        }
        if (pos_ == b) throw SyntaxError{line};
        std::string text = src_.substr(b, pos_ - b);
        Word w;
        double d;
        bool isInt = false;
        if (text.size() > 1 && text[0] == '-' && std::isalpha(static_cast<unsigned char>(text[1]))) {
            w.isFlag = true;
            w.expr = literal(Value(text), line);
        } else if (Value::parseNumber(text, d, &isInt)) {
            w.expr = literal(isInt ? Value(long(d)) : Value(d), line);
        } else {
            w.expr = literal(Value(text), line);
        }
        return w;
    }

    ExprPtr literal(Value v, int line) {
        auto e = std::make_unique<Expr>(ExprKind::Literal, line);
        e->value = std::move(v);
        return e;
    }

    // `command words` or `proc(args)`
    ExprPtr parseBackquotes() {
        Token open = expectPunct("`");
        Token name = peek();
        if (name.type != Tok::Ident || isKeyword(name.text)) throw SyntaxError{name.line};
        ExprPtr e;
        if (isFunctionSyntax(name.pos + name.text.size())) {
            e = parseExpression();
        } else {
            lex();
            e = parseCommandWords(name, true);
        }
        acceptPunct(";");
        expectPunct("`");
        return e;
    }

    // ---- expressions ------------------------------------------------------------------------------

    ExprPtr parseExpression() { return parseAssign(); }

    static bool isLvalue(const Expr& e) {
        if (e.kind == ExprKind::Var) return true;
        if (e.kind == ExprKind::Index || e.kind == ExprKind::Member) return e.kids[0]->kind == ExprKind::Var;
        return false;
    }

    ExprPtr parseAssign() {
        DepthGuard guard(*this);
        ExprPtr lhs = parseTernary();
        Token t = peek();
        if (t.type == Tok::Punct &&
            (t.text == "=" || t.text == "+=" || t.text == "-=" || t.text == "*=" || t.text == "/=")) {
            if (!isLvalue(*lhs)) throw SyntaxError{t.line};
            lex();
            auto e = std::make_unique<Expr>(ExprKind::Assign, t.line);
            e->op = t.text;
            e->kids.push_back(std::move(lhs));
            e->kids.push_back(parseAssign());
            return e;
        }
        return lhs;
    }

    ExprPtr parseTernary() {
        ExprPtr c = parseOr();
        if (!peekPunct("?")) return c;
        Token q = lex();
        auto e = std::make_unique<Expr>(ExprKind::Ternary, q.line);
        e->kids.push_back(std::move(c));
        e->kids.push_back(parseAssign());
        expectPunct(":");
        e->kids.push_back(parseAssign());
        return e;
    }

    template <typename Next>
    ExprPtr parseBinary(std::initializer_list<const char*> ops, Next next) {
        ExprPtr lhs = (this->*next)();
        // A chain "a + b + c ..." builds a left-deep tree that evaluation walks recursively; very long
        // chains are refused rather than risking the stack.
        for (int chain = 0;; ++chain) {
            if (chain > 500) throw SyntaxError{line_};
            Token t = peek();
            bool match = false;
            if (t.type == Tok::Punct)
                for (const char* op : ops)
                    if (t.text == op) match = true;
            if (!match) return lhs;
            lex();
            auto e = std::make_unique<Expr>(ExprKind::Binary, t.line);
            e->op = t.text;
            e->kids.push_back(std::move(lhs));
            e->kids.push_back((this->*next)());
            lhs = std::move(e);
        }
    }

    ExprPtr parseOr() { return parseBinary({"||"}, &Parser::parseAnd); }
    ExprPtr parseAnd() { return parseBinary({"&&"}, &Parser::parseEquality); }
    ExprPtr parseEquality() { return parseBinary({"==", "!="}, &Parser::parseRelational); }
    ExprPtr parseRelational() { return parseBinary({"<", "<=", ">", ">="}, &Parser::parseAdditive); }
    ExprPtr parseAdditive() { return parseBinary({"+", "-"}, &Parser::parseMultiplicative); }
    // "^" is the vector cross product; it binds like "*".
    ExprPtr parseMultiplicative() { return parseBinary({"*", "/", "%", "^"}, &Parser::parseUnary); }

    ExprPtr parseUnary() {
        DepthGuard guard(*this);
        Token t = peek();
        if (t.type == Tok::Punct && (t.text == "-" || t.text == "!" || t.text == "+")) {
            lex();
            ExprPtr operand = parseUnary();
            if (t.text == "+") return operand;
            auto e = std::make_unique<Expr>(ExprKind::Unary, t.line);
            e->op = t.text;
            e->kids.push_back(std::move(operand));
            return e;
        }
        if (t.type == Tok::Punct && (t.text == "++" || t.text == "--")) {
            lex();
            ExprPtr operand = parseUnary();
            if (!isLvalue(*operand)) throw SyntaxError{t.line};
            auto e = std::make_unique<Expr>(ExprKind::IncDec, t.line);
            e->op = t.text;
            e->prefix = true;
            e->kids.push_back(std::move(operand));
            return e;
        }
        return parsePostfix(true);
    }

    // In a command word ($a[2] as an argument) nothing may stand between the variable and its brackets,
    // since a blank ends the word; allowIncDec is false there.
    ExprPtr parsePostfix(bool allowIncDec) {
        ExprPtr e = parsePrimary();
        for (;;) {
            Token t = peek();
            if (t.type != Tok::Punct) return e;
            if (t.text == "[" && (allowIncDec || t.pos == pos_)) {
                lex();
                auto ix = std::make_unique<Expr>(ExprKind::Index, t.line);
                ix->kids.push_back(std::move(e));
                ix->kids.push_back(parseExpression());
                expectPunct("]");
                e = std::move(ix);
            } else if (t.text == "." && e->kind == ExprKind::Var && t.pos == pos_) {
                size_t p = pos_;
                int l = line_;
                lex();
                Token m = lex();
                if (m.type == Tok::Ident && (m.text == "x" || m.text == "y" || m.text == "z")) {
                    auto mem = std::make_unique<Expr>(ExprKind::Member, t.line);
                    mem->name = m.text;
                    mem->kids.push_back(std::move(e));
                    e = std::move(mem);
                } else {
                    pos_ = p;
                    line_ = l;
                    return e;
                }
            } else if (allowIncDec && (t.text == "++" || t.text == "--")) {
                if (!isLvalue(*e)) throw SyntaxError{t.line};
                lex();
                auto inc = std::make_unique<Expr>(ExprKind::IncDec, t.line);
                inc->op = t.text;
                inc->kids.push_back(std::move(e));
                e = std::move(inc);
            } else {
                return e;
            }
        }
    }

    // A C-style cast "(int)$s", "(vector)$s": the "(" is taken; a type word and ")" must follow. Anything
    // else restores the position and answers null (a parenthesised expression).
    ExprPtr parseCast(int line) {
        size_t p = pos_;
        int l = line_;
        Token type = lex();
        Value::Kind k;
        if (type.type == Tok::Ident && typeKind(type.text, k) && !Value::zero(k).isArray() &&
            acceptPunct(")")) {
            auto e = std::make_unique<Expr>(ExprKind::Call, line);
            e->name = type.text;
            e->kids.push_back(parseUnary());
            return e;
        }
        pos_ = p;
        line_ = l;
        return nullptr;
    }

    ExprPtr parsePrimary() {
        DepthGuard guard(*this);
        Token t = peek();
        switch (t.type) {
            case Tok::Int:
            case Tok::Float:
                lex();
                return literal(t.number, t.line);
            case Tok::String:
                lex();
                return literal(Value(t.text), t.line);
            case Tok::Var: {
                lex();
                auto e = std::make_unique<Expr>(ExprKind::Var, t.line);
                e->name = t.text;
                return e;
            }
            case Tok::Ident: {
                lex();
                const std::string& w = t.text;
                if (w == "true" || w == "yes" || w == "on") return literal(Value(1), t.line);
                if (w == "false" || w == "no" || w == "off") return literal(Value(0), t.line);
                if (!peekPunct("(")) throw SyntaxError{t.line};
                Value::Kind k;
                if (isKeyword(w) && !typeKind(w, k)) throw SyntaxError{t.line};
                lex();
                auto e = std::make_unique<Expr>(ExprKind::Call, t.line);
                e->name = w;
                if (!peekPunct(")")) {
                    e->kids.push_back(parseExpression());
                    while (acceptPunct(",")) e->kids.push_back(parseExpression());
                }
                expectPunct(")");
                return e;
            }
            case Tok::Punct: {
                if (t.text == "(") {
                    lex();
                    if (ExprPtr cast = parseCast(t.line)) return cast;
                    ExprPtr e = parseExpression();
                    expectPunct(")");
                    return e;
                }
                if (t.text == "{") {
                    lex();
                    auto e = std::make_unique<Expr>(ExprKind::ArrayLit, t.line);
                    if (!peekPunct("}")) {
                        e->kids.push_back(parseExpression());
                        while (acceptPunct(",")) e->kids.push_back(parseExpression());
                    }
                    expectPunct("}");
                    return e;
                }
                if (t.text == "<<") {
                    lex();
                    auto e = std::make_unique<Expr>(ExprKind::VectorLit, t.line);
                    e->kids.push_back(parseAdditive());
                    expectPunct(",");
                    e->kids.push_back(parseAdditive());
                    expectPunct(",");
                    e->kids.push_back(parseAdditive());
                    expectPunct(">>");
                    return e;
                }
                if (t.text == "`") return parseBackquotes();
                break;
            }
            default:
                break;
        }
        throw SyntaxError{t.line};
    }

    Unit& unit_;
    int depth_ = 0;
};

}  // namespace

std::unique_ptr<Unit> parseUnit(const std::string& text, const std::string& sourceName, int& errorLine) {
    auto unit = std::make_unique<Unit>();
    unit->sourceName = sourceName;
    try {
        Parser p(text, *unit);
        p.parseAll();
    } catch (const SyntaxError& e) {
        errorLine = e.line;
        return nullptr;
    }
    return unit;
}

}  // namespace kxh::mel
