#include "treefile/solver_data.h"

#include <bit>
#include <cmath>
#include <vector>

#include "treefile/array_source.h"
#include "treefile/file_head.h"

namespace qv {

namespace {

constexpr int kLargestIteration = 1 << 30;
constexpr uint32_t kKnownFlags = SolverState::IncompleteTree | SolverState::IsomorphismOn | SolverState::NewTree;

// Hundredths of a chip, the file's unit of value, as zigzag-coded whole numbers.
uint32_t toHundredths(float chips) {
    const double v = std::clamp(std::nearbyint(double(chips) * 100.0), -2147483647.0, 2147483647.0);
    const int32_t whole = int32_t(v);
    return (uint32_t(whole) << 1) ^ uint32_t(whole >> 31);
}

float fromHundredths(uint32_t coded) {
    const int32_t whole = int32_t(coded >> 1) ^ -int32_t(coded & 1);
    return float(whole) * 0.01f;
}

bool keeps(const GameNode& node, int subgameStreet) {
    return node.type == ActionType::Decision && (subgameStreet < 0 || node.street < subgameStreet);
}

// The kept nodes in node-table order, and the work of each step for the progress report.
std::vector<uint32_t> keptNodes(const SolverState& state, int subgameStreet) {
    std::vector<uint32_t> kept;
    for (uint32_t i = 0; i < state.nodes().size(); ++i)
        if (keeps(state.nodes()[i], subgameStreet)) kept.push_back(i);
    return kept;
}

struct RecordBuffer {
    std::vector<float> values;
    std::vector<uint32_t> wide;
    std::vector<uint16_t> high, low;

