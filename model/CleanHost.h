// What a found item may ask of the window that drives the clean run (its "owner").
#pragma once

#include <windows.h>

class ICleanHost
{
public:
    // Owner window for clipboard and shell calls; may be NULL.
    virtual HWND GetOwnerWindow() const = 0;
    // The "Shred files before cleaning" choice, read at the moment each file is cleaned.
    virtual bool IsShredOn() const = 0;
    // Set by the Cancel button during a wipe (or Ctrl+C at a console): the wipe and
    // the clean run stop at the next chunk or item.
    virtual bool IsCancelled() const = 0;

    // The stored "don't show the wipe notice" setting.
    virtual int GetDontShowWipeNotice() const = 0;
    virtual void SetDontShowWipeNotice(int value) = 0;
    // Shows the wipe notice modally; returns the state of its "don't show again" box.
    virtual int ShowWipeNotice() = 0;

    // Progress of a wipe, in chunks; each call may dispatch one pending window message.
    virtual void BeginProgress(int chunks) = 0;
    virtual void StepProgress() = 0;
    virtual void EndProgress() = 0;

protected:
    ~ICleanHost() {}
};

// A host without a window: no owner, no wipe notice, no progress display, never
// cancelled unless a subclass says so. The console front end, the benchmarks and
// the tests build on it.
class CHeadlessCleanHost : public ICleanHost
{
public:
    explicit CHeadlessCleanHost(bool shred = false) : m_shred(shred) {}
    HWND GetOwnerWindow() const override { return nullptr; }
    bool IsShredOn() const override { return m_shred; }
    bool IsCancelled() const override { return false; }
    int GetDontShowWipeNotice() const override { return 1; }
    void SetDontShowWipeNotice(int) override {}
    int ShowWipeNotice() override { return 0; }
    void BeginProgress(int) override {}
    void StepProgress() override {}
    void EndProgress() override {}

protected:
    ~CHeadlessCleanHost() {}
    bool m_shred;
};
