// Throughput of a feed download over loopback: our client beside curl,
// fetching the same 10 MB document from the same nginx in the same run.
//
// nginx runs as a child process with a generated configuration in a scratch
// directory on a free 127.0.0.1 port. Both benchmarks time the transfer
// itself (connect, request, body): ours with a steady clock around Get, curl
// with its own time_total, so curl's process start-up is not counted.

#include "http/HeaderFolding.h"
#include "http/TIdHTTP.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFeedSize = 10 * 1000 * 1000;

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

bool Accepting(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

pid_t Spawn(const std::vector<std::string>& argv, const char* stdoutPath = nullptr) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutPath) {
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath, O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    }
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

// nginx serving one generated feed, for the whole program run.
class FeedServer {
public:
    FeedServer() {
        dir_ = fs::temp_directory_path() / ("zavrio-http-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "www");
        std::ofstream feed(dir_ / "www" / "feed.xml", std::ios::binary);
        std::string doc =
            "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>bench</title>\n";
        for (int i = 0; doc.size() < kFeedSize - 40; ++i) {
            doc += "<item><title>Clip " + std::to_string(i) +
                   "</title><link>http://www.zavrio.com/watch?v=" + std::to_string(i) +
                   "</link></item>\n";
        }
        doc.resize(kFeedSize - 24, ' ');
        doc += "</channel></rss>\n";
        doc.resize(kFeedSize, '\n');
        feed << doc;
        feed.close();
        port_ = FreePort();
        const fs::path conf = dir_ / "nginx.conf";
        std::ofstream(conf) << "daemon off;\nworker_processes 1;\npid "
                            << (dir_ / "nginx.pid").string() << ";\nerror_log "
                            << (dir_ / "error.log").string()
                            << ";\nevents { worker_connections 64; }\n"
                               "http {\n  access_log off;\n  sendfile on;\n"
                               "  client_body_temp_path "
                            << (dir_ / "tmp").string() << ";\n  proxy_temp_path "
                            << (dir_ / "tmp").string() << ";\n  fastcgi_temp_path "
                            << (dir_ / "tmp").string()
                            << ";\n  server {\n    listen 127.0.0.1:" << port_ << ";\n    root "
                            << (dir_ / "www").string() << ";\n  }\n}\n";
        pid_ = Spawn({"nginx", "-p", dir_.string(), "-c", conf.string()});
        for (int i = 0; i < 200 && !Accepting(port_); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!Accepting(port_)) {
            throw std::runtime_error("nginx did not start; see " + (dir_ / "error.log").string());
        }
    }
    ~FeedServer() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string Address() const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/feed.xml";
    }
    const fs::path& Dir() const { return dir_; }

private:
    fs::path dir_;
    int port_ = 0;
    pid_t pid_ = -1;
};

FeedServer& Server() {
    static FeedServer server;
    return server;
}

void BM_TIdHTTPGet(benchmark::State& state) {
    const std::string address = Server().Address();
    zavrio::TIdHTTP http;
    http.OnPump = [] {};
    std::string body;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        http.Get(address, body);
        http.Disconnect();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (body.size() != kFeedSize) {
            state.SkipWithError("short body");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFeedSize));
}
BENCHMARK(BM_TIdHTTPGet)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CurlGet(benchmark::State& state) {
    const std::string address = Server().Address();
    const std::string timing = (Server().Dir() / "curl-time").string();
    for (auto _ : state) {
        const pid_t pid = Spawn(
            {"curl", "-s", "-o", "/dev/null", "-w", "%{time_total} %{size_download}", address},
            timing.c_str());
        int status = 0;
        ::waitpid(pid, &status, 0);
        double seconds = 0;
        std::size_t size = 0;
        std::ifstream(timing) >> seconds >> size;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || size != kFeedSize) {
            state.SkipWithError("curl failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFeedSize));
}
BENCHMARK(BM_CurlGet)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

// Folding the Cookie line of n cookies, the cost every request of a client
// holding that many pays (the jar keeps at most 50 per domain; this is the
// fold alone, at sizes a server could once force on it).
void BM_FoldCookieHeader(benchmark::State& state) {
    std::string line = "Cookie: ";
    for (int i = 0; i < state.range(0); ++i)
        line += (i ? "; c" : "c") + std::to_string(i) + "=" + std::string(20, 'v');
    for (auto _ : state)
        benchmark::DoNotOptimize(zavrio::FoldHeaderLine(line));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_FoldCookieHeader)->Arg(50)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
