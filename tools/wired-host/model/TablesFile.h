#ifndef WIREDHOST_MODEL_TABLESFILE_H
#define WIREDHOST_MODEL_TABLESFILE_H

#include <cstddef>
#include <string>
#include <vector>

namespace wiredhost {

class SqlScanner;

// The tables a host knows, for models that name none: a file with one
// table name per line, or SQL with CREATE TABLE statements. In SQL a
// quoted name ("Order_Item", `Order_Item`, [Order_Item]) is exact and an
// unquoted one matches in any case, as the database treats them; of a
// schema-qualified name (shop.Order_Item) the table's own name counts.
class TablesFile {
public:
    struct Table {
        std::string name;
        bool anyCase;
    };

    // False with a message when the file cannot be read, or is binary
    // data; a gzip file is unpacked.
    bool read(const std::string& path, std::string& error);

    // From text: SQL when it holds a CREATE TABLE statement, else lines.
    void parse(const std::string& text);

    const std::vector<Table>& tables() const { return tables_; }

    static bool isSql(const std::string& text);

    // Far more than any schema holds: a file past them is refused, with
    // the limit it passed, rather than read into gigabytes. A script with
    // its data (pg_dump without --schema-only) may pass the size.
    static constexpr std::size_t kMaxBytes = std::size_t(256) << 20;
    static constexpr std::size_t kMaxTables = 1000000;
    // Where parse stopped at a limit (kMaxTables, or the scanner's);
    // 0 when it did not.
    std::size_t stoppedAt() const { return stoppedAt_; }

private:
    static bool asText(const std::string& path, std::string& text, std::string& error);
    void parseLines(const std::string& text);
    void parseSql(SqlScanner& scanner);

    bool add(std::string name, bool anyCase);

    std::vector<Table> tables_;
    std::size_t stoppedAt_ = 0;
    // The limit that stopped parse, as "more than …" goes on.
    std::string stoppedBy_;
};

} // namespace wiredhost

#endif
