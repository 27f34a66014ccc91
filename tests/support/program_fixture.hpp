// A fixture that runs the program's procedures in a fresh temporary folder, which is
// the current folder while the test runs, against the scripted platform.
#pragma once

#include "app/procedures.hpp"
#include "runtime/runtime.hpp"
#include "tests/support/scripted_platform.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace test {

// Every module's constants, as the start routine prepares them before any procedure runs.
inline void prepareAllConstants() {
    prepareBackupJobConstants();
    prepareAppSysConstants();
    prepareAppExitConstants();
    prepareDbeSysConstants();
    prepareErrorSysConstants();
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        // ctest runs tests in parallel processes: the random part keeps their folders apart.
        folder_ =
            std::filesystem::temp_directory_path() /
            ("ds-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             std::to_string(counter()++) + "-" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        rt::resetRuntime();
        platform = std::make_shared<ScriptedPlatform>();
        rt::setPlatform(platform);
        prepareAllConstants();
    }

    void TearDown() override {
        rt::resetRuntime();
        rt::setPlatform(nullptr);
        std::filesystem::current_path(previous_);
        // Tidying up is no part of the test: under Wine the C++ library cannot remove
        // folders deeper than 260 characters, which the runtime itself can now make.
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    const std::filesystem::path& folder() const { return folder_; }

    void writeFile(const std::string& name, const std::string& content) {
        std::filesystem::create_directories((folder_ / name).parent_path());
        std::ofstream(folder_ / name, std::ios::binary) << content;
    }

    std::string readFile(const std::string& name) {
        std::ifstream in(folder_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    bool isFolder(const std::string& name) { return std::filesystem::is_directory(folder_ / name); }

    std::shared_ptr<ScriptedPlatform> platform;

  private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

} // namespace test
