#include "SqlScanner.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>

#include "Encoding.h"
#include "Text.h"
#include "NameHash.h"

namespace wiredhost {

namespace {

bool isWordByte(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
}

// SQL*Plus commands whose rest of the line is free text, not SQL
// ("REM Don't run this twice"), when they begin a line.
const char* const kRemarkCommands[] = {"REM", "REMARK", "PRO", "PROMPT"};

// The words that may stand between CREATE and TABLE: PostgreSQL's
// UNLOGGED and FOREIGN, Oracle's PRIVATE TEMPORARY, SHARDED, IMMUTABLE and
// BLOCKCHAIN, SQLite's VIRTUAL, HANA's COLUMN and ROW, HSQLDB's and H2's
// MEMORY, CACHED and TEXT, Teradata's MULTISET, Snowflake's TRANSIENT,
// DYNAMIC, HYBRID and ICEBERG...
const char* const kModifiers[] = {"OR",       "REPLACE",   "GLOBAL",   "LOCAL",      "TEMPORARY",  "TEMP",
                                  "UNLOGGED", "FOREIGN",   "VIRTUAL",  "EXTERNAL",   "TRANSIENT",  "VOLATILE",
                                  "MULTISET", "SET",       "PRIVATE",  "SHARDED",    "DUPLICATED", "IMMUTABLE",
                                  "BLOCKCHAIN", "COLUMN",  "ROW",      "MEMORY",     "CACHED",     "TEXT",
                                  "DYNAMIC",  "HYBRID",    "ICEBERG"};

} // namespace

// A SQL*Plus remark or prompt at the start of a line (not indented, as
// a column of that name would be).
bool SqlScanner::remarkAt(std::size_t at) const
{
    if (at != 0 && text_[at - 1] != '\n' && text_[at - 1] != '\r')
        return false;
    std::size_t end = at;
    while (end < text_.size() && std::isalpha(static_cast<unsigned char>(text_[end])))
        ++end;
    if (end < text_.size() && !std::isspace(static_cast<unsigned char>(text_[end])))
        return false;
    const std::string_view word = std::string_view(text_).substr(at, end - at);
    for (const char* command : kRemarkCommands) {
        if (equalsIgnoringCase(word, command))
            return true;
    }
    return false;
}

// The mysql client's DELIMITER $$ (a routine's body holds semicolons) at
// the start of a line: its rest is the delimiter, not SQL, and from then
// on that ends statements; a dump's $$ is no PostgreSQL dollar quote.
bool SqlScanner::delimiterCommand()
{
    static const char kCommand[] = "DELIMITER";
    const std::size_t length = sizeof kCommand - 1;
    if ((at_ != 0 && text_[at_ - 1] != '\n' && text_[at_ - 1] != '\r') || at_ + length >= text_.size() ||
        !equalsIgnoringCase(std::string_view(text_).substr(at_, length), kCommand) ||
        (text_[at_ + length] != ' ' && text_[at_ + length] != '\t'))
        return false;
    const std::size_t start = text_.find_first_not_of(" \t", at_ + length);
    const std::size_t lineEnd = std::min(text_.find_first_of("\n\r", at_), text_.size());
    if (start >= lineEnd)
        return false;
    const std::size_t end = std::min(text_.find_first_of(" \t", start), lineEnd);
    delimiter_ = text_.substr(start, end - start);
    if (delimiter_ == ";")
        delimiter_.clear();
    at_ = lineEnd;
    return true;
}

bool SqlScanner::isWord(const Token& token, const char* word)
{
    return token.kind == Word && equalsIgnoringCase(token.text, word);
}

void SqlScanner::skipSpaceAndComments(bool nameExpected)
{
    // Before every token: the first byte decides before any comparison.
    const auto startsWith = [this](const char* mark, std::size_t length) {
        return text_[at_] == mark[0] && text_.compare(at_, length, mark) == 0;
    };
    while (at_ < text_.size()) {
        // SQL Server's temporary tables are named #name and ##name: right
        // after CREATE TABLE, and after a word that a table's name follows
        // on its line (DROP TABLE IF EXISTS #work, INSERT INTO #notes), that
        // is a name, not a MySQL comment. #> and #>> are PostgreSQL's JSON
        // path operators. Where a name stands, a word at a line's start
        // that is a SQL*Plus command (CREATE TABLE, then pro) is the name.
        const bool hashName = text_[at_] == '#' && at_ + 1 < text_.size() &&
                              (isWordByte(text_[at_ + 1]) || text_[at_ + 1] == '#') &&
                              (nameExpected || afterTableWord(at_));
        const bool hashComment = text_[at_] == '#' && !hashName && !startsWith("#>", 2);
        if (std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        } else if (!nameExpected && (text_[at_] == 'D' || text_[at_] == 'd') && delimiterCommand()) {
            continue;
        } else if (startsWith("--", 2) || hashComment || (!nameExpected && remarkAt(at_))) {
            // To the line's end, LF or (old Mac files) a lone CR.
            const std::size_t end = text_.find_first_of("\n\r", at_);
            at_ = end == std::string::npos ? text_.size() : end + 1;
        } else if (startsWith("/*!", 3)) {
            // MySQL runs what its versioned comments hold (mysqldump's
            // /*!50001 CREATE TABLE ... */): read on inside, past the version.
            at_ += 3;
            while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_])))
                ++at_;
        } else if (startsWith("/*", 2)) {
            at_ = commentEnd(at_);
        } else {
            return;
        }
    }
}

