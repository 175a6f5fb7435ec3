#include "afx/shell.h"

namespace {
int g_shellManagers = 0;
const CRuntimeClass* g_visualManagerClass = nullptr;
}  // namespace

CShellManager::CShellManager() { ++g_shellManagers; }
CShellManager::~CShellManager() { --g_shellManagers; }
int CShellManager::LiveCount() { return g_shellManagers; }

IMPLEMENT_DYNAMIC(CMFCVisualManager, CObject);
IMPLEMENT_DYNAMIC(CMFCVisualManagerWindows, CMFCVisualManager);

void CMFCVisualManager::SetDefaultManager(const CRuntimeClass* pRTI) {
    if (pRTI != nullptr && pRTI->IsDerivedFrom(RUNTIME_CLASS(CMFCVisualManager))) {
        g_visualManagerClass = pRTI;
    }
}

const CRuntimeClass* CMFCVisualManager::GetDefaultManagerClass() { return g_visualManagerClass; }

void ControlBarCleanUp() {}
