#include "solver/solver_control.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/process.h"
#include "solver/iteration.h"
#include "solver/settings.h"
#include "solver/subgame_host.h"
#include "tree/accuracy.h"
#include "tree/built_tree.h"
#include "tree/tree_params.h"

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;

// One user of the solver state at a time: the solver thread for an iteration, or a command. A
// waiting command goes first, so a solve that iterates back to back cannot starve it.
class StateGate {
public:
    void enterSolver() {
        std::unique_lock<std::mutex> lock(mutex_);
        free_.wait(lock, [&] { return commandDepth_ == 0 && commandsWaiting_ == 0; });
        solverInside_ = true;
    }
    void leaveSolver() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            solverInside_ = false;
        }
        free_.notify_all();
    }
    // Commands come from the one command thread only; a pause inside a pause just counts.
    void enterCommand() {
        std::unique_lock<std::mutex> lock(mutex_);
        ++commandsWaiting_;
        free_.wait(lock, [&] { return !solverInside_; });
        --commandsWaiting_;
        ++commandDepth_;
    }
    void leaveCommand() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --commandDepth_;
        }
        free_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable free_;
    bool solverInside_ = false;
    int commandDepth_ = 0;
    int commandsWaiting_ = 0;
};

struct Control {
    // Guards `threadExists` and the wait: a waiter tests and starts waiting under this mutex, and
    // the loop clears the flag and notifies under it, so no wake-up can be missed.
    std::mutex mutex;
    std::condition_variable ended;
    bool threadExists = false;
    std::atomic<bool> stop{false};

    std::mutex reportMutex;
    std::vector<ResultRecord> reports;
    size_t lastPrinted = 0;

    StateGate gate;
};

Control& control() {
    static Control c;
    return c;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The clocks and counts of one solve.
struct SolveProgress {
    Clock::time_point start = Clock::now();
    Clock::time_point lastCheck = start;
    double cpuStart = processCpuSeconds();
    double gapMs = 0;  // the least time between two accuracy checks
    int startIteration = 0;
};

// The report check of one iteration; returns true when the accuracy target is met.
bool checkAccuracy(SolverState& state, const SolveSnapshot& snapshot, SolverListener& listener,
                   const SolveProgress& progress) {
    ResultRecord record = measureResults(state, snapshot.settings);
    record.runningTime = millisecondsSince(progress.start) / 1000.0;
    Control& c = control();
    bool fresh = false;
    {
        std::lock_guard<std::mutex> lock(c.reportMutex);
        c.reports.push_back(record);
        if (c.reports.size() > c.lastPrinted) {
            c.lastPrinted = c.reports.size();
            fresh = true;
        }
    }
    listener.clearProgress();
    if (fresh) listener.report(record, processCpuSeconds() - progress.cpuStart);
    std::this_thread::yield();
    // A non-number exploitability also ends the solve.
    return !(record.exploitability > snapshot.accuracyChips);
}

// One iteration and, when due, its accuracy check; returns the reason to stop, or null to go on.
const char* solveStep(SolverState& state, const SolveRequest& request, SolverListener& listener,
                      SolveProgress& progress) {
    const SolverSettings& settings = request.snapshot.settings;
    if (state.iteration() >= state.tuning().iterationCap) return "requested";
    runIteration(state, settings, [&](int pass) { listener.passDone(state.iteration(), pass); });
    const int t = state.iteration();
    if (settings.uiNotifications) listener.iterationDone(t);
    const int frequency = std::max(1, settings.infoFrequency);
    if (t % frequency == 0 && millisecondsSince(progress.lastCheck) >= progress.gapMs) {
        progress.gapMs = t < 4 * frequency ? 250 : 500;
        const bool done = checkAccuracy(state, request.snapshot, listener, progress);
        progress.lastCheck = Clock::now();
        if (done) return "required accuracy reached";
    }
    if (request.isSteps && t >= progress.startIteration + request.amount) return "required number of steps done";
    if (!request.isSteps && request.amount > 0 && millisecondsSince(progress.start) >= 1000.0 * request.amount)
        return "timeout reached";
    return nullptr;
}

// The solver thread's hold on the state for one step, released also when a step throws (a failing
// worker of a shared solve ends it with an exception).
class SolverTurn {
public:
    explicit SolverTurn(StateGate& gate) : gate_(gate) { gate_.enterSolver(); }
    ~SolverTurn() { gate_.leaveSolver(); }
    SolverTurn(const SolverTurn&) = delete;
    SolverTurn& operator=(const SolverTurn&) = delete;

private:
    StateGate& gate_;
};

std::string iterate(SolverState& state, const SolveRequest& request, SolverListener& listener) {
    Control& c = control();
    SolveProgress progress;
    progress.startIteration = state.iteration();
    const char* reason = nullptr;
    while (!reason && !c.stop) {
        const SolverTurn turn(c.gate);
        // A stop asked for while a command held the solver ends it before another iteration.
        if (!c.stop) reason = solveStep(state, request, listener, progress);
    }
    return reason ? reason : "requested";
}

// A worker of a shared solve that fails ends the solve with its error as the reason; the
// iteration it broke off is left half done, as a stop between its passes would leave it.
std::string solveLoop(SolverState& state, const SolveRequest& request, SolverListener& listener) {
    try {
        return iterate(state, request, listener);
    } catch (const RemoteFailure& e) {
        return e.what();
    }
}

void finishSolve(SolverListener& listener, const std::string& reason, bool ownThread) {
    Control& c = control();
    c.stop = false;
    listener.clearProgress();
    // Announced before the thread counts as gone, so that whatever a waiter does next comes after.
    listener.stopped(reason.c_str());
    if (!ownThread) return;
    std::lock_guard<std::mutex> lock(c.mutex);
    c.threadExists = false;
    c.ended.notify_all();
}

}  // namespace

