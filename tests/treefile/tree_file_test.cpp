// Tree files written and read back through the engine: what a save keeps comes back exactly (the
// regrets to the file's hundredth of a chip), the later streets are solved again on demand, and
// a file that is cut short, changed or unwritable ends in an error and never in a tree.
#include <gtest/gtest.h>
#include <omp.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "cards/combo_tables.h"
#include "error_text.h"
#include "interpreter/errors.h"
#include "solver/iteration.h"
#include "solver/resolve.h"
#include "solver/results.h"
#include "solver/settings.h"
#include "tree/tree_fixture.h"
#include "treefile/schematic_io.h"
#include "treefile/tree_file.h"
#include "codec/store_value_coder.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

// Every record of every decision node that a save keeps, in file units.
struct Snapshot {
    int iteration = 0;
    std::vector<std::vector<float>> regrets, sums;
};

Snapshot snapshot(SolverState& state, int keptBefore) {
    Snapshot s;
    s.iteration = state.iteration();
    for (uint32_t node = 0; node < state.nodes().size(); ++node) {
        const GameNode& n = state.nodes()[node];
        if (n.type != ActionType::Decision || n.street >= keptBefore) continue;
        for (auto [store, out] : {std::pair{state.regrets(node), &s.regrets}, {state.strategySums(node), &s.sums}})
            for (int b = 0; b < store->boards(); ++b) {
                out->emplace_back(size_t(store->actions() * store->hands(b)));
                store->saveRecord(b, out->back().data());
            }
    }
    return s;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

class TreeFileTest : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        solverSettings().threadCount = 1;
        // Thousands of small builds: a second thread would only spin between them.
        omp_set_num_threads(1);
        // Memory-backed where there is such a folder: the walk over damaged files writes thousands.
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        folder_ = base / ("tree_file_test_" + std::to_string(getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        fs::remove_all(folder_);
        solverSettings().recalcAccuracy = {};
        TreeTest::TearDown();
    }

    // A game on `board` with two in thirteen of the grid's cells in each range (none below the low
    // card), which keeps flop trees quick to solve.
    void buildGame(const std::string& board, const std::vector<std::string>& lines, int compression = 0) {
        setBoard(board);
        for (auto& range : gameSetup().ranges)
            for (int slot = 0; slot < kComboCount; ++slot) {
                const auto& cards = cardTables().cardsOfSlot[slot];
                const bool low = rankOf(cards[0]) < handRules().lowCard || rankOf(cards[1]) < handRules().lowCard;
                const int grid = cardTables().classOfSlot[slot], cell = (grid % 13 + 2 * (grid / 13)) % 13;
                const int player = &range == &gameSetup().ranges[0] ? 0 : 1;
                range[slot] = (cell == player || cell == player + 2) && !low ? 1.0 : 0.0;
            }
        addLines(lines);
        treeParams().requestedCompression = compression;
        runBuildSteps();
    }
    void solve(int iterations) {
        for (int i = 0; i < iterations; ++i) runIteration(*builtTree().solver, solverSettings());
    }
    std::vector<int> load(const fs::path& path) {
        std::vector<int> progress;
        loadTree(path, [&](int percent) { progress.push_back(percent); });
        return progress;
    }

    fs::path folder_;
};

const std::vector<std::string> kFlopLines = {"0 0 0 0 0 0", "0 0 0 0 0 50 50", "0 0 0 50 50 50 50", "50 50 50 50 50 50"};
const std::vector<std::string> kTurnLines = {"0 0 0 0", "0 0 0 50 50", "0 50 50 50 50", "50 150 150"};
const std::vector<std::string> kRiverLines = {"0 0", "0 50 50", "50 150 150"};

struct RoundTrip {
    const char* name;
    const char* board;
    const std::vector<std::string>* lines;
    int compression;
    SaveChoices choices;
    float rake;
    int lowCard;
};

class TreeFileRoundTrip : public TreeFileTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(TreeFileRoundTrip, KeepsWhatTheSaveKeepsAndSolvesTheRestAgain) {
    const RoundTrip c = GetParam();
    handRules().lowCard = c.lowCard;
    buildGame(c.board, *c.lines, c.compression);
    SolverState* state = builtTree().solver.get();
    state->setRake(c.rake, 30);
    treeParams().rakeFraction = c.rake;
    treeParams().potValues[0] = 7;
    treeParams().infoLines = {"#Type#test", "two  blanks", "#EffectiveStacks#100"};
    solve(12);
    const int firstStreet = state->firstStreet();
    const int kept = std::max(c.choices.resolvedStreet, firstStreet + 1);
    const Snapshot before = snapshot(*state, kept);
    const auto records = state->nodes().size();
    const fs::path path = folder_ / "game.tree";
    saveTree(path, c.choices);

    forgetProcessState();
    const std::vector<int> progress = load(path);
    ASSERT_TRUE(builtTree().present);
    state = builtTree().solver.get();
    EXPECT_EQ(state->nodes().size(), records);
    EXPECT_EQ(handRules().lowCard, c.lowCard);
    EXPECT_EQ(treeParams().potValues[0], 7);
    EXPECT_EQ(state->rakeFraction(), c.rake);
    EXPECT_EQ(state->actualCompression(), firstStreet == 1 ? c.compression : 0);
    EXPECT_EQ(treeParams().infoLines, (std::vector<std::string>{"#Type#test", "two  blanks", "#EffectiveStacks#100"}));
    EXPECT_EQ(builtTree().noEv, !c.choices.values);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()) &&
                std::adjacent_find(progress.begin(), progress.end()) == progress.end());

    const Snapshot after = snapshot(*state, kept);
    EXPECT_EQ(after.iteration, before.iteration);
    ASSERT_EQ(after.sums.size(), before.sums.size());
    for (size_t r = 0; r < before.sums.size(); ++r) ASSERT_EQ(after.sums[r], before.sums[r]) << r;
    for (size_t r = 0; r < before.regrets.size(); ++r)
        for (size_t i = 0; i < before.regrets[r].size(); ++i)
            ASSERT_NEAR(after.regrets[r][i], c.choices.values ? before.regrets[r][i] : 0.0f,
                        0.0051f + 1e-6f * std::fabs(before.regrets[r][i]))
                << r << " " << i;
    // The streets left to solving again have no stores until a reader needs them.
    EXPECT_EQ(state->subgames().droppedStreet(), kept <= 3 ? kept : -1);
    for (uint32_t node = 0; node < state->nodes().size(); ++node)
        if (state->nodes()[node].type == ActionType::Decision && state->nodes()[node].street >= kept) {
            ASSERT_EQ(state->regrets(node), nullptr);
        }
}

