#pragma once
// Problems of a data file, collected instead of stopping at the first: the readers fill
// a sink when the checker passes one; without a sink they keep the program's rule (the
// first error, its message, the end).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

enum class Severity { Error, Warning };

struct Problem {
    Severity severity = Severity::Error;
    std::string code;     // stable, e.g. "route.speedunit.backwards"
    std::string file;     // as named by the data set
    int line = 0;         // 1-based; 0 when the problem has no line
    std::optional<int32_t> frame;   // route position, where one applies
    std::optional<double> metres;   // distance of that frame along the route
    std::string message;  // the program's own message where it would stop
    std::string detail;   // what it concerns: the file named, the value read
    std::string hint;     // what to do about it
};

class ProblemSink {
public:
    void add(Problem p) { problems_.push_back(std::move(p)); }
    void error(std::string code, std::string file, int line, std::string message, std::string detail = {}) {
        add(Problem{Severity::Error, std::move(code), std::move(file), line, {}, {}, std::move(message),
                    std::move(detail), {}});
    }
    void warning(std::string code, std::string file, int line, std::string message, std::string detail = {}) {
        add(Problem{Severity::Warning, std::move(code), std::move(file), line, {}, {}, std::move(message),
                    std::move(detail), {}});
    }
    // A line shaped like a key ("[...]") that no key test of a reader took: a misspelt key,
    // whose lines the program skips without a word.
    void unknown_key(std::string code, std::string file, int line, const std::string& text) {
        if (!text.starts_with('[') || text.find(']') == std::string::npos) return;
        warning(std::move(code), std::move(file), line, "no such key: " + text, text);
    }
    [[nodiscard]] const std::vector<Problem>& problems() const { return problems_; }
    [[nodiscard]] std::vector<Problem>& problems() { return problems_; }

    // The line of each record a collecting reader kept, by list key (and of single keys
    // such as "[LineName]"), so later checks can point at the record they judge.
    void note_line(std::string_view key, int line) { lines_[std::string(key)].push_back(line); }
    // The line of record `index` of list `key`; 0 when unknown.
    [[nodiscard]] int line_of(std::string_view key, std::size_t index) const {
        const auto it = lines_.find(key);
        if (it == lines_.end() || index >= it->second.size()) return 0;
        return it->second[index];
    }

private:
    std::vector<Problem> problems_;
    std::map<std::string, std::vector<int>, std::less<>> lines_;
};

}  // namespace vantrel
