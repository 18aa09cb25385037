#include "RunController.h"

#include "afx/App.h"
#include "afx/Com.h"

CRunController::CRunController(UINT progressMessage, UINT doneMessage)
    : m_progressMessage(progressMessage), m_doneMessage(doneMessage)
{
}

CRunController::~CRunController()
{
    StopAndWait();
}

bool CRunController::Start(RunState state, std::function<void()> work)
{
    if (m_state != RUN_IDLE || m_thread || m_modalDepth > 0)
        return false;
    m_work = std::move(work);
    m_error = nullptr;
    m_stop = false;
    {
        std::lock_guard<std::mutex> lock(m_rowsLock);
        m_rows.clear();
        m_rowsPosted = false;
    }
    m_thread = AfxBeginThread(Run, this);
    if (!m_thread)
    {
        m_work = nullptr;
        return false;
    }
    m_state = state;
    return true;
}

unsigned CRunController::Run(void* self)
{
    CRunController& run = *static_cast<CRunController*>(self);
    {
        // The recycle bin and the shell folders are COM.
        CComInit com;
        com.Initialize();
        try
        {
            run.m_work();
        }
        catch (...)
        {
            run.m_error = std::current_exception(); // reported on the window's thread
        }
    }
    ::PostMessageA(run.m_window, run.m_doneMessage, 0, 0);
    return 0;
}

RunState CRunController::Finish()
{
    const RunState ran = m_state;
    if (!m_thread)
        return ran;
    ::WaitForSingleObject(m_thread, INFINITE); // it has posted its last message
    ::CloseHandle(m_thread);
    m_thread = nullptr;
    m_work = nullptr;
    if (m_state != RUN_CLOSING)
        m_state = RUN_IDLE;
    if (m_error)
    {
        const std::exception_ptr error = m_error;
        m_error = nullptr;
        try
        {
            std::rethrow_exception(error);
        }
        catch (...)
        {
            AfxReportCurrentException(ran == RUN_SCANNING ? "the scan" : "the clean");
        }
    }
    return ran;
}

void CRunController::SetWiping(bool wiping)
{
    if (m_state == RUN_CLEANING && wiping)
        m_state = RUN_WIPING;
    else if (m_state == RUN_WIPING && !wiping)
        m_state = RUN_CLEANING;
}

bool CRunController::RequestClose()
{
    m_state = RUN_CLOSING;
    if (m_thread)
        m_stop = true;
    return !m_thread && m_modalDepth == 0;
}

void CRunController::StopAndWait()
{
    if (!m_thread)
        return;
    m_stop = true;
    // The worker may be waiting on a message sent to this thread (the wipe notice): those
    // are answered while the thread is waited for.
    while (::MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1)
    {
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    Finish();
}

void CRunController::PublishRows(std::vector<CSectionRow> rows)
{
    bool post = false;
    {
        std::lock_guard<std::mutex> lock(m_rowsLock);
        m_rows = std::move(rows);
        post = !m_rowsPosted;
        m_rowsPosted = true;
    }
    if (post)
        ::PostMessageA(m_window, m_progressMessage, 0, 0);
}

std::vector<CSectionRow> CRunController::TakeRows()
{
    std::lock_guard<std::mutex> lock(m_rowsLock);
    m_rowsPosted = false;
    return std::move(m_rows);
}
