// One copy per user: the guard as processes see it.

#include "platform/InstanceLock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>
#include <filesystem>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kSettleMs = 1500;  // long enough for a started copy to reach its dialog

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1); }

    // A copy of the program on the offscreen platform, with its lock in our folder.
    std::unique_ptr<QProcess> Start(const QString& program)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.path().string()));
        process->setProcessEnvironment(environment);
        process->start(program, {});
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }

    bool LockHeldElsewhere() const
    {
        const int fd = open((runtime_ / "Lumora.exe.lock").c_str(), O_RDWR);
        if (fd < 0)
            return false;
        const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
        close(fd);  // also drops our lock, if we got it
        return held;
    }

    void WaitUntilLockHeld() const
    {
        for (int waited = 0; waited < 10000 && !LockHeldElsewhere(); waited += 50)
            usleep(50 * 1000);
        ASSERT_TRUE(LockHeldElsewhere());
    }

    static void Kill(QProcess& process)
    {
        process.kill();
        process.waitForFinished();
    }

    TempDir runtime_;
};

}  // namespace

TEST_F(SingleInstance, SecondCopyEndsAtOnceAlsoUnderAnotherNameAndTheFirstRunsOn)
{
    const auto first = Start(LUMORA_BINARY);
    WaitUntilLockHeld();

    const auto second = Start(LUMORA_BINARY);
    EXPECT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(second->readAllStandardOutput().isEmpty());

    const fs::path renamed = runtime_ / "another-name";
    fs::copy_file(LUMORA_BINARY, renamed);
    const auto third = Start(QString::fromStdString(renamed.string()));
    EXPECT_TRUE(third->waitForFinished(5000));

    EXPECT_EQ(first->state(), QProcess::Running);
    Kill(*first);
}

TEST_F(SingleInstance, ACopyStartsNormallyAfterTheFirstWasKilled)
{
    const auto first = Start(LUMORA_BINARY);
    WaitUntilLockHeld();
    Kill(*first);

    const auto next = Start(LUMORA_BINARY);
    EXPECT_FALSE(next->waitForFinished(kSettleMs));  // still running: it got the lock
    Kill(*next);
}

TEST_F(SingleInstance, LockIsFreeAgainAfterItsHolderExitedNormally)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const InstanceLock lock = CreateInstanceLock("Lumora.exe");
        _exit(lock.handle >= 0 && !lock.alreadyExists ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const InstanceLock lock = CreateInstanceLock("Lumora.exe");
    EXPECT_GE(lock.handle, 0);
    EXPECT_FALSE(lock.alreadyExists);
    close(lock.handle);
}

TEST_F(SingleInstance, UnusableLockFolderRunsWithoutAGuard)
{
    setenv("XDG_RUNTIME_DIR", (runtime_ / "missing").c_str(), 1);
    const InstanceLock lock = CreateInstanceLock("Lumora.exe");
    EXPECT_EQ(lock.handle, -1);
    EXPECT_FALSE(lock.alreadyExists);
}

TEST_F(SingleInstance, PlantedLinkIsNotFollowed)
{
    const fs::path target = runtime_ / "victim";
    fs::create_symlink(target, runtime_ / "Lumora.exe.lock");
    const InstanceLock lock = CreateInstanceLock("Lumora.exe");
    EXPECT_EQ(lock.handle, -1);
    EXPECT_FALSE(fs::exists(target));
}
