#pragma once

#include <type_traits>

#include "tarvik/wrappers/ObjectWrapper.h"

// The host's two-value statistics sample.
struct RecordedSample {
    float first;
    float second;
};
static_assert(sizeof(RecordedSample) == 8 && std::is_standard_layout_v<RecordedSample>);

class TARVIK_SDK_API SampleHistoryWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(SampleHistoryWrapper);

    // The sample being gathered now.
    RecordedSample GetPendingSample();
};

class TARVIK_SDK_API NetStatGraphWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(NetStatGraphWrapper);

    SampleHistoryWrapper GetLatency();
    SampleHistoryWrapper GetPacketsOut();
    SampleHistoryWrapper GetPacketsIn();
    SampleHistoryWrapper GetLostPacketsOut();
    SampleHistoryWrapper GetLostPacketsIn();
};

class TARVIK_SDK_API InputBufferGraphWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(InputBufferGraphWrapper);

    SampleHistoryWrapper GetBuffer();
    SampleHistoryWrapper GetBufferTarget();
};

class TARVIK_SDK_API PerfStatGraphWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(PerfStatGraphWrapper);

    SampleHistoryWrapper GetFPS();
};

class TARVIK_SDK_API StatGraphSystemWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(StatGraphSystemWrapper);

    bool IsNull() const;
    NetStatGraphWrapper GetNetStatGraph();
    InputBufferGraphWrapper GetInputBufferGraph();
    PerfStatGraphWrapper GetPerfStatGraph();
};

class TARVIK_SDK_API EngineTAWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(EngineTAWrapper);

    // May be null.
    StatGraphSystemWrapper GetStatGraphs();
};
