#ifndef WIREDHOST_MODEL_SQLSCANNER_H
#define WIREDHOST_MODEL_SQLSCANNER_H

#include <string>

namespace wiredhost {

// Just enough of SQL to find the tables a script creates: words, quoted
// identifiers ("…", `…`, […]), strings and comments (which hide what they
// hold), and the CREATE … TABLE [IF NOT EXISTS] name statements.
class SqlScanner {
public:
    struct Identifier {
        std::string text;
        bool quoted = false;
    };

    explicit SqlScanner(const std::string& text) : text_(text) {}

    // Moves past the next "CREATE [modifiers] TABLE"; false at the end.
    bool nextCreateTable();
    // The table's name that follows, without its schema.
    bool tableName(Identifier& name);

private:
    enum Kind { End, Word, Quoted, String, Symbol };
    struct Token {
        Kind kind = End;
        std::string text;
    };

    Token next();
    Token peek();
    void skipSpaceAndComments();
    Token quoted(char close, Kind kind);
    static bool isWord(const Token& token, const char* word);

    const std::string& text_;
    std::size_t at_ = 0;
};

} // namespace wiredhost

#endif
