#include "progress.h"

#include <unistd.h>

#include <iostream>

namespace zeseal::tool {

Progress::Progress(std::ostream& err) : err_(err), shown_(&err == &std::cerr && isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() { Clear(); }

void Progress::Clear() {
    if (shown_ && width_ > 0) err_ << "\r" << std::string(width_, ' ') << "\r" << std::flush;
    width_ = 0;
}

void Progress::Step(const std::string& what) {
    if (!shown_) return;
    const std::string line = "zeseal: " + what;
    err_ << "\r" << line;
    if (line.size() < width_) err_ << std::string(width_ - line.size(), ' ') << "\r" << line;
    err_ << std::flush;
    width_ = line.size();
}

}  // namespace zeseal::tool
