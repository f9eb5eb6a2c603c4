#pragma once
// The query commands driven as the interpreter drives them, on the games of the protocol tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interpreter/session_fixture.h"
#include "solver/iteration.h"
#include "solver/settings.h"
#include "tree/built_tree.h"
#include "tree/tree_builder.h"

namespace qv::testing {

class CommandTest : public FreshSession {
protected:
    void TearDown() override {
        freeBuiltTree();
        FreshSession::TearDown();
    }

    // Runs every line of a script under tests/protocol/data, then solves a few iterations.
    static void solveGame(const char* script, int iterations) {
        const auto path = std::filesystem::path(__FILE__).parent_path() / "../protocol/data" / script;
        std::ifstream in(path);
        ASSERT_TRUE(in) << path;
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) {
                ASSERT_EQ(run(line).rfind("ERROR", 0), std::string::npos) << line;
            }
        ASSERT_TRUE(builtTree().present);
        solverSettings().threadCount = 1;
        for (int i = 0; i < iterations; ++i) runIteration(*builtTree().solver, solverSettings());
    }

    // The numbers of each line of a reply, "END" left out.
    static std::vector<std::vector<double>> numbers(const std::string& reply) {
        std::vector<std::vector<double>> lines;
        std::istringstream in(reply);
        for (std::string line; std::getline(in, line);) {
            if (line == "END") continue;
            std::istringstream words(line);
            lines.emplace_back();
            for (std::string w; words >> w;) lines.back().push_back(std::stod(w));
        }
        return lines;
    }
    static double number(const std::string& reply) { return numbers(reply).at(0).at(0); }

    // "OOP 1 IP 0.5 c 0.3 b50 0.7" as label and number pairs.
    static std::vector<std::pair<std::string, double>> pairs(const std::string& line) {
        std::vector<std::pair<std::string, double>> out;
        std::istringstream in(line);
        for (std::string label, value; in >> label >> value;) out.push_back({label, std::stod(value)});
        return out;
    }
};

}  // namespace qv::testing
