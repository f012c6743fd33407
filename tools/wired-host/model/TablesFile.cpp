#include "TablesFile.h"

#include "Encoding.h"
#include "Files.h"
#include "FormatDetector.h"
#include "Inflater.h"
#include "SqlScanner.h"
#include "Text.h"
#include "XmlDecoder.h"
#include "ZipArchive.h"

namespace wiredhost {

bool TablesFile::read(const std::string& path, std::string& error)
{
    unsigned long long size = 0;
    if (hostkit::files::isFile(path) && hostkit::files::sizeOf(path, size) && size > kMaxBytes) {
        error = path + ": " + std::to_string(size) + " bytes, more than the " + std::to_string(kMaxBytes >> 20) +
                " MiB wired-host reads of a tables file (give the schema alone: CREATE TABLE statements or one "
                "name a line)";
        return false;
    }
    std::string text;
    if (!hostkit::files::readFile(path, "the tables file", text, error) || !asText(path, text, error))
        return false;
    // The names are compared with what the plug-in derives, in the host's
    // code page; the file is UTF-8 (or plain ASCII), or else already in it.
    // UTF-8 is read before the names are converted: no byte of its letters
    // is a quote or a backslash, as the second byte of a Shift_JIS or GBK
    // letter may be, and a letter the code page lacks is still a letter.
    const bool utf8 = encoding::isValidUtf8(text);
    parse(text);
    if (stoppedAt_ != 0) {
        error = path + ": more than " + stoppedBy_ + " (wired-host's limit): stopped at byte " +
                std::to_string(stoppedAt_) + " of " + std::to_string(text.size());
        tables_.clear();
        return false;
    }
    if (utf8 && !encoding::isAscii(text)) {
        for (Table& table : tables_)
            table.name = encoding::utf8ToHost(table.name);
    }
    return true;
}

// A dump is often piped through gzip (pg_dump | gzip): it is unpacked,
// within the limit of the file itself. Other packed or binary data is no
// list of tables, and read as one every class would be "table not found".
bool TablesFile::asText(const std::string& path, std::string& text, std::string& error)
{
    if (Inflater::isGzip(text)) {
        std::string unpacked;
        if (!Inflater::gunzip(text, kMaxBytes, unpacked, error)) {
            error = path + ": gzip: " + error;
            return false;
        }
        text.swap(unpacked);
    }
    const char* packer = ZipArchive::isZip(text) ? "zip" : FormatDetector::packerNotRead(text);
    if (packer != nullptr) {
        error = path + ": packed with " + packer + ", which wired-host does not unpack for a tables file (it " +
                "reads gzip): unpack it first";
        return false;
    }
    // Notepad saves "Unicode" as UTF-16 with a byte-order mark; some
    // editors and shells write it without one.
    std::string utf8;
    if (startsWithByteOrderMark(text))
        text.erase(0, 3);
    else if (XmlDecoder::utf16ToUtf8(text, utf8) || XmlDecoder::plainUtf16ToUtf8(text, utf8))
        text.swap(utf8);
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        error = path + ": binary data (a NUL at byte " + std::to_string(nul) +
                "), not table names or an SQL script";
        return false;
    }
    // A model given here by mistake would read as names such as
    // "<?xml version="1.0"?>", and every class as "table not found".
    const char* document = FormatDetector::isXml(text)        ? "an XML document"
                           : FormatDetector::isJson(text)     ? "a JSON document"
                           : FormatDetector::isPlantUml(text) ? "a PlantUML diagram"
                                                              : nullptr;
    if (document != nullptr && !isSql(text)) {
        error = path + ": " + document + ", not table names or an SQL script (a model is given before the " +
                "options; --tables takes one table name a line or CREATE TABLE statements)";
        return false;
    }
    return true;
}

bool TablesFile::isSql(const std::string& text)
{
    SqlScanner scanner(text);
    return scanner.nextCreateTable();
}

bool TablesFile::add(std::string name, bool anyCase)
{
    if (tables_.size() == kMaxTables) {
        stoppedBy_ = std::to_string(kMaxTables) + " tables, more than any schema wired-host reads";
        return false;
    }
    tables_.push_back({std::move(name), anyCase});
    return true;
}

void TablesFile::parse(const std::string& text)
{
    tables_.clear();
    stoppedAt_ = 0;
    SqlScanner scanner(text);
    if (scanner.nextCreateTable())
        parseSql(scanner);
    else if (scanner.stoppedAt() == 0)
        parseLines(text);
    if (scanner.stoppedAt() != 0) {
        stoppedAt_ = scanner.stoppedAt();
        stoppedBy_ = std::to_string(SqlScanner::kMaxDollarTags) +
                     " different dollar-quote tags ($tag$), more than any script wired-host reads";
    }
}

void TablesFile::parseLines(const std::string& text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        // LF, CR LF or a lone CR ends a name.
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        std::string name = trimmed(text.substr(start, end - start));
        if (!name.empty() && !add(std::move(name), false)) {
            stoppedAt_ = start;
            return;
        }
        start = end + 1;
    }
}

// From the first CREATE TABLE on, which the scanner has just passed.
void TablesFile::parseSql(SqlScanner& scanner)
{
    do {
        SqlScanner::Identifier name;
        if (scanner.tableName(name) && !add(name.text, !name.quoted)) {
            stoppedAt_ = scanner.position();
            return;
        }
    } while (scanner.nextCreateTable());
}

} // namespace wiredhost
