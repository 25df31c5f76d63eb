// A renderer that finds its settings in the application's main window: the
// replay window (which implements CRenderVarsHost) holds them. With no main
// window, or one that is not a replay window, it has no settings.
#pragma once

#include "pravex/render/RenderRoot.h"
#include "pravex/render/RenderVars.h"

// Implemented by the windows that own replay settings (the player's shell).
class CRenderVarsHost {
 public:
  virtual ~CRenderVarsHost() = default;
  virtual CRenderVars& GetHostRenderVars() = 0;
};

class CRenderBase : public CRenderRoot {
 public:
  CRenderBase();
  ~CRenderBase() override;
  CRenderVars* GetRenderVars() override;
};
