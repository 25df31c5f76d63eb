#include "pravex/script/PlayParams.h"

void SetDefaultPlayParams(tag_playParams* params) {
  if (params) *params = tag_playParams();
}
