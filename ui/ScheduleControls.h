// CScheduleControls: the controls of the Schedule tab, and what they show of the job
// "Quorvantis" (CScheduler). A base of the main window, which creates the controls and
// calls these operations from its handlers. The job is changed only when the user
// changes a control; what the tab shows is what is really scheduled.
#pragma once

#include "afx/Controls.h"
#include "scheduler/Scheduler.h"

class CScheduleControls
{
public:
    CScheduleControls();
    virtual ~CScheduleControls() {}

    // Fills the period list; the controls show the settings until the job is read.
    void InitSchedule();
    // Connects to the Task Scheduler and shows what it holds: our job's schedule and mode,
    // no automatic run, or a note that another program's job has the name (the controls
    // then stay disabled). Done once the window is shown, as it may take a while.
    void LoadScheduledTask();
    // Refills the day list when the period differs from the one it was filled for.
    void FillDayList();
    // The period, day and time controls are enabled with an automatic run chosen; none
    // while the job's name belongs to another program or there is no Task Scheduler.
    void EnableScheduleControls();
    // Makes the job match the controls; on failure the job stays as it was, the controls
    // show it again, and the reason is given to ReportScheduleFailure.
    bool ApplySchedule();

    // The automatic-run mode the radio buttons show: 0, 1 or 2.
    int GetAutoRunMode() const;
    // Checks the radio button of a mode; another value checks none.
    void SetAutoRunMode(int mode);
    // What the controls show, as a job's schedule.
    CJobSchedule GetShownSchedule() const;
    void ShowSchedule(const CJobSchedule& schedule);

    bool IsScheduleLoaded() const { return m_loaded; }
    JobOwner GetJobOwner() const { return m_owner; }
    CScheduler& GetScheduler() { return m_scheduler; }

protected:
    // Tells the user why the schedule could not be changed.
    virtual void ReportScheduleFailure(const CString& reason) = 0;

    CComboBox m_period;
    CComboBox m_day;
    CDateTimeCtrl m_time;
    CButton m_noScheduleButton;
    CButton m_scanButton;
    CButton m_scanAndCleanButton;
    CStatic m_scheduleNote; // why the schedule cannot be changed here, when it cannot

private:
    void ShowNote(const CString& text);

    CScheduler m_scheduler;
    CJobSchedule m_applied; // what is scheduled, as last read or changed
    int m_lastPeriod;
    bool m_loaded;
    bool m_available;
    JobOwner m_owner;
};
