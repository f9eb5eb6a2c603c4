// Memory reports: the machine's physical memory and the estimated size of the built tree.
#include "platform/system_memory.h"
#include "tree/built_tree.h"
#include "tree/commands.h"
#include "tree/storage_estimate.h"
#include "tree/tree_params.h"

namespace qv {

void cmdShowMemory(TokenList&) {
    SystemMemory memory = systemMemory();
    uint64_t available = memory.totalBytes * uint64_t(100 - memory.loadPercent) / 100;
    reply("Total Physical Memory: %d MB\n", int(memory.totalBytes >> 20));
    reply("Available Phys Memory: %d MB\n", int(available >> 20));
    replyEndLine();
}

void cmdEstimateSchematicTree(TokenList&) {
    const BuiltTree& tree = builtTree();
    if (!tree.present) {
        reply("estimated tree size: n/a\n");
        return;
    }
    // Until the solver state reports the level in force, an explicit request is that level and
    // "auto" counts as uncompressed.
    long long megabytes = estimatedTreeMegabytes(uncompressedStorageBytes(tree), flopSuitCount(tree.flop),
                                                 treeParams().requestedCompression);
    reply("estimated tree size: %lld MB\n", megabytes);
}

}  // namespace qv
