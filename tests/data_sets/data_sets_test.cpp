// Where data sets are found without --data-dir: the current folder, the last chosen one,
// then $XDG_DATA_HOME/vantrel and $XDG_DATA_DIRS/vantrel.
#include "test_support.hpp"
#include "ui/data_sets.hpp"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// A data set as packs spell it: the string file and the title pictures' folder.
fs::path make_set(const fs::path& dir) {
    write_bytes(dir / "vantrel.dat", "[Path]\r\nMovie\\\r\n");
    fs::create_directories(dir / "image" / "title");
    return dir;
}

class DataSetsTest : public ::testing::Test {
protected:
    TempDir tmp;
    DataSetPlaces places;

    void SetUp() override {
        places.current = tmp / "cwd";
        fs::create_directories(places.current);
        places.home = (tmp / "home").string();
        places.xdg_data_home = (tmp / "data_home").string();
        places.xdg_data_dirs = (tmp / "sys1").string() + ":" + (tmp / "sys2").string();
    }
};

TEST_F(DataSetsTest, AFolderHoldsASetWithTheStringFileAndTitlesOrHelp) {
    EXPECT_TRUE(holds_data_set(make_set(tmp / "a")));
    // Names as Windows packs spell them.
    write_bytes(tmp / "b" / "VANTREL.DAT", "");
    write_bytes(tmp / "b" / "Operation.dat", "");
    EXPECT_TRUE(holds_data_set(tmp / "b"));
    write_bytes(tmp / "c" / "vantrel.dat", "");  // a string file alone: some other folder
    EXPECT_FALSE(holds_data_set(tmp / "c"));
    fs::create_directories(tmp / "d" / "image" / "title");
    write_bytes(tmp / "d" / "operation.dat", "");
    EXPECT_FALSE(holds_data_set(tmp / "d"));
    fs::create_directories(tmp / "e" / "vantrel.dat");  // a folder by that name is no file
    fs::create_directories(tmp / "e" / "image" / "title");
    EXPECT_FALSE(holds_data_set(tmp / "e"));
    EXPECT_FALSE(holds_data_set(tmp / "missing"));
    EXPECT_FALSE(holds_data_set(""));
}

TEST_F(DataSetsTest, CurrentFolderComesFirstAndTheOthersStayChoosable) {
    make_set(places.current);
    const fs::path user = make_set(tmp / "data_home" / "vantrel" / "mine");
    const auto search = find_data_sets(places);
    ASSERT_TRUE(search.direct);
    EXPECT_EQ(*search.direct, places.current);
    EXPECT_EQ(search.found, std::vector<fs::path>{user});
}

TEST_F(DataSetsTest, DataRootsAreSearchedInOrderEachByName) {
    const fs::path b = make_set(tmp / "data_home" / "vantrel" / "b");
    const fs::path a = make_set(tmp / "data_home" / "vantrel" / "a");
    make_set(tmp / "data_home" / "vantrel" / ".demo-partial");  // being written
    fs::create_directories(tmp / "data_home" / "vantrel" / "empty");
    const fs::path demo = make_set(tmp / "sys2" / "vantrel" / "demo");
    const fs::path flat = make_set(tmp / "sys1" / "vantrel");  // a set copied straight into the root
    const auto search = find_data_sets(places);
    EXPECT_FALSE(search.direct);  // several: the player chooses
    EXPECT_EQ(search.found, (std::vector<fs::path>{a, b, flat, demo}));
}

TEST_F(DataSetsTest, XdgDefaultsApplyWhenUnsetOrEmptyAndRelativeEntriesAreIgnored) {
    places.xdg_data_home.reset();
    places.xdg_data_dirs = "";
    EXPECT_EQ(vantrel_data_roots(places),
              (std::vector<fs::path>{tmp / "home" / ".local/share/vantrel", "/usr/local/share/vantrel", "/usr/share/vantrel"}));
    EXPECT_EQ(user_demo_dir(places), tmp / "home" / ".local/share/vantrel/demo");
    places.xdg_data_home = "";
    places.xdg_data_dirs.reset();
    EXPECT_EQ(vantrel_data_roots(places).front(), tmp / "home" / ".local/share/vantrel");
    EXPECT_EQ(vantrel_data_roots(places).size(), 3U);
    places.xdg_data_home = "relative/data";
    places.xdg_data_dirs = "relative:" + (tmp / "sys1").string() + "::" + (tmp / "sys1").string();
    EXPECT_EQ(vantrel_data_roots(places),
              (std::vector<fs::path>{tmp / "home" / ".local/share/vantrel", tmp / "sys1" / "vantrel", tmp / "sys1" / "vantrel"}));
    // A root named twice yields its sets once.
    const fs::path demo = make_set(tmp / "sys1" / "vantrel" / "demo");
    EXPECT_EQ(find_data_sets(places).found, std::vector<fs::path>{demo});
}

