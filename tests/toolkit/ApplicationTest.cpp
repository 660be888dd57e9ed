#include "toolkit/Application.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Seams.h"
#include "toolkit/Form.h"
#include "toolkit/TestMessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

struct TShownMessage {
    std::wstring Title;
    std::wstring Text;
    UINT Flags;
};

TEST(Application, SynchronizeRunsTheCallOnTheUIThreadAndWaitsForIt) {
    const DWORD uiThread = GetCurrentThreadId();
    ASSERT_TRUE(Application.InMainThread());
    std::vector<DWORD> ranOn;
    std::vector<int> order;
    std::atomic<bool> workerDone = false;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            Application.Synchronize([&, i] {
                ranOn.push_back(GetCurrentThreadId());
                order.push_back(i);
            });
            // The call has run by the time Synchronize returns.
            order.push_back(static_cast<int>(order.size()) == 2 * i + 1 ? 100 + i : -1);
        }
        workerDone = true;
    });
    const bool finished = PumpUntil([&] { return workerDone.load(); });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(ranOn, (std::vector<DWORD>(3, uiThread)));
    EXPECT_EQ(order, (std::vector<int>{0, 100, 1, 101, 2, 102}));
}

TEST(Application, SynchronizeOnTheUIThreadRunsAtOnce) {
    bool ran = false;
    Application.Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(Application, AnErrorOfTheCallIsRaisedAgainInTheWorker) {
    std::wstring caught;
    std::thread worker([&] {
        try {
            Application.Synchronize([] { throw ERangeError(L"no such step"); });
        } catch (const ERangeError& error) {
            caught = error.Message();
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return !caught.empty(); }));
    worker.join();
    EXPECT_EQ(caught, L"no such step");
}

// The UI thread waits for an event that the worker sets only after two synchronous calls: the
// wait has to run those calls, or both threads would wait for each other forever.
TEST(Application, AUIThreadWaitServesTheWorkersCalls) {
    TUniqueKernelHandle finished(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    int calls = 0;
    std::thread worker([&] {
        Application.Synchronize([&] { ++calls; });
        Application.Synchronize([&] { ++calls; });
        SetEvent(finished.get());
    });
    const bool signalled = Application.WaitFor(finished.get(), 20000);
    worker.join();
    EXPECT_TRUE(signalled);
    EXPECT_EQ(calls, 2);
}

TEST(Application, WaitForGivesUpAfterItsTimeout) {
    TUniqueKernelHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(Application.WaitFor(never.get(), 30));
}

TEST(Application, TerminateFromAWorkerEndsTheMessageLoop) {
    bool ranInLoop = false;
    std::thread worker([&] {
        Application.Synchronize([&] { ranInLoop = true; });
        Application.Terminate();
    });
    Application.Run();
    worker.join();
    EXPECT_TRUE(ranInLoop);
    EXPECT_TRUE(Application.Terminated());
}

TEST(Application, FormsAreListedWhileTheyExist) {
    const int before = Application.FormCount();
    auto* first = new TForm(&Application);
    auto second = std::make_unique<TForm>(nullptr);
    ASSERT_EQ(Application.FormCount(), before + 2);
    EXPECT_EQ(Application.Forms(before), first);
    EXPECT_EQ(Application.Forms(before + 1), second.get());
    EXPECT_EQ(first->Owner(), &Application);
    EXPECT_THROW(Application.Forms(before + 2), ERangeError);

    Application.SetMainForm(first);
    delete first;
    EXPECT_EQ(Application.MainForm(), nullptr) << "a freed main form is no longer the main form";
    ASSERT_EQ(Application.FormCount(), before + 1);
    EXPECT_EQ(Application.Forms(before), second.get());
    second.reset();
    EXPECT_EQ(Application.FormCount(), before);
}

TEST(Application, TheGeneralErrorReportShowsTheMessage) {
    std::vector<TShownMessage> shown;
    TMessageOverride messages([&](const std::wstring& Title, const std::wstring& Text, UINT Flags) {
        shown.push_back({Title, Text, Flags});
        return IDOK;
    });
    Application.SetTitle(L"Fetchora Installer");
    const auto report = [](auto Raise) {
        try {
            Raise();
        } catch (...) {
            Application.HandleCurrentException();
        }
    };
    report([] { throw EConvertError(L"\"1.x\" is not a valid version."); });
    report([] { throw std::runtime_error("plain error"); });
    report([] { throw 42; });

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].Title, L"Fetchora Installer");
    EXPECT_EQ(shown[0].Text, L"\"1.x\" is not a valid version.");
    EXPECT_EQ(shown[0].Flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(shown[1].Text, L"plain error");
    EXPECT_EQ(shown[2].Text, L"An unknown error has occurred.");
}

TEST(Application, AfterItsEndWorkerCallsNeitherRunNorReturn) {
    // Static storage that outlives the object, as the global Application's does at program exit.
    alignas(TApplication) static unsigned char storage[sizeof(TApplication)];
    auto* application = new (storage) TApplication();
    new TForm(application);
    const int formsBefore = Application.FormCount();
    application->~TApplication();
    EXPECT_EQ(Application.FormCount(), formsBefore - 1) << "its forms were freed with it";

    // The worker stays blocked until the test process ends, like an animation at program exit.
    auto ran = std::make_shared<std::atomic<bool>>(false);
    auto returned = std::make_shared<std::atomic<bool>>(false);
    std::thread([application, ran, returned] {
        application->Synchronize([ran] { *ran = true; });
        *returned = true;
    }).detach();
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(*ran);
    EXPECT_FALSE(*returned);
}

} // namespace
