// CRunController: the scan or the clean, one at a time, on a worker thread. It owns what
// the window's commands depend on: the state of the run, the user's stop, the modal
// windows on the stack and a close that waits for both. The window hears of the run only
// through messages posted to it: the rows changed, the run ended.
#pragma once

#include "ScanListBox.h"

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>
#include <windows.h>

enum RunState
{
    RUN_IDLE,
    RUN_SCANNING,
    RUN_CLEANING,
    RUN_WIPING,  // the clean overwrites free space; its Cancel button shows
    RUN_CLOSING  // the window goes once the run and every modal window have returned
};

class CRunController
{
public:
    // progressMessage: the rows of the run changed (TakeRows); doneMessage: the worker has
    // returned (Finish). Both are posted to the window given by SetWindow.
    CRunController(UINT progressMessage, UINT doneMessage);
    ~CRunController();
    CRunController(const CRunController&) = delete;
    CRunController& operator=(const CRunController&) = delete;

    void SetWindow(HWND window) { m_window = window; }

    // The state, as the window's thread sees it.
    RunState GetState() const { return m_state; }
    // A worker is running (or has ended and waits for Finish).
    bool IsRunning() const { return m_thread != nullptr; }
    bool IsModalUp() const { return m_modalDepth > 0; }
    bool IsClosing() const { return m_state == RUN_CLOSING; }

    // Runs work on a new thread (with COM) in the given state; false, and nothing started,
    // unless the run is idle with nothing modal up, or when no thread could be made.
    bool Start(RunState state, std::function<void()> work);
    // On the done message: waits for the worker's thread to end and leaves the run idle
    // (or closing). Returns the state that ran; an exception the work threw is reported.
    RunState Finish();
    // The clean's wipe began or ended.
    void SetWiping(bool wiping);

    // The user's stop (Stop, a wipe's Cancel, a close); the worker reads it at its next step.
    void RequestStop() { m_stop = true; }
    bool IsStopRequested() const { return m_stop; }

    // A close of the window: nothing starts any more (closing); true when the window may
    // go now, otherwise a run is asked to stop and the close waits for it and for the
    // modal windows.
    bool RequestClose();
    // True when a close waits and neither a run nor a modal window holds it any more.
    bool ShouldCloseNow() const { return m_state == RUN_CLOSING && !m_thread && m_modalDepth == 0; }
    // A modal window of the program on the stack for the life of the object.
    class CModal
    {
    public:
        explicit CModal(CRunController& run) : m_run(run) { ++m_run.m_modalDepth; }
        ~CModal() { --m_run.m_modalDepth; }
        CModal(const CModal&) = delete;
        CModal& operator=(const CModal&) = delete;

    private:
        CRunController& m_run;
    };

    // For a window destroyed under a run (the session ends): stops the run and waits for
    // it, answering what the worker sends to the window's thread meanwhile.
    void StopAndWait();

    // Worker side: the rows as they are now; the window is told unless it has yet to read
    // the rows given before.
    void PublishRows(std::vector<CSectionRow> rows);
    // Window side: the latest rows, once each.
    std::vector<CSectionRow> TakeRows();

private:
    static unsigned Run(void* self);

    const UINT m_progressMessage, m_doneMessage;
    HWND m_window = nullptr;
    RunState m_state = RUN_IDLE;
    int m_modalDepth = 0;
    HANDLE m_thread = nullptr;
    std::function<void()> m_work;
    std::exception_ptr m_error;
    std::atomic<bool> m_stop{false};

    std::mutex m_rowsLock;
    std::vector<CSectionRow> m_rows;
    bool m_rowsPosted = false;
};
