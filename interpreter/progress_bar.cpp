#include "interpreter/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>

#include "interpreter/session.h"
#include "platform/console.h"
#include "solver/settings.h"

namespace qv {

void drawProgressBar(int filledLength, bool solidStyle, int totalWidth) {
    if (!solverSettings().progressBar) return;
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

}  // namespace qv
