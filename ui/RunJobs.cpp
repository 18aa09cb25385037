#include "RunJobs.h"

#include "engine/Catalogue.h"

void CRowsSender::SendNowAndThen()
{
    if (IsRefreshDue(m_lastSent))
        Send();
}

CScanJob::CScanJob(CRunController& run, const CSectionList& sections, const CScanPaths& paths, HWND owner,
                   std::vector<bool> areas, std::vector<const CRuleEntry*> rules, CKeepChoice keep)
    : CRowsSender(run, sections), m_paths(paths), m_owner(owner), m_areas(std::move(areas)),
      m_rules(std::move(rules)), m_keep(std::move(keep))
{
}

bool CScanJob::IsAreaChecked(int areaId) const
{
    const size_t index = static_cast<size_t>(areaId - AREA_FIRST);
    return areaId >= AREA_FIRST && index < m_areas.size() && m_areas[index];
}

CCleanJob::CCleanJob(CRunController& run, const CSectionList& sections, HWND owner, UINT wipeMessage,
                     UINT noticeMessage, bool shred, int dontShowWipeNotice)
    : CRowsSender(run, sections), m_owner(owner), m_wipeMessage(wipeMessage), m_noticeMessage(noticeMessage),
      m_shred(shred), m_dontShowWipeNotice(dontShowWipeNotice)
{
}

void CCleanJob::SetDontShowWipeNotice(int value)
{
    m_dontShowWipeNotice = value;
    ::SendMessageA(m_owner, m_noticeMessage, NOTICE_REMEMBER, value);
}

int CCleanJob::ShowWipeNotice()
{
    return static_cast<int>(::SendMessageA(m_owner, m_noticeMessage, NOTICE_SHOW, 0));
}

void CCleanJob::BeginProgress(int chunks)
{
    m_chunksDone = 0;
    ::PostMessageA(m_owner, m_wipeMessage, WIPE_BEGIN, chunks);
}

void CCleanJob::StepProgress()
{
    ::PostMessageA(m_owner, m_wipeMessage, WIPE_STEP, ++m_chunksDone);
}

void CCleanJob::EndProgress()
{
    ::PostMessageA(m_owner, m_wipeMessage, WIPE_END, 0);
}
