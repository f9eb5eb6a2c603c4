// Informational replies, commands kept for compatibility that only answer, and help.
#include <algorithm>
#include <chrono>

#include "interpreter/command_table.h"
#include "interpreter/commands.h"
#include "interpreter/session.h"
#include "interpreter/version.h"
#include "platform/cpu.h"

namespace qv {

void cmdIsReady(TokenList& tokens) { replyOk(tokens); }
void cmdSetAlgorithm(TokenList& tokens) { replyOk(tokens); }
void cmdSetAlwaysRecalc(TokenList& tokens) { replyOk(tokens); }
void cmdDisconnect(TokenList&) {}
void cmdConnect(TokenList&) { valueError("not supported"); }

void cmdSolverTime(TokenList&) {
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - interpreter().startTime;
    reply("%f\n", elapsed.count());
}

void cmdShowSettings(TokenList&) { replyEndLine(); }

void cmdListAlgorithms(TokenList&) {
    reply("auto,Automatic selection (Vex CFR if enough RAM),Automatic selection\n");
    reply("vex_cfr,VEX_CFR,More volatile but faster and much better at low exploitabilities\n");
    reply("original_vex,Original Vex algorithm (about 2x faster than in 1.10),Uses less RAM; "
          "converges smoothly; less precise around 0\n");
}

void cmdGetCurrAlg(TokenList&) { reply("vex_cfr\n"); }

// Scripts and front ends check the version before relying on a command.
void cmdShowVersion(TokenList&) { reply("%s\n", kProgramVersion); }

void cmdGetInstructionSet(TokenList&) {
    if (cpuSupportsAvx2())
        reply("AVX2\n");
    else if (cpuSupportsAvx())
        reply("AVX\n");
    else
        reply("SSE3\n");
}

void cmdShowCpuInfo(TokenList&) {
    constexpr size_t kFeaturesPerLine = 8;
    CpuIdentity cpu = identifyCpu();
    replyText(cpu.vendor + "\n");
    replyText(cpu.brand + "\n");
    std::string line;
    for (size_t i = 0; i < cpu.features.size(); ++i) {
        char entry[32];
        snprintf(entry, sizeof entry, "%s %-13s", cpu.features[i].present ? "[x]" : "[ ]",
                 cpu.features[i].name);
        line += entry;
        if ((i + 1) % kFeaturesPerLine == 0 || i + 1 == cpu.features.size()) {
            line.erase(line.find_last_not_of(' ') + 1);
            replyText(line + "\n");
            line.clear();
        }
    }
    replyEndLine();
}

void cmdHelp(TokenList&) {
    std::vector<std::string> words;
    for (const CommandRow& row : commandTable())
        if (!row.name.starts_with("ai6_")) words.push_back(row.usage ? row.name + " " + row.usage : row.name);
    std::sort(words.begin(), words.end());
    for (const std::string& word : words) reply("%s\n", word.c_str());
    replyEndLine();
}

}  // namespace qv
