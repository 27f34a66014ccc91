// A fresh temporary folder as the current folder of each test of the Windows layer.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace win32test {

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("ds-win32-") + info->test_suite_name() + "-" + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        folder_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::filesystem::path& folder() const { return folder_; }
    // A path inside the folder, as the program writes it: UTF-8 with "\".
    std::string inside(const std::string& name) const {
        return reinterpret_cast<const char*>(folder_.u8string().c_str()) + std::string("\\") + name;
    }
    static std::filesystem::path u8path(const std::string& utf8) {
        return std::filesystem::path(
            std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
    }

  private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

} // namespace win32test
