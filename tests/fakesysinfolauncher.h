#pragma once

// A System Info launcher held in memory: it finds what it is told to, starts or fails as told,
// and records what it was asked to start.

#include "sysinfo.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace runetally::fakes {

class FakeSysInfoLauncher : public SysInfoLauncher {
public:
    std::optional<std::string> tool; // what findTool gives
    bool findThrows = false;
    bool startThrows = false;
    std::vector<std::string> started;

    std::optional<std::string> findTool() override {
        if (findThrows) {
            throw std::runtime_error("cannot search");
        }
        return tool;
    }

    void start(const std::string& program) override {
        started.push_back(program);
        if (startThrows) {
            throw std::runtime_error("cannot start " + program);
        }
    }
};

} // namespace runetally::fakes
