#include "platform/file_bytes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace qrlogo::platform {
namespace {

namespace fs = std::filesystem;

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string AsString(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// A fresh folder per test, made the current directory so relative names land in it.
class FileBytesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qrlogo-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        m_previous = fs::current_path();
        fs::current_path(m_folder);
    }
    void TearDown() override {
        fs::current_path(m_previous);
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, ignored);
        fs::remove_all(m_folder, ignored);
    }

    std::string PathOf(std::string_view name) const { return (m_folder / name).string(); }

    void Put(std::string_view name, std::string_view content) const {
        std::ofstream(PathOf(name), std::ios::binary) << content;
    }

    std::string Content(std::string_view name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path m_folder;
    fs::path m_previous;
};

// Holds a lock on a file through a descriptor of its own, as another program would.
class ForeignLock {
public:
    ForeignLock(const std::string& path, int operation) : m_fd(open(path.c_str(), O_RDONLY)) {
        EXPECT_GE(m_fd, 0);
        EXPECT_EQ(flock(m_fd, operation | LOCK_NB), 0);
    }
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;
    ~ForeignLock() { close(m_fd); }

private:
    int m_fd;
};

TEST_F(FileBytesTest, ReadGivesTheWholeFileOrNothing) {
    const std::string binary("GIF89a\0\x01\xFF\r\n", 11);
    Put("picture.gif", binary);
    Put("empty.bin", "");
    fs::create_directory(PathOf("folder"));
    struct Case {
        const char* name;
        std::string path;
        std::string expected;
    };
    const Case cases[] = {
        {"empty path", "", ""},
        {"relative name", "picture.gif", binary},
        {"absolute path", PathOf("picture.gif"), binary},
        {"the name ends at a NUL", std::string("picture.gif\0junk", 16), binary},
        {"missing file", "missing.gif", ""},
        {"empty file", "empty.bin", ""},
        {"a folder", "folder", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AsString(ReadFileBytes(c.path)), c.expected) << "case: " << c.name;
    }
}

TEST_F(FileBytesTest, ReadIsRefusedWhileAWriterHoldsTheFile) {
    Put("logo.bmp", "BM...");
    {
        const ForeignLock writer(PathOf("logo.bmp"), LOCK_EX);
        EXPECT_EQ(AsString(ReadFileBytes("logo.bmp")), "");
    }
    {
        const ForeignLock reader(PathOf("logo.bmp"), LOCK_SH);
        EXPECT_EQ(AsString(ReadFileBytes("logo.bmp")), "BM...");
    }
    EXPECT_EQ(AsString(ReadFileBytes("logo.bmp")), "BM...");
}

TEST_F(FileBytesTest, WriteCreatesOrReplacesTheWholeFile) {
    struct Case {
        const char* name;
        std::vector<std::string> parts;
        std::string expected;
    };
    const Case cases[] = {
        {"one part", {"BM header and rows"}, "BM header and rows"},
        {"parts in order, empty ones skipped", {"ab", "", "cd", ""}, "abcd"},
        {"shorter content leaves nothing of the old", {"x"}, "x"},
        {"no bytes at all still makes the file", {"", ""}, ""},
    };
    Put("out.jpg", "old content that is longer");
    for (const Case& c : cases) {
        std::vector<std::span<const std::uint8_t>> spans;
        for (const auto& part : c.parts) spans.push_back(Bytes(part));
        const bool written =
            c.parts.size() == 1 ? WriteFileBytes("out.jpg", {spans[0]})
            : c.parts.size() == 2
                ? WriteFileBytes("out.jpg", {spans[0], spans[1]})
                : WriteFileBytes("out.jpg", {spans[0], spans[1], spans[2], spans[3]});
        EXPECT_TRUE(written) << "case: " << c.name;
        EXPECT_EQ(Content("out.jpg"), c.expected) << "case: " << c.name;
        EXPECT_EQ(Names(), std::set<std::string>{"out.jpg"}) << "case: " << c.name;
    }
    EXPECT_TRUE(WriteFileBytes(PathOf("absolute.jpg"), {}));
    EXPECT_TRUE(fs::exists(PathOf("absolute.jpg")));
}

