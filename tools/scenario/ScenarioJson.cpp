#include "ScenarioJson.h"

#include <set>
#include <vector>

#include "Failure.h"

namespace Quorvel::Sim {

namespace {

using nlohmann::json;

// Goes through the document as the parser reads it, keeping the place it is at. A pass
// of its own rather than the parser's callback: with a callback, the parser scans the
// enclosing array at the end of each object, which makes a scenario of many phases
// take quadratic time.
class StrictnessCheck {
  public:
    explicit StrictnessCheck(const std::string& sourceName) : source(sourceName) {}

    bool null() { return value(); }
    bool boolean(bool) { return value(); }
    bool number_integer(json::number_integer_t) { return value(); }
    bool number_unsigned(json::number_unsigned_t) { return value(); }
    bool number_float(json::number_float_t, const json::string_t&) { return value(); }
    bool string(json::string_t&) { return value(); }
    bool binary(json::binary_t&) { return value(); }
    bool start_object(std::size_t) { return open(true); }
    bool start_array(std::size_t) { return open(false); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(json::string_t& name) {
        Level& object = levels.back();
        if (!object.keys.insert(name).second) {
            refuseAt(source, pathTo(levels.size() - 1) + "/" + name,
                     "each field once (this one is given twice)");
        }
        object.key = name;
        return true;
    }

    // The parser's own message, as a parse without this pass would give it.
    template <typename Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

  private:
    struct Level {
        bool object = false;
        std::set<std::string> keys;  // an object's, so far
        std::string key;             // an object's: the value being read is this field's
        std::size_t items = 0;       // an array's: the value being read is number items - 1
    };

    bool value() {
        if (!levels.empty() && !levels.back().object) {
            ++levels.back().items;
        }
        return true;
    }
    bool open(bool object) {
        value();
        if (levels.size() == kMaxScenarioNesting) {
            refuseAt(source, pathTo(levels.size()),
                     "at most " + std::to_string(kMaxScenarioNesting) + " levels of nesting");
        }
        levels.push_back(Level{object, {}, {}, 0});
        return true;
    }
    bool close() {
        levels.pop_back();
        return true;
    }

    // The place of the value being read in the outermost `depth` levels.
    std::string pathTo(std::size_t depth) const {
        std::string path;
        for (std::size_t i = 0; i < depth; ++i) {
            path += "/" + (levels[i].object ? levels[i].key : std::to_string(levels[i].items - 1));
        }
        return path;
    }

    const std::string& source;
    std::vector<Level> levels;
};

}  // namespace

void refuseAt(const std::string& sourceName, const std::string& path, const std::string& expected) {
    throw Tools::Failure(
        Tools::FailureKind::Usage,
        sourceName + ": " + (path.empty() ? "/" : path) + ": expected " + expected);
}

json parseScenarioJson(const ScenarioSource& source) {
    try {
        StrictnessCheck check(source.name);
        json::sax_parse(source.text, &check);
        return json::parse(source.text);
    } catch (const json::exception& error) {
        // what() begins with the library's "[json.exception.parse_error.101] ".
        const std::string what = error.what();
        const std::size_t bracket = what.find("] ");
        throw Tools::Failure(Tools::FailureKind::Usage,
                             source.name + ": not valid JSON: " +
                                 (bracket == std::string::npos ? what : what.substr(bracket + 2)));
    }
}

}  // namespace Quorvel::Sim
