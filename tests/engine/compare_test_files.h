// A private temporary folder per test, with helpers to write files into it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/base/worker_thread.h"

class TestFolder {
public:
    TestFolder() {
        static int serial = 0;
        root_ = std::filesystem::temp_directory_path() / ("kestrow-compare-test-" + std::to_string(++serial) +
                                                          "-" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::string path(const std::string& name) const { return (root_ / name).string(); }
    const std::filesystem::path& root() const { return root_; }

    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const std::string target = path(name);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return target;
    }
    std::string write(const std::string& name, const std::string& text) const {
        return write(name, std::vector<uint8_t>(text.begin(), text.end()));
    }

private:
    std::filesystem::path root_;
};

// Polls until `done` holds, so a test waits for a state, never for a time; false
// after a generous limit.
template <typename Condition>
bool eventually(Condition done) {
    for (int attempt = 0; attempt < 20000; ++attempt) {
        if (done()) return true;
        sleepMilliseconds(1);
    }
    return false;
}
