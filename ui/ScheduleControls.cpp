#include "ScheduleControls.h"

#include <initializer_list>

namespace
{
const char* const kWeekDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char kForeignJob[] = "Another program's scheduled task is named \"Quorvantis\"; automatic runs cannot "
                           "be set here until it is removed.";
const char kNoScheduler[] = "The Task Scheduler is not available; automatic runs cannot be set.";
const char kUnreadableJob[] = "The scheduled task \"Quorvantis\" could not be read; automatic runs cannot be "
                              "set here now.";

bool IsChecked(const CButton& button)
{
    return button.m_hWnd && button.GetCheck() == BST_CHECKED;
}
} // namespace

CScheduleControls::CScheduleControls()
    : m_lastPeriod(-1), m_loaded(false), m_available(true), m_owner(JOB_NONE)
{
}

void CScheduleControls::InitSchedule()
{
    m_period.ResetContent();
    m_period.AddString("Weekly");
    m_period.AddString("Monthly");
    m_period.SetCurSel(1);
    FillDayList();
    EnableScheduleControls();
}

void CScheduleControls::FillDayList()
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
            m_day.AddString(CScheduler::MonthDayName(day));
    }
    m_day.SetCurSel(0);
}

void CScheduleControls::EnableScheduleControls()
{
    const bool changeable = m_available && (m_owner == JOB_NONE || m_owner == JOB_OURS);
    const bool autoRun = changeable && (IsChecked(m_scanButton) || IsChecked(m_scanAndCleanButton));
    for (CWnd* control : std::initializer_list<CWnd*>{&m_period, &m_day, &m_time})
        if (control->m_hWnd)
            control->EnableWindow(autoRun);
    for (CWnd* radio :
         std::initializer_list<CWnd*>{&m_noScheduleButton, &m_scanButton, &m_scanAndCleanButton})
        if (radio->m_hWnd)
            radio->EnableWindow(changeable);
}

int CScheduleControls::GetAutoRunMode() const
{
    return IsChecked(m_scanButton) ? 1 : IsChecked(m_scanAndCleanButton) ? 2 : 0;
}

void CScheduleControls::SetAutoRunMode(int mode)
{
    CButton* radios[] = {&m_noScheduleButton, &m_scanButton, &m_scanAndCleanButton};
    for (int i = 0; i < 3; ++i)
        if (radios[i]->m_hWnd)
            radios[i]->SetCheck(mode == i ? BST_CHECKED : BST_UNCHECKED);
}

CJobSchedule CScheduleControls::GetShownSchedule() const
{
    CJobSchedule schedule;
    schedule.mode = GetAutoRunMode();
    schedule.period = m_period.GetCurSel() == 0 ? 0 : 1;
    schedule.day = m_day.GetCurSel() < 0 ? 0 : m_day.GetCurSel();
    SYSTEMTIME picked = {};
    if (m_time.m_hWnd && m_time.GetTime(&picked) == GDT_VALID)
    {
        schedule.hour = picked.wHour;
        schedule.minute = picked.wMinute;
    }
    return schedule;
}

void CScheduleControls::ShowSchedule(const CJobSchedule& schedule)
{
    SetAutoRunMode(schedule.mode);
    m_period.SetCurSel(schedule.period == 0 ? 0 : 1);
    FillDayList();
    m_day.SetCurSel(schedule.day);
    SYSTEMTIME time = {2000, 1, 1, 1, static_cast<WORD>(schedule.hour), static_cast<WORD>(schedule.minute),
                       0,    0};
    m_time.SetTime(&time);
}

void CScheduleControls::ShowNote(const CString& text)
{
    if (!m_scheduleNote.m_hWnd)
        return;
    m_scheduleNote.SetWindowText(text);
}

void CScheduleControls::LoadScheduledTask()
{
    m_loaded = true;
    CString error;
    m_available = m_scheduler.Open(error);
    if (!m_available)
    {
        ShowNote(kNoScheduler);
        EnableScheduleControls();
        return;
    }
    CJobSchedule schedule;
    m_owner = m_scheduler.Read(schedule);
    switch (m_owner)
    {
    case JOB_OURS:
        ShowSchedule(schedule);
        ShowNote("");
        break;
    case JOB_NONE:
        SetAutoRunMode(0); // nothing of ours is scheduled, whatever the settings say
        ShowNote("");
        break;
    case JOB_FOREIGN:
        SetAutoRunMode(0);
        ShowNote(kForeignJob);
        break;
    case JOB_UNREADABLE:
        ShowNote(kUnreadableJob);
        break;
    }
    m_applied = GetShownSchedule();
    EnableScheduleControls();
}

bool CScheduleControls::ApplySchedule()
{
    const CJobSchedule wanted = GetShownSchedule();
    if (!m_loaded)
    {
        LoadScheduledTask();
        ShowSchedule(wanted);
        EnableScheduleControls();
    }
    CString error;
    if (m_available && (m_owner == JOB_NONE || m_owner == JOB_OURS) && m_scheduler.Apply(wanted, error))
    {
        m_owner = wanted.mode == 0 ? JOB_NONE : JOB_OURS;
        m_applied = wanted;
        return true;
    }
    if (error.IsEmpty())
        error = !m_available ? kNoScheduler : m_owner == JOB_FOREIGN ? kForeignJob : kUnreadableJob;
    // Show what is really scheduled, then why the change did not take.
    ShowSchedule(m_applied);
    EnableScheduleControls();
    ReportScheduleFailure(error);
    return false;
}
