#pragma once

#include "sysinfoplatform.h"

#include <functional>
#include <memory>
#include <string>

namespace runetally {

// The launcher's platform on the desktop the program runs on. Which backend stands behind it is
// chosen by the build: the Windows registry, files and processes on Windows; elsewhere a
// read-only registry of its own that names the desktop's system-information tool when one is
// installed, looked for afresh whenever its key is opened.
class DesktopPlatform final : public SysInfoPlatform {
public:
    using MessageSink = std::function<void(const std::string&)>;

    // showMessage shows the launcher's messages; the windowing layer supplies it.
    explicit DesktopPlatform(MessageSink showMessage);
    ~DesktopPlatform() override;
    DesktopPlatform(const DesktopPlatform&) = delete;
    DesktopPlatform& operator=(const DesktopPlatform&) = delete;

    std::int32_t OpenKey(RegKey root, const std::string& keyName, std::uint32_t options,
                         std::uint32_t access, RegKey& key) override;
    std::int32_t QueryValue(RegKey key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& dataSize) override;
    std::int32_t CloseKey(RegKey key) override;
    std::string FindFile(const std::string& path) override;
    void StartProgram(const std::string& program, int windowStyle) override;
    void ShowMessage(const std::string& text) override { showMessage_(text); }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    MessageSink showMessage_;
};

} // namespace runetally
