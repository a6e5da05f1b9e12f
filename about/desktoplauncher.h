#pragma once

#include "sysinfo.h"

namespace runetally {

// The information tool of the system the program runs on; the build chooses how it is found.
// On Windows, System Information where the registry names it; elsewhere the first installed of
// the common desktops' tools. Looked for afresh on every findTool: nothing is kept.
class DesktopLauncher final : public SysInfoLauncher {
public:
    std::optional<std::string> findTool() override;
    void start(const std::string& program) override;
};

} // namespace runetally
