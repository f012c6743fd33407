#include "SqlScanner.h"

#include <cctype>
#include <cstring>

namespace wiredhost {

namespace {

bool isWordByte(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
}

// The words that may stand between CREATE and TABLE.
const char* const kModifiers[] = {"OR", "REPLACE", "GLOBAL", "LOCAL", "TEMPORARY", "TEMP", "UNLOGGED",
                                  "VIRTUAL", "EXTERNAL", "TRANSIENT", "VOLATILE", "MULTISET", "SET"};

} // namespace

bool SqlScanner::isWord(const Token& token, const char* word)
{
    if (token.kind != Word || token.text.size() != std::strlen(word))
        return false;
    for (std::size_t i = 0; i < token.text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(token.text[i])) != word[i])
            return false;
    }
    return true;
}

void SqlScanner::skipSpaceAndComments()
{
    while (at_ < text_.size()) {
        if (std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        } else if (text_.compare(at_, 2, "--") == 0 || text_[at_] == '#') {
            const std::size_t end = text_.find('\n', at_);
            at_ = end == std::string::npos ? text_.size() : end + 1;
        } else if (text_.compare(at_, 2, "/*") == 0) {
            const std::size_t end = text_.find("*/", at_ + 2);
            at_ = end == std::string::npos ? text_.size() : end + 2;
        } else {
            return;
        }
    }
}

// A quoted text; the closing character written twice stands for itself.
SqlScanner::Token SqlScanner::quoted(char close, Kind kind)
{
    Token token;
    token.kind = kind;
    ++at_;
    while (at_ < text_.size()) {
        if (text_[at_] == close) {
            if (at_ + 1 < text_.size() && text_[at_ + 1] == close && close != ']') {
                token.text += close;
                at_ += 2;
                continue;
            }
            ++at_;
            return token;
        }
        token.text += text_[at_++];
    }
    return token;
}

SqlScanner::Token SqlScanner::next()
{
    skipSpaceAndComments();
    if (at_ >= text_.size())
        return Token();
    const char c = text_[at_];
    if (c == '"')
        return quoted('"', Quoted);
    if (c == '`')
        return quoted('`', Quoted);
    if (c == '[')
        return quoted(']', Quoted);
    if (c == '\'')
        return quoted('\'', String);
    Token token;
    if (isWordByte(c)) {
        token.kind = Word;
        const std::size_t start = at_;
        while (at_ < text_.size() && isWordByte(text_[at_]))
            ++at_;
        token.text = text_.substr(start, at_ - start);
        return token;
    }
    token.kind = Symbol;
    token.text = std::string(1, c);
    ++at_;
    return token;
}

SqlScanner::Token SqlScanner::peek()
{
    const std::size_t saved = at_;
    Token token = next();
    at_ = saved;
    return token;
}

bool SqlScanner::nextCreateTable()
{
    for (Token token = next(); token.kind != End; token = next()) {
        if (!isWord(token, "CREATE"))
            continue;
        Token word = next();
        bool modifier = true;
        while (modifier) {
            modifier = false;
            for (const char* m : kModifiers) {
                if (isWord(word, m)) {
                    modifier = true;
                    word = next();
                    break;
                }
            }
        }
        if (isWord(word, "TABLE"))
            return true;
    }
    return false;
}

bool SqlScanner::tableName(Identifier& name)
{
    if (isWord(peek(), "IF")) {
        next();
        if (isWord(peek(), "NOT"))
            next();
        if (isWord(peek(), "EXISTS"))
            next();
    }
    for (;;) {
        const Token part = next();
        if (part.kind != Word && part.kind != Quoted)
            return false;
        name.text = part.text;
        name.quoted = part.kind == Quoted;
        const Token dot = peek();
        if (dot.kind != Symbol || dot.text != ".")
            return true;
        next();
    }
}

} // namespace wiredhost
