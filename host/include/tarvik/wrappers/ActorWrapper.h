#pragma once

#include "tarvik/wrappers/ObjectWrapper.h"

class TARVIK_SDK_API ActorWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(ActorWrapper);

    bool IsNull();
};
