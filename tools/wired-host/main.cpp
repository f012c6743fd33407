// wired-host: a reference host for the wiredClsTab plug-in. It loads the
// real plug-in as a modelling host does and shows what it makes of a model,
// checks config.xml files and previews table names.
#include <exception>
#include <iostream>
#include <string>

#include "ConfigChecker.h"
#include "Model.h"
#include "ModelHost.h"
#include "Options.h"
#include "PluginLoader.h"
#include "PluginSession.h"
#include "Report.h"

namespace {

using namespace wiredhost;

const int kUsageError = 2;

const char kMainHelp[] =
    "Usage: wired-host COMMAND [OPTIONS] ARGS\n"
    "\n"
    "A reference host for the wiredClsTab plug-in: it loads the real plug-in\n"
    "the way a modelling host does and shows what it makes of your model and\n"
    "of your config.xml.\n"
    "\n"
    "Commands:\n"
    "  run MODEL.xml       run the classes of a model through the plug-in and\n"
    "                      show the table each one gets\n"
    "  check CONFIG.xml    tell which entries of a config.xml take effect and\n"
    "                      why the others do not\n"
    "  names CLASS...      show the table name each class would get\n"
    "  help [COMMAND]      show help, also: wired-host COMMAND --help\n";

const char kRunHelp[] =
    "Usage: wired-host run [OPTIONS] MODEL.xml\n"
    "\n"
    "Loads the plug-in, creates a converter (which reads its config.xml and\n"
    "registers the links in it), then for each class of the model, in order,\n"
    "calls reset and convert on a model node whose traversal visits that class.\n"
    "Prints the plug-in's log records and warnings as they come, then a table:\n"
    "class, package, derived table name and outcome (set, table not found,\n"
    "skipped by the package filter, nothing done), and the links registered.\n"
    "\n"
    "The model file:\n"
    "  <Model>\n"
    "    <Table name=\"Order_Item\"/>            a table the host knows\n"
    "    <Package name=\"com\">                  packages nest: com.shop\n"
    "      <Package name=\"shop\">\n"
    "        <Class name=\"OrderItem\"/>\n"
    "      </Package>\n"
    "    </Package>\n"
    "  </Model>\n"
    "setTable succeeds when the model has a table of exactly that name; a link\n"
    "succeeds when the model has both the class and the table.\n"
    "\n"
    "Options:\n"
    "  --plugin PATH      the plug-in to load (default: the one beside wired-host)\n"
    "  --config FILE      run the plug-in from a private temporary copy with FILE\n"
    "                     as its config.xml; your installation is not touched.\n"
    "                     Without it the plug-in reads the config.xml beside it.\n"
    "  --language LANG    what the host answers for its language (default English;\n"
    "                     Chinese selects the Chinese warnings)\n"
    "  --format FORMAT    table (default) or json\n"
    "  --strict           exit 1 when some class got no table\n"
    "\n"
    "Exit status: 0 done; 1 with --strict when some class got no table;\n"
    "2 bad usage, a bad model file or a plug-in that cannot be loaded.\n";

const char kCheckHelp[] =
    "Usage: wired-host check CONFIG.xml\n"
    "\n"
    "Reads a config.xml the way the plug-in does and reports, with line numbers,\n"
    "whether the plug-in accepts the file and, for every entry under Wired,\n"
    "whether it takes effect and why not: unknown names (with a suggestion for\n"
    "near misses), a Package or Leader whose first attribute is not code, empty\n"
    "or repeated codes, a Link without class or table, ignored attributes and\n"
    "entries nested too deep. Ends with the codes and links in effect.\n"
    "\n"
    "Exit status: 0 every entry takes effect; 1 some do not; 2 the plug-in\n"
    "would refuse the file (or bad usage).\n";

const char kNamesHelp[] =
    "Usage: wired-host names [OPTIONS] CLASS...\n"
    "\n"
    "Shows the table name the plug-in derives for each class, with the package\n"
    "filter and leader codes of its config.xml applied. Write a class with its\n"
    "package path, as com.shop.model.OrderItem; a name without a dot has no\n"
    "package.\n"
    "\n"
    "Options:\n"
    "  --plugin PATH      the plug-in to load (default: the one beside wired-host)\n"
    "  --config FILE      use FILE as the plug-in's config.xml (private copy)\n"
    "  --language LANG    the host's language (default English)\n";

int usageError(const std::string& command, const std::string& message)
{
    std::cerr << "wired-host " << command << ": " << message << "\n"
              << "Try 'wired-host " << command << " --help'.\n";
    return kUsageError;
}

int showHelp(const char* text)
{
    std::cout << text;
    return 0;
}

bool wantsHelp(int argc, char** argv)
{
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

int runCommand(int argc, char** argv)
{
    Options options({"plugin", "config", "language", "format"}, {"strict"});
    std::string error;
    if (!options.parse(argc, argv, 2, error))
        return usageError("run", error);
    if (options.positional.size() != 1)
        return usageError("run", "expects one model file");
    const std::string format = options.value("format", "table");
    if (format != "table" && format != "json")
        return usageError("run", "--format is table or json, not " + format);
    const bool json = format == "json";

    Model model;
    if (!model.load(options.positional[0], error)) {
        std::cerr << "wired-host run: " << error << '\n';
        return kUsageError;
    }
    PluginSession session;
    if (!session.open(options.value("plugin"), options.value("config"), error)) {
        std::cerr << "wired-host run: " << error << '\n';
        return kUsageError;
    }

    Report report;
    report.plugin = session.pluginPath();
    report.config = session.configPath();
    report.language = options.value("language", "English");
    if (!json) {
        std::cout << "Plug-in: " << session.sourcePath() << "\n";
        if (options.value("config").empty())
            std::cout << "config.xml: " << report.config << "\n\n";
        else
            std::cout << "config.xml: " << options.value("config") << " (in a private copy of the plug-in)\n\n";
    }

    ModelHost host(&model, report.language);
    if (!json)
        host.onLog = [](const LogEntry& entry) { std::cout << Report::logLine(entry) << std::endl; };
    kavri::IConvert* converter = session.create(host, report.warnings);
    if (!json) {
        for (const WarningEntry& warning : report.warnings)
            std::cout << Report::warningLine(warning) << std::endl;
    }
    if (converter == nullptr) {
        std::cerr << "wired-host run: registConvert returned no converter\n";
        return kUsageError;
    }
    for (const ModelClass& modelClass : model.classes())
        report.classes.push_back(PluginSession::convertClass(*converter, modelClass, &model));
    report.log = host.records;
    report.links = host.links;

    if (json) {
        report.writeJson(std::cout);
    } else {
        std::cout << '\n';
        report.writeTable(std::cout);
    }
    return options.has("strict") && report.anyUnmapped() ? 1 : 0;
}

int checkCommand(int argc, char** argv)
{
    Options options({}, {});
    std::string error;
    if (!options.parse(argc, argv, 2, error))
        return usageError("check", error);
    if (options.positional.size() != 1)
        return usageError("check", "expects one config.xml");
    ConfigChecker checker;
    checker.check(options.positional[0]);
    checker.write(std::cout);
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

int namesCommand(int argc, char** argv)
{
    Options options({"plugin", "config", "language"}, {});
    std::string error;
    if (!options.parse(argc, argv, 2, error))
        return usageError("names", error);
    if (options.positional.empty())
        return usageError("names", "expects at least one class");
    PluginSession session;
    if (!session.open(options.value("plugin"), options.value("config"), error)) {
        std::cerr << "wired-host names: " << error << '\n';
        return kUsageError;
    }
    // No model: links are left alone and every table name is taken.
    ModelHost host(nullptr, options.value("language", "English"));
    std::vector<WarningEntry> warnings;
    kavri::IConvert* converter = session.create(host, warnings);
    for (const WarningEntry& warning : warnings)
        std::cerr << "wired-host names: " << Report::warningLine(warning) << '\n';
    if (converter == nullptr) {
        std::cerr << "wired-host names: registConvert returned no converter\n";
        return kUsageError;
    }
    std::size_t width = 0;
    for (const std::string& argument : options.positional)
        width = std::max(width, argument.size());
    for (const std::string& argument : options.positional) {
        const ClassEntry entry = PluginSession::convertClass(*converter, classFromArgument(argument), nullptr);
        std::cout << argument << std::string(width + 2 - argument.size(), ' ');
        if (entry.outcome == Outcome::Set)
            std::cout << (entry.tableName.empty() ? "\"\"" : entry.tableName) << '\n';
        else
            std::cout << "(" << Report::outcomeText(entry.outcome) << ")\n";
    }
    return 0;
}

int dispatch(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command.empty()) {
        std::cerr << kMainHelp;
        return kUsageError;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        const std::string topic = command == "help" && argc > 2 ? argv[2] : "";
        if (topic == "run")
            return showHelp(kRunHelp);
        if (topic == "check")
            return showHelp(kCheckHelp);
        if (topic == "names")
            return showHelp(kNamesHelp);
        return showHelp(kMainHelp);
    }
    if (command == "run")
        return wantsHelp(argc, argv) ? showHelp(kRunHelp) : runCommand(argc, argv);
    if (command == "check")
        return wantsHelp(argc, argv) ? showHelp(kCheckHelp) : checkCommand(argc, argv);
    if (command == "names")
        return wantsHelp(argc, argv) ? showHelp(kNamesHelp) : namesCommand(argc, argv);
    std::cerr << "wired-host: unknown command '" << command << "'\nTry 'wired-host --help'.\n";
    return kUsageError;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return dispatch(argc, argv);
    } catch (const std::exception& failure) {
        std::cerr << "wired-host: " << failure.what() << '\n';
        return kUsageError;
    }
}
