// The progress interfaces through which scanners and runs report their work.
#pragma once

#include "afx/String.h"

enum ProblemKind
{
    PROBLEM_UNREADABLE, // a place that is there could not be read
    PROBLEM_SKIPPED,    // a place that was deliberately left alone
    PROBLEM_NOT_CLEANED, // a place whose clean failed, with the system's reason
    PROBLEM_NOTE,        // something worth saying about a clean that left nothing undone
    PROBLEM_REFUSED      // a cleaning rule's key that reaches where no rule may (place: the rule's name)
};

// One unit of work done (an item appended, an item cleaned). Scanners also ask it
// whether to stop, and tell it of places they could not read or would not enter;
// both are optional for whoever implements it.
class CTickable
{
public:
    virtual void Tick() = 0;
    // True once the user asked the run to stop; a scanner stops at its next entry.
    virtual bool IsStopRequested() const { return false; }
    // A place of a checked area that could not be read or was left alone, and why.
    virtual void ReportProblem(ProblemKind kind, const CString& place, const CString& reason)
    {
        (void)kind;
        (void)place;
        (void)reason;
    }

protected:
    ~CTickable() {}
};

// What the runs need of the list that shows the sections: throttled and full repaints.
class IProgressSink : public CTickable
{
public:
    virtual void RefreshList() = 0;

protected:
    ~IProgressSink() {}
};
