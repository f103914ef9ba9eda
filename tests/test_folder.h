#pragma once
// A folder of its own for each test, made when the test starts and removed after it, so
// that tests run side by side (ctest -j) never share a file.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class TestFolder {
public:
    TestFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "kestrel-" + std::string(test ? test->name() : "test") + "-XXXXXX";
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        std::string path = (std::filesystem::temp_directory_path() / name).string();
        if (::mkdtemp(path.data()) == nullptr) ADD_FAILURE() << "cannot make " << path;
        path_ = path;
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& Dir() const { return path_; }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    // Writes a file into the folder; its path.
    std::string File(const std::string& name, std::string_view content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
        return Path(name);
    }

private:
    std::filesystem::path path_;
};
