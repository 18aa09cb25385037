#include "Scheduler.h"

#include <initguid.h>
#include <mstask.h>

#include <string>

namespace
{
const wchar_t kJobName[] = L"Quorvantis";
const char* const kWeekDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

// A BSTR of the text in the process code page, freed with the object.
class CBstr
{
public:
    explicit CBstr(const CString& text) : m_b(nullptr)
    {
        int units = MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), nullptr, 0);
        m_b = SysAllocStringLen(nullptr, static_cast<UINT>(units > 0 ? units : 0));
        if (m_b && units > 0)
            MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), m_b, units);
    }
    ~CBstr() { SysFreeString(m_b); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    operator const wchar_t*() const { return m_b ? m_b : L""; }

private:
    BSTR m_b;
};

bool IsChecked(const CButton& button)
{
    return button.m_hWnd && button.GetCheck() == BST_CHECKED;
}
} // namespace

CScheduler::CScheduler() : m_lastPeriod(-1) {}

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

void CScheduler::InitSchedule()
{
    m_period.ResetContent();
    m_period.AddString("Weekly");
    m_period.AddString("Monthly");
    EnableScheduleControls();
    m_period.SetCurSel(1);
    FillDayList();
    LoadScheduledTask();
    FillDayList();
}

void CScheduler::FillDayList()
{
    const int period = m_period.GetCurSel();
    if (period == m_lastPeriod)
        return;
    m_lastPeriod = period;
    m_day.ResetContent();
    if (period == 0)
    {
        for (const char* name : kWeekDays)
            m_day.AddString(name);
    }
    else
    {
        for (int day = 1; day <= 31; ++day)
            m_day.AddString(MonthDayName(day));
    }
    m_day.SetCurSel(0);
}

void CScheduler::EnableScheduleControls()
{
    const bool autoRun = IsChecked(m_scanButton) || IsChecked(m_scanAndCleanButton);
    for (CWnd* control : std::initializer_list<CWnd*>{&m_period, &m_day, &m_time})
        if (control->m_hWnd)
            control->EnableWindow(autoRun);
}

void CScheduler::LoadScheduledTask()
{
    char path[1024] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    m_programPath = CString(path, length < sizeof(path) ? static_cast<int>(length) : 0);
    m_workingFolder = WorkingFolderOf(m_programPath);

    m_taskScheduler.Reset();
    if (!m_com.Initialize())
        return;
    if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                m_taskScheduler.ReceiveVoid())))
    {
        m_taskScheduler.Reset();
        m_com.Uninitialize();
        return;
    }
    CComPtr<ITask> task;
    if (FAILED(
            m_taskScheduler->Activate(kJobName, IID_ITask, reinterpret_cast<IUnknown**>(task.Receive()))) ||
        !task)
        return;
    for (CWnd* control : std::initializer_list<CWnd*>{&m_period, &m_day, &m_time})
        control->EnableWindow(TRUE);
    CComPtr<ITaskTrigger> trigger;
    TASK_TRIGGER data = {};
    data.cbTriggerSize = sizeof(data);
    if (FAILED(task->GetTrigger(0, trigger.Receive())) || !trigger || FAILED(trigger->GetTrigger(&data)))
        return;
    if (data.TriggerType == TASK_TIME_TRIGGER_WEEKLY)
    {
        m_period.SetCurSel(0);
        FillDayList();
        const int mask = data.Type.Weekly.rgfDaysOfTheWeek;
        m_day.SetCurSel(mask == 0 || mask > 32 ? 6 : DayIndexFromWeekMask(mask - 1));
    }
    else
    {
        m_period.SetCurSel(1);
        FillDayList();
        int day = 0;
        for (DWORD days = data.Type.MonthlyDate.rgfDays; days > 1; days >>= 1)
            ++day;
        m_day.SetCurSel(day);
    }
    SYSTEMTIME time = {2000, 1, 1, 1, data.wStartHour, data.wStartMinute, 0, 0};
    m_time.SetTime(&time);
}

void CScheduler::ApplySchedule()
{
    if (!m_taskScheduler)
        return;
    if (IsChecked(m_scanButton) || IsChecked(m_scanAndCleanButton))
        WriteScheduledTask();
    else
        m_taskScheduler->Delete(kJobName);
}

void CScheduler::WriteScheduledTask()
{
    m_taskScheduler->Delete(kJobName);
    CComPtr<ITask> task;
    if (FAILED(m_taskScheduler->NewWorkItem(kJobName, CLSID_CTask, IID_ITask,
                                            reinterpret_cast<IUnknown**>(task.Receive()))) ||
        !task)
        return;
    task->SetApplicationName(CBstr(m_programPath));
    if (IsChecked(m_scanButton))
        task->SetParameters(L"/scan");
    if (IsChecked(m_scanAndCleanButton))
        task->SetParameters(L"/scan /clean");
    task->SetWorkingDirectory(CBstr(m_workingFolder));
    task->SetFlags(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON);
    task->SetAccountInformation(CBstr(GetTaskAccountName()), nullptr);

    WORD index = 0;
    CComPtr<ITaskTrigger> trigger;
    if (SUCCEEDED(task->CreateTrigger(&index, trigger.Receive())) && trigger)
    {
        SYSTEMTIME today, picked = {};
        GetLocalTime(&today);
        m_time.GetTime(&picked);
        TASK_TRIGGER data = {};
        data.cbTriggerSize = sizeof(data);
        data.wBeginYear = today.wYear;
        data.wBeginMonth = today.wMonth;
        data.wBeginDay = today.wDay;
        data.wStartHour = picked.wHour;
        data.wStartMinute = picked.wMinute;
        const int day = m_day.GetCurSel() < 0 ? 0 : m_day.GetCurSel();
        if (m_period.GetCurSel() == 0)
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
        trigger->SetTrigger(&data);
    }
    CComPtr<IPersistFile> file;
    if (SUCCEEDED(task->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) && file)
        file->Save(nullptr, TRUE);
}
