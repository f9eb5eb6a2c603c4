#pragma once
// The solver engine's state for one built tree. It owns the node table made from the action
// records, both players' hand lists, the board states below chance nodes with their showdown
// tables, the segments the traversal walks, and every store attached to the decision nodes.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "solver/board_states.h"
#include "solver/compression.h"
#include "solver/hand_list.h"
#include "solver/node_store.h"
#include "solver/subgame_marks.h"
#include "tree/action_record.h"

namespace qv {

struct Segment;

// What a tree build hands to the solver engine: everything that decides the solver state, so
// that two processes given equal definitions build equal states (the workers of a shared solve).
// Only `lowCard` and `ranker` fall back to the process-wide hand rules when left unset.
struct GameDefinition {
    std::vector<ActionRecord> records;
    std::array<int, 3> flop{};   // card indices
    int turn = -1;               // card index, or -1
    int river = -1;
    std::array<std::vector<double>, 2> ranges;  // 1326 weights each, HandSlot order
    bool isomorphism = false;
    int compression = CompressionAuto;          // requested level
    std::optional<int> lowCard;                 // default: the evaluator's low card
    std::vector<double> deck;                   // 52 weights of the deck distribution; empty: uniform
    ShowdownRanker ranker;                      // default: the evaluator under the hole-card rule
    double precision = 0;                       // finer regret units: 2^precision
    bool riverStrategy = true;                  // river nodes keep strategy sums
    int numaGroups = 1;                         // blocks of the fast 16-bit sums
};

struct GameNode {
    ActionType type = ActionType::Decision;
    uint32_t parent = 0xFFFFFFFFu;
    int32_t player = 0;
    int32_t street = 1;
    double stake = 0;
    std::vector<uint32_t> children;
};

struct NodeCounts {
    int decision = 0;
    int showdown = 0;
    int fold = 0;
};

// The values that change the course of averaging, set whenever a compression level is applied.
struct Tuning {
    double exponent = 1.5;
    double cap = 262143.0;
    int iterationCap = 9000;
    int warmup = 0;
    int averagingDelay = 60;
};

// Bytes of the solver's storage if every value were a 32-bit float.
struct StorageSizes {
    double regrets = 0;
    double strategySums = 0;
    double auxiliary = 0;
    double total() const { return regrets + strategySums + auxiliary; }
};

struct CachedResults {
    int iteration = -1;  // -1: nothing cached
    double mes[2] = {0, 0};
    double ev[2] = {0, 0};
    double exploitability = 0;
    double meanEv = 0;
};

class SolverState {
public:
    explicit SolverState(const GameDefinition& game);
    ~SolverState();

    const std::vector<GameNode>& nodes() const { return nodes_; }
    NodeCounts counts() const { return counts_; }
    double largestStake() const { return largestStake_; }
    uint32_t flags() const { return flags_; }
    void setFlag(uint32_t flag, bool on) { flags_ = on ? flags_ | flag : flags_ & ~flag; }

    enum Flag : uint32_t { IncompleteTree = 1, IsomorphismOn = 2, NewTree = 4 };

    const GameDefinition& definition() const { return definition_; }
    int firstStreet() const { return firstStreet_; }
    CardMask firstBoard() const { return firstBoard_; }
    int flopSuits() const { return flopSuits_; }
    const SuitPermutation& suitRelabelling() const { return relabel_; }
    const HandList& hands(int player) const { return hands_[player]; }
    const std::array<HandList, 2>& handLists() const { return hands_; }
    const BoardStates& boards() const { return boards_; }
    const std::vector<Segment>& segments() const { return segments_; }
    double pairWeight() const { return pairWeight_; }

    // Null for nodes without stores: terminals, and decision nodes of a dropped street.
    NodeStore* regrets(uint32_t node) const { return regrets_[node].get(); }
    NodeStore* strategySums(uint32_t node) const { return sums_[node].get(); }
    // Releases to the system the stores of every decision node whose street is `street` or later.
    void releaseStores(int street);
    // Creates a decision node's stores, zeroed, unless it has them.
    void ensureStores(uint32_t node, Paging paging);
    SubgameMarks& subgames() { return subgames_; }
    const SubgameMarks& subgames() const { return subgames_; }
    size_t storeBytes() const;
    StorageSizes uncompressedStorage() const { return uncompressed_; }

    int requestedCompression() const { return requestedCompression_; }
    int actualCompression() const { return actualCompression_; }
    CompressionComponents components() const { return components_; }
    Tuning& tuning() { return tuning_; }
    const Tuning& tuning() const { return tuning_; }
    double valueScale() const { return valueScale_; }

    int iteration() const { return iteration_; }
    void setIteration(int iteration) { iteration_ = iteration; }

    void setRake(float fraction, float cap);
    float rakeFraction() const { return rakeFraction_; }
    float rakeCap() const { return rakeCap_; }

    CachedResults& results() { return results_; }

    // Resolves the board state of the cards dealt after the first board (user suits) to a
    // record index and the hand permutation to read it with; false when such a card cannot come.
    bool locateRecord(int level, int turn, int river, int& recordIndex, int& gather) const;
    // Maps a card given in the user's suits into the labelling the tree is solved in.
    int toSolvedCard(int card) const { return card < 0 ? card : relabelCard(card, relabel_); }
    int toUserCard(int card) const { return card < 0 ? card : relabelCard(card, unlabel_); }

private:
    void buildNodeTable(const std::vector<ActionRecord>& records);
    void chooseCompression();
    void createStores(uint32_t node, Paging paging);

    GameDefinition definition_;
    std::vector<GameNode> nodes_;
    NodeCounts counts_;
    double largestStake_ = 0;
    uint32_t flags_ = NewTree;

    int firstStreet_ = 1;
    CardMask firstBoard_ = 0;
    int flopSuits_ = 3;
    SuitPermutation relabel_ = kIdentitySuits;  // user suits to the suits the tree is solved in
    SuitPermutation unlabel_ = kIdentitySuits;
    std::array<HandList, 2> hands_;
    BoardStates boards_;
    std::vector<Segment> segments_;
    double pairWeight_ = 0;
    std::array<double, 2> rangeMass_{};

    std::vector<std::unique_ptr<NodeStore>> regrets_;
    std::vector<std::unique_ptr<NodeStore>> sums_;
    StorageSizes uncompressed_;
    SubgameMarks subgames_;

    int requestedCompression_ = CompressionAuto;
    int actualCompression_ = CompressionNone;
    CompressionComponents components_;
    Tuning tuning_;
    double valueScale_ = 1;

    int iteration_ = 0;
    float rakeFraction_ = 0;
    float rakeCap_ = 0;
    CachedResults results_;
};

// Tuning values for the components of a level in a tree of the given first street.
Tuning tuningFor(CompressionComponents components, int firstStreet);

// Flag words of the tree ("INCOMPLETE_TREE ISOMORPHISM_ON NEW_TREE") and of one node at one
// board state ("LOCKED COMBO_LOCKED"); empty without a state or a store.
std::string treeFlagsText(const SolverState* state);
std::string nodeFlagsText(const SolverState& state, int recordIndex, int turn, int river);

}  // namespace qv
