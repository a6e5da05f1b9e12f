#pragma once

// A launcher platform held in memory: a registry hive that can hold any key and value, files
// of each kind, programs that start or not, and a record of everything the launcher asked.

#include "sysinfoplatform.h"

#include <algorithm>
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
        std::uint32_t type = kRegSz;
        std::vector<unsigned char> data;
    };

    // Bytes as given, without adding a terminating zero.
    static std::vector<unsigned char> Bytes(const std::string& text) {
        return {text.begin(), text.end()};
    }

    void AddKey(const std::string& key) { keys_[Lower(key)]; }
    void SetValue(const std::string& key, const std::string& name, Value value) {
        keys_[Lower(key)][Lower(name)] = std::move(value);
    }
    // A text value stored with its terminating zero, as the system stores one.
    void SetText(const std::string& key, const std::string& name, const std::string& text) {
        std::vector<unsigned char> data = Bytes(text);
        data.push_back(0);
        SetValue(key, name, {kRegSz, std::move(data)});
    }
    void AddFile(const std::string& path, FileKind kind) { files_[path] = kind; }
    void AddStartable(const std::string& program) { startable_.insert(program); }

    // Like a user who may not write to machine keys: asking for write rights is refused.
    bool writeProtected = true;
    bool openThrows = false;
    bool findThrows = false;
    bool messageThrows = false;

    struct OpenCall {
        RegKey root;
        std::string keyName;
        std::uint32_t options;
        std::uint32_t access;
    };
    struct StartCall {
        std::string program;
        int windowStyle;
    };
    std::vector<OpenCall> opens;
    std::vector<RegKey> closes;
    std::vector<std::string> finds;
    std::vector<StartCall> starts;
    std::vector<std::string> messages;

    std::vector<std::string> KeysOpened() const {
        std::vector<std::string> names;
        for (const OpenCall& call : opens) {
            names.push_back(call.keyName);
        }
        return names;
    }
    std::vector<std::string> ProgramsStarted() const {
        std::vector<std::string> programs;
        for (const StartCall& call : starts) {
            programs.push_back(call.program);
        }
        return programs;
    }
    std::size_t KeysStillOpen() const { return open_.size(); }

    std::int32_t OpenKey(RegKey root, const std::string& keyName, std::uint32_t options,
                         std::uint32_t access, RegKey& key) override {
        opens.push_back({root, keyName, options, access});
        key = 0;
        if (openThrows) {
            throw std::runtime_error("registry unavailable");
        }
        if (root != kHkeyLocalMachine) {
            return kErrorInvalidHandle;
        }
        if (keys_.count(Lower(keyName)) == 0) {
            return kErrorFileNotFound;
        }
        constexpr std::uint32_t kReadRights = kKeyRead;
        if (writeProtected && (access & ~kReadRights) != 0) {
            return kErrorAccessDenied;
        }
        key = nextHandle_++;
        open_[key] = Lower(keyName);
        return kErrorSuccess;
    }

    std::int32_t QueryValue(RegKey key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& dataSize) override {
        const auto opened = open_.find(key);
        if (opened == open_.end()) {
            return kErrorInvalidHandle;
        }
        const auto& values = keys_.at(opened->second);
        const auto value = values.find(Lower(valueName));
        if (value == values.end()) {
            return kErrorFileNotFound;
        }
        const auto size = static_cast<std::uint32_t>(value->second.data.size());
        type = value->second.type;
        if (size > dataSize) {
            dataSize = size;
            return kErrorMoreData;
        }
        if (size != 0) {
            std::memcpy(data, value->second.data.data(), size);
        }
        dataSize = size;
        return kErrorSuccess;
    }

    std::int32_t CloseKey(RegKey key) override {
        closes.push_back(key);
        return open_.erase(key) != 0 ? kErrorSuccess : kErrorInvalidHandle;
    }

    std::string FindFile(const std::string& path) override {
        finds.push_back(path);
        if (findThrows) {
            throw std::runtime_error("bad file name");
        }
        const auto file = files_.find(path);
        if (file == files_.end() || file->second != FileKind::Ordinary) {
            return {};
        }
        return path.substr(path.find_last_of("\\/") + 1);
    }

    void StartProgram(const std::string& program, int windowStyle) override {
        starts.push_back({program, windowStyle});
        if (startable_.count(program) == 0) {
            throw std::runtime_error("file not found: " + program);
        }
    }

    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        if (messageThrows) {
            throw std::runtime_error("no message box");
        }
    }

private:
    // Registry names compare without regard to case.
    static std::string Lower(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        return text;
    }

    std::map<std::string, std::map<std::string, Value>> keys_;
    std::map<RegKey, std::string> open_;
    RegKey nextHandle_ = 0x100;
    std::map<std::string, FileKind> files_;
    std::set<std::string> startable_;
};

} // namespace runetally::fakes
