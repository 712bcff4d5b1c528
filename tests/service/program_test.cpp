// The qrlogo-service program as a process: command line, start-up and stop on SIGTERM.
#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/qr_decode.h"
#include "tests/support/qr_service.h"

namespace qrlogo::test {
namespace {

std::string ServiceProgram() {
    const char* binDir = std::getenv("QRLOGO_BIN_DIR");
    return binDir ? std::string(binDir) + "/qrlogo-service" : std::string("qrlogo-service");
}

TEST(ServiceProgram, AnswersAndEndsCleanlyOnSigterm) {
    QrServiceProcess service;
    ASSERT_TRUE(service.Running()) << service.Error();
    const std::optional<HttpReply> reply = HttpGet(service.Port(), "/api.php?text=qrlogo");
    ASSERT_TRUE(reply);
    EXPECT_EQ(DecodeQrFromPng(reply->body), "qrlogo");

    const std::optional<int> status = service.Stop();
    ASSERT_TRUE(status) << "did not end within the time";
    EXPECT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0);
}

TEST(ServiceProgram, CommandLine) {
    struct Case {
        std::string arguments;
        int exitCode;
        std::string outputHas;
    };
    QrServiceProcess holder;  // keeps a port busy
    ASSERT_TRUE(holder.Running()) << holder.Error();
    const Case cases[] = {
        {"--help", 0, "usage: qrlogo-service"},
        {"--verbose", 2, "unknown argument"},
        {"--listen", 2, "unknown argument"},
        {"--listen 127.0.0.1", 2, "bad --listen"},
        {"--listen 127.0.0.1:65536", 2, "bad --listen"},
        {"--listen example.org:80", 2, "bad --listen"},
        {"--listen 127.0.0.1:" + std::to_string(holder.Port()), 1, "cannot listen"},
    };
    for (const Case& c : cases) {
        int code = -1;
        const std::string output =
            RunCommand(ServiceProgram() + " " + c.arguments + " 2>&1", &code);
        EXPECT_EQ(code, c.exitCode) << "case: " << c.arguments << "\n" << output;
        EXPECT_NE(output.find(c.outputHas), std::string::npos) << "case: " << c.arguments;
    }
}

}  // namespace
}  // namespace qrlogo::test
