// ToggleMute against a real sound server that the test starts itself (a null
// sink, a socket in a temporary directory), and without any server.

#include "TempDirectory.h"
#include "platform/SoundFunctions.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zavrio {
namespace {

// The output of a shell command, or nullopt when it failed.
std::optional<std::string> run(const std::string& command) {
    std::FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return std::nullopt;
    std::string out;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        out += buffer.data();
    return ::pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class SoundServer : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string socket = dir / "native";
        std::vector<std::string> args = {"pulseaudio",
                                         "-n",
                                         "--daemonize=no",
                                         "--exit-idle-time=-1",
                                         "--use-pid-file=no",
                                         "--disable-shm=yes",
                                         "--log-target=stderr",
                                         "--log-level=error",
                                         "-L",
                                         "module-null-sink sink_name=zavrio_test_sink",
                                         "-L",
                                         "module-native-protocol-unix auth-anonymous=1 socket=" +
                                             socket};
        // The server keeps its runtime files in the temporary directory; as root
        // it only warns that it is not meant to run so.
        std::vector<std::string> env = {"HOME=" + dir.path(), "XDG_RUNTIME_DIR=" + dir.path(),
                                        "XDG_CONFIG_HOME=" + dir.path(), "PATH=/usr/bin:/bin"};
        std::vector<char*> argv, envp;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        ASSERT_EQ(::posix_spawnp(&server, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()),
                  0)
            << "cannot start pulseaudio";

        serverEnv.emplace("PULSE_SERVER", "unix:" + socket);
        // Client files (the cookie) go to the temporary directory as well.
        homeEnv.emplace("HOME", dir.path());
        configEnv.emplace("XDG_CONFIG_HOME", dir.path());
        for (int i = 0; i < 600 && !run("pactl info"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(run("pactl info")) << "the sound server did not come up";
    }

    void TearDown() override {
        serverEnv.reset();
        homeEnv.reset();
        configEnv.reset();
        if (server > 0) {
            ::kill(server, SIGTERM);
            ::waitpid(server, nullptr, 0);
        }
    }

    static bool muted() {
        std::optional<std::string> out = run("pactl get-sink-mute @DEFAULT_SINK@");
        EXPECT_TRUE(out.has_value());
        return out && out->find("Mute: yes") != std::string::npos;
    }

    test::TempDirectory dir;
    pid_t server = 0;
    std::optional<ScopedEnv> serverEnv, homeEnv, configEnv;
};

TEST_F(SoundServer, ToggleFlipsTheDefaultSinkAndTwoTogglesRestoreIt) {
    ASSERT_TRUE(run("pactl get-default-sink").value_or("").starts_with("zavrio_test_sink"));
    for (bool start : {false, true}) {
        ASSERT_TRUE(run(std::string("pactl set-sink-mute @DEFAULT_SINK@ ") + (start ? "1" : "0")));
        ASSERT_EQ(muted(), start);
        ToggleMute(0);
        EXPECT_EQ(muted(), !start);
        ToggleMute(0x1234);
        EXPECT_EQ(muted(), start);
    }
}

TEST(SoundWithoutServer, NothingHappensAndNothingIsRaised) {
    test::TempDirectory dir;
    ScopedEnv server("PULSE_SERVER", "unix:" + (dir / "nobody-listens"));
    ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path());
    EXPECT_NO_THROW(ToggleMute(0));
    // Nothing was started on our behalf.
    EXPECT_FALSE(std::filesystem::exists(dir / "nobody-listens"));
    EXPECT_FALSE(std::filesystem::exists(dir / "pulse"));
}

TEST(SoundWithoutServer, ServerThatNeverAnswersDoesNotHang) {
    // A socket that accepts connections into its backlog but never speaks.
    test::TempDirectory dir;
    const std::string path = dir / "silent";
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    ScopedEnv server("PULSE_SERVER", "unix:" + path);
    EXPECT_NO_THROW(ToggleMute(0)); // returns once its time limit is spent
    ::close(fd);
}

} // namespace
} // namespace zavrio
