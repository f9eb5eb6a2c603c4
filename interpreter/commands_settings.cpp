// Process and runtime settings, switches and the end string.
#include <climits>

#include "cards/hand_rules.h"
#include "interpreter/arguments.h"
#include "interpreter/commands.h"
#include "interpreter/session.h"
#include "platform/cpu.h"
#include "platform/process.h"
#include "solver/settings.h"

namespace qv {

namespace {

// The common shape of a switch command: a "0" or "1" argument stored into one setting.
void setSwitch(TokenList& tokens, bool& setting) {
    setting = switchArgument(tokens, 1);
    replyOk(tokens);
}

void setWholeNumber(TokenList& tokens, int& setting, int lowest, int highest) {
    setting = wholeNumberIn(tokens, 1, lowest, highest);
    replyOk(tokens);
}

}  // namespace

void cmdSetEndString(TokenList& tokens) {
    interpreter().endString = tokens[1];
    replyOk(tokens);
}

// More threads than a few per hardware thread only slow a solve down, and the OpenMP runtime cannot
// create tens of thousands of them (each needs a stack): such a count is refused where it enters,
// with the argument error (a departure: any positive count used to be taken).
constexpr int kThreadsPerHardwareThread = 4;

void cmdSetThreads(TokenList& tokens) {
    int n = std::stoi(tokens[1]);
    if (n > kThreadsPerHardwareThread * hardwareThreadCount()) argError(tokens);
    solverSettings().threadCount = n < 1 ? interpreter().startupThreadCount : n;
    replyOk(tokens);
}

void cmdSetPriorityClass(TokenList& tokens) {
    static const struct {
        const char* word;
        PriorityClass priority;
    } classes[] = {
        {"idle", PriorityClass::Idle},     {"normal", PriorityClass::Normal},
        {"high", PriorityClass::High},     {"realtime", PriorityClass::Realtime},
        {"below_normal", PriorityClass::BelowNormal}, {"above_normal", PriorityClass::AboveNormal},
    };
    for (const auto& c : classes) {
        if (tokens[1] == c.word) {
            setProcessPriorityClass(c.priority);
            replyOk(tokens);
            return;
        }
    }
    argError(tokens);
}

void cmdSetInfoFreq(TokenList& tokens) { setWholeNumber(tokens, solverSettings().infoFrequency, 1, INT_MAX); }
void cmdSetSimdLevel(TokenList& tokens) { setWholeNumber(tokens, solverSettings().simdLevel, 1, 16); }
void cmdSetEvalMode(TokenList& tokens) { setWholeNumber(tokens, solverSettings().evalMode, 0, 3); }
void cmdSetEvalCap(TokenList& tokens) { setWholeNumber(tokens, solverSettings().evalCap, 1, 4096); }
void cmdSetPrefetchMode(TokenList& tokens) { setWholeNumber(tokens, solverSettings().prefetchMode, 0, 2); }
void cmdSetScheduler(TokenList& tokens) { setWholeNumber(tokens, solverSettings().scheduler, 0, 2); }
void cmdSetMustUseHoleCards(TokenList& tokens) { setWholeNumber(tokens, handRules().mustUseHoleCards, 0, 2); }

void cmdSetEvalFlag(TokenList& tokens) {
    if (tokens[1] != "alt1") argError(tokens);
    uint32_t& flags = solverSettings().evalFlags;
    flags = switchArgument(tokens, 2) ? (flags | 1u) : (flags & ~1u);
    replyOk(tokens);
}

void cmdSetPrecision(TokenList& tokens) {
    solverSettings().precision = decimalIn(tokens, 1, -2.0, 2.0);
    replyOk(tokens);
}

void cmdEnableAdaptivePrecision(TokenList& tokens) { setSwitch(tokens, solverSettings().adaptivePrecision); }
void cmdEnableAvx512(TokenList& tokens) { setSwitch(tokens, solverSettings().avx512); }
void cmdEnableRiverStrategy(TokenList& tokens) { setSwitch(tokens, solverSettings().riverStrategy); }
void cmdEnableUiNotifications(TokenList& tokens) { setSwitch(tokens, solverSettings().uiNotifications); }
void cmdEnableProgressBar(TokenList& tokens) { setSwitch(tokens, solverSettings().progressBar); }
void cmdEnablePerfCounters(TokenList& tokens) { setSwitch(tokens, solverSettings().perfCounters); }

void cmdEnableNuma(TokenList& tokens) {
    solverSettings().numa = tokens[1] == "fake" ? 2 : int(switchArgument(tokens, 1));
    replyOk(tokens);
}

void cmdIgnoreMemCheck(TokenList& tokens) {
    if (tokens[1] != "on" && tokens[1] != "off") argError(tokens);
    replyOk(tokens);
}

}  // namespace qv
