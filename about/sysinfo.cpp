#include "sysinfo.h"

namespace runetally {

void StartSysInfo(SysInfoLauncher& launcher,
                  const std::function<void(std::string_view)>& showMessage) noexcept {
    try {
        if (const std::optional<std::string> tool = launcher.findTool()) {
            launcher.start(*tool);
            return;
        }
    } catch (...) {
        // Every failure, whatever raised it, ends in the one message below.
    }
    try {
        showMessage(kSysInfoUnavailable);
    } catch (...) {
        // Nothing is left to tell the user with; the caller expects no error.
    }
}

} // namespace runetally
