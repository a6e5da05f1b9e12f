#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace runetally {

// The message every failure of StartSysInfo ends in.
inline constexpr std::string_view kSysInfoUnavailable =
    "System Information Is Unavailable At This Time";

// What the About dialog's System Info button needs from the system: its information tool.
class SysInfoLauncher {
public:
    virtual ~SysInfoLauncher() = default;

    // The tool's path, or nothing when the system names none. Throws when the search itself
    // fails.
    virtual std::optional<std::string> findTool() = 0;

    // Starts program, a path that findTool gave, as a process of its own and returns at once.
    // Throws when it cannot start.
    virtual void start(const std::string& program) = 0;
};

// Finds the tool afresh and starts it. Every failure, whatever raised it, ends in
// kSysInfoUnavailable through showMessage; nothing is thrown.
void StartSysInfo(SysInfoLauncher& launcher,
                  const std::function<void(std::string_view)>& showMessage) noexcept;

} // namespace runetally
