// Fixtures for tests that run under Wine: folders and files inside the test prefix.
#pragma once

#include "afx/String.h"

#include <functional>
#include <string>
#include <vector>

#include "model/CleanTarget.h"

#include "model/CleanHost.h"
#include "model/Tickable.h"

namespace testutil
{
// Counts the units of work reported.
class CCountingTick : public CTickable
{
public:
    void Tick() override { ++m_count; }
    int m_count = 0;
};

// A progress sink that counts the units of work and records the places reported.
class CProblemSink : public IProgressSink
{
public:
    void Tick() override { ++m_count; }
    void RefreshList() override {}
    void ReportProblem(ProblemKind, const CString& place, const CString& reason) override
    {
        m_places.push_back(place.str());
        m_reasons.push_back(reason.str());
    }
    int m_count = 0;
    std::vector<std::string> m_places;
    std::vector<std::string> m_reasons;
};

// A progress sink that ignores everything.
class CSilentSink : public IProgressSink
{
public:
    void Tick() override {}
    void RefreshList() override {}
};

// A clean host with only a shred choice.
class CTestCleanHost : public CHeadlessCleanHost
{
public:
    explicit CTestCleanHost(bool shred = false) : CHeadlessCleanHost(shred) {}
};

// Cleans a list as the clean run does: last found first, cleaned items dropped; what the
// clean says goes to sink, when given.
void CleanList(CFoundItemList& list, IProgressSink* sink = nullptr);
// The display texts of a list, or "type: text" with withTypes.
std::vector<std::string> Texts(const CFoundItemList& list, bool withTypes = false);

// Dispatches every message waiting in the thread's queue.
void PumpPending();
// Dispatches this thread's messages until done() holds or milliseconds have passed;
// returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds);

// A new empty folder below the prefix's temp folder, without a trailing backslash.
CString MakeTestRoot(const char* name);
bool MakeDir(const CString& path);
bool WriteBytes(const CString& path, const std::string& bytes);
bool ReadBytes(const CString& path, std::string& bytes);
bool Exists(const CString& path);
// Removes a folder and everything in it (test clean-up only).
void RemoveTree(const CString& path);

// The host (Unix) path of a Windows path, through Wine; "" elsewhere.
CString HostPath(const CString& windowsPath);
// A text quoted for the host shell.
CString HostQuote(const CString& text);
// Runs a host shell command and waits for it; true when it exits with 0.
bool RunHost(const CString& command);
// A host symbolic link at link (a Windows path) to target (a Windows path).
bool MakeHostLink(const CString& target, const CString& link);
} // namespace testutil
