// The manual pages against the programs: every option a tool's usage text gives, and every
// command the runner's script takes, is on the tool's page.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "check/usage.hpp"
#include "frames/frames_tool.hpp"
#include "speedtable/speedtable_run.hpp"
#include "test_support.hpp"
#include "ui/app_options.hpp"
#include "vantrel_sim/script.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace {

using namespace vantrel;

std::string page(const std::string& name) { return test::slurp(std::string(VANTREL_SOURCE_DIR) + "/man/" + name); }

// "--name" for each option a text names; roff writes the dashes as "\-".
std::set<std::string> options_in(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    std::set<std::string> names;
    const std::regex option(R"(--[a-z][a-z-]*[a-z])");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        names.insert(it->str());
    return names;
}

// What a tool prints on a usage error.
template <class Run>
std::string usage_of(Run run, std::vector<const char*> argv) {
    std::ostringstream err;
    run(static_cast<int>(argv.size()), argv.data(), err);
    return err.str();
}

TEST(ManPages, EveryOptionOfEachToolsUsageIsOnItsPage) {
    struct Tool {
        const char* page;
        std::string usage;
    } const tools[] = {
        {"vantrel-sim.1", usage_of([](int c, const char* const* v, std::ostream& e) { (void)sim::parse_arguments(c, v, e); },
                                   {"vantrel-sim", "--help"})},
        {"vantrel-speedtable.1",
         usage_of([](int c, const char* const* v, std::ostream& e) { (void)speedtable::parse_arguments(c, v, e); },
                  {"vantrel-speedtable", "--help"})},
        {"vantrel-frames.1", usage_of([](int c, const char* const* v, std::ostream& e) {
                                 std::ostringstream out;
                                 (void)frames::run_frames_tool(c, v, out, e);
                             },
                             {"vantrel-frames"})},
        {"vantrel-check.1", std::string(check::kUsage)},
        {"vantrel.6", usage_of([](int c, const char* const* v, std::ostream& e) { (void)parse_app_options(c, v, e); },
                               {"vantrel", "--help"})},
    };
    for (const Tool& t : tools) {
        const std::set<std::string> usage = options_in(t.usage), documented = options_in(page(t.page));
        EXPECT_GE(usage.size(), 2u) << t.page << ": no usage text read\n" << t.usage;
        for (const std::string& option : usage) EXPECT_TRUE(documented.contains(option)) << option << " in " << t.page;
    }
    // Every tool's page says what its exit codes are, the usage error's 64 included.
    for (const char* name : {"vantrel-sim.1", "vantrel-speedtable.1", "vantrel-frames.1", "vantrel-check.1"}) {
        const std::string text = page(name);
        const auto status = text.find(".SH EXIT STATUS");
        ASSERT_NE(status, std::string::npos) << name;
        EXPECT_NE(text.find("64", status), std::string::npos) << name;
    }
    // Every program answers --help and --version, and its page says so.
    for (const char* name :
         {"vantrel.6", "vantrel-sim.1", "vantrel-speedtable.1", "vantrel-frames.1", "vantrel-check.1", "vantrel-demo-data.1"}) {
        const std::set<std::string> documented = options_in(page(name));
        EXPECT_TRUE(documented.contains("--help") && documented.contains("--version")) << name;
    }
}

TEST(ManPages, TheRunnersPageListsExactlyTheScriptCommands) {
    // The heads of the list under --script: ".B start", ".BI key \" c\"", ".BR \"wheel up\" ...".
    const std::string text = page("vantrel-sim.1");
    const auto from = text.find(".BI \\-\\-script");
    ASSERT_NE(from, std::string::npos);
    const auto begin = text.find(".RS", from), end = text.find(".RE", from);
    ASSERT_LT(begin, end);
    std::set<std::string> listed;
    const std::regex head(R"(\.TP\n\.B[IR]? "?([a-z]+))");
    const std::string block = text.substr(begin, end - begin);
    for (auto it = std::sregex_iterator(block.begin(), block.end(), head); it != std::sregex_iterator(); ++it)
        listed.insert((*it)[1].str());
    const std::set<std::string> commands(sim::kScriptCommands.begin(), sim::kScriptCommands.end());
    EXPECT_EQ(listed, commands);
    // The table is the parser's: a word outside it is refused.
    std::istringstream script("0 wheel up\n100 horn\n");
    const auto parsed = sim::parse_script(script, "s");
    ASSERT_FALSE(parsed);
    EXPECT_EQ(parsed.error().line, 2);
}

}  // namespace
