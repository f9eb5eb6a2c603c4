// Start-up in its fixed order: processor check, start-up variables, options, session flags,
// priority, thread pool, banner, card tables, then --var, --cmd, the configuration script, the
// script argument, --pscmd and finally the command loop.
#include "interpreter/startup.h"

#include <omp.h>

#include <cstdio>
#include <iostream>

#include "cards/card_tables.h"
#include "interpreter/command_line.h"
#include "interpreter/dispatch.h"
#include "interpreter/line_forwarding.h"
#include "interpreter/server.h"
#include "interpreter/session.h"
#include "interpreter/variables.h"
#include "platform/console.h"
#include "platform/cpu.h"
#include "platform/files.h"
#include "platform/process.h"
#include "solver/settings.h"

namespace qv {

namespace {

constexpr const char* kConfigScriptName = "quorvane_config.txt";

void requireProcessor() {
    if (!cpuSupportsAvx()) {
        fputs("Error: AVX-compatible CPU is required.\n", stderr);
        endProcess(1);
    }
    variables().set("cpu_instruction_set", "AVX");
    if (!cpuSupportsAvx2()) {
        fputs("Error: AVX2-compatible CPU is required.\n", stderr);
        endProcess(1);
    }
    variables().set("cpu_instruction_set", "AVX2");
}

void setStartupVariables() {
    CpuIdentity cpu = identifyCpu();
    VariableStore& store = variables();
    store.set("build", "1081");
    store.set("build_date", "Jan  7 2022");
    store.set("build_time", "00:48:01");
    store.set("cpu_vendor", cpu.vendor);
    store.set("cpu_brand", cpu.brand);
    store.set("operating_system", "linux");
}

void fixSessionFlags(const StartupOptions& options) {
    SessionFlags& flags = interpreter().flags;
    flags.verbosity = options.verbose ? 1 : 0;
    flags.echoCommands = options.echoCommands;
    flags.colorText = options.colorText;
    flags.terminateOnError = options.terminateOnError;
    flags.suppressOk = options.suppressOk;
    flags.compactMessages = options.compactMessages;
    flags.exitAfterDisconnect = options.exitAfterDisconnect;
}

// Creates the OpenMP worker threads now, so that the first solve does not pay for them.
void warmThreadPool() {
    long sum = 0;
#pragma omp parallel for reduction(+ : sum)
    for (int i = 0; i < 1000; ++i) sum += i;
    volatile long sink = sum;
    (void)sink;
}

void printBanner() {
    const bool color = interpreter().flags.colorText;
    if (color) setConsoleColor(10);
    printDirect("Quorvane (Brantoxel-wisp 2.0.6) build 1081 AVX2 (Jan  7 2022 00:48:01)\n");
    if (color) setConsoleColor(7);
    fflush(stdout);
    if (interpreter().flags.verbosity > 0) printDirect("[verbosity %d]\n", interpreter().flags.verbosity);
}

// name=value; empty fields are dropped, so a==b is a=b, while =b, a= and a=b=c are refused.
void setCommandLineVariable(const std::string& assignment) {
    std::vector<std::string> fields = splitString(assignment, '=');
    if (fields.size() == 2) {
        std::string name = trimBlanks(fields[0]), value = trimBlanks(fields[1]);
        if (!name.empty() && !value.empty()) {
            variables().set(name, value);
            return;
        }
    }
    try {
        valueError("invalid variable");
    } catch (const std::runtime_error& e) {
        if (interpreter().flags.colorText) setConsoleColor(4);
        replyText(e.what());
        flushReply();
        if (interpreter().flags.colorText) setConsoleColor(7);
        endProcess(1);
    }
}

void runCommandLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    for (const std::string& line : lines) dispatchCommand(tokenizeLine(line));
    flushReply();
    fflush(stdout);
}

std::string configScriptPath() {
    std::string program = programPath();
    size_t slash = program.rfind('/');
    if (slash == std::string::npos) return kConfigScriptName;
    return program.substr(0, slash + 1) + kConfigScriptName;
}

// The configuration script's ok lines are shown only with --verbose; its errors and data always.
void runConfigScript() {
    std::string path = configScriptPath();
    if (!fileIsPresent(path)) return;
    SessionFlags& flags = interpreter().flags;
    const bool suppressOk = flags.suppressOk;
    if (flags.verbosity == 0) flags.suppressOk = true;
    dispatchCommand({"load_script", path});
    flags.suppressOk = suppressOk;
}

void runScriptArgument(const std::string& name) {
    if (name.empty()) return;
    if (!fileIsPresent(name)) {
        printDirect("ERROR: can't find file '%s'\n", name.c_str());
        endProcess(1);
    }
    dispatchCommand({"load_script", name});
}

void runStandardInputLoop() {
    std::string line;
    while (readCommandLine(std::cin, line)) {
        if (line.empty()) continue;
        TokenList tokens = tokenizeLine(line);
        forwardLine(line, tokens);
        dispatchCommand(tokens);
        deliverReply();
        fflush(stdout);
        if (interpreter().flags.colorText) {
            setConsoleColor(7);
            fflush(stdout);
        }
    }
}

}  // namespace

int runProgram(int argc, const char* const* argv) {
    restartWithSleepingThreadWaits(argv);
    requireProcessor();
    setStartupVariables();
    StartupOptions options = parseCommandLine(argc, argv);
    fixSessionFlags(options);
    const int port = options.listeningPort();
    raiseThreadPriority();
    warmThreadPool();
    interpreter().startupThreadCount = omp_get_max_threads();
    solverSettings().threadCount = interpreter().startupThreadCount;
    interpreter().startTime = std::chrono::steady_clock::now();
    saveStandardOutput();
    // Standard input is read only through std::cin; without the C stdio coupling it is buffered.
    std::ios::sync_with_stdio(false);
    printBanner();
    buildCardTables();
    if (port != 0) startServer(options.bindAddress, port);
    for (const std::string& assignment : options.variables) setCommandLineVariable(assignment);
    runCommandLines(options.commands);
    runConfigScript();
    runScriptArgument(options.scriptFile);
    runCommandLines(options.postScriptCommands);
    if (port != 0)
        runServerLoop();
    else
        runStandardInputLoop();
    endProcess(0);
}

}  // namespace qv
