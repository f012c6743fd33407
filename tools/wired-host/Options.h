#ifndef WIREDHOST_OPTIONS_H
#define WIREDHOST_OPTIONS_H

#include <map>
#include <set>
#include <string>
#include <vector>

namespace wiredhost {

// A subcommand's arguments: "--name value" or "--name=value" for the
// options that take a value, "--name" for flags, the rest positional.
// "--" ends the options.
class Options {
public:
    // mayBeEmpty: the valued options that take an empty value; any other
    // given one is an unset variable in a script, refused.
    Options(std::set<std::string> valued, std::set<std::string> flags, std::set<std::string> mayBeEmpty = {});

    // False with a message in error on an unknown or incomplete option.
    bool parse(const std::vector<std::string>& arguments, std::size_t first, std::string& error);

    bool has(const std::string& flag) const;
    std::string value(const std::string& name, const std::string& fallback = "") const;

    std::vector<std::string> positional;

private:
    std::set<std::string> valued_;
    std::set<std::string> flags_;
    std::set<std::string> mayBeEmpty_;
    std::map<std::string, std::string> values_;
    std::set<std::string> seen_;
};

} // namespace wiredhost

#endif