TEST_F(DataSetsTest, AnAllRelativeDataDirsListMeansTheDefaults) {
    places.xdg_data_dirs = "share:./more";
    const auto roots = vantrel_data_roots(places);
    EXPECT_EQ(std::vector<fs::path>(roots.begin() + 1, roots.end()),
              (std::vector<fs::path>{"/usr/local/share/vantrel", "/usr/share/vantrel"}));
}

TEST_F(DataSetsTest, LastChosenIsUsedWhileItStillHoldsASet) {
    const fs::path mine = make_set(tmp / "packs" / "mine");
    const fs::path demo = make_set(tmp / "sys2" / "vantrel" / "demo");
    places.last_chosen = mine;
    auto search = find_data_sets(places);
    ASSERT_TRUE(search.direct);
    EXPECT_EQ(*search.direct, mine);
    EXPECT_EQ(search.found, (std::vector<fs::path>{mine, demo}));
    // Chosen from the list: listed once.
    places.last_chosen = demo;
    EXPECT_EQ(find_data_sets(places).found, std::vector<fs::path>{demo});
    fs::remove(mine / "vantrel.dat");
    places.last_chosen = mine;
    search = find_data_sets(places);
    EXPECT_FALSE(search.direct);
    EXPECT_EQ(search.found, std::vector<fs::path>{demo});
}

// When the chooser comes: asked, after a failed start, and when the sets found differ
// from the last start's (a set added later); never preselecting a set that failed.
TEST_F(DataSetsTest, ThePlanAsksWhenTheSetsChangedOrTheLastFailed) {
    const fs::path mine = make_set(tmp / "packs" / "mine");
    const fs::path demo = make_set(tmp / "sys2" / "vantrel" / "demo");
    const fs::path added = tmp / "data_home" / "vantrel" / "added";
    places.last_chosen = mine;
    const std::vector<fs::path> before{mine, demo};
    struct Case {
        const char* what;
        bool add, in_current, ask;
        std::optional<fs::path> failed;
        std::optional<fs::path> use, preselect;
    };
    const Case cases[] = {
        {"the same sets: the remembered one starts", false, false, false, {}, mine, {}},
        {"a set added later brings the chooser", true, false, false, {}, {}, mine},
        {"asked for", false, false, true, {}, {}, mine},
        {"the remembered one failed", false, false, false, mine, {}, demo},
        {"a set in the current folder starts even beside a new one", true, true, false, {}, places.current, {}},
        {"the current folder's set failed", false, true, false, places.current, {}, mine},
    };
    for (const Case& c : cases) {
        fs::remove_all(added);
        fs::remove_all(places.current / "vantrel.dat");
        if (c.add) make_set(added);
        if (c.in_current) make_set(places.current);
        const DataSetPlan plan = plan_data_set(find_data_sets(places), StartMemory{mine, before}, c.ask, c.failed);
        EXPECT_EQ(plan.use, c.use) << c.what;
        EXPECT_EQ(plan.preselect, c.preselect) << c.what;
        if (!plan.use) {
            EXPECT_EQ(plan.offered.size(), before.size() + (c.add ? 1U : 0U) + (c.in_current ? 1U : 0U)) << c.what;
        }
    }
    // The only set found starts whatever was remembered; when it fails it is offered, unselected.
    fs::remove_all(demo);
    fs::remove_all(places.current / "vantrel.dat");
    const DataSetSearch alone = find_data_sets(places);
    EXPECT_EQ(plan_data_set(alone, StartMemory{}, false, {}).use, mine);
    const DataSetPlan after_failure = plan_data_set(alone, StartMemory{mine, {mine}}, false, mine);
    EXPECT_FALSE(after_failure.use);
    EXPECT_EQ(after_failure.offered, std::vector<fs::path>{mine});
    EXPECT_FALSE(after_failure.preselect);
}

TEST_F(DataSetsTest, NothingAnywhereFindsNothing) {
    places.last_chosen = tmp / "gone";
    const auto search = find_data_sets(places);
    EXPECT_FALSE(search.direct);
    EXPECT_TRUE(search.found.empty());
}

}  // namespace
}  // namespace vantrel::test
