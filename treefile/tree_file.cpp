#include "treefile/tree_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>

#include "cards/combo_tables.h"
#include "cards/game_setup.h"
#include "cards/hand_rules.h"
#include "interpreter/errors.h"
#include "solver/results.h"
#include "solver/settings.h"
#include "tree/built_tree.h"
#include "tree/tree_builder.h"
#include "tree/tree_params.h"
#include "treefile/file_head.h"
#include "treefile/schematic_io.h"
#include "treefile/solver_data.h"

namespace qv {

namespace {

constexpr size_t kMetadataTail = 8192;
constexpr char kTypeMark[] = "#Type#";
constexpr char kStackMark[] = "#EffectiveStacks#";

// True when the schematic tree is the one the solver state was built from: every node carries a
// record index (lines added since have none) and there are as many as records.
size_t countBuiltNodes(const SchematicNode& node, bool& complete) {
    complete = complete && node.recordIndex >= 0;
    size_t count = 1;
    for (const auto& entry : node.children) count += countBuiltNodes(*entry.second, complete);
    return count;
}

FileHead headOfBuiltTree(const BuiltTree& tree, bool values) {
    FileHead head;
    head.noEv = tree.noEv || !values;
    head.lowCard = tree.lowCard;
    head.mustUseHoleCards = handRules().mustUseHoleCards;
    head.handTypeOrder = handRules().positionToCategory;
    head.flop = tree.flop;
    head.turn = tree.turn;
    head.river = tree.river;
    std::copy(std::begin(treeParams().potValues), std::end(treeParams().potValues), head.potValues);
    head.ranges = tree.ranges;
    return head;
}

// The first street left to solving again: never the tree's own first street (the whole tree
// would be one subgame), and never a street that is already dropped.
int resolvedStreetOf(const SolverState& state, int wanted) {
    int street = std::max(wanted, state.firstStreet() + 1);
    const int dropped = state.subgames().droppedStreet();
    return dropped >= 0 ? std::min(street, dropped) : street;
}

void applyHead(const FileHead& head) {
    HandRules& rules = handRules();
    rules.lowCard = head.lowCard;
    rules.mustUseHoleCards = head.mustUseHoleCards;
    setHandTypeOrder(rules, head.handTypeOrder);
    gameSetup().board = BoardState{head.flop, head.turn, head.river};
    gameSetup().ranges = head.ranges;
    std::copy(std::begin(head.potValues), std::end(head.potValues), treeParams().potValues);
}

// The solver state as the header describes it; the stores of the street left to solving again
// are released before any array is read, so they never take memory.
void applySolverHeader(SolverState& state, const SolverHeader& header) {
    const int street = header.subgameStreet;
    if (street >= 2 && street <= state.firstStreet()) invalidFile();
    state.setIteration(header.iteration);
    state.setFlag(SolverState::NewTree, header.flags & SolverState::NewTree);
    treeParams().rakeFraction = header.rakeFraction;
    treeParams().rakeCap = header.rakeCap;
    state.setRake(header.rakeFraction, header.rakeCap);
    const bool drops = street >= 2 && street <= 3;
    if (drops) {
        state.releaseStores(street);
        state.subgames().setDroppedStreet(street);
    }
    state.setFlag(SolverState::IncompleteTree, drops);
}

void readTree(FileReader& in, const std::function<void(int)>& progress) {
    readMagicAndVersion(in, "invalid file");
    const FileHead head = readHeadFields(in);
    applyHead(head);
    replaceSchematicTree(readSchematicTree(in, in.size() - in.position()));
    const SolverHeader header = readSolverHeader(in);
    const int level = in.i32();
    if (level < CompressionAuto || level > CompressionFast) invalidFile();
    treeParams().requestedCompression = level;

    checkBuildInputs();
    runBuildSteps(BuildChoices{(header.flags & SolverState::IsomorphismOn) != 0});
    BuiltTree& tree = builtTree();
    SolverState& state = *tree.solver;
    applySolverHeader(state, header);
    if (in.version() >= 4) {
        readSolverData(in, state, header, !head.noEv, progress);
    } else {
        // The arrays of older files are laid out as no later solver keeps them: such a file
        // brings its game, and the solve starts again.
        state.setIteration(0);
    }
    tree.noEv = head.noEv;
    treeParams().infoLines.clear();
    if (in.version() >= 7) treeParams().infoLines = readInfoLines(in, in.size() - in.position());
}

std::string numberText(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string rangeText(const std::vector<double>& slotWeights) {
    const std::vector<double> weights = toComboOrder(std::span<const double>(slotWeights));
    std::string text;
    for (size_t i = 0; i < weights.size(); ++i) text += numberText(i ? " %g" : "%g", weights[i]);
    return text;
}

std::vector<std::string> tailInfoLines(FileReader& in) {
    const uint64_t start = in.size() > kMetadataTail ? in.size() - kMetadataTail : 0;
    std::vector<uint8_t> tail(size_t(in.size() - start));
    if (in.readAt(start, tail.data(), tail.size()) != tail.size()) throw EngineError("no metadata found");
    const auto mark = std::search(tail.begin(), tail.end(), kTypeMark, kTypeMark + std::strlen(kTypeMark));
    if (mark == tail.end() || mark - tail.begin() < 8) throw EngineError("no metadata found");
    const size_t offset = size_t(mark - tail.begin()) - 8;
    MemoryReader section(tail.data() + offset, tail.size() - offset);
    return readInfoLines(section, tail.size() - offset);
}

}  // namespace

void saveTree(const std::string& path, const SaveChoices& choices) {
    BuiltTree& tree = builtTree();
    // The command checks this first; the engine does too, for callers that are not the command.
    if (!tree.present || !tree.solver) throw EngineError("no tree to save");
    SolverState& state = *tree.solver;
    bool complete = true;
    if (countBuiltNodes(schematicRoot(), complete) != state.nodes().size() || !complete)
        throw EngineError("lines changed since the tree was built");
    // A complete tree's results are measured afresh whenever asked for; the file keeps them so
    // that the loaded tree, whose later streets are solved again, reports the saved solve.
    if (!(state.flags() & SolverState::IncompleteTree) && state.iteration() > 0)
        measureResults(state, solverSettings());

    SolverHeader header;
    header.flags = state.flags();
    header.subgameStreet = resolvedStreetOf(state, choices.resolvedStreet);
    header.iteration = state.iteration();
    header.results = state.results();
    header.rakeFraction = state.rakeFraction();
    header.rakeCap = state.rakeCap();
    const FileHead head = headOfBuiltTree(tree, choices.values);

    SafeFileWriter out(path);
    writeHead(out, head);
    writeSchematicTree(out, schematicRoot());
    writeSolverHeader(out, header);
    out.put<int32_t>(state.actualCompression());
    writeSolverData(out, state, header.subgameStreet, ArrayChoice{!head.noEv, choices.plain, folderOf(path)});
    writeInfoLines(out, treeParams().infoLines);
    out.commit();
}

void loadTree(const std::string& path, const std::function<void(int)>& progress) {
    freeBuiltTree();
    clearLines();
    try {
        FileReader in(path);
        readTree(in, progress);
    } catch (...) {
        freeBuiltTree();
        throw;
    }
}

std::string describeTreeFile(const std::string& path) {
    freeBuiltTree();
    FileReader in(path);
    readMagicAndVersion(in, "invalid file (not Quorvane?)");
    if (in.version() <= 10) throw EngineError("no metadata included, data format too old");
    const FileHead head = readHeadFields(in);

    int stack = 0;
    std::string collected = " ";
    for (const std::string& line : tailInfoLines(in)) {
        if (line.starts_with(kStackMark)) {
            stack = std::stoi(line.substr(std::strlen(kStackMark)));
        } else {
            collected += "\n" + line;
        }
    }
    std::string text = "r\nROOT\n" + cardsToText(head.flop);
    for (uint64_t card : {head.turn, head.river})
        if (card) text += " " + cardText(lowestCard(card));
    text += " \n";
    for (double pot : head.potValues) text += numberText("%g ", pot);
    text += "\n1 children\nflags: INCOMPLETE_TREE ISOMORPHISM_ON \n\n" + std::to_string(stack) + "\n";
    text += rangeText(head.ranges[1]) + " \n" + rangeText(head.ranges[0]) + collected + "\n";
    return text;
}

}  // namespace qv