    float* reserve(const NodeStore& store, int board) {
        values.resize(size_t(store.actions()) * size_t(store.hands(board)));
        wide.resize(size_t(store.hands(board)));
        high.resize(wide.size());
        low.resize(wide.size());
        return values.data();
    }
};

void putRegrets(ArraySink& sink, NodeStore& store, int board, RecordBuffer& buffer) {
    float* values = buffer.reserve(store, board);
    store.saveRecord(board, values);
    const int n = store.hands(board);
    for (int a = 0; a < store.actions(); ++a) {
        for (int h = 0; h < n; ++h) buffer.wide[h] = toHundredths(values[size_t(a) * n + h]);
        sink.put32(buffer.wide.data(), n);
    }
}

void getRegrets(ArraySource& source, NodeStore& store, int board, RecordBuffer& buffer) {
    float* values = buffer.reserve(store, board);
    const int n = store.hands(board);
    for (int a = 0; a < store.actions(); ++a) {
        source.get32(buffer.wide.data(), n);
        for (int h = 0; h < n; ++h) values[size_t(a) * n + h] = fromHundredths(buffer.wide[h]);
    }
    store.loadRecord(board, values);
}

void putSums(ArraySink& sink, NodeStore& store, int board, RecordBuffer& buffer) {
    float* values = buffer.reserve(store, board);
    store.saveRecord(board, values);
    const int n = store.hands(board);
    for (int a = 0; a < store.actions(); ++a) {
        for (int h = 0; h < n; ++h) {
            const uint32_t bits = std::bit_cast<uint32_t>(values[size_t(a) * n + h]);
            buffer.high[h] = uint16_t(bits >> 16);
            buffer.low[h] = uint16_t(bits);
        }
        sink.put16(buffer.high.data(), n);
        sink.put16(buffer.low.data(), n);
    }
}

void getSums(ArraySource& source, NodeStore& store, int board, RecordBuffer& buffer) {
    float* values = buffer.reserve(store, board);
    const int n = store.hands(board);
    for (int a = 0; a < store.actions(); ++a) {
        source.get16(buffer.high.data(), n);
        source.get16(buffer.low.data(), n);
        for (int h = 0; h < n; ++h) {
            const float sum = std::bit_cast<float>(uint32_t(buffer.high[h]) << 16 | buffer.low[h]);
            if (!(sum >= 0 && sum <= 3.0e38f)) invalidFile();
            values[size_t(a) * n + h] = sum;
        }
    }
    store.loadRecord(board, values);
}

// Counts nodes done across the steps of reading and reports each new whole percent.
class ProgressCount {
public:
    ProgressCount(size_t total, const std::function<void(int)>& report) : total_(total), report_(report) {}
    void nodeDone() {
        const int percent = total_ ? int(++done_ * 100 / total_) : 100;
        if (percent != shown_) report_(shown_ = percent);
    }
    void start() { report_(shown_ = 0); }
    void end() {
        if (shown_ != 100) report_(100);
    }

private:
    size_t total_, done_ = 0;
    const std::function<void(int)>& report_;
    int shown_ = -1;
};

}  // namespace

void writeSolverHeader(BinaryWriter& out, const SolverHeader& header) {
    out.put<int32_t>(int32_t(header.flags));
    out.put<int32_t>(header.subgameStreet);
    out.put<int32_t>(header.iteration);
    for (double v : {header.results.mes[0], header.results.mes[1], header.results.ev[0], header.results.ev[1],
                     header.results.exploitability, header.results.meanEv})
        out.put(v);
    out.put(header.rakeFraction);
    out.put(header.rakeCap);
}

SolverHeader readSolverHeader(BinaryReader& in) {
    SolverHeader header;
    header.flags = uint32_t(in.i32());
    header.subgameStreet = in.i32();
    header.iteration = in.i32();
    CachedResults& r = header.results;
    for (double* v : {&r.mes[0], &r.mes[1], &r.ev[0], &r.ev[1], &r.exploitability, &r.meanEv}) {
        *v = in.f64();
        if (!std::isfinite(*v)) invalidFile();
    }
    if (in.version() >= 11) {
        header.rakeFraction = in.get<float>();
        header.rakeCap = in.get<float>();
    }
    const bool valid = !(header.flags & ~kKnownFlags) && (header.subgameStreet == -1 || header.subgameStreet >= 2) &&
                       header.iteration >= 0 && header.iteration <= kLargestIteration &&
                       header.rakeFraction >= 0 && header.rakeFraction <= 1 && header.rakeCap >= 0 &&
                       std::isfinite(header.rakeCap);
    if (!valid) invalidFile();
    return header;
}

void writeSolverData(BinaryWriter& out, SolverState& state, int subgameStreet, const ArrayChoice& choice) {
    out.put<int32_t>(state.results().iteration);
    const std::vector<uint32_t> kept = keptNodes(state, subgameStreet);
    for (uint32_t node : kept) {
        NodeStore& regrets = *state.regrets(node);
        NodeStore* sums = state.strategySums(node);
        for (int b = 0; b < regrets.boards(); ++b) {
            const int32_t elements = int32_t(regrets.actions() * regrets.hands(b));
            for (int32_t count : {elements, sums ? elements : 0, 0, 0}) out.put(count);
        }
    }
    RecordBuffer buffer;
    if (choice.values) {
        auto sink = startArrays(out, choice.plain, choice.folder);
        for (uint32_t node : kept)
            for (int b = 0; b < state.regrets(node)->boards(); ++b) putRegrets(*sink, *state.regrets(node), b, buffer);
        sink->finish();
    }
    if (subgameStreet == -1) return;
    auto sink = startArrays(out, choice.plain, choice.folder);
    for (uint32_t node : kept)
        if (NodeStore* sums = state.strategySums(node))
            for (int b = 0; b < sums->boards(); ++b) putSums(*sink, *sums, b, buffer);
    sink->finish();
}

void readSolverData(FileReader& in, SolverState& state, const SolverHeader& header, bool values,
                    const std::function<void(int)>& progress) {
    const int resultsIteration = in.i32();
    if (resultsIteration < -1 || resultsIteration > header.iteration) invalidFile();
    state.results() = header.results;
    state.results().iteration = resultsIteration;

    const std::vector<uint32_t> kept = keptNodes(state, header.subgameStreet);
    const bool strategies = header.subgameStreet != -1;
    ProgressCount count(kept.size() * (1 + values + strategies), progress);
    count.start();
    for (uint32_t node : kept) {
        NodeStore& regrets = *state.regrets(node);
        const NodeStore* sums = state.strategySums(node);
        for (int b = 0; b < regrets.boards(); ++b) {
            const int32_t elements = int32_t(regrets.actions() * regrets.hands(b));
            for (int32_t expected : {elements, sums ? elements : 0, 0, 0})
                if (in.i32() != expected) invalidFile();
        }
        count.nodeDone();
    }
    RecordBuffer buffer;
    if (values) {
        auto source = openArrays(in, in.version() >= 6);
        for (uint32_t node : kept) {
            for (int b = 0; b < state.regrets(node)->boards(); ++b)
                getRegrets(*source, *state.regrets(node), b, buffer);
            count.nodeDone();
        }
    }
    if (strategies) {
        auto source = openArrays(in, true);
        for (uint32_t node : kept) {
            if (NodeStore* sums = state.strategySums(node))
                for (int b = 0; b < sums->boards(); ++b) getSums(*source, *sums, b, buffer);
            count.nodeDone();
        }
    }
    count.end();
}

}  // namespace qv
