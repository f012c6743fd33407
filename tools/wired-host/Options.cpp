#include "Options.h"

namespace wiredhost {

Options::Options(std::set<std::string> valued, std::set<std::string> flags, std::set<std::string> mayBeEmpty)
    : valued_(std::move(valued)), flags_(std::move(flags)), mayBeEmpty_(std::move(mayBeEmpty))
{
}

bool Options::parse(const std::vector<std::string>& arguments, std::size_t first, std::string& error)
{
    bool optionsEnded = false;
    for (std::size_t i = first; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        // "-x" is a mistyped option, not a file (a file of that name
        // follows "--").
        if (arg.compare(0, 2, "--") != 0) {
            error = "unknown option " + arg + " (options start with --; give a file named so after --)";
            return false;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (flags_.count(name) != 0 && equals == std::string::npos) {
            seen_.insert(name);
        } else if (valued_.count(name) != 0) {
            // One value each: of "--target a --target b" keeping the last
            // would drop a target without a word.
            if (!seen_.insert(name).second) {
                error = "option --" + name + " given twice";
                return false;
            }
            if (equals != std::string::npos) {
                values_[name] = arg.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                values_[name] = arguments[++i];
            } else {
                error = "option --" + name + " needs a value";
                return false;
            }
            // An empty value is a variable left unset in a script: taken
            // for "not given", --compare-mapping "$MAP" would pass every
            // time.
            if (values_[name].empty() && mayBeEmpty_.count(name) == 0) {
                error = "option --" + name + " needs a value, not an empty one";
                return false;
            }
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

bool Options::has(const std::string& flag) const
{
    return seen_.count(flag) != 0;
}

std::string Options::value(const std::string& name, const std::string& fallback) const
{
    const auto found = values_.find(name);
    return found == values_.end() ? fallback : found->second;
}

} // namespace wiredhost
