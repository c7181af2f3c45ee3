// A save killed at any step, or failing to write, leaves the old file or the
// new one, never anything else. strace stops the save tool at each system
// call of a kind in turn.
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/testsupport/TestFiles.h"
#include "xml/XMLParser.h"

extern char** environ;

namespace pw {
namespace {

using test::readAll;
using test::TempDir;
using test::writeAll;

struct Outcome {
    bool killed = false;
    int exitStatus = -1;
};

// Runs the save tool under strace with one injection.
Outcome saveUnder(const std::string& injection, const std::string& source,
                  const std::string& target) {
    std::vector<std::string> args = {"strace",  "-qq",        "-o",   "/dev/null", "-e",
                                     injection, PW_SAVE_TOOL, source, target};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid;
    Outcome outcome;
    if (posix_spawnp(&pid, "strace", nullptr, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "strace could not be started; it is needed for this test";
        return outcome;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

class SaveCrash : public ::testing::Test {
protected:
    void SetUp() override {
        // The old file is a small document, the new one the sample learning
        // file with one more record: they differ in size and content.
        XMLParser doc;
        ASSERT_TRUE(doc.parseString(
            u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><SentenceList><title/></SentenceList>"));
        ASSERT_TRUE(doc.saveAs(m_target));
        m_old = readAll(m_target);

        ASSERT_TRUE(doc.load(sourceDir() + "/Data/EverydayEnglish.xml"));
        doc.getRoot()
            ->appendElement(u"SentenceGroup")
            ->appendElement(u"sentence")
            ->appendCData(u"A record that only the new version has.");
        ASSERT_TRUE(doc.saveAs(m_source));
        XMLParser expected;
        ASSERT_TRUE(expected.load(m_source));
        ASSERT_TRUE(expected.saveAs(m_dir.file("expected.xml")));
        m_new = readAll(m_dir.file("expected.xml"));
        ASSERT_NE(m_old, m_new);
    }

    static std::string sourceDir() { return test::sourceDir(); }

    TempDir m_dir;
    const std::string m_source = m_dir.file("source.xml");
    const std::string m_target = m_dir.file("target.xml");
    std::string m_old;
    std::string m_new;
};

TEST_F(SaveCrash, AKillAtAnyStepLeavesTheOldOrTheNewFile) {
    for (const char* call : {"openat", "write", "fchmod", "fsync", "close", "rename"}) {
        int kills = 0;
        for (int n = 1; n < 200; ++n) {
            writeAll(m_target, m_old);
            const std::string injection =
                std::string("inject=") + call + ":signal=KILL:when=" + std::to_string(n);
            const Outcome outcome = saveUnder(injection, m_source, m_target);
            const std::string now = readAll(m_target);
            EXPECT_TRUE(now == m_old || now == m_new)
                << "killed at " << call << " " << n << ": " << now.size() << " bytes";
            if (!outcome.killed) {
                EXPECT_EQ(outcome.exitStatus, 0) << call << " " << n;
                EXPECT_EQ(now, m_new) << call << " " << n;
                break;
            }
            ++kills;
        }
        EXPECT_GT(kills, 0) << "the save never made a " << call << " call";
    }
}

TEST_F(SaveCrash, AFailedWriteOrSyncReportsFailureAndKeepsTheOldFile) {
    for (const char* injection :
         {"inject=write:error=ENOSPC", "inject=fsync:error=EIO", "inject=rename:error=EXDEV"}) {
        writeAll(m_target, m_old);
        const Outcome outcome = saveUnder(injection, m_source, m_target);
        EXPECT_FALSE(outcome.killed);
        EXPECT_EQ(outcome.exitStatus, 1) << injection;
        EXPECT_EQ(readAll(m_target), m_old) << injection;
    }
}

}  // namespace
}  // namespace pw
