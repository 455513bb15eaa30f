#include "support/TemporaryFolder.h"

#include <foundation/SystemLog.h>

#include <runtime/Runtime.h>

#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <unistd.h>

using namespace foundation;

namespace {

TEST(SystemLog, KeepsTheLastLinesInOrder)
{
    SystemLog log(3);
    for (auto text : { "one", "two", "three", "four", "five" })
        log.write(text);
    EXPECT_EQ(log.lines(), (std::vector<std::string> { "three", "four", "five" }));
    EXPECT_EQ(log.totalWritten(), 5u);
    auto recent = log.entriesAfter(3);
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[0].sequence, 4u);
    EXPECT_EQ(recent[1].text, "five");
    EXPECT_TRUE(log.contains("four"));
    EXPECT_FALSE(log.contains("two"));
    log.clear();
    EXPECT_TRUE(log.lines().empty());
    log.write("six");
    EXPECT_EQ(log.entriesAfter(0).front().sequence, 6u) << "sequence numbers survive a clear";
}

TEST(SystemLog, NSLogFormatsAndKeepsTextExactly)
{
    SystemLog::shared().clear();
    NSLog("caricati {} preferiti", 3);
    NSLog("preferiti salvati: {}", "YES");
    NSLog("100% già fatto {}"); // preformatted: no placeholders are read
    EXPECT_EQ(SystemLog::shared().lines(), (std::vector<std::string> { "caricati 3 preferiti", "preferiti salvati: YES", "100% già fatto {}" }));
}

TEST(SystemLog, ManyThreadsWriteWithoutLosingLines)
{
    SystemLog log(4000);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&log, t] {
            for (int i = 0; i < 500; ++i)
                log.write("thread " + std::to_string(t) + " line " + std::to_string(i));
        });
    }
    for (auto& writer : writers)
        writer.join();
    EXPECT_EQ(log.totalWritten(), 2000u);
    EXPECT_EQ(log.lines().size(), 2000u);
    EXPECT_TRUE(log.contains("thread 3 line 499"));
}

TEST(SystemLog, MirrorsLinesToAFileWithTheProcessName)
{
    testsupport::TemporaryFolder temporary { "plv-syslog" };
    const auto& folder = temporary.path();
    auto file = folder / "var/log/syslog";
    SystemLog log;
    log.setProcessName("PLVSettings");
    log.write("before");
    ASSERT_TRUE(log.mirrorToFile(file));
    log.write("caricati 2 preferiti");
    log.stopMirroring();
    log.write("after");
    std::ifstream in(file);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, "PLVSettings[" + std::to_string(::getpid()) + "]: caricati 2 preferiti\n");
    EXPECT_FALSE(log.mirrorToFile(folder / "var/log/syslog/inside-a-file")) << "a path under a file cannot be opened";
}

TEST(SystemLog, CollectsTheRuntimeDiagnosticsOnceInstalled)
{
    SystemLog::shared().clear();
    installSystemLogAsDiagnosticSink();
    runtime::send<int>(runtime::Object::classObject(), "noSuchClassMethod");
    runtime::setDiagnosticSink(nullptr);
    EXPECT_EQ(SystemLog::shared().lines(), std::vector<std::string> { "+[NSObject noSuchClassMethod]: unrecognized selector sent to class" });
}

TEST(SystemLog, ExceptionsAreReportedInsteadOfEscaping)
{
    SystemLog::shared().clear();
    EXPECT_TRUE(callReportingExceptions("test", [] {}));
    EXPECT_FALSE(callReportingExceptions("test", [] { throw 42; }));
    EXPECT_EQ(SystemLog::shared().lines(), std::vector<std::string> { "*** Unknown exception in test" });
}

} // namespace