TEST_F(FileBytesTest, CodePageNameAppearsInUtf8OnDisk) {
    // 中文2013年.jpg in GBK bytes.
    const std::string gbkName =
        "\xD6\xD0\xCE\xC4"
        "2013\xC4\xEA.jpg";
    ASSERT_TRUE(WriteFileBytes(gbkName, {Bytes("BM")}));
    EXPECT_EQ(Names(), std::set<std::string>{"中文2013年.jpg"});
    EXPECT_EQ(AsString(ReadFileBytes(gbkName)), "BM");
}

TEST_F(FileBytesTest, FailedWriteLeavesEverythingAsItWas) {
    Put("kept.jpg", "old");
    fs::create_directory(PathOf("folder"));
    struct Case {
        const char* name;
        std::string target;
    };
    const Case cases[] = {
        {"empty name", ""},
        {"name in a missing folder", "no-such-folder/new.jpg"},
        {"name of a folder", "folder"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(WriteFileBytes(c.target, {Bytes("new")})) << "case: " << c.name;
        EXPECT_EQ(Names(), (std::set<std::string>{"folder", "kept.jpg"})) << "case: " << c.name;
        EXPECT_TRUE(fs::is_empty(PathOf("folder"))) << "case: " << c.name;
    }
    {
        const ForeignLock reader(PathOf("kept.jpg"), LOCK_SH);
        EXPECT_FALSE(WriteFileBytes("kept.jpg", {Bytes("new")})) << "case: file held by a reader";
    }
    EXPECT_EQ(Content("kept.jpg"), "old");
    EXPECT_EQ(Names(), (std::set<std::string>{"folder", "kept.jpg"}));
}

// A file size limit makes the second write fail part-way, as a full disk would.
TEST_F(FileBytesTest, WriteThatBreaksOffKeepsTheOldFile) {
    Put("kept.jpg", "old");
    const std::string part(3000, 'p');
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileBytes("kept.jpg", {Bytes(part), Bytes(part)});
    setrlimit(RLIMIT_FSIZE, &previous);
    signal(SIGXFSZ, previousSignal);

    EXPECT_FALSE(written);
    EXPECT_EQ(Content("kept.jpg"), "old");
    EXPECT_EQ(Names(), std::set<std::string>{"kept.jpg"});
}

// Root passes every permission check, so as root the checks run in a child that has given
// the folder to an ordinary user and become that user.
TEST_F(FileBytesTest, WriteRespectsPermissions) {
    Put("read-only.jpg", "old");
    fs::create_directory(PathOf("locked"));
    const auto refusesBoth = [&] {
        fs::permissions(PathOf("read-only.jpg"), fs::perms::owner_read);
        fs::permissions(PathOf("locked"), fs::perms::owner_read | fs::perms::owner_exec);
        return !WriteFileBytes("read-only.jpg", {Bytes("new")}) &&
               Content("read-only.jpg") == "old" &&
               !WriteFileBytes("locked/new.jpg", {Bytes("new")}) &&
               !fs::exists(PathOf("locked/new.jpg"));
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(refusesBoth());
        return;
    }
    // The child exits 0 when both writes were refused, 1 when one was not, and 2 when it
    // could not become the ordinary user (a user namespace without that user).
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        for (const std::string& name :
             {m_folder.string(), PathOf("read-only.jpg"), PathOf("locked")}) {
            if (chown(name.c_str(), kNobody, kNobody) != 0) _exit(2);
        }
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
        _exit(refusesBoth() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot become an ordinary user here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a write went through a permission that forbids it";
}

}  // namespace
}  // namespace qrlogo::platform
