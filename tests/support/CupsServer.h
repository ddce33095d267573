// A private CUPS server for tests that print through a real queue: cupsd started from a
// temporary directory with its own configuration, listening only on a socket there, with one
// cups-pdf queue. It stops with the object. cupsd runs filters and backends as root, so the tests
// that use it need root (the test runs have it).
//
//   vmtest::CupsServer cups;
//   if (!cups.Running()) GTEST_SKIP() << cups.Error();
//   setenv("CUPS_SERVER", cups.Socket().c_str(), 1);  // before the process first asks CUPS
//   setenv("CUPS_USER", vmtest::CupsServer::kJobUser, 1);
//   ... print to cups.Queue() ...
//   std::vector<std::string> pdfs = cups.WaitForOutput(marker);  // the PDFs the queue wrote
#pragma once

#include "support/TempDir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace vmtest {

class CupsServer
{
public:
    // A user name no system has: cups-pdf writes the jobs of unknown users into its anonymous
    // folder instead of a home directory.
    static constexpr const char* kJobUser = "volumark-print-test";

    explicit CupsServer(std::string queue = "VolumarkTest");
    ~CupsServer();
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    // False when cupsd, cups-pdf or root are missing, or the server did not start; Error()
    // says which, so the test can skip with the reason.
    bool Running() const { return pid_ > 0; }
    const std::string& Error() const { return error_; }
    const std::string& Socket() const { return socket_; }
    const std::string& Queue() const { return queue_; }
    // Where cups-pdf writes the jobs of unknown users.
    const std::string& OutputDirectory() const { return output_; }

    // Waits (up to 60 s) for PDF files in the output folder, written since the server started,
    // whose text (pdftotext) holds marker; returns their paths and removes them afterwards
    // when the server stops. Empty when none came; the server's log then says why.
    std::vector<std::string> WaitForOutput(const std::string& marker);
    std::string Log() const;

private:
    bool Start();
    void Stop();

    TempDir dir_;
    std::string queue_, socket_, output_, error_;
    pid_t pid_ = -1;
    long long started_ = 0; // seconds since the epoch
    std::vector<std::string> written_;
};

} // namespace vmtest
