#include "sysutil/Processes.h"
#include "sysutil/Handles.h"
#include "sysutil/Seams.h"
#include "sysutil/ShellRun.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::wstring OwnExecutable() {
    wchar_t path[MAX_PATH * 4];
    return std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH * 4));
}

const TProcess* FindProcess(const std::vector<TProcess>& Processes, DWORD PID) {
    const auto found =
        std::find_if(Processes.begin(), Processes.end(), [PID](const TProcess& p) { return p.PID == PID; });
    return found == Processes.end() ? nullptr : &*found;
}

TEST(Processes, ListContainsTheRunningTestItself) {
    const std::vector<TProcess> processes = GetRunningProcesses();
    const TProcess* self = FindProcess(processes, GetCurrentProcessId());
    ASSERT_NE(self, nullptr) << processes.size() << " processes listed";
    const std::wstring own = OwnExecutable();
    EXPECT_EQ(self->Module, own.substr(own.find_last_of(L'\\') + 1));
    EXPECT_EQ(CompareStringOrdinal(self->FileName.c_str(), -1, own.c_str(), -1, TRUE), CSTR_EQUAL)
        << self->FileName << " is not " << own;
    EXPECT_GE(self->Threads, 1u);
    EXPECT_NE(self->ParentPID, self->PID);
    EXPECT_TRUE(self->Command.empty());
}

struct TaskkillCase {
    void (TProcess::*Method)() const;
    const wchar_t* Parameters;
};

TEST(Processes, CloseAndKillRunTaskkillFromTheSystemFolderHidden) {
    const TaskkillCase cases[] = {
        {&TProcess::CloseProcess, L"/PID \"4312\""},
        {&TProcess::KillProcess, L"/PID \"4312\" /F"},
    };
    for (const TaskkillCase& c : cases) {
        std::vector<TProgramStart> starts;
        const TStartOverride recorder([&starts](const TProgramStart& Start) { starts.push_back(Start); });
        TProcess process;
        process.PID = 4312;
        (process.*c.Method)();
        ASSERT_EQ(starts.size(), 1u) << c.Parameters;
        EXPECT_EQ(starts[0].Verb, L"open");
        EXPECT_EQ(starts[0].FileName, SystemProgramPath(L"taskkill.exe"));
        EXPECT_EQ(starts[0].Parameters, c.Parameters);
        EXPECT_EQ(starts[0].WorkingFolder, L"");
        EXPECT_EQ(starts[0].ShowCommand, SW_HIDE);
    }
}

// A console program that waits for input that never comes, until it is killed. A guarded
// child has an empty access list, so that no one else can open it, like a system process.
struct TWaitingChild {
    TUniqueKernelHandle Process;
    TUniqueKernelHandle InputWrite;
    DWORD PID = 0;

    explicit TWaitingChild(bool Guarded = false) {
        SECURITY_DESCRIPTOR guard;
        ACL nobody;
        InitializeSecurityDescriptor(&guard, SECURITY_DESCRIPTOR_REVISION);
        InitializeAcl(&nobody, sizeof(nobody), ACL_REVISION);
        SetSecurityDescriptorDacl(&guard, TRUE, &nobody, FALSE);
        SECURITY_ATTRIBUTES processSecurity{sizeof(processSecurity), &guard, FALSE};
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!CreatePipe(&read, &write, &inherit, 0)) {
            return;
        }
        const TUniqueKernelHandle inputRead(read);
        InputWrite.reset(write);
        SetHandleInformation(write, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = read;
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        const std::wstring program = SystemProgramPath(L"cmd.exe");
        std::wstring command = L"\"" + program + L"\" /c pause";
        PROCESS_INFORMATION info{};
        if (CreateProcessW(program.c_str(), command.data(), Guarded ? &processSecurity : nullptr, nullptr, TRUE,
                           CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            Process.reset(info.hProcess);
            PID = info.dwProcessId;
        }
    }
    ~TWaitingChild() {
        // Should the kill have failed, the child must not outlive the test.
        if (Process && WaitForSingleObject(Process.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(Process.get(), 1);
        }
    }
};

TEST(Processes, KillProcessEndsARealChild) {
    TWaitingChild child;
    ASSERT_TRUE(child.Process) << "cmd.exe could not be started";
    ASSERT_EQ(WaitForSingleObject(child.Process.get(), 300), WAIT_TIMEOUT) << "the child should wait";

    const std::vector<TProcess> processes = GetRunningProcesses();
    const TProcess* listed = FindProcess(processes, child.PID);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->Module, L"cmd.exe");
    EXPECT_EQ(listed->ParentPID, GetCurrentProcessId());

    listed->KillProcess();
    EXPECT_EQ(WaitForSingleObject(child.Process.get(), 30000), WAIT_OBJECT_0) << "taskkill did not end the child";
}

TEST(Processes, ListsAProcessThatCannotBeOpenedWithoutFileName) {
    const TWaitingChild child(true);
    ASSERT_TRUE(child.Process) << "cmd.exe could not be started";
    const std::vector<TProcess> processes = GetRunningProcesses();
    const TProcess* listed = FindProcess(processes, child.PID);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->Module, L"cmd.exe");
    EXPECT_EQ(listed->FileName, L"");
    EXPECT_GE(listed->Threads, 1u);
}

TEST(Processes, GetIconOnlyForAnExistingFile) {
    TProcess process;
    // Our test program carries no icon of its own; the system's text editor does.
    process.FileName = SystemProgramPath(L"notepad.exe");
    const TUniqueIcon icon = process.GetIcon();
    EXPECT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info)) << "not a usable icon";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    wchar_t temp[MAX_PATH];
    const std::wstring folder(temp, GetTempPathW(MAX_PATH, temp));
    for (const std::wstring& missing : {std::wstring(), OwnExecutable() + L".missing", folder}) {
        process.FileName = missing;
        EXPECT_FALSE(process.GetIcon()) << "FileName " << missing;
    }
}

} // namespace
