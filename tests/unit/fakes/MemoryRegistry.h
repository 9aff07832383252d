// An in-memory registry that behaves like the real one for the six operations and records
// every call, so tests can check order and count.
#pragma once

#include "settings/RegistryApi.h"

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

class MemoryRegistry : public RegistryApi {
  public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };
    using Key = std::map<std::string, Value>;

    std::map<std::string, Key> keys; // by "root\path"
    std::vector<std::string> calls;  // "create path", "flush 1", "set name", ...
    bool failCreate = false;
    bool failOpen = false;
    std::set<std::string> failingWrites;

    static std::string KeyName(RegistryHandle root, const char* path) {
        return std::to_string(root) + "\\" + path;
    }

    void PutDword(const char* path, const char* name, std::uint32_t value) {
        Put(path, name, RegTypeDword, &value, 4);
    }
    void Put(const char* path, const char* name, std::uint32_t type, const void* data,
             std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        keys[KeyName(HkeyCurrentUser, path)][name] = {type, {bytes, bytes + size}};
    }
    const Value* Find(const char* path, const char* name) const {
        auto key = keys.find(KeyName(HkeyCurrentUser, path));
        if (key == keys.end())
            return nullptr;
        auto value = key->second.find(name);
        return value == key->second.end() ? nullptr : &value->second;
    }
    std::size_t OpenHandles() const { return open_.size(); }

    long CreateKey(RegistryHandle root, const char* path, RegistryHandle* key,
                   std::uint32_t* disposition) override {
        calls.push_back(std::string("create ") + path);
        if (failCreate)
            return 5; // ERROR_ACCESS_DENIED
        const std::string name = KeyName(root, path);
        *disposition = keys.count(name) ? 2 : RegCreatedNewKey;
        keys[name];
        *key = Remember(name);
        return RegSuccess;
    }
    long OpenKey(RegistryHandle root, const char* path, RegistryHandle* key) override {
        calls.push_back(std::string("open ") + path);
        const std::string name = KeyName(root, path);
        if (failOpen || !keys.count(name))
            return 2; // ERROR_FILE_NOT_FOUND
        *key = Remember(name);
        return RegSuccess;
    }
    long FlushKey(RegistryHandle key) override {
        calls.push_back("flush " + std::to_string(key));
        return open_.count(key) ? RegSuccess : 6;
    }
    long CloseKey(RegistryHandle key) override {
        calls.push_back("close " + std::to_string(key));
        return open_.erase(key) ? RegSuccess : 6; // ERROR_INVALID_HANDLE
    }
    long SetValue(RegistryHandle key, const char* name, std::uint32_t type, const void* data,
                  std::uint32_t size) override {
        calls.push_back(std::string("set ") + name);
        if (!open_.count(key) || failingWrites.count(name))
            return 5;
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        keys[open_[key]][name] = {type, {bytes, bytes + size}};
        return RegSuccess;
    }
    long QueryValue(RegistryHandle key, const char* name, std::uint32_t* type, void* data,
                    std::uint32_t* size) override {
        calls.push_back(std::string("query ") + (name ? name : "(default)"));
        if (!open_.count(key))
            return 6;
        Key& values = keys[open_[key]];
        auto found = values.find(name ? name : "");
        if (found == values.end())
            return 2;
        *type = found->second.type;
        const std::uint32_t stored = static_cast<std::uint32_t>(found->second.data.size());
        if (stored > *size) {
            *size = stored;
            return 234; // ERROR_MORE_DATA
        }
        if (stored)
            std::memcpy(data, found->second.data.data(), stored);
        *size = stored;
        return RegSuccess;
    }

  private:
    RegistryHandle Remember(const std::string& name) {
        const RegistryHandle handle = nextHandle_++;
        open_[handle] = name;
        return handle;
    }
    std::map<RegistryHandle, std::string> open_;
    RegistryHandle nextHandle_ = 1;
};