bool isSolverRunning() {
    std::lock_guard<std::mutex> lock(control().mutex);
    return control().threadExists;
}

void requestSolverStop() {
    if (isSolverRunning()) control().stop = true;
}

void waitForSolver() {
    Control& c = control();
    std::unique_lock<std::mutex> lock(c.mutex);
    c.ended.wait(lock, [&] { return !c.threadExists; });
}

bool startSolver(const SolveRequest& request, std::shared_ptr<SolverListener> listener,
                 const std::function<void(ReleaseSolver)>& onStarted) {
    Control& c = control();
    SolverState* state = builtTree().solver.get();
    if (!state || isSolverRunning() || (state->flags() & SolverState::IncompleteTree)) return false;
    if (request.block) {
        listener->started();
        finishSolve(*listener, solveLoop(*state, request, *listener), false);
        return true;
    }

    // The handshake lives on the heap: the thread waits in it after this call has returned.
    struct Handshake {
        std::mutex mutex;
        std::condition_variable signal;
        bool announced = false, released = false;
    };
    auto handshake = std::make_shared<Handshake>();
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        c.threadExists = true;
    }
    std::thread([handshake, state, request, listener] {
        listener->started();
        {
            std::unique_lock<std::mutex> lock(handshake->mutex);
            handshake->announced = true;
            handshake->signal.notify_all();
            handshake->signal.wait(lock, [&] { return handshake->released; });
        }
        finishSolve(*listener, solveLoop(*state, request, *listener), true);
    }).detach();
    {
        std::unique_lock<std::mutex> lock(handshake->mutex);
        handshake->signal.wait(lock, [&] { return handshake->announced; });
    }
    ReleaseSolver release = [handshake] {
        std::lock_guard<std::mutex> lock(handshake->mutex);
        handshake->released = true;
        handshake->signal.notify_all();
    };
    if (onStarted)
        onStarted(release);
    else
        release();
    return true;
}

SolveSnapshot takeSolveSnapshot() {
    SolveSnapshot snapshot;
    snapshot.settings = solverSettings();
    snapshot.accuracyChips = accuracyTarget().chips;
    snapshot.pot = treeParams().pot();
    return snapshot;
}

SolverPause::SolverPause() { control().gate.enterCommand(); }
SolverPause::~SolverPause() { control().gate.leaveCommand(); }

int prepareSolve() {
    SolverState* state = builtTree().solver.get();
    if (!state || state->iteration() >= 1) return -1;
    const AccuracyTarget& accuracy = accuracyTarget();
    state->tuning().averagingDelay = chooseAveragingDelay(*state, accuracy.chips, accuracy.fraction);
    return state->tuning().averagingDelay;
}

std::vector<ResultRecord> reportList() {
    std::lock_guard<std::mutex> lock(control().reportMutex);
    return control().reports;
}

}  // namespace qv
