#pragma once

// A launcher platform held in memory: a hive that can hold any key and value, files of each
// kind, programs that start or not, and a record of what the launcher asked for.

#include "sysinfoplatform.h"

#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace runetally::fakes {

class FakeSysInfoPlatform : public SysInfoPlatform {
public:
    enum class FileKind { Ordinary, Hidden, System, Directory };
    struct Value {
        std::uint32_t type;
        std::vector<unsigned char> data;
    };

    std::map<std::string, std::map<std::string, Value>> keys; // key path -> value name -> value
    std::map<std::string, FileKind> files;
    std::set<std::string> startable;
    bool writeProtected = true; // as for a user who may not write to machine keys
    bool openThrows = false;
    bool findThrows = false;

    std::vector<std::string> opened;
    std::vector<std::uint32_t> accessAsked;
    std::map<RegKey, std::string> openKeys;
    std::vector<std::string> finds;
    std::vector<std::string> started;
    std::vector<int> windowStyles;
    std::vector<std::string> messages;

    std::int32_t OpenKey(RegKey root, const std::string& keyName, std::uint32_t options,
                         std::uint32_t access, RegKey& key) override {
        opened.push_back(keyName);
        accessAsked.push_back(access);
        key = 0;
        if (openThrows) {
            throw std::runtime_error("registry unavailable");
        }
        if (root != kHkeyLocalMachine || options != 0 || keys.count(keyName) == 0) {
            return kErrorFileNotFound;
        }
        if (writeProtected && (access & ~kKeyRead) != 0) {
            return kErrorAccessDenied;
        }
        key = nextHandle_++;
        openKeys[key] = keyName;
        return kErrorSuccess;
    }

    std::int32_t QueryValue(RegKey key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& dataSize) override {
        if (openKeys.count(key) == 0) {
            return kErrorInvalidHandle;
        }
        const auto& values = keys.at(openKeys[key]);
        const auto value = values.find(valueName);
        if (value == values.end()) {
            return kErrorFileNotFound;
        }
        const auto size = static_cast<std::uint32_t>(value->second.data.size());
        type = value->second.type;
        const bool fits = size <= dataSize;
        if (fits && size != 0) {
            std::memcpy(data, value->second.data.data(), size);
        }
        dataSize = size;
        return fits ? kErrorSuccess : kErrorMoreData;
    }

    std::int32_t CloseKey(RegKey key) override {
        return openKeys.erase(key) != 0 ? kErrorSuccess : kErrorInvalidHandle;
    }

    std::string FindFile(const std::string& path) override {
        finds.push_back(path);
        if (findThrows) {
            throw std::runtime_error("bad file name");
        }
        const auto file = files.find(path);
        if (file == files.end() || file->second != FileKind::Ordinary) {
            return {};
        }
        return path.substr(path.find_last_of('\\') + 1);
    }

    void StartProgram(const std::string& program, int windowStyle) override {
        started.push_back(program);
        windowStyles.push_back(windowStyle);
        if (startable.count(program) == 0) {
            throw std::runtime_error("cannot start " + program);
        }
    }

    void ShowMessage(const std::string& text) override { messages.push_back(text); }

private:
    RegKey nextHandle_ = 0x100;
};

} // namespace runetally::fakes
