#pragma once
// The MEL lexer: a cursor over the source text. MEL is lexed in two modes: expressions use ordinary
// tokens, while the words of a command in command syntax ("select -r pCube1.vtx[1:4]") are read as raw
// text up to the next blank, so that component names, DAG paths and flags stay single words. The parser
// switches between the modes by position in the text, which is why the lexer is a cursor (the parser
// reads raw words from the same position) rather than a token stream.
#include <cctype>
#include <string>

#include "mel/Value.h"

namespace kxh::mel {

// Thrown on malformed text; the parser turns it into the failing line.
struct SyntaxError {
    int line;
};

enum class Tok { End, Ident, Var, Int, Float, String, Punct };

struct Token {
    Tok type = Tok::End;
    std::string text;  // identifier, variable name (no '$'), punctuation, or the string's contents
    Value number;
    int line = 1;
    size_t pos = 0;
};

inline bool isIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
inline bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
inline bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

class Lexer {
public:
    explicit Lexer(const std::string& src) : src_(src) {}

protected:
    char at(size_t i) const { return i < src_.size() ? src_[i] : '\0'; }
    // Skips blanks, line breaks (counting lines) and comments.
    void skipSpace();
    // At the opening quote: the string's contents with escapes resolved.
    std::string readString();
    // The next token, moving past it.
    Token lex();
    // The next token, staying where the cursor is.
    Token peek();
    bool peekPunct(const char* p);
    bool peekIdent(const char* w);
    // Moves past the punctuation when it comes next.
    bool acceptPunct(const char* p);
    // The punctuation, or a syntax error.
    Token expectPunct(const char* p);

    const std::string& src_;
    size_t pos_ = 0;
    int line_ = 1;

private:
    Token& lexNumber(Token& t);
};

}  // namespace kxh::mel
