#ifndef WIREDHOST_MODEL_SQLSCANNER_H
#define WIREDHOST_MODEL_SQLSCANNER_H

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wiredhost {

// Just enough of SQL to find the tables a script creates: words, quoted
// identifiers ("…", `…`, […]), strings and comments (which hide what they
// hold), and the CREATE … TABLE [IF NOT EXISTS] name statements. Strings
// of every dialect a --tables file comes in: doubled quotes, backslashes
// that escape (MySQL dumps, PostgreSQL E'…') or not (standard SQL), dollar
// quoting ($$…$$, $tag$…$tag$), Oracle's q'[…]', the standard's
// U&"d\0061ta" names (decoded); SQL*Plus remarks (REM,
// PROMPT) hide the rest of their line, the mysql client's DELIMITER sets
// what ends a statement; a SQL Server temporary table's name
// (#staging) is a name there, while # starts a comment elsewhere (MySQL).
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
    // How far the scanner has read, in bytes.
    std::size_t position() const { return at_; }

    // Far more different $tag$s than any script holds (a dump's data may
    // hold one in every row, as password hashes do): past them the scan
    // stops, rather than filling memory with a file made of them.
    static constexpr std::size_t kMaxDollarTags = 8000000;
    // Where the scan stopped at kMaxDollarTags; 0 when it did not.
    std::size_t stoppedAt() const { return stoppedAt_; }

private:
    void skipCopyData();
    enum Kind { End, Word, Quoted, String, Symbol };
    struct Token {
        Kind kind = End;
        std::string text;
    };

    // nameExpected: where a table's name stands, # begins a name.
    Token next(bool nameExpected = false);
    Token peek(bool nameExpected = false);
    void skipSpaceAndComments(bool nameExpected);
    bool remarkAt(std::size_t at) const;
    bool delimiterCommand();
    bool afterTableWord(std::size_t at) const;
    std::size_t commentEnd(std::size_t start);
    Token quoted(char close, Kind kind);
    bool readingOf(std::size_t start, char close, Token& token);
    bool goesOnAfterString(std::size_t at) const;
    int pairedToLineEnd(std::size_t from, char close, bool backslashes) const;
    bool closesOnItsLine(std::size_t start, char close);
    bool quotedFrom(std::size_t start, char close, bool backslashes, std::size_t limit, Token& token);
    void findDollarTags();
    struct TagSlot;
    TagSlot& tagSlot(std::string_view tag, std::uint32_t hash);
    bool dollarQuoted(Token& token);
    bool unicodeQuoted(Token& token);
    bool alternativeQuoted(Token& token);
    void closedBy(std::string_view mark, std::size_t inside, Token& token);
    std::string_view dollarTagAt(std::size_t at) const;
    // Where the last such character stands in the text (0 for none).
    std::size_t lastOf(char close);
    static bool isWord(const Token& token, const char* word);

    const std::string& text_;
    std::size_t at_ = 0;
    static const std::size_t kUnknown = static_cast<std::size_t>(-1);
    std::size_t lastQuote_ = kUnknown, lastDoubleQuote_ = kUnknown, lastBacktick_ = kUnknown, lastBracket_ = kUnknown;
    bool quoteEscapesFailed_ = false, doubleQuoteEscapesFailed_ = false;
    // A block comment read nested never closed: comments end at the first */.
    bool nestingFailed_ = false;
    // The next ], ` and line end after the last name in brackets or backticks.
    std::size_t nextBracket_ = kUnknown, nextBacktick_ = kUnknown, nextLineEnd_ = kUnknown;
    // Which reading of backslashes the script showed last where only one
    // fits (escapes, as MySQL's, until it shows otherwise), for the texts
    // that either fits; texts that start before plainUntil_ are read plainly.
    bool backslashesEscape_ = true;
    std::size_t plainUntil_ = 0;
    // What the mysql client's DELIMITER command set ("" for ;): it ends a
    // statement, even where it looks like something else ($$).
    std::string delimiter_;
    bool dollarTagsFound_ = false;
    // Each different $tag$: where it first and last starts.
    struct DollarTag {
        std::uint32_t first, last;
    };
    std::vector<DollarTag> dollarTags_;
    // Its number in dollarTags_ + 1 (0: an empty slot).
    struct TagSlot {
        std::uint32_t hash = 0, tag = 0;
    };
    std::vector<TagSlot> tagSlots_;
    // The tag last looked up, and its number.
    std::string_view recentTag_;
    std::size_t recentNumber_ = 0;
    std::size_t stoppedAt_ = 0;
    // Where each closing character of q'…' last stands before a quote.
    std::unordered_map<char, std::size_t> lastAlternativeClose_;
};

} // namespace wiredhost

#endif