// Whether the word before `at` on its line is one a table's name follows.
bool SqlScanner::afterTableWord(std::size_t at) const
{
    static const char* const kWords[] = {"TABLE", "INTO", "FROM", "JOIN", "UPDATE", "EXISTS"};
    std::size_t end = at;
    while (end > 0 && at - end < 64 && (text_[end - 1] == ' ' || text_[end - 1] == '\t'))
        --end;
    std::size_t start = end;
    while (start > 0 && end - start < 8 && isWordByte(text_[start - 1]))
        --start;
    if (start > 0 && isWordByte(text_[start - 1]))
        return false;
    const std::string_view word = std::string_view(text_).substr(start, end - start);
    return std::any_of(std::begin(kWords), std::end(kWords),
                       [word](const char* w) { return equalsIgnoringCase(word, w); });
}

// Where the block comment at `start` ends. PostgreSQL and SQL Server nest
// them (/* a /* b */ c */ is one comment); MySQL and Oracle end it at the
// first */. Read nested, a comment of the others that holds a /* never
// closes: from then on the first */ ends each, and no comment is read to
// the end of the file twice.
std::size_t SqlScanner::commentEnd(std::size_t start)
{
    if (!nestingFailed_) {
        std::size_t depth = 1;
        for (std::size_t at = text_.find_first_of("/*", start + 2); at != std::string::npos;
             at = text_.find_first_of("/*", at)) {
            if (text_.compare(at, 2, "/*") == 0) {
                ++depth;
                at += 2;
            } else if (text_.compare(at, 2, "*/") == 0) {
                at += 2;
                if (--depth == 0)
                    return at;
            } else {
                ++at;
            }
        }
        nestingFailed_ = true;
    }
    const std::size_t end = text_.find("*/", start + 2);
    return end == std::string::npos ? text_.size() : end + 2;
}

