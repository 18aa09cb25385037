// The progress interfaces through which scanners and runs report their work.
#pragma once

// One unit of work done (an item appended, an item cleaned).
class CTickable
{
public:
    virtual void Tick() = 0;

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
