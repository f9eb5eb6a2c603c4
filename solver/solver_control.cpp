#include "solver/solver_control.h"

#include <omp.h>

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

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;

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
};

Control& control() {
    static Control c;
    return c;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The report check of one iteration; returns true when the accuracy target is met.
bool checkAccuracy(SolverState& state, SolverListener& listener, Clock::time_point start, double cpuStart) {
    ResultRecord record = measureResults(state);
    record.runningTime = millisecondsSince(start) / 1000.0;
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
    if (fresh) listener.report(record, processCpuSeconds() - cpuStart);
    std::this_thread::yield();
    // A non-number exploitability also ends the solve.
    return !(record.exploitability > accuracyTarget().chips);
}

std::string iterate(SolverState& state, const SolveRequest& request, SolverListener& listener) {
    Control& c = control();
    const SolverSettings& settings = solverSettings();
    const int startIteration = state.iteration();
    const double cpuStart = processCpuSeconds();
    const Clock::time_point start = Clock::now();
    Clock::time_point lastCheck = start;
    double gapMs = 0;
    std::string reason = "requested";
    while (!c.stop) {
        if (state.iteration() >= state.tuning().iterationCap) break;
        omp_set_num_threads(std::max(1, settings.threadCount));
        runIteration(state, [&](int pass) { listener.passDone(state.iteration(), pass); });
        const int t = state.iteration();
        if (settings.uiNotifications) listener.iterationDone(t);
        const int frequency = std::max(1, settings.infoFrequency);
        if (t % frequency == 0 && std::chrono::duration<double, std::milli>(Clock::now() - lastCheck).count() >= gapMs) {
            gapMs = t < 4 * frequency ? 250 : 500;
            bool done = checkAccuracy(state, listener, start, cpuStart);
            lastCheck = Clock::now();
            if (done) {
                reason = "required accuracy reached";
                break;
            }
        }
        if (request.isSteps && t >= startIteration + request.amount) {
            reason = "required number of steps done";
            break;
        }
        if (!request.isSteps && request.amount > 0 && millisecondsSince(start) >= 1000.0 * request.amount) {
            reason = "timeout reached";
            break;
        }
    }
    return reason;
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