// A quoted text; the closing character written twice stands for itself.
// In strings and "…" a backslash may escape the next character, as MySQL
// writes them ('O\'Brien') and PostgreSQL's E'it\'s', or stand for
// itself, as standard SQL keeps it ('C:\'). Where the two readings end
// the text at different quotes, the one after which the script goes on
// as SQL does after a string wins (see readingOf). A quote closed by
// nothing is a lone symbol, so that a stray one hides no later table.
SqlScanner::Token SqlScanner::quoted(char close, Kind kind)
{
    const std::size_t start = at_;
    if (start < lastOf(close) && ((close != ']' && close != '`') || closesOnItsLine(start, close))) {
        Token token;
        token.kind = kind;
        // Each text that is never closed would be read to the end of the
        // file: once the escapes have failed so, they are not tried again,
        // and a quote after the last closing character is a symbol at
        // once; a file of stray quotes is read in linear time.
        bool& escapesFailed = close == '"' ? doubleQuoteEscapesFailed_ : quoteEscapesFailed_;
        // PostgreSQL's E'it\'s' says itself that its backslashes escape.
        const bool escapeString = close == '\'' && start > 0 && (text_[start - 1] == 'E' || text_[start - 1] == 'e') &&
                                  (start == 1 || !isWordByte(text_[start - 2]));
        if (escapeString && !escapesFailed) {
            if (quotedFrom(start, close, true, text_.size(), token))
                return token;
            escapesFailed = true;
        }
        if ((close == '\'' || close == '"') && !escapesFailed && start >= plainUntil_) {
            if (readingOf(start, close, token))
                return token;
            escapesFailed = true;
        }
        if (quotedFrom(start, close, false, text_.size(), token))
            return token;
    }
    at_ = start + 1;
    return Token{Symbol, std::string(1, text_[start])};
}

// The text from start read both ways; false when the reading with escapes
// is never closed. The plain reading is followed no further than the other
// ends, so that each part of the script is read at most twice.
bool SqlScanner::readingOf(std::size_t start, char close, Token& token)
{
    if (!quotedFrom(start, close, true, text_.size(), token))
        return false;
    const std::size_t escapedEnd = at_;
    Token plain;
    plain.kind = token.kind;
    if (!quotedFrom(start, close, false, escapedEnd, plain) || at_ == escapedEnd) {
        // The same end (or the plain reading goes on past it, as '\''
        // does): names keep their backslashes, strings are strings.
        if (at_ == escapedEnd)
            token = plain;
        at_ = escapedEnd;
        return true;
    }
    const std::size_t plainEnd = at_;
    const bool escapedFits = goesOnAfterString(escapedEnd), plainFits = goesOnAfterString(plainEnd);
    if (escapedFits != plainFits)
        backslashesEscape_ = escapedFits;
    bool escaped = escapedFits == plainFits ? backslashesEscape_ : escapedFits;
    bool decided = escapedFits != plainFits;
    // Where both fit, a reading after which the rest of the line holds an
    // odd number of quotes has taken another text's opening quote for its
    // end ('C:\', ' ', 'x' read with escapes): the other is the script's.
    if (escapedFits && plainFits) {
        const int escapedPaired = pairedToLineEnd(escapedEnd, close, true);
        const int plainPaired = pairedToLineEnd(plainEnd, close, false);
        if (escapedPaired >= 0 && plainPaired >= 0 && escapedPaired != plainPaired) {
            backslashesEscape_ = escaped = escapedPaired == 1;
            decided = true;
        }
    }
    // Where nothing else tells, a string that would run on to a later line
    // while the other ends on its own is the less likely ('C:\' and a quote
    // in a comment lines below): dumps write a line break in a string as
    // an escape.
    if (!decided && escaped && std::memchr(text_.data() + plainEnd, '\n', escapedEnd - plainEnd) != nullptr &&
        std::memchr(text_.data() + start, '\n', plainEnd - start) == nullptr)
        escaped = false;
    if (escaped) {
        at_ = escapedEnd;
        return true;
    }
    // Read plainly, the texts that start before the quote where the
    // escapes would have ended are plain too: they are not read twice again.
    plainUntil_ = escapedEnd - 1;
    token = plain;
    at_ = plainEnd;
    return true;
}

// After a string the script goes on with white space, a separator or an
// operator, or ends; a letter, a digit or a quote right after the closing
// quote ('O\'Brien' read plainly) is no SQL.
bool SqlScanner::goesOnAfterString(std::size_t at) const
{
    if (at >= text_.size())
        return true;
    const char c = text_[at];
    return std::isspace(static_cast<unsigned char>(c)) || (c != '\0' && std::strchr(",);|+-*/=<>:]}", c) != nullptr);
}

