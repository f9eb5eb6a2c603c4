#pragma once
// What a worker tells its master about itself with get_worker_data: the fingerprint of the tree
// it holds (0 without one) and what it has done for its masters so far.
#include <cstdint>
#include <vector>

namespace qv {

struct WorkerData {
    uint64_t fingerprint = 0;
    uint64_t passes = 0;             // traverse_subgames requests answered
    double traversalSeconds = 0;     // time spent inside them
    double cpuSeconds = 0;           // the process's processor time
    int64_t peakMegabytes = 0;       // the process's largest resident set
};

std::vector<uint8_t> encodeWorkerData(const WorkerData& data);
// Raises EngineError("bad payload") for anything but an encoded WorkerData.
WorkerData decodeWorkerData(const std::vector<uint8_t>& payload);

}  // namespace qv
