// wired-host: a reference host for the wiredClsTab plug-in. It loads the
// real plug-in as a modelling host does and shows what it makes of a model,
// checks config.xml files and previews table names.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <streambuf>
#include <string>

#include "ConfigChecker.h"
#include "DatabaseTarget.h"
#include "model/Encoding.h"
#include "Explainer.h"
#include "HostProbe.h"
#include "Interrupt.h"
#include "MappingFile.h"
#include "MappingChecker.h"
#include "model/Model.h"
#include "ModelHost.h"
#include "model/ModelLoader.h"
#include "model/Progress.h"
#include "model/Text.h"
#include "Options.h"
#include "PluginSession.h"
#include "Report.h"

namespace {

using namespace wiredhost;

const int kUsageError = 2;
// The plug-in named a class otherwise than its rule, as wired-host knows it.
const int kPluginDisagrees = 3;

const char kMainHelp[] =
    "Usage: wired-host COMMAND [OPTIONS] ARGS\n"
    "\n"
    "A reference host for the wiredClsTab plug-in: it loads the real plug-in\n"
    "the way a modelling host does and shows what it makes of your model and\n"
    "of your config.xml. It also tells which flavour of the plug-in fits a\n"
    "host program.\n"
    "\n"
    "Commands:\n"
    "  run MODEL.xml       run the classes of a model through the plug-in and\n"
    "                      show the table each one gets\n"
    "  check CONFIG.xml    tell which entries of a config.xml take effect and\n"
    "                      why the others do not\n"
    "  names CLASS...      show the table name each class would get\n"
    "  which HOST.exe      tell which flavour of the plug-in fits a host program\n"
    "  help [COMMAND]      show help, also: wired-host COMMAND --help\n";

const char kRunHelpStart[] =
    "Usage: wired-host run [OPTIONS] MODEL\n"
    "\n"
    "Loads the plug-in, creates a converter (which reads its config.xml and\n"
    "registers the links in it), then for each class of the model, in order,\n"
    "calls reset and convert on a model node whose traversal visits that class.\n"
    "Prints the plug-in's log records and warnings as they come, then a table:\n"
    "class, package, derived table name and outcome (set, table not found,\n"
    "skipped by the package filter, nothing done, unnamed or a name holding a\n"
    "NUL: not converted;\n"
    "\"(duplicate)\" marks classes of the same package and name), and the links\n"
    "registered.\n"
    "\n"
    "The model: a UML class model as modelling tools export it (see\n"
    "docs/models.md), in any of these formats:\n";

// After the list of formats, which is the model readers' own.
const char kRunHelpRest[] =
    "each also in gzip (.gz), zip (ArgoUML's .zargo, Poseidon's .zuml) or tar\n"
    "(Umbrello's .xmi.tgz); or wired-host's own small model file:\n"
    "  <Model>\n"
    "    <Table name=\"Order_Item\"/>            a table the host knows\n"
    "    <Package name=\"com\">                  packages nest: com.shop\n"
    "      <Package name=\"shop\">\n"
    "        <Class name=\"OrderItem\"/>\n"
    "      </Package>\n"
    "    </Package>\n"
    "  </Model>\n"
    "The format is told from the content, not from the file name. setTable\n"
    "succeeds when the host knows a table of exactly that name; a link succeeds\n"
    "when the model has both the class and the table. An exported model names\n"
    "no tables: without --tables every table name is taken, so the run shows\n"
    "the name each class would get.\n"
    "\n"
    "Options:\n"
    "  --plugin PATH      the plug-in to load (default: the one beside wired-host)\n"
    "  --config FILE      run the plug-in from a private temporary copy with FILE\n"
    "                     as its config.xml; your installation is not touched.\n"
    "                     Without it the plug-in reads the config.xml beside it.\n"
    "  --tables FILE      the tables the host knows: one name a line, or SQL\n"
    "                     CREATE TABLE statements (unquoted names in any case),\n"
    "                     as MySQL, PostgreSQL and SQL Server scripts write them;\n"
    "                     plain or in gzip\n"
    "  --language LANG    what the host answers for its language (default English;\n"
    "                     Chinese selects the Chinese warnings)\n"
    "  --target LIST      check the tables for these databases, comma-separated:\n"
    "                     oracle (12.2 and later), oracle11 (up to 12.1),\n"
    "                     postgresql, mysql, mariadb, sqlserver, db2, sqlite,\n"
    "                     sql2016 (the standard's reserved words), or all\n"
    "  --format FORMAT    table (default) or json\n"
    "  --strict           exit 1 when some class got no table or a check found\n"
    "                     something\n"
    "  --explain          after the mapping, why each class got its name (see\n"
    "                     wired-host names --help); in JSON an \"explanation\"\n"
    "                     with each class\n"
    "  --save-mapping FILE\n"
    "                     save the mapping to FILE: UTF-8 text, a header line,\n"
    "                     then one class a line (package, class, table, outcome,\n"
    "                     separated by tabs; a tab, line end or backslash in a\n"
    "                     name written \\t, \\n, \\r or \\\\), sorted, the same on\n"
    "                     every run and platform: fit to commit beside the model;\n"
    "                     an existing FILE that is not a saved mapping is kept\n"
    "  --compare-mapping FILE\n"
    "                     show every class added, removed, or whose table or\n"
    "                     outcome changed since FILE was saved; exit 1 if any\n"
    "\n"
    "Checks: for each class's table and each link's, per target, a reserved\n"
    "word (reserved-word), a name longer than the database takes (too-long),\n"
    "two classes that become one table there, as written, after case folding or\n"
    "after PostgreSQL cuts names at 63 bytes (collision), and a name that works\n"
    "only quoted (needs-quoting). With or without --target: a leader code that\n"
    "leaves a word starting in lower case, as T in Ticket (leader-splits-word),\n"
    "and a link to the table another class gets from its name (link-clash). The\n"
    "table marks the classes with findings and lists them below it, by kind;\n"
    "JSON gives each class and link its \"findings\". See docs/table-checks.md.\n"
    "The run ends with a summary: classes read, tables set, not found, skipped,\n"
    "unnamed, duplicates and findings.\n"
    "\n"
    "Exit status: 0 done; 1 with --strict when some class got no table or a check\n"
    "found something, or with --compare-mapping when the mapping changed; 2 bad\n"
    "usage, an unknown target, a model or mapping\n"
    "file that cannot be read (or in no known format) or a plug-in that cannot be\n"
    "loaded; 3 with --explain when the plug-in named a class otherwise than its\n"
    "rule as this wired-host knows it (a plug-in of another version, or a fault);\n"
    "130 stopped with Ctrl-C (with --config at the next class, the private copy\n"
    "removed); 141 with --config when the output's reader went (... | head).\n";

const char kCheckHelp[] =
    "Usage: wired-host check [--codepage CP] [--format FORMAT] CONFIG.xml\n"
    "\n"
    "Reads a config.xml the way the plug-in does and reports, with line numbers,\n"
    "whether the plug-in accepts the file and, for every entry under Wired,\n"
    "whether it takes effect and why not: unknown names (with a suggestion for\n"
    "near misses), a Package or Leader whose first attribute is not code, empty\n"
    "or repeated codes, a Link without class or table, ignored attributes and\n"
    "entries nested too deep. It also warns where the file is not read as it is\n"
    "written: a UTF-16 file (Notepad's \"Unicode\"), non-ASCII codes in another\n"
    "encoding than the host's code page (names are compared byte for byte), and\n"
    "entities declared in a DOCTYPE (kept as written). Ends with the codes and\n"
    "links in effect.\n"
    "\n"
    "Options:\n"
    "  --codepage CP      the code page of the host the file is for, as 936, GBK,\n"
    "                     windows-1252 or UTF-8 (default: this system's, "
#ifdef _WIN32
    "its ANSI code page)\n"
#else
    "UTF-8)\n"
#endif
    "  --format FORMAT    text (default) or json: one document with the same\n"
    "                     findings, codes and links\n"
    "\n"
    "Exit status: 0 every entry takes effect as written; 1 some do not; 2 the\n"
    "plug-in would refuse the file, or the file is not checked because the\n"
    "plug-in's XML parser would take minutes over it (an element with more than\n"
    "256 attributes), or bad usage.\n";

const char kNamesHelp[] =
    "Usage: wired-host names [OPTIONS] CLASS...\n"
    "\n"
    "Shows the table name the plug-in derives for each class, with the package\n"
    "filter and leader codes of its config.xml applied. Write a class with its\n"
    "package path, as com.shop.model.OrderItem; a name without a dot has no\n"
    "package.\n"
    "\n"
    "With --explain, each class's name step by step, by the same rule the\n"
    "plug-in is built with: the package path against each package code in\n"
    "order (the first that the path ends with, whole or after a '.', lets the\n"
    "class through; with none the class is skipped), the leader code removed\n"
    "from the front of the name (the first that matches, if any), where an\n"
    "underscore went in (before each upper-case letter that follows a lower-case\n"
    "one), the table name, and the config's link for the class, if any. The\n"
    "last line says what the loaded plug-in answered; when that differs from the\n"
    "rule, a warning goes to standard error and the exit status is 3.\n"
    "\n"
    "Options:\n"
    "  --plugin PATH      the plug-in to load (default: the one beside wired-host)\n"
    "  --config FILE      use FILE as the plug-in's config.xml (private copy)\n"
    "  --language LANG    the host's language (default English)\n"
    "  --explain          each class's name step by step\n"
    "  --target LIST      check the names given, together, on these databases\n"
    "                     (comma-separated, or all; see wired-host run --help):\n"
    "                     the findings follow the names, and each explanation\n"
    "  --format FORMAT    names (default), or json: one document with each class,\n"
    "                     and with --explain its steps\n"
    "\n"
    "Exit status: 0 done; 2 bad usage or a plug-in that cannot be loaded; 3 the\n"
    "plug-in named a class otherwise than the rule (with --explain).\n";

const char kWhichHelp[] =
    "Usage: wired-host which [OPTIONS] HOST.exe\n"
    "\n"
    "Reads a host program's image, on any platform and without running it, and\n"
    "tells which flavour of the plug-in fits it and why: the bitness from its PE\n"
    "header, the C++ runtime from the DLLs it imports, at start-up or delayed:\n"
    "msvcp140.dll or vcruntime140.dll for Visual Studio 2015-2022 in release\n"
    "(win32-msvc, win64-msvc), libstdc++-6.dll for mingw-w64 g++ (win32-mingw\n"
    "with DWARF-2 exceptions, win64-mingw with SEH), the exception model told by\n"
    "the libgcc_s DLL it imports or the libstdc++-6.dll beside it imports. A\n"
    "program that imports no C++ runtime itself (a launcher) is judged by its\n"
    "own DLLs beside it, the first of them that imports one.\n"
    "Runtime DLLs beside the host are compared with the plug-in's: the same\n"
    "build (the same code and data; debug information aside), or another one\n"
    "with or without every function the plug-in takes from it (the plug-in gets\n"
    "the copy the host has loaded).\n"
    "\n"
    "None fits a debug build (msvcp140d.dll, vcruntime140d.dll, ucrtbased.dll),\n"
    "Visual Studio 2013 or older (msvcp120.dll, msvcr*.dll), a C++ runtime\n"
    "linked in (/MT, -static: no runtime DLL among the imports), setjmp/longjmp\n"
    "exceptions (libgcc_s_sjlj-1.dll), another compiler's C++ runtime (libc++.dll,\n"
    "cygstdc++-6.dll), a .NET assembly, a DOS or 16-bit program, or a machine\n"
    "other than i386 and x86-64.\n"
    "\n"
    "Options:\n"
    "  --plugin PATH      the plug-in (or its folder) to compare the runtime DLLs\n"
    "                     with (default: the one beside wired-host when it is of\n"
    "                     the flavour that fits, else that flavour's folder of the\n"
    "                     package wired-host is in)\n"
    "  --format FORMAT    text (default) or json\n"
    "\n"
    "Exit status: 0 a flavour fits (named on the line \"Fits:\"); 1 none fits;\n"
    "2 the file is no Windows program or a broken one, or bad usage.\n";

// The program's arguments, in UTF-8: the command's name, then its own.
struct Invocation {
    const std::vector<std::string>& arguments;
};

int runCommand(const Invocation& call);
int checkCommand(const Invocation& call);
int namesCommand(const Invocation& call);
int whichCommand(const Invocation& call);

// run's help names every format its readers read, from their own table.
std::string runHelp()
{
    return kRunHelpStart + ModelLoader::formatsHelp() + kRunHelpRest;
}

struct Command {
    const char* name;
    std::string (*help)();
    int (*handler)(const Invocation& call);
};

const Command kCommands[] = {
    {"run", runHelp, runCommand},
    {"check", [] { return std::string(kCheckHelp); }, checkCommand},
    {"names", [] { return std::string(kNamesHelp); }, namesCommand},
    {"which", [] { return std::string(kWhichHelp); }, whichCommand},
};

const Command* findCommand(const std::string& name)
{
    for (const Command& command : kCommands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

// What the user typed (UTF-8) as a message shows it.
std::string shown(const std::string& typed)
{
    return encoding::printable(encoding::repairedUtf8(typed));
}

void complain(const std::string& utf8)
{
    std::cerr << encoding::utf8ToOutput(utf8, true);
}

int usageError(const std::string& command, const std::string& message)
{
    complain("wired-host " + command + ": " + shown(message) + "\nTry 'wired-host " + command + " --help'.\n");
    return kUsageError;
}

// --format: the command's own text output (its name given as plain) or
// json; anything else is a usage error, told in error.
bool wantsJson(const Options& options, const std::string& plain, bool& json, std::string& error)
{
    const std::string format = options.value("format", plain);
    json = format == "json";
    if (json || format == plain)
        return true;
    error = "--format is " + plain + " or json, not " + format;
    return false;
}

// What every command does first: its options, how many arguments it got
// (one, or with many at least one; expects says what it wants) and
// --format. False when they do not fit, the usage error told.
bool parseCommand(const Invocation& call, const std::string& command, Options& options, bool many,
                  const std::string& expects, const std::string& plainFormat, bool& json)
{
    std::string error;
    if (options.parse(call.arguments, 1, error)) {
        if (options.positional.empty() || (!many && options.positional.size() != 1))
            error = "expects " + expects;
        else if (!many && options.positional[0].empty())
            error = "expects " + expects + ", not an empty name";
        else if (wantsJson(options, plainFormat, json, error))
            return true;
    }
    usageError(command, error);
    return false;
}

bool wantsHelp(const Invocation& call)
{
    for (std::size_t i = 1; i < call.arguments.size(); ++i) {
        const std::string& arg = call.arguments[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

// Loads the plug-in as asked and creates one converter, with the log records
// and warnings going to the reporter. Null after reporting why not.
kavri::IConvert* openConverter(const Options& options, PluginSession& session, ModelHost& host, Reporter& reporter)
{
    std::string error;
    if (!session.open(options.value("plugin"), options.value("config"), error)) {
        reporter.fail(error);
        return nullptr;
    }
    reporter.session(session.pluginPath(), session.configPath(), session.usesPrivateCopy(),
                     options.value("language", "English"));
    host.onLog = [&reporter](const LogRecord& record) { reporter.log(record); };
    const hostkit::Creation created = session.create(host);
    reporter.warnings(created.warnings);
    reporter.links(host.links);
    if (created.converter == nullptr)
        reporter.fail("registConvert returned no converter");
    return created.converter;
}

// The model and the tables the host knows, from --tables or the model.
// UTF-8 text with every character beyond ASCII as \uXXXX: the code page
// that lacks a name's letters is the one the error stream is written in.
// A name of megabytes is cut after its first 40 characters, so one line
// of warning stays a line.
std::string asciiEscaped(const std::string& utf8)
{
    const std::size_t kShown = 40;
    std::string out;
    std::size_t shown = 0;
    for (std::size_t at = 0, length = 0; at < utf8.size(); at += length, ++shown) {
        if (shown == kShown)
            return out + "...";
        const char32_t c = encoding::characterAt(utf8, at, length);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        char code[12];
        std::snprintf(code, sizeof code, c > 0xFFFF ? "\\U%08X" : "\\u%04X", static_cast<unsigned>(c));
        out += code;
    }
    return out;
}

// Names in characters the host's code page lacks reach the plug-in as a
// host in that code page would give them, '?' in place of each; the user
// should know why those tables look as they do. names: the first of them,
// three at most shown.
void warnOutsideHostCodePage(Reporter& reporter, std::size_t count, const std::vector<std::string>& names)
{
    if (count == 0)
        return;
    const std::vector<std::string> first(names.begin(), names.begin() + std::min<std::size_t>(names.size(), 3));
    std::string examples;
    for (const std::string& name : first)
        examples += (examples.empty() ? "" : ", ") + asciiEscaped(name);
    reporter.warn(std::to_string(count) + (count == 1 ? " class has a name" : " classes have names") +
                  " with characters that the host's code page (" + encoding::hostCodePage() +
                  ") lacks: the plug-in gets '?' in their place, as from a host in that code page (" + examples +
                  (count > first.size() ? ", ..." : "") + ")");
}

bool loadModel(const Options& options, Model& model, Reporter& reporter)
{
    const std::string& path = options.positional[0];
    std::string error;
    if (!model.load(path, error)) {
        reporter.fail(error);
        return false;
    }
    for (const std::string& note : model.notes())
        reporter.warn(path + ": " + note);
    const std::string tables = options.value("tables");
    const bool modelNamesTables = model.namesTables();
    if (!tables.empty() && !model.loadTables(tables, error)) {
        reporter.fail(error);
        return false;
    }
    if (!tables.empty() && model.tablesRead() == 0)
        reporter.warn(tables + ": names no table (an empty file, or text in no form wired-host reads)");
    std::string known = "every table name is taken (the model names none; see --tables)";
    if (!tables.empty())
        known = "those in " + tables + (modelNamesTables ? " and those the model names" : "");
    else if (model.namesTables())
        known = "those the model names";
    const std::size_t count = model.classes().size();
    reporter.model(path + " (" + model.format() + "), " + std::to_string(count) + (count == 1 ? " class" : " classes"),
                   known);
    warnOutsideHostCodePage(reporter, model.classesOutsideHostCodePage(), model.firstOutsideHostCodePage());
    return true;
}

// The codes of the config.xml the plug-in reads, read by its own rules, in
// the host's code page.
struct ConfigCodes {
    std::vector<std::string> packages, leaders;
};

ConfigCodes configCodes(const PluginSession& session)
{
    ConfigChecker config;
    config.check(session.configPath());
    // A refused file leaves the plug-in without codes.
    if (config.rejected)
        return {};
    return {config.packageCodes, config.leaderCodes};
}

// With --explain, the plug-in's naming rule over the codes of the
// config.xml it reads and the links it registered; null without.
std::unique_ptr<Explainer> explainerFor(const Options& options, const PluginSession& session, const ModelHost& host)
{
    if (!options.has("explain"))
        return nullptr;
    const ConfigCodes codes = configCodes(session);
    return std::unique_ptr<Explainer>(new Explainer(codes.packages, codes.leaders, host.links));
}

// The leader codes for the mapping checks, which work in UTF-8.
std::vector<std::string> utf8Leaders(const PluginSession& session)
{
    std::vector<std::string> leaders;
    for (const std::string& code : configCodes(session).leaders)
        leaders.push_back(encoding::repairedUtf8(encoding::hostToUtf8(code)));
    return leaders;
}

int runCommand(const Invocation& call)
{
    // A host's language may be empty; an empty --target is refused with the
    // targets there are.
    Options options({"plugin", "config", "language", "format", "tables", "target", "save-mapping", "compare-mapping"},
                    {"strict", "explain"}, {"language", "target"});
    bool json = false;
    if (!parseCommand(call, "run", options, false, "one model file", "table", json))
        return kUsageError;
    std::string error;
    std::vector<const DatabaseTarget*> targets;
    if (options.has("target") && !DatabaseTarget::parseList(options.value("target"), targets, error))
        return usageError("run", error);
    Reporter reporter("run", json ? Format::Json : Format::Table, std::cout, std::cerr);

    // A saved mapping that cannot be read stops the run before it starts.
    const std::string savedMapping = options.value("compare-mapping");
    std::vector<MappingRow> saved;
    if (!savedMapping.empty() && !MappingFile::read(savedMapping, saved, error))
        return reporter.fail(error);
    if (options.has("save-mapping") && !MappingFile::mayOverwrite(options.value("save-mapping"), error))
        return reporter.fail(error);

    Model model;
    if (!loadModel(options, model, reporter))
        return kUsageError;
    PluginSession session;
    ModelHost host(&model, encoding::utf8ToHost(options.value("language", "English")));
    kavri::IConvert* converter = openConverter(options, session, host, reporter);
    if (converter == nullptr)
        return kUsageError;
    const std::unique_ptr<Explainer> explainer = explainerFor(options, session, host);
    Progress progress("wired-host run: ", model.classes().size());
    reporter.expect(model.classes().size());
    for (std::size_t i = 0; i < model.classes().size(); ++i) {
        hostkit::interrupt::stopIfRequested();
        ClassEntry entry = session.convertClass(*converter, model.classes()[i], &model);
        if (explainer)
            reporter.explained(explainer->explain(entry));
        reporter.mapped(std::move(entry));
        progress.step(i + 1);
    }
    progress.finish();

    const std::string mappingFile = options.value("save-mapping");
    std::vector<MappingRow> rows;
    if (!savedMapping.empty() || !mappingFile.empty())
        rows = MappingFile::rowsOf(reporter.classes());
    bool changed = false;
    if (!savedMapping.empty()) {
        std::vector<MappingChange> changes = MappingFile::compare(saved, rows);
        changed = !changes.empty();
        reporter.mappingChanges(savedMapping, saved.size(), std::move(changes));
    }
    const MappingChecker checker(targets, utf8Leaders(session));
    reporter.found(checker.check(reporter.classes(), reporter.linkEntries()));
    reporter.finishRun();
    if (!mappingFile.empty() && !MappingFile::save(mappingFile, rows, error))
        return reporter.fail(error);
    if (reporter.anyDisagreement())
        return kPluginDisagrees;
    return changed || (options.has("strict") && (reporter.anyUnmapped() || reporter.anyFindings())) ? 1 : 0;
}

// A host's narrow strings are never in a UTF-16, UTF-32 or UTF-7 code
// page: no Windows program runs with one as its ANSI code page.
bool isAnsiCodePage(const std::string& name)
{
    const std::string lower = lowered(name);
    for (const std::string prefix : {"utf-16", "utf-32", "utf-7", "ucs-"}) {
        if (lower.compare(0, prefix.size(), prefix) == 0)
            return false;
    }
    for (const char* page : {"windows-1200", "windows-1201", "windows-12000", "windows-12001", "windows-65000"}) {
        if (lower == page)
            return false;
    }
    return true;
}

// "936" as "windows-936"; names as given.
std::string codePageName(const std::string& given)
{
    const bool number = !given.empty() && given.find_first_not_of("0123456789") == std::string::npos;
    return number ? "windows-" + given : given;
}

// The report of check as the user sees it: the file's texts are in the
// host's code page, so each line is read in it and shown by the one rule
// (what is left to escape once the text is UTF-8, C1 controls and marks
// that reorder a line, is escaped too). Written out as it is made: a config
// of a million entries makes a report of hundreds of megabytes, which a
// 32-bit process cannot hold as a whole in several forms.
class ShownReport : public std::streambuf {
public:
    explicit ShownReport(const ConfigChecker& checker) : checker_(checker) {}

    // Shows what is left: a last line without its line end.
    void finish()
    {
        if (!line_.empty())
            showLine();
        writeShown();
    }

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        if (traits_type::to_char_type(c) == '\n')
            showLine();
        else
            line_ += traits_type::to_char_type(c);
        return c;
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        const char* const end = text + count;
        while (text != end) {
            const char* const lineEnd = static_cast<const char*>(std::memchr(text, '\n', end - text));
            if (lineEnd == nullptr) {
                line_.append(text, end);
                break;
            }
            line_.append(text, lineEnd);
            showLine();
            text = lineEnd + 1;
        }
        return count;
    }

private:
    void showLine()
    {
        encoding::appendPrintable(shown_, checker_.utf8Of(line_));
        shown_ += '\n';
        line_.clear();
        if (shown_.size() >= (1u << 16))
            writeShown();
    }

    void writeShown()
    {
        encoding::writeOutput(std::cout, shown_);
        shown_.clear();
    }

    const ConfigChecker& checker_;
    std::string line_;
    std::string shown_;
};

int checkCommand(const Invocation& call)
{
    Options options({"codepage", "format"}, {});
    bool json = false;
    if (!parseCommand(call, "check", options, false, "one config.xml", "text", json))
        return kUsageError;
    ConfigChecker checker;
    checker.hostCodePage = codePageName(options.value("codepage"));
    // A code page this system cannot convert would make every comparison
    // of the report a guess.
    if (!checker.hostCodePage.empty() && !encoding::isKnown(checker.hostCodePage))
        return usageError("check", "unknown code page " + checker.hostCodePage +
                                       " (give a number, as 936, or a name, as GBK, windows-1252 or UTF-8)");
    if (!isAnsiCodePage(checker.hostCodePage))
        return usageError("check", checker.hostCodePage + " is no ANSI code page a host can run in (give one as "
                                                          "936, GBK, windows-1252 or UTF-8)");
    checker.check(options.positional[0]);
    if (!checker.unchecked.empty()) {
        complain("wired-host check: " + shown(checker.unchecked) + "\n");
        return kUsageError;
    }
    if (json) {
        // Always UTF-8: JSON is for programs.
        checker.writeJson(std::cout);
        return checker.exitCode();
    }
    ShownReport shown(checker);
    std::ostream report(&shown);
    checker.write(report);
    // A line that could not grow (a 32-bit process out of address space)
    // stops the stream without throwing: a cut report must not end as if
    // it were whole.
    if (!report)
        throw std::bad_alloc();
    shown.finish();
    return checker.exitCode();
}

// "com.shop.model.OrderItem": the package path before the last dot.
ModelClass classFromArgument(const std::string& argument)
{
    const std::size_t dot = argument.rfind('.');
    if (dot == std::string::npos)
        return {argument, ""};
    return {argument.substr(dot + 1), argument.substr(0, dot)};
}

int namesCommand(const Invocation& call)
{
    Options options({"plugin", "config", "language", "format", "target"}, {"explain"}, {"language", "target"});
    bool json = false;
    if (!parseCommand(call, "names", options, true, "at least one class", "names", json))
        return kUsageError;
    std::string error;
    std::vector<const DatabaseTarget*> targets;
    const bool checked = options.has("target");
    if (checked && !DatabaseTarget::parseList(options.value("target"), targets, error))
        return usageError("names", error);
    // No model: links are left alone and every table name is taken.
    Reporter reporter("names", json ? Format::Json : Format::Names, std::cout, std::cerr);
    PluginSession session;
    ModelHost host(nullptr, encoding::utf8ToHost(options.value("language", "English")));
    kavri::IConvert* converter = openConverter(options, session, host, reporter);
    if (converter == nullptr)
        return kUsageError;
    const std::unique_ptr<Explainer> explainer = explainerFor(options, session, host);
    std::vector<ClassEntry> entries;
    std::vector<ModelClass> classes;
    std::vector<std::string> outside;
    for (const std::string& argument : options.positional) {
        std::string hostArgument;
        const bool exact = encoding::utf8ToHostExactly(argument, hostArgument);
        classes.push_back(classFromArgument(hostArgument));
        if (!exact) {
            outside.push_back(argument);
            const ModelClass given = classFromArgument(argument);
            classes.back().ownNames = OwnNames{given.name, given.package};
        }
    }
    warnOutsideHostCodePage(reporter, outside.size(), outside);
    for (const ModelClass& modelClass : classes) {
        hostkit::interrupt::stopIfRequested();
        entries.push_back(session.convertClass(*converter, modelClass, nullptr));
        reporter.mapped(entries.back());
    }
    // The classes named together are checked together, as a model's are:
    // two of them may be one table on a target.
    if (checked)
        reporter.found(MappingChecker(targets, utf8Leaders(session)).check(reporter.classes(), reporter.linkEntries()));
    if (explainer) {
        for (const ClassEntry& entry : entries)
            reporter.explained(explainer->explain(entry));
    }
    if (json)
        reporter.finishRun();
    else if (!explainer)
        reporter.names(options.positional, entries);
    if (checked && !json)
        reporter.namesFindings();
    return reporter.anyDisagreement() ? kPluginDisagrees : 0;
}

int whichCommand(const Invocation& call)
{
    Options options({"plugin", "format"}, {});
    bool json = false;
    if (!parseCommand(call, "which", options, false, "one host program", "text", json))
        return kUsageError;
    Reporter reporter("which", json ? Format::Json : Format::Table, std::cout, std::cerr);
    HostProbe probe;
    std::string error;
    if (!probe.probe(options.positional[0], options.value("plugin"), error))
        return reporter.fail(error);
    reporter.hostFit(options.positional[0], probe.pluginPath(), probe.verdict());
    return probe.verdict().fits() ? 0 : 1;
}

int help(const std::string& topic)
{
    if (topic.empty()) {
        std::cout << kMainHelp;
        return 0;
    }
    // "help help": the main help tells what help does.
    if (topic == "help") {
        std::cout << kMainHelp;
        return 0;
    }
    const Command* command = findCommand(topic);
    if (command == nullptr) {
        complain("wired-host help: no command '" + shown(topic) + "'\nTry 'wired-host --help'.\n");
        return kUsageError;
    }
    std::cout << command->help();
    return 0;
}

int dispatch(const std::vector<std::string>& arguments)
{
    const std::string name = arguments.empty() ? "" : arguments[0];
    if (name.empty()) {
        std::cerr << kMainHelp;
        return kUsageError;
    }
    if (name == "--help" || name == "-h")
        return help("");
    if (name == "help")
        return help(arguments.size() > 1 ? arguments[1] : "");
    const Command* command = findCommand(name);
    if (command == nullptr) {
        complain("wired-host: unknown command '" + shown(name) + "'\nTry 'wired-host --help'.\n");
        return kUsageError;
    }
    const Invocation call{arguments};
    if (wantsHelp(call)) {
        std::cout << command->help();
        return 0;
    }
    return command->handler(call);
}

} // namespace

// A report that could not be written (a full disk, a closed stream) is a
// failure, whatever the command found: a script must not take an empty or
// cut file for a clean run.
int finished(int code)
{
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (!failed)
        return code;
    std::cerr << "wired-host: cannot write to standard output (a full disk, or a closed stream): the report is "
                 "incomplete\n";
    return kUsageError;
}

int main(int argc, char** argv)
{
    encoding::bufferStandardOutput();
    try {
        const int code = dispatch(encoding::commandArguments(argc, argv));
        // Asked to stop after the last safe point: the work is done, but
        // a script must still learn that it was stopped.
        hostkit::interrupt::stopIfRequested();
        return finished(code);
    } catch (const hostkit::interrupt::Interrupted& stop) {
        // A reader that went away (... | head) took what it wanted.
        if (stop.reason == hostkit::interrupt::Reason::Asked) {
            std::cout.flush();
            std::cerr << "wired-host: interrupted\n";
        }
        return stop.exitCode();
    } catch (const std::bad_alloc&) {
        // Reading a model has limits of its own; what is left is a run
        // whose results, or a file that, outgrow the process (a 32-bit one
        // most of all).
        std::cout.flush();
        std::cerr << "wired-host: not enough memory to finish: what this command read or found needs more than "
                     "this process can have\n";
        return kUsageError;
    } catch (const std::exception& failure) {
        std::cerr << "wired-host: " << failure.what() << '\n';
        return kUsageError;
    }
}