// 1 when the texts in `close` quotes from `from` to the end of its line
// all close there, read with or without backslash escapes; 0 when one is
// left open; -1 when the line goes on too far to tell cheaply (a dump's
// INSERT of a million rows). Texts in the other quotes are passed over
// whole ("Don't" holds no ' that counts), as is a -- comment.
int SqlScanner::pairedToLineEnd(std::size_t from, char close, bool backslashes) const
{
    const std::size_t kLook = 4096;
    const std::size_t end = std::min(text_.size(), from + kLook);
    // Where the text opened at `at` ends: its closing quote, the line's
    // end, or `end`; '' (or "") inside is the quote itself.
    const auto textEnd = [&](std::size_t at, char quote) {
        for (++at; at < end; ++at) {
            if (text_[at] == '\n')
                return at;
            if (backslashes && text_[at] == '\\')
                ++at;
            else if (text_[at] == quote && at + 1 < end && text_[at + 1] == quote)
                ++at;
            else if (text_[at] == quote)
                return at;
        }
        return end;
    };
    std::size_t at = from;
    for (; at < end && text_[at] != '\n'; ++at) {
        const char c = text_[at];
        if (backslashes && c == '\\') {
            ++at;
        } else if (c == '-' && at + 1 < end && text_[at + 1] == '-') {
            break;
        } else if (c == close) {
            const std::size_t closed = textEnd(at, close);
            if (closed >= end)
                return end < text_.size() ? -1 : 0;
            if (text_[closed] == '\n')
                return 0;
            at = closed;
        } else if (c == '\'' || c == '"' || c == '`') {
            const std::size_t closed = textEnd(at, c);
            if (closed < end && text_[closed] == c)
                at = closed;
            else if (closed < end)
                break; // open to the line's end: nothing after it counts
        }
    }
    if (at >= end && end < text_.size())
        return -1;
    return 1;
}

// Names in brackets and backticks never span lines in practice: one whose
// line ends first is a lone [ (an array's subscript cut short, a stray
// character), not a name that hides the statements up to a ] far below.
// The next of each character is kept, so a line of a million [ costs no
// search each.
bool SqlScanner::closesOnItsLine(std::size_t start, char close)
{
    const auto nextFrom = [this, start](char c, std::size_t& cached) {
        if (cached == kUnknown || cached <= start) {
            const std::size_t found = text_.find(c, start + 1);
            cached = found == std::string::npos ? text_.size() : found;
        }
        return cached;
    };
    const std::size_t closing = nextFrom(close, close == ']' ? nextBracket_ : nextBacktick_);
    return closing < nextFrom('\n', nextLineEnd_);
}

std::size_t SqlScanner::lastOf(char close)
{
    std::size_t& last = close == '\'' ? lastQuote_ : close == '"' ? lastDoubleQuote_ : close == '`' ? lastBacktick_ : lastBracket_;
    if (last == kUnknown) {
        const std::size_t found = text_.rfind(close);
        last = found == std::string::npos ? 0 : found;
    }
    return last;
}

// False when the text ends, or reaches `limit`, before the closing
// character; at_ is then where it stopped.
bool SqlScanner::quotedFrom(std::size_t start, char close, bool backslashes, std::size_t limit, Token& token)
{
    token.text.clear();
    at_ = start + 1;
    while (at_ < limit) {
        const char c = text_[at_];
        if (backslashes && c == '\\' && at_ + 1 < text_.size()) {
            token.text += text_[at_ + 1];
            at_ += 2;
            continue;
        }
        if (c == close) {
            // ]] in a bracketed name is a ], as '' in a string is a '.
            if (at_ + 1 < text_.size() && text_[at_ + 1] == close) {
                token.text += close;
                at_ += 2;
                continue;
            }
            ++at_;
            return true;
        }
        token.text += c;
        ++at_;
    }
    return false;
}

