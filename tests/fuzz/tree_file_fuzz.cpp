// libFuzzer target: arbitrary bytes as a tree file, loaded as load_tree loads it (head, lines,
// tree build, solver data in both array forms, info lines) and described as show_metadata does.
// Every input must end in a loaded tree or in an error with no tree, never in a crash, a hang or
// an allocation sized by the file.
#include <fcntl.h>
#include <omp.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "cards/card_tables.h"
#include "cards/game_setup.h"
#include "cards/hand_rules.h"
#include "interpreter/errors.h"
#include "tree/built_tree.h"
#include "tree/schematic_tree.h"
#include "tree/tree_builder.h"
#include "tree/tree_params.h"
#include "treefile/tree_file.h"

namespace {

std::string inputPath() {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/tree_file_fuzz_" + std::to_string(getpid());
}

void resetProcess() {
    qv::clearLines();
    qv::freeBuiltTree();
    qv::treeParams() = qv::TreeParams{};
    qv::handRules() = qv::HandRules{};
    qv::gameSetup() = qv::GameSetup{};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qv::buildCardTables();
    omp_set_num_threads(1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = inputPath();
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (descriptor < 0 || write(descriptor, data, size) != ssize_t(size)) __builtin_trap();
    close(descriptor);
    resetProcess();
    try {
        qv::loadTree(path, [](int) {});
        if (!qv::builtTree().present || !qv::builtTree().solver) __builtin_trap();
    } catch (const qv::EngineError&) {
        if (qv::builtTree().present) __builtin_trap();
    }
    try {
        (void)qv::describeTreeFile(path);
    } catch (const qv::EngineError&) {
    } catch (const std::invalid_argument&) {  // an unreadable effective stack: "Invalid value"
    } catch (const std::out_of_range&) {
    }
    return 0;
}
