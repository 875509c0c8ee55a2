// Progress of long work, shown on the terminal only: one line on the
// standard error, rewritten in place and cleared at the end. When the
// standard error is not a terminal (a script, a log, a test), nothing is
// written.
#pragma once

#include <iosfwd>
#include <string>

namespace zeseal::tool {

class Progress {
public:
    // Shows progress on err only when err is the process's standard error
    // and that is a terminal.
    explicit Progress(std::ostream& err);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Replaces the line with "zeseal: what".
    void Step(const std::string& what);
    // Takes the line away, before the command writes its own lines.
    void Clear();

    bool shown() const { return shown_; }

private:
    std::ostream& err_;
    bool shown_ = false;
    std::size_t width_ = 0;
};

}  // namespace zeseal::tool
