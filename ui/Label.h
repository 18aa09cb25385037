// CLabel: a static text drawn transparently over a patterned background brush that
// its owner sets and keeps alive.
#pragma once

#include "afx/Controls.h"

class CLabel : public CStatic
{
public:
    CLabel() : m_backgroundBrush(nullptr) {}
    void SetBackgroundBrush(HBRUSH brush) { m_backgroundBrush = brush; }

    // The colour messages its parent passes on: the brush lined up under the label.
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    HBRUSH m_backgroundBrush;
};
