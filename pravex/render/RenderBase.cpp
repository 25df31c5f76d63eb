#include "pravex/render/RenderBase.h"

#include "platform/ui/Wnd.h"

CRenderBase::CRenderBase() = default;

CRenderBase::~CRenderBase() = default;

CRenderVars* CRenderBase::GetRenderVars() {
  auto* host = dynamic_cast<CRenderVarsHost*>(GetMainWnd());
  return host ? &host->GetHostRenderVars() : nullptr;
}
