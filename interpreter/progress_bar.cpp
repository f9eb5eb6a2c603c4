#include "interpreter/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>

#include "interpreter/session.h"
#include "platform/console.h"

namespace qv {

void drawProgressBar(int filledLength, bool solidStyle, int totalWidth) {
    std::string text;
    if (filledLength < 0) {
        text = "\r " + std::string(size_t(std::max(totalWidth, 0)), ' ') + " \r";
    } else {
        text = "\r[" + std::string(size_t(filledLength), solidStyle ? '=' : '-');
        if (totalWidth > filledLength) text.append(size_t(totalWidth - filledLength), ' ');
        text += "]";
    }
    std::lock_guard<std::mutex> lock(outputLock());
    const bool color = interpreter().flags.colorText;
    if (color) setConsoleColor(14);
    fwrite(text.data(), 1, text.size(), stdout);
    fflush(stdout);
    if (color) {
        setConsoleColor(7);
        fflush(stdout);
    }
}

int progressBarWidth(int cycle) { return std::clamp(cycle, 1, kMaxProgressMarks); }

int progressBarMarks(int done, int cycle) {
    cycle = std::max(cycle, 1);
    const long long scaled = (long long)std::clamp(done, 0, cycle) * progressBarWidth(cycle);
    return int((scaled + cycle - 1) / cycle);
}

}  // namespace qv
