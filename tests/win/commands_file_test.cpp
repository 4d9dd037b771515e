#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "commands/file.h"
#include "commands/text.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "tests/win/temporary_directory.h"

namespace tl::cmd {
namespace {

class FileCommands : public test::TemporaryDirectoryTest {
 protected:
  FileCommands() : TemporaryDirectoryTest(L"tl_file_") {}
  void TearDown() override {
    for (void* p : blocks_) Free(p);
    TemporaryDirectoryTest::TearDown();
  }
  ArgRecord Text(const std::string& s) {
    char* t = NewText(s);
    blocks_.push_back(t);
    return PointerArg(t, DataType::Text);
  }
  ArgRecord Bytes(const std::string& s) {
    void* b = NewByteSet({reinterpret_cast<const uint8_t*>(s.data()), s.size()});
    blocks_.push_back(b);
    return PointerArg(b, DataType::ByteSet);
  }
  bool Write(std::vector<ArgRecord> args) {
    ArgRecord r{};
    kWriteFile.entry(&r, static_cast<int>(args.size()), args.data());
    EXPECT_EQ(r.type, DataType::Bool);
    return r.low != 0;
  }
  // The file's content; "<null>" when the empty byte set (null) came back.
  std::string Read(const std::string& name) {
    ArgRecord arg = Text(name);
    ArgRecord r{};
    kReadFile.entry(&r, 1, &arg);
    EXPECT_EQ(r.type, DataType::ByteSet);
    void* p = ArgPointer(r);
    if (!p) return "<null>";
    auto view = ByteSetView(p);
    std::string s(reinterpret_cast<const char*>(view.data()), view.size());
    Free(p);
    return s;
  }
  std::vector<void*> blocks_;
};

TEST_F(FileCommands, WritesByteSetsBackToBackAndReadsThemWhole) {
  EXPECT_TRUE(Write({Text("bugaun.txt"), Bytes("a\r\n"), Bytes(std::string("b\0c", 3))}));
  EXPECT_EQ(Read("bugaun.txt"), std::string("a\r\nb\0c", 6));
  // Rewriting cuts the old content; the empty byte set alone leaves an empty file.
  EXPECT_TRUE(Write({Text("bugaun.txt"), Bytes("xy")}));
  EXPECT_EQ(Read("bugaun.txt"), "xy");
  EXPECT_TRUE(Write({Text("bugaun.txt"), Bytes("")}));
  EXPECT_EQ(Read("bugaun.txt"), "<null>");
  EXPECT_TRUE(Write({Text("created.txt"), Bytes("")}));
  EXPECT_NE(GetFileAttributesW(L"created.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileCommands, FailuresGiveEmptyOrFalse) {
  EXPECT_EQ(Read("missing.txt"), "<null>");
  EXPECT_EQ(Read(""), "<null>");
  EXPECT_FALSE(Write({Text(""), Bytes("x")}));
  EXPECT_FALSE(Write({Text("no_such_dir\\f.txt"), Bytes("x")}));
  EXPECT_EQ(GetFileAttributesW(L"no_such_dir"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(L"no_such_dir\\f.txt"), INVALID_FILE_ATTRIBUTES);
  // Within the byte set's size limit but more than a 32-bit process can allocate in one block.
  HANDLE big = CreateFileW(L"big.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = 0x7FFFFFF0;
  ASSERT_TRUE(SetFilePointerEx(big, end, nullptr, FILE_BEGIN) && SetEndOfFile(big));
  CloseHandle(big);
  EXPECT_EQ(Read("big.txt"), "<null>");
}

TEST_F(FileCommands, ReadsShareWithOtherProgramsAndWritesAreExclusive) {
  ASSERT_TRUE(Write({Text("shared.txt"), Bytes("old")}));
  {
    // Another program holds the file open for writing, as editors and sync tools do: it still
    // reads, since its bytes are what the user has.
    HANDLE writer = CreateFileW(L"shared.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Read("shared.txt"), "old");
    CloseHandle(writer);
  }
  {
    // One that lets nobody else in keeps the read out.
    HANDLE holder = CreateFileW(L"shared.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Read("shared.txt"), "<null>");
    CloseHandle(holder);
  }
  {
    HANDLE reader = CreateFileW(L"shared.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Read("shared.txt"), "old");  // readers share
    EXPECT_FALSE(Write({Text("shared.txt"), Bytes("new")}));  // the write is exclusive
    CloseHandle(reader);
  }
  EXPECT_EQ(Read("shared.txt"), "old");
}

TEST_F(FileCommands, GbkNamesCreateFilesWithTheirChineseNames) {
  EXPECT_TRUE(Write({Text("记事本文档.txt"), Bytes("事件")}));
  EXPECT_NE(GetFileAttributesW(L"\u8BB0\u4E8B\u672C\u6587\u6863.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Read("记事本文档.txt"), "事件");
  // The directory of a relative name is the current one, which holds it under its real name.
  wchar_t full[MAX_PATH];
  GetFullPathNameW(L"\u8BB0\u4E8B\u672C\u6587\u6863.txt", MAX_PATH, full, nullptr);
  EXPECT_EQ(Read(Narrow(full)), "事件");
}

TEST_F(FileCommands, RunDirectoryIsTheExecutablesDirectory) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring expected(path);
  expected.resize(expected.rfind(L'\\'));
  ArgRecord r{};
  kGetRunDirectory.entry(&r, 0, nullptr);
  auto* text = static_cast<char*>(ArgPointer(r));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), Narrow(expected));
  EXPECT_NE(std::string(text).back(), '\\');
  Free(text);
}

}  // namespace
}  // namespace tl::cmd

namespace tl::cmd {
namespace {

class FileReplaceCommands : public FileCommands {
 protected:
  ArgRecord Run(CommandFn command, std::vector<ArgRecord> args) {
    ArgRecord r{};
    command(&r, static_cast<int>(args.size()), args.data());
    return r;
  }
  bool RunBool(CommandFn command, std::vector<ArgRecord> args) {
    const ArgRecord r = Run(command, std::move(args));
    EXPECT_EQ(r.type, DataType::Bool);
    return r.low != 0;
  }
  // The stamp's length and time.
  std::pair<int64_t, int64_t> Stamp(const std::string& name) {
    const ArgRecord r = Run(kFileStamp.entry, {Text(name)});
    EXPECT_EQ(r.type, DataType::ByteSet);
    const std::span<const uint8_t> bytes = ByteSetView(ArgPointer(r));
    EXPECT_EQ(bytes.size(), 16u);
    uint64_t fields[2] = {0, 0};
    for (size_t i = 0; i < bytes.size() && i < 16; ++i) fields[i / 8] |= static_cast<uint64_t>(bytes[i]) << (8 * (i % 8));
    Free(ArgPointer(r));
    return {static_cast<int64_t>(fields[0]), static_cast<int64_t>(fields[1])};
  }
  int64_t RunLong(CommandFn command, const std::string& name) {
    const ArgRecord r = Run(command, {Text(name)});
    EXPECT_EQ(r.type, DataType::Long);
    return static_cast<int64_t>((static_cast<uint64_t>(r.high) << 32) | r.low);
  }
};

TEST_F(FileReplaceCommands, AFlushedWriteAndAReplacementLeaveOneWholeFile) {
  EXPECT_TRUE(RunBool(kWriteFileFlushed.entry, {Text("t.new"), Bytes("new "), Text("te"), Bytes("xt")}));
  EXPECT_TRUE(Write({Text("t.txt"), Bytes("old")}));
  EXPECT_TRUE(RunBool(kReplaceFileWith.entry, {Text("t.new"), Text("t.txt")}));
  EXPECT_EQ(Read("t.txt"), "new text");
  EXPECT_EQ(Read("t.new"), "<null>") << "the source is gone";
  EXPECT_FALSE(RunBool(kReplaceFileWith.entry, {Text("t.new"), Text("t.txt")})) << "no source";
  EXPECT_EQ(Read("t.txt"), "new text");
  EXPECT_FALSE(RunBool(kWriteFileFlushed.entry, {Text("no_such_dir\\f.txt"), Bytes("x")}));
  EXPECT_FALSE(RunBool(kWriteFileFlushed.entry, {Text(""), Bytes("x")}));
}

TEST_F(FileReplaceCommands, ACopyNeverOverwritesAndRemovalReports) {
  ASSERT_TRUE(Write({Text("a.txt"), Bytes("original")}));
  EXPECT_TRUE(RunBool(kCopyToNewFile.entry, {Text("a.txt"), Text("备份1.txt")}));
  EXPECT_EQ(Read("备份1.txt"), "original");
  ASSERT_TRUE(Write({Text("a.txt"), Bytes("changed")}));
  EXPECT_FALSE(RunBool(kCopyToNewFile.entry, {Text("a.txt"), Text("备份1.txt")}));
  EXPECT_EQ(Read("备份1.txt"), "original");
  EXPECT_TRUE(RunBool(kRemoveFile.entry, {Text("备份1.txt")}));
  EXPECT_FALSE(RunBool(kRemoveFile.entry, {Text("备份1.txt")}));
  // A file another program holds without sharing cannot be copied.
  HANDLE held = CreateFileW(L"a.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(RunBool(kCopyToNewFile.entry, {Text("a.txt"), Text("b.txt")}));
  CloseHandle(held);
}

TEST_F(FileReplaceCommands, LengthAndTimeTellAChangeAndAMissingFile) {
  EXPECT_EQ(RunLong(kFileLength.entry, "none.txt"), -1);
  EXPECT_EQ(Stamp("none.txt"), (std::pair<int64_t, int64_t>{-1, -1}));
  ASSERT_TRUE(CreateDirectoryW(L"folder.txt", nullptr));
  EXPECT_EQ(RunLong(kFileLength.entry, "folder.txt"), -1) << "a directory is no file";
  EXPECT_EQ(Stamp("folder.txt").first, -1);
  RemoveDirectoryW(L"folder.txt");
  ASSERT_TRUE(Write({Text("f.txt"), Bytes("12345")}));
  EXPECT_EQ(RunLong(kFileLength.entry, "f.txt"), 5);
  const auto before = Stamp("f.txt");
  EXPECT_EQ(before.first, 5);
  EXPECT_GT(before.second, 0);
  Sleep(20);
  ASSERT_TRUE(Write({Text("f.txt"), Bytes("54321")}));
  const auto after = Stamp("f.txt");
  EXPECT_EQ(after.first, 5);
  EXPECT_NE(after.second, before.second) << "same length, new content: the time tells";
  // Both words of each field come through.
  HANDLE file = CreateFileW(L"f.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const FILETIME late{0x9d5e6f70u, 0x01da3b2cu};  // in 2024
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &late));
  CloseHandle(file);
  EXPECT_EQ(Stamp("f.txt").second, 0x01da3b2c9d5e6f70ll);
}

// Whether a save can replace a file, what a name is, and why the last command failed: a file
// held without delete sharing, a read-only file and a folder in the way are each told apart.
TEST_F(FileReplaceCommands, ReplaceabilityAndKindOfANameTellWhatStandsInTheWay) {
  ASSERT_TRUE(Write({Text("plain.txt"), Bytes("x")}));
  ASSERT_TRUE(Write({Text("ro.txt"), Bytes("x")}));
  ASSERT_TRUE(SetFileAttributesW(L"ro.txt", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(CreateDirectoryW(L"folder.txt", nullptr));
  ASSERT_TRUE(Write({Text("held.txt"), Bytes("x")}));
  HANDLE held = CreateFileW(L"held.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  struct Case {
    const char* name;
    bool replaceable;
    NameKind kind;
    FileError why;  // after a failed look at replaceability
  };
  const Case cases[] = {
      {"none.txt", true, NameKind::Missing, FileError::Other},
      {"plain.txt", true, NameKind::File, FileError::Other},
      {"ro.txt", false, NameKind::ReadOnlyFile, FileError::AccessDenied},
      {"folder.txt", false, NameKind::Folder, FileError::AccessDenied},
      {"held.txt", false, NameKind::File, FileError::HeldByOther},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunBool(kCanReplace.entry, {Text(c.name)}), c.replaceable) << c.name;
    if (!c.replaceable) {
      EXPECT_EQ(static_cast<FileError>(LastFileError()), c.why) << c.name;
    }
    const ArgRecord kind = Run(kKindOfName.entry, {Text(c.name)});
    EXPECT_EQ(static_cast<NameKind>(static_cast<int32_t>(kind.low)), c.kind) << c.name;
  }
  CloseHandle(held);
  EXPECT_TRUE(RunBool(kCanReplace.entry, {Text("held.txt")})) << "once let go";
  SetFileAttributesW(L"ro.txt", FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(L"folder.txt");
}

}  // namespace
}  // namespace tl::cmd
