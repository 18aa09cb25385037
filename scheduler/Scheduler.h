// CScheduler: the controls of the Schedule tab and the one Task Scheduler job,
// "Quorvantis", that starts the program weekly or monthly with "/scan" or
// "/scan /clean". A base of the main window, which creates the controls.
#pragma once

#include "ComPtr.h"
#include "afx/Controls.h"

#include <initializer_list>

struct ITaskScheduler;

class CScheduler
{
public:
    CScheduler();
    virtual ~CScheduler();

    // Fills the period list and shows the existing job in the controls.
    void InitSchedule();
    // Opens the Task Scheduler and shows the job "Quorvantis", if there is one.
    void LoadScheduledTask();
    // Refills the day list when the period differs from the one it was filled for.
    void FillDayList();
    // The period, day and time controls are enabled with an automatic run chosen.
    void EnableScheduleControls();
    // Makes the job match the controls: written anew, or deleted.
    void ApplySchedule();
    void WriteScheduledTask();

    // "COMPUTER\user".
    static CString GetTaskAccountName();
    // The day list index of a weekly trigger's day mask minus one.
    static int DayIndexFromWeekMask(int value);
    // The folder that holds the program file (without a trailing separator).
    static CString WorkingFolderOf(const CString& programPath);
    // The day list's entry for a day of the month (1 to 31): "1st", "2nd", "21st".
    static CString MonthDayName(int day);

    bool HasTaskScheduler() const { return static_cast<bool>(m_taskScheduler); }

protected:
    CComboBox m_period;
    CComboBox m_day;
    CDateTimeCtrl m_time;
    CButton m_noScheduleButton;
    CButton m_scanButton;
    CButton m_scanAndCleanButton;

private:
    int m_lastPeriod;
    CString m_programPath;
    CString m_workingFolder;
    CComInit m_com;
    CComPtr<ITaskScheduler> m_taskScheduler;
};
