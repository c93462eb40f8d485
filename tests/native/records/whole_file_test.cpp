// Whole files replaced through a temporary file: the target holds either what it held or all of the
// new bytes, and no temporary file stays behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "records_platform.h"
#include "text_convert.h"

namespace {
class WholeFile : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/orvi-whole-file-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(name));
        folder_ = name;
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        DIR* dir = opendir(folder_.c_str());
        while (dirent* entry = dir ? readdir(dir) : nullptr)
            if (entry->d_name[0] != '.') names.insert(entry->d_name);
        if (dir) closedir(dir);
        return names;
    }

    static std::string Contents(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::string folder_;
};

TEST_F(WholeFile, ReplacesTheFileKeepingWhoMayReadItAndLeavesNothingElse) {
    const std::string path = Path("relatório Ω.html");
    std::ofstream(path, std::ios::binary) << "antigo";
    ASSERT_EQ(0, chmod(path.c_str(), 0640));
    const std::string bytes(200000, 'x');
    std::string problem;
    ASSERT_TRUE(ReplaceWholeFile(path, bytes, &problem)) << problem;
    EXPECT_EQ(bytes, Contents(path));
    struct stat status {};
    ASSERT_EQ(0, stat(path.c_str(), &status));
    EXPECT_EQ(0640u, status.st_mode & 07777);
    EXPECT_EQ(std::set<std::string>{"relatório Ω.html"}, Names());

    // A file that did not exist is made.
    ASSERT_TRUE(ReplaceWholeFile(Path("novo.ini"), "[Orvi]\n", &problem)) << problem;
    EXPECT_EQ("[Orvi]\n", Contents(Path("novo.ini")));
}

TEST_F(WholeFile, AFailedWriteLeavesTheTargetAsItWasAndNoTemporaryFile) {
    const std::string path = Path("orvi.ini");
    std::ofstream(path, std::ios::binary) << "antigo";
    ASSERT_EQ(0, mkdir(Path("pasta").c_str(), 0700));
    const std::set<std::string> before = Names();

    // A disk that fills up halfway, as a file-size limit makes it (the write fails with EFBIG).
    rlimit old{};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old));
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    std::string problem;
    const bool written = ReplaceWholeFile(path, std::string(100000, 'x'), &problem);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ("o arquivo passaria do tamanho permitido", problem);
    EXPECT_EQ("antigo", Contents(path));
    EXPECT_EQ(before, Names());

    const struct {
        std::string path;
        const char* problem;
    } failures[] = {
        {Path("pasta"), "é uma pasta, não um arquivo"},
        {Path("sem-pasta/orvi.ini"), "o arquivo ou a pasta não existe"},
    };
    for (const auto& failure : failures) {
        problem.clear();
        EXPECT_FALSE(ReplaceWholeFile(failure.path, "novo", &problem)) << failure.path;
        EXPECT_EQ(failure.problem, problem) << failure.path;
        EXPECT_EQ(before, Names()) << failure.path;
    }
}
}  // namespace