INSTANTIATE_TEST_SUITE_P(
    Games, TreeFileRoundTrip,
    ::testing::Values(RoundTrip{"FlopNoneCoded", "QsJh2h", &kFlopLines, 0, {}, 0, 0},
                      RoundTrip{"FlopFastPlain", "QsJh2h", &kFlopLines, 5, {true, 3, true}, 0, 0},
                      RoundTrip{"FlopMaxTurnsResolved", "QsJh2h", &kFlopLines, 4, {true, 2, false}, 0, 0},
                      RoundTrip{"FlopShortDeckRake", "QsJh9h", &kFlopLines, 2, {}, 0.05f, 4},
                      RoundTrip{"TurnRakeNoEv", "QsJh2h8d", &kTurnLines, 0, {false, 3, false}, 0.05f, 0},
                      RoundTrip{"RiverPlain", "QsJh2h8d3c", &kRiverLines, 0, {true, 3, true}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TreeFileTest, LoadedFlopTreeSolvesItsRiversToTheAccuracyAndContinuesFromTheSavedIteration) {
    buildGame("QsJh2h", kFlopLines);
    solve(20);
    const fs::path path = folder_ / "flop.tree";
    saveTree(path, {});
    forgetProcessState();
    load(path);
    SolverState& state = *builtTree().solver;
    solverSettings().recalcAccuracy[3] = 0.5;
    uint32_t river = 0;
    while (state.nodes()[river].type != ActionType::Decision || state.nodes()[river].street != 3) ++river;
    solveDroppedSubgame(state, river, 0);
    ASSERT_NE(state.regrets(river), nullptr);
    EXPECT_LE(subgameExploitability(state, subgameOf(state, river, 0)), 0.5);

    SolveSubgames(state, 3, {});
    const double saved = measureResults(state, solverSettings()).exploitability;
    solve(20);
    EXPECT_EQ(state.iteration(), 40);
    EXPECT_LT(measureResults(state, solverSettings()).exploitability, saved);
}

// Older versions, written here field by field as their layout has it: no solver data before
// version 4, no coding byte before 6, no info lines before 7, no rules before 8, no rake before 11.
std::string oldFile(int version, const SolverState& state) {
    std::string bytes = "AI6:";
    auto put = [&](auto v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); };
    put(int32_t(version));
    if (version >= 4) put(uint8_t(0));
    if (version >= 8) {
        for (uint8_t b : {0, 1}) put(b);  // full deck, exactly one hole card
        for (uint8_t c : {0, 1, 2, 3, 5, 4, 6, 7, 8}) put(c);  // flushes below straights
    }
    const BuiltTree& tree = builtTree();
    for (uint64_t mask : {tree.flop, tree.turn, tree.river}) put(mask);
    for (double pot : {0.0, 0.0, 100.0}) put(pot);
    for (const auto& range : tree.ranges) bytes.append(reinterpret_cast<const char*>(range.data()), range.size() * 8);
    struct Sink : BinaryWriter {
        std::string* out = nullptr;
        void write(const void* data, size_t count) override { out->append(static_cast<const char*>(data), count); }
    } sink;
    sink.out = &bytes;
    writeSchematicTree(sink, schematicRoot());
    put(int32_t(0));   // flags
    put(int32_t(-1));  // nothing left to solving again: every record's regrets, no strategies
    put(int32_t(9));   // iterations
    for (int i = 0; i < 6; ++i) put(0.0);
    if (version >= 11) put(0.0f), put(0.0f);
    put(int32_t(0));  // compression
    if (version < 4) return bytes;
    put(int32_t(-1));
    std::vector<const NodeStore*> stores;
    for (uint32_t node = 0; node < state.nodes().size(); ++node)
        if (state.nodes()[node].type == ActionType::Decision) stores.push_back(state.regrets(node));
    for (const NodeStore* store : stores)
        for (int b = 0; b < store->boards(); ++b) {
            const int32_t elements = store->actions() * store->hands(b);
            for (int32_t count : {elements, elements, 0, 0}) put(count);
        }
    if (version >= 6) put(uint8_t(1));
    for (const NodeStore* store : stores)
        for (int b = 0; b < store->boards(); ++b)
            for (int a = 0; a < store->actions(); ++a) {
                // Every regret 2.5 chips: 250 hundredths, zigzag coded 500.
                const std::vector<uint32_t> values(size_t(store->hands(b)), 500);
                std::vector<uint8_t> coded(storeValueBound(int(values.size()), 4));
                const size_t size = encodeStoreValues32(values.data(), int(values.size()), coded.data());
                put(int16_t(size));
                bytes.append(reinterpret_cast<const char*>(coded.data()), size);
            }
    if (version >= 7) {
        const std::string line = "#Type#v" + std::to_string(version);
        put(int32_t(1));
        put(int32_t(line.size()));
        bytes += line;
    }
    return bytes;
}

// Versions 4 and 5 code their value part without a coding byte; the test writes the plain form,
// which only a coding byte selects, so it covers 6 and later.
class OldVersions : public TreeFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(OldVersions, LoadWithTheDefaultsOfTheirVersion) {
    const int version = GetParam();
    buildGame("QsJh2h8d3c", kRiverLines);
    const fs::path path = folder_ / "old.tree";
    writeFile(path, oldFile(version, *builtTree().solver));
    forgetProcessState();
    handRules().lowCard = 3;
    treeParams().rakeFraction = 0.1f;
    load(path);
    ASSERT_TRUE(builtTree().present);
    const SolverState& state = *builtTree().solver;
    EXPECT_EQ(handRules().lowCard, 0);
    EXPECT_EQ(handRules().mustUseHoleCards, version >= 8 ? 1 : 0);
    EXPECT_EQ(handRules().customOrder, version >= 8);
    EXPECT_EQ(state.rakeFraction(), 0);
    EXPECT_EQ(treeParams().infoLines.size(), version >= 7 ? 1u : 0u);
    EXPECT_EQ(state.iteration(), version >= 4 ? 9 : 0);
    if (version >= 4) {
        std::vector<float> values(size_t(state.regrets(0)->actions() * state.regrets(0)->hands(0)));
        state.regrets(0)->saveRecord(0, values.data());
        EXPECT_EQ(values.front(), 2.5f);
    }
    if (version <= 10) { EXPECT_THROW(describeTreeFile(path), EngineError); }
}

INSTANTIATE_TEST_SUITE_P(Versions, OldVersions, ::testing::Values(3, 7, 8, 10, 11));

// Every prefix of a small file, and every byte of it changed, ends in an error and no tree, or
// (for a change that leaves valid values) in a complete tree with weights that set_range accepts.
TEST_F(TreeFileTest, CutOrChangedFilesEndInAnErrorAndNoTree) {
    buildGame("QsJh2h8d3c", {"0 0", "50 50"});
    solve(5);
    treeParams().infoLines = {"#Type#x"};
    for (bool plain : {false, true}) {
        const fs::path path = folder_ / "small.tree", bad = folder_ / "bad.tree";
        saveTree(path, SaveChoices{true, 3, plain});
        const std::string bytes = readFile(path);
        auto expectFailure = [&](const std::string& changed, size_t at) {
            writeFile(bad, changed);
            try {
                load(bad);
                ASSERT_TRUE(builtTree().present && builtTree().solver) << at;
                for (const auto& range : builtTree().solver->definition().ranges)
                    for (double w : range) ASSERT_TRUE(w >= 0 && w <= 1e9) << at;
            } catch (const EngineError&) {
                ASSERT_FALSE(builtTree().present) << at;
            }
        };
        for (size_t length = 0; length < bytes.size(); ++length) {
            writeFile(bad, bytes.substr(0, length));
            EXPECT_THROW(load(bad), EngineError) << length;
            ASSERT_FALSE(builtTree().present);
        }
        // The weights of the ranges are 21 KB of doubles, read alike: one byte in 64 is enough there.
        const size_t rangesStart = 4 + 4 + 12 + 24 + 24, rangesEnd = rangesStart + 2 * kComboCount * 8;
        for (size_t at = 0; at < bytes.size(); at += at >= rangesStart && at < rangesEnd ? 63 : 1)
            for (uint8_t flip : {0x01, 0xFF}) {
                std::string changed = bytes;
                changed[at] = char(changed[at] ^ flip);
                expectFailure(changed, at);
            }
    }
}

// What show_metadata prints of a file is the round-trip protocol script's; a file whose info lines
// name no type has none.
TEST_F(TreeFileTest, FailedWritesChangeNothingAndMetadataNeedsATypeLine) {
    buildGame("QsJh2h8d", kTurnLines);
    const fs::path target = folder_ / "kept.tree";
    writeFile(target, "old contents");
    EXPECT_EQ(errorOf([&] { saveTree((folder_ / "missing" / "x.tree").string(), {}); }),
              "can't open file (No such file or directory)");
    // A disk that fills up: the file size limit fails the writes as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string message = errorOf([&] { saveTree(target.string(), {}); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(message, "can't open file (File too large)");
    EXPECT_EQ(readFile(target), "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
    treeParams().infoLines = {"no type"};
    saveTree(target, {});
    EXPECT_EQ(errorOf([&] { describeTreeFile(target); }), "no metadata found");
    // Reading a file's metadata leaves no tree behind: nothing to save.
    EXPECT_EQ(errorOf([&] { saveTree(target, {}); }), "no tree to save");
}

// A file that is no tree at all is the round-trip protocol script's.
TEST_F(TreeFileTest, NewerAndVeryOldVersionsAreRefused) {
    const fs::path path = folder_ / "other.tree";
    for (const auto& [bytes, loading, describing] :
         std::vector<std::tuple<std::string, const char*, const char*>>{
             {std::string("AI6:\x0c\0\0\0", 8), "unsupported data format, update to latest version",
              "unsupported data format, update to latest version"},
             {std::string("AI6:\x0a\0\0\0", 8), "can't read from file (unexpected end of file)",
              "no metadata included, data format too old"}}) {
        writeFile(path, bytes);
        EXPECT_EQ(errorOf([&] { load(path); }), loading);
        EXPECT_EQ(errorOf([&] { describeTreeFile(path); }), describing);
    }
}

}  // namespace
}  // namespace qv::test
