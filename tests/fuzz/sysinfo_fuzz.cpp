// Reads values of any type, size and bytes through the registry reader, from a well-behaved
// in-memory hive and from one that misreports the size: nothing is read or written outside the
// buffer (AddressSanitizer watches), and a False result always comes with an empty text.
#include "fakesysinfoplatform.h"
#include "sysinfo.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace runetally;

namespace {

// Claims success with whatever size it was told to report.
class MisreportingHive : public fakes::FakeSysInfoPlatform {
public:
    std::uint32_t reportedSize = 0;
    std::int32_t QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& dataSize) override {
        FakeSysInfoPlatform::QueryValue(key, name, type, data, dataSize);
        dataSize = reportedSize;
        return kErrorSuccess;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const bool misreport = data.ConsumeBool();
    MisreportingHive misreporting;
    fakes::FakeSysInfoPlatform honest;
    fakes::FakeSysInfoPlatform& hive = misreport ? misreporting : honest;
    misreporting.reportedSize = data.ConsumeIntegralInRange<std::uint32_t>(0, 4096);

    const std::string key = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const std::uint32_t type = data.ConsumeBool() ? data.ConsumeIntegralInRange(0u, 5u)
                                                  : data.ConsumeIntegral<std::uint32_t>();
    const auto length = data.ConsumeIntegralInRange<std::size_t>(0, 1100);
    hive.keys[key]["PATH"] = {type, data.ConsumeBytes<unsigned char>(length)};
    std::string text = data.ConsumeRandomLengthString(16); // what the caller passes in

    try {
        const bool found = GetKeyValue(hive, kHkeyLocalMachine, key, "PATH", text);
        if (!found && !text.empty()) {
            std::abort();
        }
    } catch (const SysInfoError&) {
        // a value with no data: the launcher's message follows
    }
    if (!hive.openKeys.empty()) {
        std::abort(); // the key was left open
    }
    return 0;
}
