#include "workers/worker_data.h"

#include "solver/byte_stream.h"

namespace qv {

std::vector<uint8_t> encodeWorkerData(const WorkerData& data) {
    ByteWriter out;
    out.put<uint64_t>(data.fingerprint);
    out.put<uint64_t>(data.passes);
    out.put<double>(data.traversalSeconds);
    out.put<double>(data.cpuSeconds);
    out.put<int64_t>(data.peakMegabytes);
    return std::move(out.bytes());
}

WorkerData decodeWorkerData(const std::vector<uint8_t>& payload) {
    ByteReader in(payload);
    WorkerData data;
    data.fingerprint = in.get<uint64_t>();
    data.passes = in.get<uint64_t>();
    data.traversalSeconds = in.get<double>();
    data.cpuSeconds = in.get<double>();
    data.peakMegabytes = in.get<int64_t>();
    if (!in.atEnd()) throw EngineError("bad payload");
    return data;
}

}  // namespace qv
