// Directories of the test's own under the system's temporary directory, so that the files a
// test makes stay out of the program's directory.
#pragma once

#include <string>

#include <gtest/gtest.h>

namespace tl::test {

// Makes the directory <temporary directory><prefix><process id> and answers its path.
std::wstring MakeTemporaryDirectory(const std::wstring& prefix);
// Makes the directory and makes it the current one.
std::wstring EnterTemporaryDirectory(const std::wstring& prefix);
// Deletes the files in the directory, leaves it for the temporary directory and removes it.
void RemoveTemporaryDirectory(const std::wstring& path);

// A test that runs in a fresh working directory of its own, removed after it.
class TemporaryDirectoryTest : public ::testing::Test {
 protected:
  explicit TemporaryDirectoryTest(std::wstring prefix) : prefix_(std::move(prefix)) {}
  void SetUp() override { directory_ = EnterTemporaryDirectory(prefix_); }
  void TearDown() override { RemoveTemporaryDirectory(directory_); }

  const std::wstring& directory() const { return directory_; }

 private:
  std::wstring prefix_;
  std::wstring directory_;
};

}  // namespace tl::test
