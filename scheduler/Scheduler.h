// CScheduler: the one Task Scheduler job, "Quorvantis", that starts the program weekly
// or monthly with "/scan" or "/scan /clean". It reads, changes and deletes only a job
// whose program is this program; a job of that name that runs anything else belongs to
// somebody else and is left alone. No window here: the Schedule tab's controls use it.
#pragma once

#include "afx/Com.h"
#include "afx/String.h"

struct ITaskScheduler;
struct ITask;

// When and how the job starts the program.
struct CJobSchedule
{
    int mode = 0;   // 0 no job, 1 "/scan", 2 "/scan /clean"
    int period = 1; // 0 weekly, 1 monthly
    int day = 0;    // weekly: Sunday 0 to Saturday 6; monthly: the day of the month minus one
    int hour = 0;
    int minute = 0;
};

// Who holds the job's name.
enum JobOwner
{
    JOB_NONE,   // there is no job of that name
    JOB_OURS,   // it starts this program
    JOB_FOREIGN,   // it starts another program: never changed or deleted
    JOB_UNREADABLE // there is one, but it could not be read: not touched either
};

class CScheduler
{
public:
    // programPath: the program the job starts ("" for the running one).
    explicit CScheduler(const CString& programPath = CString());
    virtual ~CScheduler();
    CScheduler(const CScheduler&) = delete;
    CScheduler& operator=(const CScheduler&) = delete;

    // Connects to the Task Scheduler; false (with the reason in error) when there is none.
    bool Open(CString& error);
    bool IsOpen() const { return static_cast<bool>(m_taskScheduler); }

    // Who holds the name; for our job, its schedule; for one that cannot be read, why.
    JobOwner Read(CJobSchedule& schedule, CString* error = nullptr);
    // Makes our job match schedule: mode 0 deletes it, 1 and 2 change it in place (or
    // create it). A job of another program is never touched. False, with the reason in
    // error, when the Task Scheduler did not take the change: the job is then as it was.
    bool Apply(const CJobSchedule& schedule, CString& error);

    const CString& GetProgramPath() const { return m_programPath; }

    // "COMPUTER\user".
    static CString GetTaskAccountName();
    // The day list index of a weekly trigger's day mask minus one.
    static int DayIndexFromWeekMask(int value);
    // The folder that holds the program file (without a trailing separator).
    static CString WorkingFolderOf(const CString& programPath);
    // The day list's entry for a day of the month (1 to 31): "1st", "2nd", "21st".
    static CString MonthDayName(int day);
    // The job's parameters for a mode ("/scan", "/scan /clean"), and the mode of parameters.
    static const wchar_t* ParametersOf(int mode);
    static int ModeOf(const wchar_t* parameters);
    // Whether two program paths name the same file, as the file system compares them.
    static bool IsSameProgram(const CString& a, const CString& b);

private:
    JobOwner Activate(CComPtr<ITask>& task, CString* error = nullptr);
    HRESULT Fill(ITask* task, const CJobSchedule& schedule);

    CString m_programPath;
    CComInit m_com;
    CComPtr<ITaskScheduler> m_taskScheduler;
};