// The $tag$ that starts at a $, or "" for none; a tag does not start with
// a digit ($1 is a parameter).
std::string_view SqlScanner::dollarTagAt(std::size_t at) const
{
    std::size_t end = at + 1;
    if (end < text_.size() && !std::isdigit(static_cast<unsigned char>(text_[end]))) {
        while (end < text_.size() && text_[end] != '$' && isWordByte(text_[end]))
            ++end;
    }
    if (end >= text_.size() || text_[end] != '$')
        return std::string_view();
    return std::string_view(text_).substr(at, end + 1 - at);
}

namespace {

// The tags' hash in 32 bits: a slot's number and the check of its tag.
std::uint32_t tagHash(std::string_view tag)
{
    const std::uint64_t hash = nameHash(tag);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

} // namespace

// Where the last of each different $tag$ of the text starts, in one pass:
// whether a $tag$ is closed is then one lookup. One entry for each
// different tag, not for each place one stands (a file of $$ costs one),
// in an open-addressed table of 32-bit numbers: hash nodes cost a second a
// million tags, and a script of nothing but different tags costs some 40
// bytes each.
void SqlScanner::findDollarTags()
{
    dollarTagsFound_ = true;
    // Offsets are kept in 32 bits: a tables file is far smaller; beyond
    // them a $ is part of a word.
    const std::size_t end = std::min<std::size_t>(text_.size(), UINT32_MAX);
    for (std::size_t at = text_.find('$'); at < end; at = text_.find('$', at + 1)) {
        const std::string_view tag = dollarTagAt(at);
        if (tag.empty())
            continue;
        // A script's tags come in runs of the same ($$ … $$): those cost
        // no hash.
        if (tag == recentTag_) {
            dollarTags_[recentNumber_].last = static_cast<std::uint32_t>(at);
            continue;
        }
        const std::uint32_t hash = tagHash(tag);
        TagSlot& slot = tagSlot(tag, hash);
        recentTag_ = tag;
        if (slot.tag != 0) {
            recentNumber_ = slot.tag - 1;
            dollarTags_[recentNumber_].last = static_cast<std::uint32_t>(at);
            continue;
        }
        if (dollarTags_.size() == kMaxDollarTags) {
            stoppedAt_ = at;
            at_ = text_.size();
            return;
        }
        dollarTags_.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at)});
        slot = {hash, static_cast<std::uint32_t>(dollarTags_.size())};
        recentNumber_ = dollarTags_.size() - 1;
        if (2 * dollarTags_.size() > tagSlots_.size()) {
            std::vector<TagSlot> old(tagSlots_.size() * 2);
            old.swap(tagSlots_);
            for (const TagSlot& moved : old) {
                if (moved.tag != 0)
                    tagSlot(std::string_view(), moved.hash) = moved;
            }
        }
    }
}

// The slot of the table that holds the tag, or the empty one where it goes
// (always an empty one for an empty tag). Each slot keeps its tag's hash:
// a probe reads the table alone, not the tags and the text as well.
SqlScanner::TagSlot& SqlScanner::tagSlot(std::string_view tag, std::uint32_t hash)
{
    if (tagSlots_.empty())
        tagSlots_.resize(64);
    const std::size_t mask = tagSlots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        TagSlot& slot = tagSlots_[at];
        if (slot.tag == 0 || (slot.hash == hash && !tag.empty() && dollarTagAt(dollarTags_[slot.tag - 1].first) == tag))
            return slot;
    }
}

// PostgreSQL's dollar quoting: $$…$$ or $tag$…$tag$, nothing escaped
// inside. False, and nothing read, when no such string starts here or it
// is never closed: the $ is then part of a word.
bool SqlScanner::dollarQuoted(Token& token)
{
    const std::string_view delimiter = dollarTagAt(at_);
    if (delimiter.empty())
        return false;
    if (!dollarTagsFound_)
        findDollarTags();
    if (stoppedAt_ != 0) {
        token = Token();
        return true;
    }
    if (at_ >= UINT32_MAX)
        return false;
    const std::size_t inside = at_ + delimiter.size();
    if (delimiter != recentTag_) {
        recentTag_ = delimiter;
        recentNumber_ = tagSlot(delimiter, tagHash(delimiter)).tag - 1;
    }
    if (dollarTags_[recentNumber_].last < inside)
        return false;
    closedBy(delimiter, inside, token);
    return true;
}

