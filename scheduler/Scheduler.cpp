#include "Scheduler.h"

#include "afx/File.h"
#include "afx/Handle.h"

#include <initguid.h>
#include <mstask.h>

#include <string>
#include <vector>

namespace
{
const wchar_t kJobName[] = L"Quorvantis";

// A text that a task call handed back, freed with the task allocator.
std::wstring TakeTaskText(LPWSTR text)
{
    std::wstring copy = text ? text : L"";
    if (text)
        CoTaskMemFree(text);
    return copy;
}

bool SameFileByHandle(const std::wstring& a, const std::wstring& b, bool& same)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    CHandle first(CreateFileW(a.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING, 0, nullptr));
    CHandle second(CreateFileW(b.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION one, two;
    if (!first.IsValid() || !second.IsValid() || !GetFileInformationByHandle(first, &one) ||
        !GetFileInformationByHandle(second, &two))
        return false;
    same = one.dwVolumeSerialNumber == two.dwVolumeSerialNumber && one.nFileIndexHigh == two.nFileIndexHigh &&
           one.nFileIndexLow == two.nFileIndexLow;
    return true;
}

std::wstring FullPath(const std::wstring& path)
{
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    full.resize(length);
    return full;
}
} // namespace

CScheduler::CScheduler(const CString& programPath)
    : m_programPath(programPath.IsEmpty() ? GetRunningProgramPath() : programPath)
{
}

CScheduler::~CScheduler()
{
    m_taskScheduler.Reset();
    m_com.Uninitialize();
}

CString CScheduler::MonthDayName(int day)
{
    const int lastTwo = day % 100;
    const char* suffix = (lastTwo >= 11 && lastTwo <= 13) ? "th"
                         : day % 10 == 1                  ? "st"
                         : day % 10 == 2                  ? "nd"
                         : day % 10 == 3                  ? "rd"
                                                          : "th";
    CString text;
    text.Format("%d%s", day, suffix);
    return text;
}

CString CScheduler::WorkingFolderOf(const CString& programPath)
{
    int slash = programPath.ReverseFind('\\');
    return slash > 0 ? programPath.Left(slash) : CString();
}

int CScheduler::DayIndexFromWeekMask(int value)
{
    switch (value)
    {
    case 0:
        return 0;
    case 1:
        return 1;
    case 3:
        return 2;
    case 7:
        return 3;
    case 15:
        return 4;
    case 31:
        return 5;
    default:
        return 6;
    }
}

CString CScheduler::GetTaskAccountName()
{
    char computer[128] = {}, user[128] = {};
    DWORD size = sizeof(computer);
    if (!GetComputerNameA(computer, &size))
        computer[0] = '\0';
    size = sizeof(user);
    if (!GetUserNameA(user, &size))
        user[0] = '\0';
    CharUpperA(computer);
    return CString(computer) + "\\" + user;
}

const wchar_t* CScheduler::ParametersOf(int mode) { return mode == 2 ? L"/scan /clean" : L"/scan"; }

int CScheduler::ModeOf(const wchar_t* parameters)
{
    return parameters && wcsstr(parameters, L"/clean") ? 2 : 1;
}

bool CScheduler::IsSameProgram(const CString& a, const CString& b)
{
    if (a.IsEmpty() || b.IsEmpty())
        return false;
    const std::wstring wideA = FullPath(Utf8ToWide(a)), wideB = FullPath(Utf8ToWide(b));
    bool same = false;
    if (SameFileByHandle(wideA, wideB, same))
        return same;
    // A program file that is not there (moved, or not yet installed): by its full name.
    return CompareStringOrdinal(wideA.c_str(), -1, wideB.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool CScheduler::Open(CString& error)
{
    if (IsOpen())
        return true;
    HRESULT result = m_com.Initialize();
    if (FAILED(result))
    {
        error = ErrorText(static_cast<unsigned long>(result));
        return false;
    }
    result = CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                              m_taskScheduler.ReceiveVoid());
    if (FAILED(result))
    {
        m_taskScheduler.Reset();
        m_com.Uninitialize();
        error = "the Task Scheduler is not available: " + ErrorText(static_cast<unsigned long>(result));
        return false;
    }
    return true;
}

JobOwner CScheduler::Activate(CComPtr<ITask>& task, CString* error)
{
    if (!IsOpen())
        return JOB_NONE;
    const HRESULT result = m_taskScheduler->Activate(kJobName, IID_ITask, task.ReceiveUnknown());
    if (result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        return JOB_NONE;
    if (FAILED(result) || !task)
    {
        if (error)
            *error = ErrorText(static_cast<unsigned long>(FAILED(result) ? result : E_FAIL));
        return JOB_UNREADABLE;
    }
    LPWSTR application = nullptr;
    if (FAILED(task->GetApplicationName(&application)))
        return JOB_FOREIGN; // a job that does not say what it runs is not ours to change
    CString program;
    std::wstring name = TakeTaskText(application);
    WideToUtf8(name.data(), name.size(), program);
    return IsSameProgram(program, m_programPath) ? JOB_OURS : JOB_FOREIGN;
}

JobOwner CScheduler::Read(CJobSchedule& schedule, CString* error)
{
    CComPtr<ITask> task;
    JobOwner owner = Activate(task, error);
    if (owner != JOB_OURS)
        return owner;
    LPWSTR parameters = nullptr;
    schedule.mode = SUCCEEDED(task->GetParameters(&parameters)) ? ModeOf(TakeTaskText(parameters).c_str()) : 1;

    CComPtr<ITaskTrigger> trigger;
    TASK_TRIGGER data = {};
    data.cbTriggerSize = sizeof(data);
    if (FAILED(task->GetTrigger(0, trigger.Receive())) || !trigger || FAILED(trigger->GetTrigger(&data)))
        return owner;
    if (data.TriggerType == TASK_TIME_TRIGGER_WEEKLY)
    {
        schedule.period = 0;
        const int mask = data.Type.Weekly.rgfDaysOfTheWeek;
        schedule.day = mask == 0 || mask > 32 ? 6 : DayIndexFromWeekMask(mask - 1);
    }
    else
    {
        // Any other kind is shown as monthly, on the last day its mask names.
        schedule.period = 1;
        schedule.day = 0;
        for (DWORD days = data.Type.MonthlyDate.rgfDays; days > 1; days >>= 1)
            ++schedule.day;
    }
    schedule.hour = data.wStartHour;
    schedule.minute = data.wStartMinute;
    return owner;
}

HRESULT CScheduler::Fill(ITask* task, const CJobSchedule& schedule)
{
    const std::wstring program = Utf8ToWide(m_programPath), folder = Utf8ToWide(WorkingFolderOf(m_programPath)),
                       account = Utf8ToWide(GetTaskAccountName());
    HRESULT result = S_OK;
    auto step = [&result](HRESULT next) {
        if (SUCCEEDED(result))
            result = next;
    };
    step(task->SetApplicationName(program.c_str()));
    step(task->SetParameters(ParametersOf(schedule.mode)));
    step(task->SetWorkingDirectory(folder.c_str()));
    step(task->SetFlags(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON));
    step(task->SetAccountInformation(account.c_str(), nullptr));
    if (FAILED(result))
        return result;

    WORD count = 0, index = 0;
    CComPtr<ITaskTrigger> trigger;
    if (SUCCEEDED(task->GetTriggerCount(&count)) && count > 0)
        step(task->GetTrigger(0, trigger.Receive()));
    else
        step(task->CreateTrigger(&index, trigger.Receive()));
    if (FAILED(result) || !trigger)
        return FAILED(result) ? result : E_FAIL;

    SYSTEMTIME today;
    GetLocalTime(&today);
    TASK_TRIGGER data = {};
    data.cbTriggerSize = sizeof(data);
    data.wBeginYear = today.wYear;
    data.wBeginMonth = today.wMonth;
    data.wBeginDay = today.wDay;
    data.wStartHour = static_cast<WORD>(schedule.hour);
    data.wStartMinute = static_cast<WORD>(schedule.minute);
    const int day = schedule.day < 0 ? 0 : schedule.day;
    if (schedule.period == 0)
    {
        data.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
        data.Type.Weekly.WeeksInterval = 1;
        data.Type.Weekly.rgfDaysOfTheWeek = static_cast<WORD>(1 << (day % 7));
    }
    else
    {
        data.TriggerType = TASK_TIME_TRIGGER_MONTHLYDATE;
        data.Type.MonthlyDate.rgfDays = 1u << (day % 31);
        data.Type.MonthlyDate.rgfMonths = 0x0FFF;
    }
    return trigger->SetTrigger(&data);
}

bool CScheduler::Apply(const CJobSchedule& schedule, CString& error)
{
    if (!IsOpen())
    {
        error = "the Task Scheduler is not available";
        return false;
    }
    CComPtr<ITask> task;
    const JobOwner owner = Activate(task, &error);
    if (owner == JOB_FOREIGN)
    {
        error = "another program's task is named \"Quorvantis\"; it was left as it is";
        return false;
    }
    if (owner == JOB_UNREADABLE)
    {
        error = "the task \"Quorvantis\" could not be read (" + error + "); it was left as it is";
        return false;
    }
    HRESULT result = S_OK;
    if (schedule.mode != 1 && schedule.mode != 2)
    {
        if (owner == JOB_OURS)
            result = m_taskScheduler->Delete(kJobName);
    }
    else
    {
        // Our job is changed where it is: a change that fails leaves it as it was.
        if (owner == JOB_NONE)
            result = m_taskScheduler->NewWorkItem(kJobName, CLSID_CTask, IID_ITask, task.ReceiveUnknown());
        if (SUCCEEDED(result) && !task)
            result = E_FAIL;
        if (SUCCEEDED(result))
            result = Fill(task.Get(), schedule);
        CComPtr<IPersistFile> file;
        if (SUCCEEDED(result))
            result = task->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
        if (SUCCEEDED(result))
            result = file->Save(nullptr, TRUE);
    }
    if (FAILED(result))
        error = ErrorText(static_cast<unsigned long>(result));
    return SUCCEEDED(result);
}
