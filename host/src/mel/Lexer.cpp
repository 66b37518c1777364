#include "mel/Lexer.h"

#include <cstring>

namespace kxh::mel {

void Lexer::skipSpace() {
    for (;;) {
        char c = at(pos_);
        if (c == '\n') {
            ++line_;
            ++pos_;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++pos_;
        } else if (c == '/' && at(pos_ + 1) == '/') {
            while (pos_ < src_.size() && src_[pos_] != '\n') ++pos_;
        } else if (c == '/' && at(pos_ + 1) == '*') {
            int startLine = line_;
            pos_ += 2;
            while (pos_ < src_.size() && !(src_[pos_] == '*' && at(pos_ + 1) == '/')) {
                if (src_[pos_] == '\n') ++line_;
                ++pos_;
            }
            if (pos_ >= src_.size()) throw SyntaxError{startLine};
            pos_ += 2;
        } else {
            return;
        }
    }
}

std::string Lexer::readString() {
    // At the opening quote.
    int startLine = line_;
    ++pos_;
    std::string s;
    for (;;) {
        if (pos_ >= src_.size()) throw SyntaxError{startLine};
        char c = src_[pos_++];
        if (c == '"') break;
        if (c == '\n') ++line_;
        if (c == '\\') {
            if (pos_ >= src_.size()) throw SyntaxError{startLine};
            char e = src_[pos_++];
            switch (e) {
                case 'n':
                    s += '\n';
                    break;
                case 't':
                    s += '\t';
                    break;
                case 'r':
                    s += '\r';
                    break;
                case '\n':
                    ++line_;
                    s += '\n';
                    break;
                default:
                    s += e;
                    break;
            }
        } else {
            s += c;
        }
    }
    return s;
}

Token Lexer::lex() {
    skipSpace();
    Token t;
    t.line = line_;
    t.pos = pos_;
    char c = at(pos_);
    if (pos_ >= src_.size()) return t;
    if (isIdentStart(c)) {
        size_t b = pos_;
        while (isIdentChar(at(pos_))) ++pos_;
        t.type = Tok::Ident;
        t.text = src_.substr(b, pos_ - b);
        return t;
    }
    if (c == '$') {
        size_t b = ++pos_;
        while (isIdentChar(at(pos_))) ++pos_;
        if (pos_ == b) throw SyntaxError{line_};
        t.type = Tok::Var;
        t.text = src_.substr(b, pos_ - b);
        return t;
    }
    if (isDigit(c) || (c == '.' && isDigit(at(pos_ + 1)))) return lexNumber(t);
    if (c == '"') {
        t.type = Tok::String;
        t.text = readString();
        return t;
    }
    static const char* const two[] = {"<<", ">>", "==", "!=", "<=", ">=", "&&",
                                      "||", "++", "--", "+=", "-=", "*=", "/="};
    for (const char* p : two)
        if (c == p[0] && at(pos_ + 1) == p[1]) {
            t.type = Tok::Punct;
            t.text = p;
            pos_ += 2;
            return t;
        }
    if (c != '\0' && std::strchr("(){}[];,?:+-*/%^<>=!.`", c)) {
        t.type = Tok::Punct;
        t.text = std::string(1, c);
        ++pos_;
        return t;
    }
    throw SyntaxError{line_};
}

Token& Lexer::lexNumber(Token& t) {
    size_t b = pos_;
    if (at(pos_) == '0' && (at(pos_ + 1) == 'x' || at(pos_ + 1) == 'X') &&
        std::isxdigit(static_cast<unsigned char>(at(pos_ + 2)))) {
        pos_ += 2;
        unsigned long v = 0;
        while (std::isxdigit(static_cast<unsigned char>(at(pos_)))) {
            v = v * 16 + unsigned(std::isdigit(static_cast<unsigned char>(at(pos_)))
                                      ? at(pos_) - '0'
                                      : std::tolower(static_cast<unsigned char>(at(pos_))) - 'a' + 10);
            ++pos_;
        }
        t.type = Tok::Int;
        t.number = Value(long(v & 0x7fffffffffffffffUL));
        return t;
    }
    while (isDigit(at(pos_))) ++pos_;
    if (at(pos_) == '.' && !isIdentStart(at(pos_ + 1))) {
        ++pos_;
        while (isDigit(at(pos_))) ++pos_;
    }
    if ((at(pos_) == 'e' || at(pos_) == 'E') &&
        (isDigit(at(pos_ + 1)) || ((at(pos_ + 1) == '-' || at(pos_ + 1) == '+') && isDigit(at(pos_ + 2))))) {
        pos_ += 2;
        while (isDigit(at(pos_))) ++pos_;
    }
    std::string text = src_.substr(b, pos_ - b);
    double d = 0;
    bool isInt = false;
    if (!Value::parseNumber(text, d, &isInt)) {
        // "1." is a float in MEL.
        if (!text.empty() && text.back() == '.' && Value::parseNumber(text + "0", d))
            isInt = false;
        else
            throw SyntaxError{line_};
    }
    t.type = isInt ? Tok::Int : Tok::Float;
    t.number = isInt ? Value(long(d)) : Value(d);
    return t;
}

Token Lexer::peek() {
    size_t p = pos_;
    int l = line_;
    Token t = lex();
    pos_ = p;
    line_ = l;
    return t;
}

bool Lexer::peekPunct(const char* p) {
    Token t = peek();
    return t.type == Tok::Punct && t.text == p;
}

bool Lexer::peekIdent(const char* w) {
    Token t = peek();
    return t.type == Tok::Ident && t.text == w;
}

bool Lexer::acceptPunct(const char* p) {
    if (!peekPunct(p)) return false;
    lex();
    return true;
}

Token Lexer::expectPunct(const char* p) {
    Token t = lex();
    if (t.type != Tok::Punct || t.text != p) throw SyntaxError{t.line};
    return t;
}

}  // namespace kxh::mel