namespace {

// The escapes of a U&"…" name: \XXXX and \+XXXXXX for a character, the
// escape character twice for itself. An escape that names no character
// is kept as written.
std::string unicodeUnescaped(const std::string& text, char escape)
{
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != escape) {
            out += text[at];
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == escape) {
            out += escape;
            ++at;
            continue;
        }
        const bool longForm = at + 1 < text.size() && text[at + 1] == '+';
        const std::size_t digits = longForm ? 6 : 4, from = at + (longForm ? 2 : 1);
        char32_t c = 0;
        std::size_t i = 0;
        for (; i < digits && from + i < text.size() && std::isxdigit(static_cast<unsigned char>(text[from + i])); ++i) {
            const int h = std::tolower(static_cast<unsigned char>(text[from + i]));
            c = c * 16 + static_cast<char32_t>(h <= '9' ? h - '0' : h - 'a' + 10);
        }
        if (i < digits || c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += text[at];
            continue;
        }
        encoding::appendUtf8(out, c);
        at = from + digits - 1;
    }
    return out;
}

} // namespace

// The standard's (and PostgreSQL's) U&"d\0061ta", with UESCAPE '!' after
// it perhaps. False, and nothing read, when none starts here.
bool SqlScanner::unicodeQuoted(Token& token)
{
    const std::size_t start = at_;
    // Closed by some later ", or not read on: no file of them costs a
    // search to its end each.
    if (text_.compare(start + 1, 2, "&\"") != 0 || start + 2 >= lastOf('"') ||
        !quotedFrom(start + 2, '"', false, text_.size(), token)) {
        at_ = start;
        return false;
    }
    token.kind = Quoted;
    char escape = '\\';
    static const char kUescape[] = "UESCAPE";
    const std::size_t length = sizeof kUescape - 1;
    const std::size_t word = std::min(text_.find_first_not_of(" \t\r\n", at_), text_.size());
    const std::size_t quote = std::min(text_.find_first_not_of(" \t\r\n", word + length), text_.size());
    if (equalsIgnoringCase(std::string_view(text_).substr(word, length), kUescape) && quote + 2 < text_.size() &&
        text_[quote] == '\'' && text_[quote + 2] == '\'') {
        escape = text_[quote + 1];
        at_ = quote + 3;
    }
    token.text = unicodeUnescaped(token.text, escape);
    return true;
}

// Oracle's alternative quoting: q'X…X' (nq'…' for national text), where
// X is any character but white space and [, {, < or ( close with ], }, >
// or ); the text may hold quotes, as q'[it's]' does. False, and nothing
// read, when none starts here or it is never closed. Where each closing
// pair last stands is found once, so that unclosed ones cost no search.
bool SqlScanner::alternativeQuoted(Token& token)
{
    std::size_t at = at_;
    if (at < text_.size() && (text_[at] == 'n' || text_[at] == 'N'))
        ++at;
    if (at + 3 > text_.size() || (text_[at] != 'q' && text_[at] != 'Q') || text_[at + 1] != '\'')
        return false;
    const char open = text_[at + 2];
    if (std::isspace(static_cast<unsigned char>(open)))
        return false;
    const char* const pairs = "[]{}<>()";
    const char* const pair = open != '\0' ? std::strchr(pairs, open) : nullptr;
    const char close = pair != nullptr && (pair - pairs) % 2 == 0 ? pair[1] : open;
    const std::string end = std::string(1, close) + "'";
    auto last = lastAlternativeClose_.find(close);
    if (last == lastAlternativeClose_.end()) {
        const std::size_t found = text_.rfind(end);
        last = lastAlternativeClose_.emplace(close, found == std::string::npos ? 0 : found).first;
    }
    const std::size_t inside = at + 3;
    if (last->second < inside)
        return false;
    closedBy(end, inside, token);
    return true;
}

