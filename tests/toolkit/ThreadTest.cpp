#include "toolkit/Thread.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Seams.h"
#include "toolkit/TestMessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace {

// Runs a given body; tells when it is freed.
class TBodyThread : public TThread {
public:
    TBodyThread(std::function<void(TBodyThread&)> ABody, std::atomic<bool>* AFreed = nullptr)
        : FBody(std::move(ABody)), FFreed(AFreed) {}
    ~TBodyThread() override {
        WaitUntilFinished();
        if (FFreed != nullptr) {
            *FFreed = true;
        }
    }
    using TThread::Synchronize;
    using TThread::Terminated;

protected:
    void Execute() override { FBody(*this); }

private:
    std::function<void(TBodyThread&)> FBody;
    std::atomic<bool>* FFreed;
};

TEST(Thread, RunsOnceAfterStartAndWaitForServesItsCalls) {
    std::vector<DWORD> ranOn;
    TBodyThread thread([&](TBodyThread& Self) {
        for (int i = 0; i < 3; ++i) {
            Self.Synchronize([&] { ranOn.push_back(GetCurrentThreadId()); });
        }
    });
    EXPECT_FALSE(thread.Started());
    thread.Start();
    EXPECT_THROW(thread.Start(), EError);
    thread.WaitFor(); // on the UI thread, without any message loop
    EXPECT_TRUE(thread.Finished());
    EXPECT_EQ(ranOn, (std::vector<DWORD>(3, GetCurrentThreadId())));
    EXPECT_FALSE(thread.FatalException());
}

TEST(Thread, TerminateOnlyRequests) {
    std::atomic<bool> release = false;
    std::atomic<bool> sawRequest = false;
    TBodyThread thread([&](TBodyThread& Self) {
        while (!release) {
            Sleep(1);
        }
        sawRequest = Self.Terminated();
    });
    thread.Start();
    thread.Terminate();
    EXPECT_FALSE(thread.Finished()) << "the request does not stop the thread";
    release = true;
    thread.WaitFor();
    EXPECT_TRUE(sawRequest);
}

TEST(Thread, DeletingARunningThreadWaitsAndServesItsCalls) {
    std::atomic<bool> started = false;
    int calls = 0;
    {
        TBodyThread thread([&](TBodyThread& Self) {
            started = true;
            Sleep(20);
            Self.Synchronize([&] { ++calls; });
        });
        thread.Start();
        while (!started) {
            Sleep(1);
        }
    }
    EXPECT_EQ(calls, 1);
}

TEST(Thread, AnErrorOfExecuteIsKeptForTheOwner) {
    TBodyThread thread([](TBodyThread&) { throw ERangeError(L"out of steps"); });
    thread.Start();
    thread.WaitFor();
    ASSERT_TRUE(thread.FatalException());
    EXPECT_THROW(std::rethrow_exception(thread.FatalException()), ERangeError);
}

TEST(Thread, FreeOnTerminateDeletesItselfAndReportsItsError) {
    std::vector<std::wstring> shown;
    TMessageOverride messages([&](const std::wstring&, const std::wstring& Text, UINT) {
        shown.push_back(Text);
        return IDOK;
    });
    std::atomic<bool> freedQuietly = false;
    std::atomic<bool> freedAfterError = false;
    auto* quiet = new TBodyThread([](TBodyThread&) {}, &freedQuietly);
    quiet->SetFreeOnTerminate(true);
    auto* failing = new TBodyThread([](TBodyThread&) { throw EError(L"animation failed"); }, &freedAfterError);
    failing->SetFreeOnTerminate(true);
    quiet->Start();
    failing->Start();
    ASSERT_TRUE(PumpUntil([&] { return freedQuietly && freedAfterError; }));
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"animation failed"}));
}

TEST(Thread, ASelfFreeingThreadCannotBeWaitedFor) {
    std::atomic<bool> release = false;
    std::atomic<bool> freed = false;
    auto* thread = new TBodyThread(
        [&](TBodyThread&) {
            while (!release) {
                Sleep(1);
            }
        },
        &freed);
    thread->SetFreeOnTerminate(true);
    thread->Start();
    EXPECT_THROW(thread->WaitFor(), EError);
    release = true;
    ASSERT_TRUE(PumpUntil([&] { return freed.load(); }));
}

} // namespace
