// What a scan or a clean on the worker thread asks of its window, answered without
// touching the window's objects: the choices as they were when the run started, the
// stop through the run's controller, progress as rows and messages posted to the window.
#pragma once

#include "RunController.h"
#include "engine/ScanRun.h"
#include "model/CleanHost.h"

#include <vector>

// Sends the rows of the run's sections to the window: at every full refresh, and at a
// tick when about 10 ms have passed since the last.
class CRowsSender
{
public:
    CRowsSender(CRunController& run, const CSectionList& sections) : m_run(run), m_sections(sections) {}
    void Send() { m_run.PublishRows(SnapshotRows(m_sections)); }
    void SendNowAndThen();

protected:
    CRunController& m_run;
    const CSectionList& m_sections;
    DWORD m_lastSent = 0;
};

class CScanJob : public IScanContext, private CRowsSender
{
public:
    // areas: for each area from AREA_FIRST, whether it is checked.
    CScanJob(CRunController& run, const CSectionList& sections, const CScanPaths& paths, HWND owner,
             std::vector<bool> areas, std::vector<const CRuleEntry*> rules, CKeepChoice keep);

    bool IsAreaChecked(int areaId) const override;
    const CScanPaths& GetScanPaths() const override { return m_paths; }
    HWND GetOwnerWindow() const override { return m_owner; }
    std::vector<const CRuleEntry*> GetCheckedRules() const override { return m_rules; }
    CKeepChoice GetKeepChoice() const override { return m_keep; }
    void Tick() override { SendNowAndThen(); }
    void RefreshList() override { Send(); }
    bool IsStopRequested() const override { return m_run.IsStopRequested(); }

private:
    const CScanPaths m_paths;
    const HWND m_owner;
    const std::vector<bool> m_areas;
    const std::vector<const CRuleEntry*> m_rules;
    const CKeepChoice m_keep;
};

// The wipe's progress message: wParam says what (WIPE_BEGIN with lParam chunks, WIPE_STEP
// with lParam the chunks done, WIPE_END). The notice message is sent, and answered on the
// window's thread: NOTICE_SHOW returns the state of its "don't show again" box,
// NOTICE_REMEMBER stores lParam as the setting.
enum
{
    WIPE_BEGIN,
    WIPE_STEP,
    WIPE_END,
    NOTICE_SHOW = 0,
    NOTICE_REMEMBER = 1
};

class CCleanJob : public ICleanHost, public IProgressSink, private CRowsSender
{
public:
    CCleanJob(CRunController& run, const CSectionList& sections, HWND owner, UINT wipeMessage, UINT noticeMessage,
              bool shred, int dontShowWipeNotice);

    // ICleanHost
    HWND GetOwnerWindow() const override { return m_owner; }
    bool IsShredOn() const override { return m_shred; }
    bool IsCancelled() const override { return m_run.IsStopRequested(); }
    int GetDontShowWipeNotice() const override { return m_dontShowWipeNotice; }
    void SetDontShowWipeNotice(int value) override;
    int ShowWipeNotice() override;
    void BeginProgress(int chunks) override;
    void StepProgress() override;
    void EndProgress() override;

    // IProgressSink
    void Tick() override { SendNowAndThen(); }
    void RefreshList() override { Send(); }

private:
    const HWND m_owner;
    const UINT m_wipeMessage, m_noticeMessage;
    const bool m_shred;
    int m_dontShowWipeNotice;
    int m_chunksDone = 0;
};