// The string from inside to the next mark, which the caller knows to be
// there; reading goes on after the mark.
void SqlScanner::closedBy(std::string_view mark, std::size_t inside, Token& token)
{
    const std::size_t close = text_.find(mark, inside);
    token.kind = String;
    token.text = text_.substr(inside, close - inside);
    at_ = close + mark.size();
}

SqlScanner::Token SqlScanner::next(bool nameExpected)
{
    skipSpaceAndComments(nameExpected);
    if (at_ >= text_.size())
        return Token();
    const char c = text_[at_];
    if (!delimiter_.empty() && text_.compare(at_, delimiter_.size(), delimiter_) == 0) {
        at_ += delimiter_.size();
        return Token{Symbol, ";"};
    }
    if (c == '"')
        return quoted('"', Quoted);
    if (c == '`')
        return quoted('`', Quoted);
    if (c == '[')
        return quoted(']', Quoted);
    if (c == '\'')
        return quoted('\'', String);
    Token token;
    if (c == '$' && dollarQuoted(token))
        return token;
    if ((c == 'q' || c == 'Q' || c == 'n' || c == 'N') && alternativeQuoted(token))
        return token;
    if ((c == 'u' || c == 'U') && unicodeQuoted(token))
        return token;
    if (isWordByte(c) || c == '#') {
        // A # reaches here only where it begins a temporary table's name.
        token.kind = Word;
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] == '#')
            ++at_;
        // Oracle and SQL Server take # (and SQL Server @) inside a name,
        // as in EMP#HIST: right after a letter it goes on the name, it
        // starts no comment.
        while (at_ < text_.size() &&
               (isWordByte(text_[at_]) || ((text_[at_] == '#' || text_[at_] == '@') && at_ > start &&
                                           isWordByte(text_[at_ - 1]) && at_ + 1 < text_.size() &&
                                           isWordByte(text_[at_ + 1]))))
            ++at_;
        token.text = text_.substr(start, at_ - start);
        return token;
    }
    token.kind = Symbol;
    token.text = std::string(1, c);
    ++at_;
    return token;
}

SqlScanner::Token SqlScanner::peek(bool nameExpected)
{
    const std::size_t saved = at_;
    Token token = next(nameExpected);
    at_ = saved;
    return token;
}

// pg_dump's COPY ... FROM stdin; is followed by rows of data, tab-separated
// and unquoted, up to a line holding \. alone: an apostrophe in a row
// (O'Brien) is no string, so the rows are passed over whole.
void SqlScanner::skipCopyData()
{
    for (std::size_t line = at_; line < text_.size();) {
        const std::size_t end = std::min(text_.find('\n', line), text_.size());
        std::string_view row = std::string_view(text_).substr(line, end - line);
        if (!row.empty() && row.back() == '\r')
            row.remove_suffix(1);
        if (row == "\\.") {
            at_ = end;
            return;
        }
        line = end + 1;
    }
    at_ = text_.size();
}

bool SqlScanner::nextCreateTable()
{
    bool fromStdin = false;
    for (Token token = next(); token.kind != End;) {
        if (token.kind == Symbol && token.text == ";") {
            if (fromStdin)
                skipCopyData();
            fromStdin = false;
        } else if (isWord(token, "FROM") && isWord(peek(), "STDIN")) {
            fromStdin = true;
        }
        if (!isWord(token, "CREATE")) {
            token = next();
            continue;
        }
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
        // A CREATE cut short by another starts the next statement.
        token = word;
    }
    return false;
}

bool SqlScanner::tableName(Identifier& name)
{
    // IF NOT EXISTS; a table named if (PostgreSQL does not reserve it) is
    // followed by neither.
    if (isWord(peek(true), "IF")) {
        const std::size_t saved = at_;
        next();
        const Token after = peek(true);
        if (isWord(after, "NOT") || isWord(after, "EXISTS")) {
            if (isWord(after, "NOT"))
                next();
            if (isWord(peek(), "EXISTS"))
                next();
        } else {
            at_ = saved;
        }
    }
    for (;;) {
        const Token part = next(true);
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
